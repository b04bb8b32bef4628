#include "GameApplication.h"

#include "app/TwFrameTimer.h"
#include "gfx/TwFontTable.h"
#include "gui/TwEventListener.h"
#include "gui/TwEventRouter.h"

GameApplication::~GameApplication() {
    TwFontTable::Instance().Clear();
}

void GameApplication::LoadData() {
    ShowProgress(30);
    ShowProgress(40);
    ShowProgress(50);
    TwFontTable::Instance().Load(TwFontTable::MainFont, "MainFont");
    ShowProgress(60);
    ShowProgress(65);
    CreateCursor();
    ShowProgress(80);
    ShowProgress(90);
}

void GameApplication::UpdateAndDraw() {
    TwEventListener* screen = Router() ? Router()->Current() : nullptr;
    if (!screen) {
        return;
    }
    screen->OnEvent();
    screen->Update(TwFrameTimer::Instance().Delta());
    screen->Draw();
}
