#pragma once
#include <memory>

#include "TwVector.h"
#include "gfx/TwClip.h"

class BubbleBanks;
class GameMap;

// A bubble on screen: an animated clip (nine frames in which it grows into view) that knows
// its colour, draws a soft shadow under itself and shakes when something strikes near it.
// A shake starts with Push; UpdateWobble plays it out and hands it on, at half strength, to
// the bubbles around it once it has swung a quarter of the way.
class BaseBubble : public TwClip {
public:
    // Wobble states.
    static constexpr int kStill = 0;
    static constexpr int kPushed = 1; // starts moving on its next update
    static constexpr int kMoving = 2;

    BaseBubble() = default;
    // A new bubble from a bank prototype: the prototype's picture, colour, shadow and bank,
    // starting on frame 0 with no shake.
    BaseBubble(const BaseBubble& prototype);
    BaseBubble& operator=(const BaseBubble&) = delete;
    ~BaseBubble() override = default;

    // The shadow (alpha 80, on the bubble's own frame), then the bubble.
    void Draw() override;
    std::unique_ptr<TwClip> Clone() const override;
    // Leaves a burst effect of the bubble's colour where it is, in the scene's top layer.
    virtual void Burst();
    virtual void BurstInField(GameMap& field);

    // Starts a shake away from `source`. Ignored while an earlier shake is in its first six
    // radians of swing.
    void Push(const TwVector& source, double amplitude);
    // One frame of the shake (every grid bubble, every frame).
    void UpdateWobble(int elapsedMs, GameMap& field);

    int Colour() const { return colour_; }
    void SetColour(int colour) { colour_ = colour; }
    TwClip* Shadow() const { return shadow_; }
    void SetShadow(TwClip* shadow) { shadow_ = shadow; }
    BubbleBanks* Banks() const { return banks_; }
    void SetBanks(BubbleBanks* banks) { banks_ = banks; }

    TwVector Position() const { return {x, y, z}; }
    void PlaceAt(const TwVector& p) { SetPosition(p.x, p.y, p.z); }
    TwVector PreviousPosition() const { return previous_; }
    void SetPreviousPosition(const TwVector& p) { previous_ = p; }
    TwVector Velocity() const { return velocity_; }
    void SetVelocity(const TwVector& v) { velocity_ = v; }
    TwVector RestPosition() const { return rest_; }
    void SetRestPosition(const TwVector& p) { rest_ = p; }
    // The two ends of a row slide.
    TwVector SlideFrom() const { return slideFrom_; }
    TwVector SlideTo() const { return slideTo_; }
    void SetSlide(const TwVector& from, const TwVector& to) {
        slideFrom_ = from;
        slideTo_ = to;
    }

    void SetWobbleBase(const TwVector& p) { wobbleBase_ = p; }
    TwVector WobbleOffset() const { return wobbleOffset_; }
    TwVector PushDirection() const { return pushDirection_; }
    void SetPushDirection(const TwVector& d) { pushDirection_ = d; }
    double Amplitude() const { return amplitude_; }
    double Phase() const { return phase_; }
    int WobbleState() const { return wobbleState_; }
    bool HandedOn() const { return handedOn_; }

    // The appearing animation: frames 0 to 8 once.
    void AdvanceAppearing(int elapsedMs) { Update(elapsedMs); }
    bool HasAppeared() const { return Animation().finished; }
    int FrameCount() const { return Animation().frameCount; }
    void RestartAppearing() { Rewind(); }

private:
    int colour_ = 0;
    TwClip* shadow_ = nullptr;
    BubbleBanks* banks_ = nullptr;
    TwVector rest_;
    TwVector pushDirection_;
    TwVector wobbleBase_;
    TwVector wobbleOffset_;
    TwVector pushSource_;
    double phase_ = 0.0;
    double amplitude_ = 0.0;
    double phaseRate_ = 0.0125; // radians per millisecond
    bool handedOn_ = false;
    int wobbleState_ = kStill;
    TwVector previous_;
    TwVector velocity_;
    TwVector slideFrom_;
    TwVector slideTo_;
};

// A vector of length 1 in the same direction; a vector of length 1e-8 or less is returned
// unchanged.
TwVector NormaliseOrKeep(const TwVector& v);
