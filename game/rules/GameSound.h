#pragma once

// The effects the field and the launcher ask for, by sound id. The rules only name them
// (GameMap::PlaySound hands them to whoever listens); the game screen plays them.
struct GameSound {
    static constexpr int kFireBall = 10;
    static constexpr int kStopBall = 11;
    static constexpr int kBallDelete = 12;
    static constexpr int kColourRemoved = 101;
    static constexpr int kLineFall = 102;
    static constexpr int kColourRevealed = 103;
    static constexpr int kHitWall = 104;
    static constexpr int kSwap = 110;
};
