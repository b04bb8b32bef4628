#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "FieldGeometry.h"
#include "GameMode.h"
#include "Launcher.h"
#include "PlayState.h"
#include "Replay.h"

class BubbleBanks;
class GameMap;
class PuzzleMap;
struct PuzzleLevel;
struct SavedGame;

// One game as a value: the field of its mode, the launcher, the bubble banks its bubbles come
// from, the field's random generator, the difficulty and how the game stands. It takes what
// it needs as arguments, reports what happened, and steps by frame time; it draws nothing,
// plays nothing and touches no file, so any number of sessions can live side by side. The
// game screen owns one and draws it; the replay player and the verifier drive one alone.
class GameSession {
public:
    // What one step brought about.
    enum class Event {
        kNone,
        kShotAtRest, // the last shot's landing, bursts, falls and rows are over
        kLost,       // a bubble reached the last row
        kCleared,    // the field is empty
    };

    // Bubbles come from `banks` (the game screen's, with pictures); without, the session
    // makes banks of its own that hold no pictures.
    explicit GameSession(BubbleBanks* banks = nullptr);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // A fresh field and launcher of a mode, with no game on it yet.
    void SetUp(GameMode mode, const FieldGeometry& geometry, int difficulty);
    // The level a Puzzle field plays (before Begin), or only its origin when the level
    // itself is not at hand (a continued field whose set is gone).
    void SetLevel(const PuzzleLevel& level, const std::string& setId, int number);
    void SetOrigin(const std::string& setId, int number);
    // Starts play on the field set up: its generator seeded, the upper half of the rows
    // filled (a Puzzle level's own field), revealed colour by colour.
    void Begin(std::uint32_t seed);
    // Starts play from a saved game on the field set up: its bubbles, counters and launcher
    // bubbles, and the generator as it was when given. A Puzzle level is given by `level`
    // (null when it is not at hand any more).
    void Continue(const SavedGame& saved, std::optional<std::uint32_t> randomState,
                  const PuzzleLevel* level);
    // The field and launcher go; the session holds no game.
    void TearDown();

    // One frame of `ms`: the bursts and bubbles animate, the launcher reloads and recoils,
    // `steer` may turn and fire the launcher, then the field runs. A game that has ended and
    // had its end dealt with cannot end again, though its field keeps moving.
    Event Step(int ms, const std::function<void(Launcher&)>& steer = {});

    // --- The game as it stands ---
    bool HasField() const { return field_ != nullptr; }
    GameMap* Field() const { return field_.get(); }
    Launcher* GetLauncher() const { return launcher_.get(); }
    // The Puzzle field, or null in another mode.
    const PuzzleMap* Puzzle() const;
    GameMode Mode() const { return mode_; }
    // The difficulty the next Begin paces the rows with.
    void SetDifficulty(int difficulty);
    const GameModeInfo& Info() const { return ModeInfo(mode_); }
    int Difficulty() const { return difficulty_; }
    PlayState State() const;
    void SetState(PlayState state);
    bool Playing() const { return State() == PlayState::kPlaying; }
    // The end of the game has been dealt with (its result shown): a lost game becomes
    // kNotPlaying, a cleared one kCompleteShown.
    void SettleEnd();
    // True once the last shot has landed, its bursts and falls are over and any row it
    // brought has settled: the moment the next shot may be fired.
    bool ShotAtRest() const;
    int ShotsFired() const { return shotsFired_; }
    void SetShotsFired(int shots) { shotsFired_ = shots; }
    // Hands over the whole seconds played (not over) since the last time, keeping the rest.
    int TakePlayedSeconds();
    // A shot was fired and its rest has not been reported yet.
    bool ShotPending() const { return shotPending_; }
    void ClearShotPending() { shotPending_ = false; }

    // The game as the save slot keeps it (a Puzzle level's set, number and ceiling included).
    SavedGame CurrentSave() const;
    // Score, shots fired, the field's hash and how it ended.
    ReplayResult CurrentResult() const;
    // The recording's header of the game begun with `seed`: mode, difficulty, seed, field
    // size and a Puzzle level.
    Replay RecordingHeader(std::uint32_t seed) const;
    // The player left and came back: the field goes through its saved text and play goes on
    // from what is read back, with the generator where it was.
    void ContinueThroughSave();
    // A hash of the field's cells (colours and empties), to compare fields by.
    static std::uint64_t FieldHash(const GameMap& field);

    // --- What the session tells ---
    // Every effect asked for, by GameSound id.
    void SetSoundSink(std::function<void(int)> sink);
    // Every shot and swap, before the launcher changes (the recording keeps them).
    void SetActionSink(std::function<void(Launcher::Action)> sink) {
        actionSink_ = std::move(sink);
    }
    // The tint of the loaded bubble, at the start of every field frame.
    void SetCursorTintSink(std::function<void(std::uint32_t)> sink);

    BubbleBanks& Banks() const { return *banks_; }

private:
    void OnLauncherAction(Launcher::Action action);
    void ApplySavedGame(const SavedGame& saved);

    std::unique_ptr<BubbleBanks> ownBanks_;
    BubbleBanks* banks_ = nullptr;
    // The field goes before the launcher, the banks (whose draw list is its scene) last.
    std::unique_ptr<Launcher> launcher_;
    std::unique_ptr<GameMap> field_;
    GameMode mode_ = GameMode::kClassic;
    int difficulty_ = 0;
    PlayState idleState_ = PlayState::kNotPlaying;
    int shotsFired_ = 0;
    int playedMs_ = 0;
    bool shotPending_ = false;
    std::function<void(int)> soundSink_;
    std::function<void(Launcher::Action)> actionSink_;
    std::function<void(std::uint32_t)> cursorTint_;
};
