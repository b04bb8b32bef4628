// The menu screen's Puzzle mode: the level select dialog, its pages, and starting a level.
#include "FieldGeometry.h"
#include "GameControl.h"
#include "LevelLibrary.h"
#include "LevelSelectPanel.h"
#include "MenuGui.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "records/TwProfileStore.h"

namespace {

LevelSelectPanel* LevelSelect(const MenuGui& menu) {
    return dynamic_cast<LevelSelectPanel*>(menu.GetPanel(MenuGui::kLevelSelect));
}
} // namespace

void MenuGui::BuildLevelSelect() {
    auto select = std::make_unique<LevelSelectPanel>();
    select->Create("Interface/LevelSelectDlg");
    AddPanel(kLevelSelect, std::move(select));
}

// The sets are read afresh each time, so a set the player has just dropped into the Levels
// folder (or mended) appears without a restart.
void MenuGui::OnPuzzle() {
    LevelSelectPanel* select = LevelSelect(*this);
    if (select == nullptr) {
        return;
    }
    FieldGeometry geometry = FieldGeometry::Shared();
    geometry.ReadFromResources();
    LevelLibrary& library = LevelLibrary::Shared();
    library.Load(geometry.columns, geometry.rows);
    select->Show(library, TwProfileStore::Instance().ActiveName());
    OpenPanel(kLevelSelect);
}

void MenuGui::OnLevelChosen() {
    LevelSelectPanel* select = LevelSelect(*this);
    if (select == nullptr || !select->Choose(eventSource_)) {
        return;
    }
    // A game under way or a saved game is not thrown away without asking.
    const bool underWay = game_ != nullptr && !game_->IsFinished();
    if (underWay || TwProfileStore::Instance().HasSavedGame()) {
        if (game_ != nullptr) {
            game_->RememberMode(GameMode::kPuzzle);
        }
        OpenPanel(kStartQuestion);
        return;
    }
    StartChosenLevel();
}

void MenuGui::OnLevelPagePrev() {
    if (LevelSelectPanel* select = LevelSelect(*this)) {
        select->TurnPage(-1);
    }
}

void MenuGui::OnLevelPageNext() {
    if (LevelSelectPanel* select = LevelSelect(*this)) {
        select->TurnPage(1);
    }
}

void MenuGui::StartChosenLevel() {
    LevelSelectPanel* select = LevelSelect(*this);
    if (game_ == nullptr || select == nullptr) {
        return;
    }
    if (!game_->StartPuzzle(select->ChosenSet(), select->ChosenLevel())) {
        return;
    }
    // The level select is gone when the player comes back to the menu.
    while (!panelStack_.empty() && TopPanel() != GetPanel(kMainMenu)) {
        RemoveTopPanel();
    }
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwGamePlayList);
    sound.ResumeMusic();
    EnterGame();
}
