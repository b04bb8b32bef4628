#pragma once
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TestSupport.h"
#include "VirtualScreen.h"

// Skips the calling test when the run has no X server to play on (Xvfb, xdotool or the
// window manager missing, or the server not starting), saying which.
#define SKIP_WITHOUT_X(run)                                                                        \
    if (const std::string missing = (run).MissingTools(); !missing.empty()) {                      \
        GTEST_SKIP() << missing;                                                                   \
    }

namespace e2e {

using namespace std::chrono_literals;

// The game's own 800 x 600 picture, cut out of the screen (the game letterboxes it into
// its window), so every check can use the coordinates the game draws with.
using GameView = Picture;
using ViewCheck = std::function<bool(const GameView&)>;

// A bare X server, or one with a window manager that frames, focuses, minimises and closes
// windows as on a player's desktop.
enum class Desktop { Bare, WindowManager };

// One player's machine for one test: an X server of its own, empty configuration and
// data directories, a disk file for the sound, and the game started from the build tree
// as a player starts it. Every step's screenshot is kept under
// <build>/e2e-artifacts/<test>/ so that a person can look at what the player saw.
class GameRun {
public:
    explicit GameRun(int screenWidth = 800, int screenHeight = 600,
                     Desktop desktop = Desktop::Bare);
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    // Empty when Xvfb and xdotool (and the window manager asked for) are there; otherwise why
    // the run cannot happen.
    std::string MissingTools() const;

    VirtualScreen& Screen() { return *screen_; }
    std::string ConfigDir() const { return dirs_.File("config") + "/zorbit-volley"; }
    std::string DataDir() const { return dirs_.File("data") + "/zorbit-volley"; }
    std::string HomeDir() const { return dirs_.File("home"); }
    std::string AudioFile() const { return dirs_.File("sound.raw"); }
    std::string ArtifactDir() const { return artifacts_; }
    std::string Scratch(const std::string& name) const { return dirs_.File(name); }

    // An environment variable for the game's next starts (its trace switches, LANGUAGE).
    void SetGameVariable(const std::string& name, const std::string& value) {
        gameVariables_[name] = value;
    }

    // Starts the game (by default the build tree's binary, from the build directory), with
    // these arguments.
    void Launch(const std::vector<std::string>& args = {});
    void LaunchFrom(const std::string& executable, const std::string& workDir,
                    const std::vector<std::string>& args = {});
    // A further copy with the same player directories and display; not waited for.
    std::unique_ptr<ChildProcess> LaunchExtraCopy(const std::string& stderrName);
    ChildProcess& Game() { return *game_; }
    std::string GameStderr() const;

    // Waits for the game's window to be on screen and learns where the game draws in it.
    bool WaitForWindow(std::chrono::milliseconds timeout = 20s);
    std::optional<WindowPlace> WindowPlaceNow();
    WindowId Window() const { return window_; }

    // Player input, in game coordinates.
    void MoveTo(double x, double y);
    void Click(double x, double y);
    void ClickHere();
    // A click at a place of the X screen, outside the game's picture (another window).
    void ClickScreen(int x, int y);
    void PressMouse(double x, double y);
    void ReleaseMouse();
    void Key(const std::string& keyName);
    void Type(const std::string& text);
    void Minimise();
    void Restore();

    // Through the window manager: the keyboard focus goes to a window (as a click on it or
    // Alt+Tab does; the game's own window is brought back from being minimised too), the
    // game's window is minimised, or closed on the player's request.
    void Activate(WindowId window);
    void MinimiseThroughManager();
    void CloseThroughManager();
    // The window with the keyboard focus now (0 for none).
    WindowId FocusedWindow();

    // The current picture in game coordinates.
    GameView Look();
    // Looks and keeps the screenshot as the step's artefact.
    GameView Snap(const std::string& step);
    // Looks again and again until the check holds; keeps the last screenshot as the
    // step's artefact either way.
    bool WaitFor(const std::string& step, const ViewCheck& check,
                 std::chrono::milliseconds timeout = 10s);
    // Waits until the area stops changing (panels have finished fading).
    bool WaitSteady(const std::string& step, Area area, std::chrono::milliseconds timeout = 5s);

    // Closes the window as a window manager would and waits for the program to end.
    std::optional<int> CloseWindow(std::chrono::milliseconds timeout = 10s);
    // Waits for the program to end by itself; its exit code.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout = 10s);

private:
    Environment GameEnvironment() const;
    void Xdo(const std::vector<std::string>& args);
    std::pair<int, int> ToScreen(double x, double y) const;
    GameView ToView(const Picture& screen) const;
    void SaveArtifact(const std::string& step, const Picture& screen);

    zvtest::TempDir dirs_;
    Desktop desktop_;
    bool managed_ = false; // the window manager runs
    std::unique_ptr<VirtualScreen> screen_;
    std::unique_ptr<ChildProcess> game_;
    std::string artifacts_;
    int launches_ = 0;
    int steps_ = 0;
    WindowId window_ = 0;
    WindowPlace place_;
    std::map<std::string, std::string> gameVariables_;
};

// A returning players' machine: these profiles (the first one active) and the settings
// already on disk, as the game writes them.
void WritePlayers(GameRun& run, const std::vector<std::string>& names, int difficulty);
// Where a player's saved game is kept.
std::string SlotFile(const GameRun& run, const std::string& name);

// Where the game's buttons and dialogs are, in game coordinates.
namespace menu {
constexpr double kContinueX = 152, kContinueY = 141;
constexpr double kClassicX = 160, kClassicY = 192;
constexpr double kArcadeX = 168, kArcadeY = 243;
constexpr double kPuzzleX = 172, kPuzzleY = 294;
constexpr double kOptionsX = 172, kOptionsY = 345;
constexpr double kScoresX = 144, kScoresY = 447;
constexpr double kExitX = 176, kExitY = 498;
constexpr double kPlayersX = 608, kPlayersY = 150; // "change player", under the greeting
} // namespace menu

// The players dialog: the list (first entry, then one row further down per player) and its
// buttons; the name dialog's buttons.
namespace players {
constexpr double kEntryX = 400, kFirstEntryY = 156, kEntryStep = 43;
constexpr double kNewX = 298, kNewY = 444;
constexpr double kOkX = 400, kOkY = 501;
constexpr double kNameCancelX = 496, kNameCancelY = 372;
} // namespace players

// Pictures that tell which screen is shown.
bool LoadingScreenShown(const GameView& view);
bool MainMenuShown(const GameView& view); // the main menu, no dialog over it
bool NameDialogShown(const GameView& view);
bool ContinueEnabled(const GameView& view);
bool GameScreenShown(const GameView& view);
// The game-over or level-complete panel over the field.
bool ResultPanelShown(const GameView& view);
bool ScoreDialogShown(const GameView& view);
bool OptionsDialogShown(const GameView& view);

// Where the shots go: up the middle and off both walls, so the field fills unevenly.
struct AimPoint {
    double x, y;
};
constexpr AimPoint kAimPoints[] = {{400, 120}, {250, 200}, {560, 200}, {330, 120}, {470, 120},
                                   {175, 330}, {625, 330}, {400, 250}, {300, 300}, {500, 300}};

// Fires at points all over the field until a result panel stays on screen (the game is
// lost or cleared), at most `maxShots` shots; every fifth shot is kept as an artefact.
// `counting`, when given, receives the views seen while the panel was counting up.
bool PlayUntilResultPanel(GameRun& run, int maxShots, std::vector<GameView>* counting = nullptr);

// The field between the walls, above the launcher.
constexpr Area kField{180, 30, 440, 400};

// Presses Continue at the main menu and expects the continued game to show the same field
// as `before` (saved as artefact steps "continued-game" and "field-after-continuing").
void ExpectContinuedField(GameRun& run, const GameView& before, const std::string& what);

// The result panel's three numbers (score, bonus, total), its OK and Watch buttons.
constexpr Area kResultNumbers{415, 250, 190, 130};
constexpr double kResultOkX = 488, kResultOkY = 412;
constexpr double kResultWatchX = 312, kResultWatchY = 412;

} // namespace e2e
