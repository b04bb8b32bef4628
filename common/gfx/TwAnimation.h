#pragma once
#include <cstddef>
#include <vector>

// Frame timing of an animated clip whose picture is a grid of equally sized frames.
// At most one frame is stepped per update, and a step restarts the frame's time at 0.
struct TwAnimation {
    enum Mode { Still = 0, Once = 1, BackAndForth = 2, Loop = 3 };

    // Configures the grid and the timing; the current frame is kept. Columns and rows
    // below 1 count as 1.
    void Set(int totalTime, int mode, int columns, int rows);
    // Advances by `dt` milliseconds according to the mode.
    void Step(int dt);
    // Back to the start: frame 0, no elapsed time, not finished, sequence at its start.
    void Restart();

    int mode = Still;
    int elapsed = 0;      // ms since the last frame step
    int frameTime = 1024; // ms per frame
    int totalTime = 1024; // ms for one pass over all frames
    int frame = 0;
    int previousFrame = 0;     // frame before the last loop-mode update
    int frameCount = 1;        // columns * rows
    std::vector<int> sequence; // frame order of the back-and-forth mode
    std::size_t sequencePos = 0;
    int columns = 1;
    int rows = 1;
    bool finished = false; // a play-once animation reached its last frame
};
