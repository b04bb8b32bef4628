#pragma once
#include <functional>

// The effects the field and the launcher play, by sound id, and the one place they are
// played from. A listener can watch every request (the tests use it to follow a shot by ear).
class GameSound {
public:
    static constexpr int kFireBall = 10;
    static constexpr int kStopBall = 11;
    static constexpr int kBallDelete = 12;
    static constexpr int kColourRemoved = 101;
    static constexpr int kLineFall = 102;
    static constexpr int kColourRevealed = 103;
    static constexpr int kHitWall = 104;
    static constexpr int kSwap = 110;

    static void Play(int id);
    // Replaces the listener; an empty function removes it.
    static void SetListener(std::function<void(int)> listener);
};
