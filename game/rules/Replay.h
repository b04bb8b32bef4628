#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LevelSet.h"

// The recording of one game: what decides it and nothing else. The seed of the game's own
// random numbers, the mode, difficulty and field size it was played with, then frame by
// frame the milliseconds that passed and what the player did in between (the aim at the
// moment it mattered, shots, swaps, leaving for the menu and coming back). A finished game
// also keeps how it ended, so a replay can be checked against it. A Puzzle game keeps its
// level whole (the set's name, the number, the shots and the field), so it replays the field
// it was played on even after the set was changed or deleted.
//
// Kept as a small binary file (docs/formats/replays.md): frames of equal length are stored
// as one run, so a minute of play takes a few kilobytes.
struct ReplayEvent {
    enum Type : std::uint8_t {
        kFrames = 1, // `count` frames of `ms` milliseconds each
        kAim = 2,    // the launcher points along (x, y)
        kFire = 3,
        kSwap = 4,
        kLeave = 5,  // the player went back to the menu; the game was saved
        kResume = 6, // the game was continued from its save
    };
    Type type = kFrames;
    std::uint32_t count = 0;
    std::uint32_t ms = 0;
    float x = 0.0f;
    float y = 0.0f;
};

struct ReplayResult {
    static constexpr int kLost = 1;
    static constexpr int kCleared = 2;
    int outcome = kLost;
    int score = 0;
    int shots = 0;
    std::uint64_t fieldHash = 0;

    bool operator==(const ReplayResult&) const = default;
};

struct Replay {
    static constexpr int kVersion = 1;
    // Limits the reader holds a file to; a real game stays far inside them.
    static constexpr std::uint32_t kMaxFrameMs = 60000;
    static constexpr std::uint32_t kMaxRun = 1u << 24;
    static constexpr std::size_t kMaxEvents = 1u << 22;
    static constexpr std::size_t kMaxBytes = 64u << 20;

    int mode = 0;       // 0 Classic, 1 Arcade, 2 Puzzle
    int difficulty = 0; // 0 Easy, 1 Normal, 2 Hard
    int level = 0;      // the Puzzle level's number in its set; 0 in the other modes
    // The Puzzle level as it was played (mode 2 only): the set's id and the level itself.
    std::string puzzleSet;
    PuzzleLevel puzzleLevel;
    std::uint32_t seed = 0;
    bool guided = false; // the aim guide was on at some point
    int columns = 12;
    int rows = 12;
    int radius = 16;
    int launcherX = 400;
    int launcherY = 570;
    std::vector<ReplayEvent> events;
    std::optional<ReplayResult> result; // present once the game has ended

    // The file's bytes.
    std::string Serialize() const;

    enum class ReadError { kNone, kNotReplay, kUnknownVersion, kDamaged, kTruncated, kTooLarge };
    // Reads a whole file. Anything else than a complete recording of a known version is
    // refused; `out` is only filled on success.
    static ReadError Parse(std::string_view bytes, Replay& out);
    // A sentence for the player about why a file was refused.
    static std::string Describe(ReadError error);

    // Appends a frame, folding it into the run before when that has the same length.
    void AddFrame(std::uint32_t ms);
    void Add(ReplayEvent::Type type, float x = 0.0f, float y = 0.0f);
    // How many shots the recording holds.
    int Shots() const;
};

// Walks a recording one step at a time: each action on its own, each frame of a run on its
// own.
class ReplayCursor {
public:
    explicit ReplayCursor(Replay replay) : replay_(std::move(replay)) {}

    const Replay& Recording() const { return replay_; }
    // The next step (a frame comes with count 1), or null once the recording has run out.
    const ReplayEvent* Peek();
    void Take();
    bool Done() const { return index_ >= replay_.events.size(); }

private:
    Replay replay_;
    std::size_t index_ = 0;
    std::uint32_t framesTaken_ = 0; // of the run at index_
    ReplayEvent step_;
};
