#pragma once
#include <functional>
#include <memory>

#include "app/TwBaseGameApp.h"

class GameControl;
class MenuGui;

// Zorbit Volley's application: the menu application with the game screen. Its load step
// brings up, behind the loading screen, the menu and its dialogs, the sound table and
// music, the main font, the game screen, the pointer and the two high-score tables.
class GameApplication : public TwBaseGameApp {
public:
    // The game screen's name in the event router.
    static constexpr const char* kGameScreen = "GameWin";
    using GameFactory = std::function<std::unique_ptr<GameControl>()>;

    GameApplication();
    // A game under way is saved for its player; then the game screen, the high-score tables
    // and the menu go, in that order, and the fonts with them.
    ~GameApplication() override;

    // Run once after the loading screen first showed 20 percent; shows 30 to 90 percent.
    void LoadData() override;

    // Replaces how the game screen is made (tests put a stand-in there).
    void SetGameFactory(GameFactory factory) { gameFactory_ = std::move(factory); }

    MenuGui* Menu() const;
    // Shows a recording on the game screen instead of the menu (--replay); the program ends
    // when the player leaves it. False, with a message, when it cannot be played.
    bool WatchFromCommandLine(const std::string& path);
    GameControl* GameScreen() const { return gameScreen_.get(); }

private:
    void LoadSounds();
    void BuildGameScreen();
    void AskFirstName();
    void LoadHighScoreTables();

    GameFactory gameFactory_;
    std::unique_ptr<GameControl> gameScreen_;
};
