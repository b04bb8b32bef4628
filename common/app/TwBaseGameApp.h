#pragma once
#include <memory>

#include "app/TwBaseApplication.h"

class TwBaseGuiElemen;
class TwBaseMenuGui;
class TwPanel;

// The application of a game with a menu: owns the menu screen, builds its main window and
// player dialogs when the game loads, and every frame lets the current screen act on its
// pending event, move on by the averaged frame time and draw itself. The menu's Continue
// button follows the active player's saved game.
class TwBaseGameApp : public TwBaseApplication {
public:
    // The menu screen's name in the event router.
    static constexpr const char* kMenuScreen = "MenuWin";

    TwBaseGameApp();
    ~TwBaseGameApp() override;

    void UpdateAndDraw() override;
    // Enters the menu screen (made by the game's load step before this runs) into the router
    // and builds the player dialogs and the main menu window.
    virtual void LoadData();

    TwBaseGuiElemen* ContinueButton() const { return continueButton_; }

protected:
    // Continue is usable exactly while the active player has a saved game.
    void UpdateContinueButton();

    std::unique_ptr<TwBaseMenuGui> menuScreen_;
    TwPanel* mainMenu_ = nullptr;
    TwBaseGuiElemen* continueButton_ = nullptr;
};
