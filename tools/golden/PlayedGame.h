#pragma once
// One game played as the game screen plays it, without the screen: frames of 20 ms, the
// mouse aiming and clicking through the launcher's own input, every frame, aim, shot and swap
// recorded, the game saved after every shot and when the player leaves, and continued from
// that save. A recording made here is the one the screen would have made of the same play.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "FieldGeometry.h"
#include "GameMap.h"
#include "GameSession.h"
#include "Launcher.h"
#include "LevelSet.h"
#include "Replay.h"
#include "ReplayRecorder.h"
#include "TwVector.h"

class PlayedGame {
public:
    static constexpr int kFrameMs = 20;

    // `slotPath` is where the save slot is written (its recording goes beside it).
    PlayedGame(FieldGeometry geometry, std::string slotPath);

    // A new game of a mode, seeded from the engine's random numbers as the screen seeds it
    // (the engine's generator moves on), then run until the field is revealed. A Puzzle game
    // plays `level` (the number `number` of the set `setId`). False when the field was not
    // revealed in time.
    bool Start(GameMode mode, int difficulty, const PuzzleLevel* level = nullptr,
               const std::string& setId = {}, int number = 0);

    // One frame: the recording notes its length, the session steps, and the aim as it stands
    // after the frame is noted.
    void Frame(int ms = kFrameMs);
    // Frames until `done` holds; false when `limit` frames were not enough.
    bool RunUntil(const std::function<bool()>& done, int limit = 2000);

    // The mouse over the field while a game is played: moving turns the launcher, a left
    // release fires and a right release swaps (each at the pointer's place).
    void MoveMouse(const TwVector& at);
    void LeftClick(const TwVector& at);
    void RightClick(const TwVector& at);
    // Waits until the launcher may fire, aims, lets a frame pass, clicks and runs until the
    // shot has landed. False when the launcher would not fire.
    bool ShootAt(const TwVector& target);

    // The player goes back to the menu (the game and its recording are saved, and the frame
    // of the click runs on) and continues the saved game at once. False when the slot could
    // not be read back.
    bool LeaveAndContinue();

    bool Playing() const { return session_.Playing(); }
    PlayState State() const { return session_.State(); }
    GameMap& Field() const { return *session_.Field(); }
    Launcher& Gun() const { return *session_.GetLauncher(); }
    // The recording of the game, complete with its result once the game has ended.
    const std::optional<Replay>& Finished() const { return finished_; }

private:
    void OnSessionEvent(GameSession::Event event);
    void Save();

    GameSession session_;
    ReplayRecorder recorder_;
    FieldGeometry geometry_;
    std::string slotPath_;
    int difficulty_ = 0;
    std::optional<PuzzleLevel> level_;
    std::optional<Replay> finished_;
};
