#include "gfx/TwAnimation.h"

#include <algorithm>

void TwAnimation::Set(int total, int newMode, int newColumns, int newRows) {
    totalTime = total;
    columns = std::max(newColumns, 1);
    rows = std::max(newRows, 1);
    mode = newMode;
    frameCount = columns * rows;
    frameTime = totalTime / frameCount;
    finished = mode != Once;
    sequence.clear();
    if (mode == BackAndForth) {
        // 0, 1, ..., last, last - 1, ..., 0
        for (int f = 0; f < frameCount; ++f) {
            sequence.push_back(f);
        }
        for (int f = frameCount - 2; f >= 0; --f) {
            sequence.push_back(f);
        }
    }
    sequencePos = 0;
}

void TwAnimation::Restart() {
    frame = 0;
    elapsed = 0;
    finished = false;
    sequencePos = 0;
}

void TwAnimation::Step(int dt) {
    switch (mode) {
    case Once:
        if (finished) {
            return;
        }
        elapsed += dt;
        if (elapsed > frameTime) {
            ++frame;
            elapsed = 0;
        }
        if (frame >= frameCount) {
            finished = true;
            frame = frameCount - 1;
        }
        break;
    case BackAndForth:
        elapsed += dt;
        if (elapsed > frameTime && !sequence.empty()) {
            elapsed = 0;
            if (++sequencePos >= sequence.size()) {
                sequencePos = 0;
            }
            frame = sequence[sequencePos];
        }
        break;
    case Loop:
        previousFrame = frame;
        if (dt <= 0) {
            return;
        }
        elapsed += dt;
        if (elapsed > frameTime) {
            ++frame;
            elapsed = 0;
        }
        if (frame >= frameCount) {
            frame = 0;
        }
        break;
    default:
        break;
    }
}
