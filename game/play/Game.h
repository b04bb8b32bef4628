#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "FieldGeometry.h"
#include "FieldPainter.h"
#include "GameControl.h"
#include "GameSession.h"
#include "LauncherKeys.h"
#include "Replay.h"
#include "ReplayRecorder.h"

class AimGuide;
class BubbleBanks;
class GameCompletePanel;
class GameMap;
class ReplayPlayer;
class TwEventRouter;
struct TwInputEvent;

// The game screen ("GameWin"): shows one game session and plays it with the player. It
// builds its panels, starts and continues games, hands the mouse, keys and controller to the
// launcher while a game is played, runs the session once per frame, draws it with the
// score, and turns what the session reports into saves (after every shot), results (score,
// statistics, Puzzle progress) and the result dialogs. The small "GameMenu" panel with the
// menu button (Escape presses it) saves the game and goes back to the menu. Recordings are
// played here too (GameReplay.cpp).
class Game : public GameControl {
public:
    static constexpr const char* kScreenName = "GameWin";
    static constexpr const char* kMenuScreen = "MenuWin";
    static constexpr const char* kMenuPanel = "GameMenu";
    static constexpr const char* kMenuButton = "ToMenuBtn";
    static constexpr const char* kGameOverPanel = "GameOverDlg";
    static constexpr const char* kGameOverButton = "GameOverDlg.Menu";
    static constexpr const char* kCompletePanel = "GameCompleteDlg";
    static constexpr const char* kCompleteButton = "GameCompleteDlg.ComplOk";
    static constexpr const char* kPausePanel = "PauseDlg";
    static constexpr const char* kResumeButton = "PauseDlg.Resume";
    static constexpr const char* kPauseMenuButton = "PauseDlg.Menu";
    static constexpr const char* kGameOverWatch = "GameOverDlg.Watch";
    static constexpr const char* kCompleteWatch = "GameCompleteDlg.Watch";
    static constexpr GameMode kClassic = GameMode::kClassic;
    static constexpr GameMode kArcade = GameMode::kArcade;
    static constexpr GameMode kPuzzle = GameMode::kPuzzle;
    static constexpr const char* kPuzzlePanel = "PuzzleResultDlg";
    static constexpr const char* kPuzzleLostPanel = "PuzzleLostDlg";
    static constexpr const char* kPuzzleNext = "PuzzleResultDlg.Next";
    static constexpr const char* kPuzzleRetry = "PuzzleResultDlg.Retry";
    static constexpr const char* kPuzzleMenu = "PuzzleResultDlg.Menu";
    static constexpr const char* kPuzzleLostRetry = "PuzzleLostDlg.Retry";
    static constexpr const char* kPuzzleLostMenu = "PuzzleLostDlg.Menu";
    static constexpr const char* kPuzzleWatch = "PuzzleResultDlg.Watch";
    static constexpr const char* kPuzzleLostWatch = "PuzzleLostDlg.Watch";
    // Where the score is printed: centred on this point.
    static constexpr float kScoreX = 72.0f;
    static constexpr float kScoreY = 16.0f;

    Game();
    // Leaves the player's saved game alone: the application saves a game in progress
    // before the screen goes, so the player can continue it at the next start. A game in
    // play is also saved after every shot, so a killed program loses one shot at most.
    ~Game() override;

    // --- The game as the menu and the application see it ---
    bool HasField() const override { return session_.HasField(); }
    bool IsFinished() const override { return IsSettled(session_.State()); }
    void Abandon() override;
    void Suspend() override { session_.SetState(PlayState::kNotPlaying); }
    bool Restore() override;
    bool SaveGame() override;

    // --- Setting up and starting ---
    // The banks of bubble and burst pictures, the "Digits" font as font 1, and the panels.
    void BuildScreen() override;
    void StartClassic() override { Start(kClassic); }
    void StartArcade() override { Start(kArcade); }
    // Sets up and starts a level of a Puzzle set (numbered from 1) from the shared level
    // library. False, with nothing changed, when there is no such level.
    bool StartPuzzle(const std::string& setId, int level) override;
    // Starts play on the field set up last: the upper half of the rows filled and revealed
    // colour by colour.
    void NewGame() override;
    GameMode Mode() const override { return session_.Mode(); }
    BubbleBanks* Banks() const override;

    // --- The screen ---
    // The panels first; otherwise, while a game is played, the launcher aims, fires and
    // swaps. The record is used up either way.
    bool HandleInput(TwInputEvent& input) override;
    // Panels, then the session's frame and what it reported.
    void Update(int elapsedMs) override;
    void Draw() override;
    // Runs the action of the button pressed (the event table in Game.cpp).
    void OnEvent() override;

    // The pause: while the pause panel is open the field, the launcher, their animations
    // and the Arcade clock stand still. Pause does nothing unless a game is being played.
    void Pause();
    void Resume();
    bool Paused() const { return paused_; }

    // The player whose game is on the screen: taken from the active player when a game is
    // started or continued. The game is saved into and erased from this player's slot only,
    // whoever is active by then.
    const std::string& Owner() const { return owner_; }

    GameSession& Session() { return session_; }
    const GameSession& Session() const { return session_; }
    PlayState State() const { return session_.State(); }
    GameMap* Field() const { return session_.Field(); }
    Launcher* GetLauncher() const { return session_.GetLauncher(); }

    // --- Recordings (GameReplay.cpp) ---
    // Plays a recording on this screen instead of a game, at its own pace (fast forward
    // with Space, Enter, Right or a click; Escape leaves). A replay enters no score and never
    // touches the saved game. False when the recording is of a mode this screen cannot play.
    bool StartReplay(Replay replay);
    // Reads a recording file and plays it (StartReplay); a file that cannot be played gives
    // the player a message and leaves the screen as it was.
    bool WatchRecording(const std::string& path, std::function<void()> onLeave = {}) override;
    bool Replaying() const { return replay_ != nullptr; }
    // Runs the recording up to and including its next frame, as fast as it goes. False once
    // it has run out.
    bool StepReplay();
    // Ends a replay; the screen holds no game afterwards.
    void StopReplay();
    // True when the replay asked for a shot or swap the game refused.
    bool ReplayDiverged() const;
    int ReplaySpeed() const;
    // The recording of the game in play.
    const ReplayRecorder& Recorder() const { return recorder_; }
    // The file (inside the recordings folder) of the last game finished on this screen;
    // empty when it was not recorded.
    const std::string& LastRecording() const { return lastRecording_; }
    // How the game stands now: score, shots fired, the field's hash and how it ended.
    ReplayResult CurrentResult() const { return session_.CurrentResult(); }
    int ShotsFired() const { return session_.ShotsFired(); }

    GameCompletePanel* GameOverPanel() const;
    GameCompletePanel* CompletePanel() const;

    // The router that shows the menu screen; by default the application's.
    void SetRouter(TwEventRouter* router) { router_ = router; }
    // Fields made from now on use this geometry instead of the one in "Data/Map.Txt".
    void SetFieldGeometry(std::optional<FieldGeometry> geometry) { geometry_ = geometry; }

private:
    struct EventEntry {
        const char* name;
        void (Game::*handler)(const std::string& event);
    };
    static const std::vector<EventEntry>& EventTable();

    void Start(GameMode mode);
    // One frame: panels, then (not paused) the session and what it reported.
    void RunFrame(int elapsedMs);
    void OnSessionEvent(GameSession::Event event);
    void OnLauncherAction(Launcher::Action action);
    void AdvanceReplay(int elapsedMs);
    bool HandleReplayInput(const TwInputEvent& input);
    void FinishRecording();
    // Draws the aim guide when the player has it on and a shot is being aimed.
    void DrawAimGuide();
    void DrawScore();
    // The result dialog's Watch: the game just finished, or the replay just shown again.
    void WatchLastGame();
    void CloseResultPanels();
    // Records the score and the statistics, erases the saved game and opens the result
    // dialog of a Classic or Arcade game (or of any replay).
    void EndGame(bool cleared);
    // A Puzzle level has ended: the owner's progress is updated when it was cleared, and the
    // result dialog offers the next level (once cleared), a retry and the menu.
    void EndPuzzle(bool cleared);
    // Saves the game in play into the owner's slot and counts the statistics, on leaving.
    void KeepGameInPlay();
    void BackToMenu(bool menuMusic);
    // The pause key (or button) pressed while a game is played.
    bool IsPauseKey(const TwInputEvent& input) const;
    // The menu key (or button) with no dialog over the game.
    bool IsMenuKey(const TwInputEvent& input) const;
    bool IsStrayEscape(const TwInputEvent& input) const;
    bool IsLauncherTap(const TwInputEvent& input) const;
    // Leaving a replay by any of its ways out.
    void LeaveReplay(const std::string& event);
    TwEventRouter* Router() const;
    // The size the next field will have.
    FieldGeometry NextFieldGeometry() const;
    int Difficulty() const;

    // Event handlers of the table.
    void OnWatch(const std::string& event);
    void OnResume(const std::string& event);
    void OnPauseMenu(const std::string& event);
    void OnMenu(const std::string& event);
    void OnResultOk(const std::string& event);
    void OnPuzzleResult(const std::string& event);

    // The banks outlive the session (their draw list is the field's scene).
    std::unique_ptr<BubbleBanks> banks_;
    GameSession session_;
    FieldPainter painter_;
    bool built_ = false;
    LauncherKeys keys_; // keyboard and controller play
    TwEventRouter* router_ = nullptr;
    std::optional<FieldGeometry> geometry_;
    std::string owner_;
    bool paused_ = false;
    // The player was told this game that a save failed.
    bool toldSaveFailed_ = false;
    // The score as printed for the last frame; printed again only when the score changes.
    std::optional<int> printedScore_;
    char scoreText_[16] = {};

    ReplayRecorder recorder_;
    std::unique_ptr<AimGuide> aimGuide_;
    std::unique_ptr<ReplayPlayer> replay_;
    std::optional<FieldGeometry> geometryBeforeReplay_;
    std::function<void()> replayLeft_;
    std::string lastRecording_;
};
