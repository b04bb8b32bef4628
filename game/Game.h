#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "FieldGeometry.h"
#include "GameControl.h"
#include "Launcher.h"
#include "LauncherKeys.h"
#include "Replay.h"
#include "ReplayRecorder.h"

class AimGuide;
class BubbleBanks;
class GameCompletePanel;
class GameMap;
class TwEventRouter;
struct SavedGame;
struct TwInputEvent;

// The game screen ("GameWin"): owns the field and its launcher, starts Classic and Arcade
// games, hands the mouse to the launcher while a game is played, runs the field once per
// frame, draws the score, and turns the end of a game into a high-score entry and the
// game-over or level-complete dialog. The small "GameMenu" panel with the menu button
// (Escape presses it) saves the game and goes back to the menu.
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
    static constexpr int kClassic = 0;
    static constexpr int kArcade = 1;
    static constexpr int kPuzzle = 2;
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
    bool HasField() const override;
    bool IsFinished() const override;
    void Abandon() override;
    void Suspend() override;
    bool Restore() override;
    bool SaveGame() override;

    // --- Setting up and starting ---
    // The banks of bubble and burst pictures, the "Digits" font as font 1, and the panels.
    void BuildScreen() override;
    void StartClassic() override;
    void StartArcade() override;
    // Sets up and starts a level of a Puzzle set (numbered from 1) from the shared level
    // library. False, with nothing changed, when there is no such level.
    bool StartPuzzle(const std::string& setId, int level) override;
    // Starts play on the field set up last: the upper half of the rows filled and revealed
    // colour by colour.
    void NewGame() override;
    int GetGameID() const override { return gameId_; }
    BubbleBanks* Banks() const override;
    // Where a shot may travel, from the field's first row and its two outer columns.
    void ComputeWalls();

    // --- The screen ---
    // The panels first; otherwise, while a game is played, the launcher aims, fires and
    // swaps. The record is used up either way.
    bool HandleInput(TwInputEvent& input) override;
    // Panels, burst effects, launcher, field, then the end of the game when it came.
    void Update(int elapsedMs) override;
    void Draw() override;
    void OnEvent() override;
    // Enters the finished game's score (without the bonus) in the mode's high-score table
    // under the active player's name.
    virtual void RecordHighScore();

    // The pause: while the pause panel is open the field, the launcher, their animations
    // and the Arcade clock stand still. Pause does nothing unless a game is being played.
    void Pause();
    void Resume();
    bool Paused() const { return paused_; }

    // The player whose game is on the screen: taken from the active player when a game is
    // started or continued. The game is saved into and erased from this player's slot only,
    // whoever is active by then.
    const std::string& Owner() const { return owner_; }

    GameMap* Field() const { return field_.get(); }
    Launcher* GetLauncher() const { return launcher_.get(); }
    // --- Recordings (game/GameReplay.cpp) ---
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
    // True when the replay asked for a shot or swap the game refused: it no longer follows
    // the recording.
    bool ReplayDiverged() const { return replayDiverged_; }
    int ReplaySpeed() const { return replaySpeed_; }
    // The recording of the game in play.
    const ReplayRecorder& Recorder() const { return recorder_; }
    // The file (inside the recordings folder) of the last game finished on this screen;
    // empty when it was not recorded.
    const std::string& LastRecording() const { return lastRecording_; }
    // How the game stands now: score, shots fired, the field's hash and how it ended.
    ReplayResult CurrentResult() const;
    int ShotsFired() const { return shotsFired_; }
    // A hash of the field's cells (colours and empties), to compare fields by.
    static std::uint64_t FieldHash(const GameMap& field);

    GameCompletePanel* GameOverPanel() const;
    GameCompletePanel* CompletePanel() const;

    // The router that shows the menu screen; by default the application's.
    void SetRouter(TwEventRouter* router) { router_ = router; }
    // Fields made from now on use this geometry instead of the one in "Data/Map.Txt".
    void SetFieldGeometry(std::optional<FieldGeometry> geometry) { geometry_ = geometry; }

private:
    void Start(int mode);
    // One frame of play: panels, effects, launcher, field, the end of the game or a save.
    void RunFrame(int elapsedMs);
    void OnLauncherAction(Launcher::Action action);
    void AdvanceReplay(int elapsedMs);
    void ApplyReplayStep(const ReplayEvent& step);
    bool HandleReplayInput(const TwInputEvent& input);
    // Continue as Restore does, from a saved game and the game's random state.
    void ContinueFrom(const SavedGame& saved, std::optional<std::uint32_t> randomState);
    // The replay's way through a save and continue: the field saved and read back.
    void ReplayContinue();
    void FinishRecording();
    // Draws the aim guide when the player has it on and a shot is being aimed.
    void DrawAimGuide();
    void KeepLinkedRecordings() const;
    // The result dialog's Watch: the game just finished, or the replay just shown again.
    void WatchLastGame();
    void DestroyField();
    void CloseResultPanels();
    void LinkCursorTint();
    // Records the score and the statistics, erases the saved game and opens the result
    // dialog.
    void EndGame(const char* panelName, int shownState);
    // Adds to the owner's statistics: a shot at rest, the end of a game (when `won` is
    // given), and the time played so far.
    void RecordStats(bool shot, std::optional<bool> won);
    void BackToMenu(bool menuMusic);
    // The pause key (or button) pressed while a game is played.
    bool IsPauseKey(const TwInputEvent& input) const;
    // The menu key (or button) with no dialog over the game.
    bool IsMenuKey(const TwInputEvent& input) const;
    bool IsStrayEscape(const TwInputEvent& input) const;
    bool IsLauncherTap(const TwInputEvent& input) const;
    // True once the last shot has landed, its bursts and falls are over and any row it
    // brought has settled: the moment the next shot may be fired.
    bool ShotAtRest() const;
    void ApplySavedGame(const SavedGame& saved);
    // The game in play as its save slot keeps it (a Puzzle level's set, number and ceiling
    // included).
    SavedGame CurrentSave() const;
    // A Puzzle level has ended: the active player's progress is updated when it was cleared,
    // and the result dialog offers the next level (once cleared), a retry and the menu.
    void EndPuzzle(bool cleared);
    void OnPuzzleEvent(const std::string& event);
    TwEventRouter* Router() const;
    // The size the next field will have.
    FieldGeometry NextFieldGeometry() const;

    // The banks outlive the field and launcher (their draw list is the field's scene).
    std::unique_ptr<BubbleBanks> banks_;
    bool built_ = false;
    int gameId_ = kClassic;
    std::unique_ptr<GameMap> field_;
    std::unique_ptr<Launcher> launcher_;
    LauncherKeys keys_; // keyboard and controller play
    TwEventRouter* router_ = nullptr;
    std::optional<FieldGeometry> geometry_;
    std::string owner_;
    // A shot was fired and the field it left has not been saved yet.
    bool shotToSave_ = false;
    bool paused_ = false;
    // Milliseconds played (not paused, not over) not yet in the owner's statistics.
    int playMs_ = 0;
    // The player was told this game that a save failed.
    bool toldSaveFailed_ = false;
    // The score as printed for the last frame; printed again only when the score changes.
    std::optional<int> printedScore_;
    char scoreText_[16] = {};

    ReplayRecorder recorder_;
    std::unique_ptr<AimGuide> aimGuide_;
    std::unique_ptr<ReplayCursor> replay_;
    std::optional<FieldGeometry> geometryBeforeReplay_;
    std::function<void()> replayLeft_;
    std::string lastRecording_;
    int shotsFired_ = 0;
    int replaySpeed_ = 1;
    int replayBudget_ = 0;
    bool replayDiverged_ = false;
};
