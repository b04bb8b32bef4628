#pragma once
#include <memory>

#include "gui/TwBaseGuiElemen.h"

// A horizontal slider: a track and a thumb, two frames each (normal, pressed). Pressing the
// track sets the value from the mouse position and captures the mouse; moves then drag the
// value (clamped to the range) until the button is released. The scale always starts at 0
// at the track's left end; the minimum only clamps.
class TwSlider : public TwBaseGuiElemen {
public:
    TwSlider();
    ~TwSlider() override;

    // Loads track and thumb and sets the range and the keyboard step. False if either
    // picture cannot be loaded.
    bool Create(const std::string& trackImage, const std::string& thumbImage, int minimum,
                int maximum, int step);

    bool OnMouseDown(const TwInputEvent& event) override;
    bool OnMouseUp(const TwInputEvent& event) override;
    bool OnMouseMove(const TwInputEvent& event) override;
    int GetValue() const override { return value_; }
    void ShowFocused() override;
    void ShowNormal() override;
    void Decrease() override;
    void Increase() override;
    bool HitTest(const TwInputEvent& event) const override;
    void Draw() override;

    void SetValue(int value) { value_ = value; }

private:
    // Usable length of the track (picture width less the margin) and its integer half.
    int TrackLength() const;
    int TrackHalf() const { return TrackLength() / 2; }
    // The value under a mouse x on the unclamped linear scale.
    int ValueAt(float x) const;
    void SetFrames(int frame);

    std::unique_ptr<TwClip> thumb_;
    int minimum_ = 0;
    int maximum_ = 128;
    int value_ = 32;
    int step_ = 0;
    int trackMargin_ = 32;
};
