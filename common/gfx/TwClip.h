#pragma once
#include <memory>

#include "TwRect.h"
#include "gfx/TwAnimation.h"
#include "gfx/TwImage.h"

// An animated sprite: the picture is a grid of equally sized frames (columns x rows, frame 0
// at the top left, row by row), stepped by elapsed time in one of the four animation modes.
class TwClip : public TwImage {
public:
    enum State { Running = 0, Finished = 2 };

    TwClip() = default;
    // Copies the image and the animation's setup; the copy starts again at frame 0, not
    // finished, with state 0 and no fixed frame.
    TwClip(const TwClip& other);
    TwClip& operator=(const TwClip& other);
    ~TwClip() override = default;

    void Update(int elapsedMs) override;
    // Draws the current frame's cell (see DrawFrame).
    void Draw() override;
    // A new clip built by the copy constructor.
    virtual std::unique_ptr<TwClip> Clone() const;

    // totalTime ms for one pass, mode (TwAnimation::Mode), grid of columns x rows.
    void SetAnimation(int totalTime, int mode, int columns, int rows);
    // The owner picks the frame.
    void SetFrame(int frame);
    // Replays a play-once clip that has reached its last frame.
    void Rewind();
    int CellWidth() const;
    int CellHeight() const;
    // True when a screen point falls on a solid cell of the current frame in the picture's
    // hit mask of `level` (0, 1 or 2). False for a picture loaded without masks.
    bool PixelHit(const TwPoint& point, int level) const;

    TwAnimation& Animation() { return animation_; }
    const TwAnimation& Animation() const { return animation_; }
    int Frame() const { return animation_.frame; }
    // The cell of `frame` in the picture (frames past the last draw the last frame).
    TwRect FrameCell(int frame) const;

    int state = Running;     // Finished: a finished emitter draws nothing
    bool frameFixed = false; // the owner chose the frame with SetFrame

private:
    TwAnimation animation_;
};
