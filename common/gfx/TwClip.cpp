#include "gfx/TwClip.h"

#include <algorithm>
#include <cmath>

#include "gfx/TwImageData.h"

TwClip::TwClip(const TwClip& other) : TwImage(other), animation_(other.animation_) {
    animation_.Restart();
}

TwClip& TwClip::operator=(const TwClip& other) {
    if (this != &other) {
        TwImage::operator=(other);
        animation_ = other.animation_;
        animation_.Restart();
        state = Running;
        frameFixed = false;
    }
    return *this;
}

std::unique_ptr<TwClip> TwClip::Clone() const {
    return std::make_unique<TwClip>(*this);
}

void TwClip::Update(int elapsedMs) {
    animation_.Step(elapsedMs);
}

void TwClip::SetAnimation(int totalTime, int mode, int columns, int rows) {
    animation_.Set(totalTime, mode, columns, rows);
}

void TwClip::SetFrame(int frame) {
    animation_.frame = frame;
    frameFixed = true;
}

void TwClip::Rewind() {
    if (animation_.mode == TwAnimation::Once && animation_.frame >= animation_.frameCount - 1) {
        animation_.finished = false;
        animation_.frame = 0;
    }
}

int TwClip::CellWidth() const {
    return Width() / animation_.columns;
}

int TwClip::CellHeight() const {
    return Height() / animation_.rows;
}

TwRect TwClip::FrameCell(int frame) const {
    const int f = std::clamp(frame, 0, animation_.frameCount - 1);
    const int cw = CellWidth(), ch = CellHeight();
    const int left = (f % animation_.columns) * cw, top = (f / animation_.columns) * ch;
    return {left, top, left + cw, top + ch};
}

void TwClip::Draw() {
    const TwRect cell = FrameCell(animation_.frame);
    DrawFrame(cell.Width(), cell.Height(), cell.left, cell.top);
}

bool TwClip::PixelHit(const TwPoint& point, int level) const {
    if (point.x < 0 || point.y < 0 || point.x > 800 || point.y > 600) {
        return false;
    }
    const TwImageData* record = Data();
    if (record == nullptr || !record->masks || level < 0 || level >= int(record->masks->size())) {
        return false;
    }
    const TwBitMask& mask = (*record->masks)[std::size_t(level)];
    const int frame = std::clamp(animation_.frame, 0, animation_.frameCount - 1);
    const int cw = CellWidth() >> level, ch = CellHeight() >> level;
    const int cellLeft = (frame % animation_.columns) * cw;
    const int cellTop = (frame / animation_.columns) * ch;

    const float divisor = float(1 << level);
    const float px = (float(point.x) - x) / divisor, py = (float(point.y) - y) / divisor;
    const int xs = int(std::floor(-cw / 2.0)), xe = int(std::floor(cw / 2.0));
    const int ys = int(std::floor(-ch / 2.0)), ye = int(std::floor(ch / 2.0));
    const int tx = int(std::trunc(px)), ty = int(std::trunc(py));
    if (tx < xs || tx >= xe || ty < ys || ty >= ye) {
        return false;
    }
    return mask.Solid(cellLeft + tx - xs, cellTop + ty - ys);
}
