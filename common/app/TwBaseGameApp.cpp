#include "app/TwBaseGameApp.h"

#include "app/TwFrameTimer.h"
#include "gui/TwBaseMenuGui.h"
#include "gui/TwEventRouter.h"
#include "gui/TwNotice.h"
#include "gui/TwPanel.h"
#include "records/TwProfileStore.h"

TwBaseGameApp::TwBaseGameApp() = default;

TwBaseGameApp::~TwBaseGameApp() = default;

void TwBaseGameApp::LoadData() {
    if (!menuScreen_ || !router_) {
        return;
    }
    router_->AddScreen(kMenuScreen, menuScreen_.get());
    menuScreen_->BuildPlayerDialogs();
    mainMenu_ = menuScreen_->BuildMainMenu();
    continueButton_ = mainMenu_ ? mainMenu_->FindElement("MainMenuDlg.Continue") : nullptr;
}

// Only a change of state touches the button, so its lit look under the mouse survives.
void TwBaseGameApp::UpdateContinueButton() {
    if (continueButton_ == nullptr) {
        return;
    }
    const bool saved = TwProfileStore::Instance().HasSavedGame();
    if (saved && continueButton_->IsDisabled()) {
        continueButton_->Enable();
    } else if (!saved && !continueButton_->IsDisabled()) {
        continueButton_->Disable();
    }
}

void TwBaseGameApp::UpdateAndDraw() {
    UpdateContinueButton();
    const int delta = TwFrameTimer::Instance().Delta();
    TwEventListener* screen = router_ ? router_->Current() : nullptr;
    if (screen == nullptr) {
        return;
    }
    screen->OnEvent();
    screen->Update(delta);
    screen->Draw();
    TwNotice& notice = TwNotice::Instance();
    notice.Update(delta);
    notice.Draw();
}
