#pragma once
#include <array>
#include <string>

#include "TwVector.h"
#include "gfx/TwClip.h"

// One particle of an emitter.
struct TwParticle {
    struct Colour {
        float red = 255.0f, green = 255.0f, blue = 255.0f, alpha = 255.0f;
    };
    int startLife = 0; // ms at birth
    int life = 0;      // ms left; dead at 0 or less
    TwVector position;
    TwVector velocity;     // pixels per ms
    TwVector acceleration; // pixels per ms per ms
    Colour colour;
    Colour colourRate{0.0f, 0.0f, 0.0f, 0.0f}; // change per ms
    float rotation = 0.0f;
    float spin = 0.0f; // change of rotation per ms
    int frame = 0;     // frame of the emitter's clip to draw
    int choice = -1;   // free for subclasses (which clip to draw)
};

// A particle emitter: its clip is drawn once per live particle, for up to 512 particles born
// with random life, velocity and acceleration. Live particles are the first Count() slots; a
// dead one is replaced by the last live one, so nothing is allocated per particle.
class TwBound : public TwClip {
public:
    static constexpr int kMaxParticles = 512;

    TwBound() = default;
    // Copies the clip, the life, velocity and acceleration ranges and the continuous flag;
    // the copy has no particles and emits at (0, 0, 0).
    TwBound(const TwBound& other);
    TwBound& operator=(const TwBound&) = delete;
    ~TwBound() override = default;

    // Moves, fades and ages the particles; removes the dead. A non-continuous emitter whose
    // last particle died becomes Finished.
    void Update(int elapsedMs) override;
    // Draws the clip once per live particle (nothing when finished). The image's own tint,
    // rotation, frame and position are left as the last particle set them.
    void Draw() override;
    // Sets up the emitter's ranges; subclasses override it. `name` is free for them.
    virtual bool Init(const std::string& name);
    // Adds up to n particles (never more than 512 live).
    virtual void Emit(int n);

    int Count() const { return count_; }
    TwParticle& Particle(int index) { return particles_[index]; }

    TwVector emitPosition;
    int minLife = 1024, maxLife = 1024; // ms
    TwVector minVelocity, maxVelocity;
    TwVector minAcceleration, maxAcceleration;
    int continuous = 0; // 0: finished when the last particle dies

protected:
    std::array<TwParticle, kMaxParticles> particles_{};
    int count_ = 0;
};

// A random vector between `low` and `high`, component by component (z drawn first).
TwVector TwRandomVector(const TwVector& low, const TwVector& high);
