#include "gfx/TwBound.h"

#include <algorithm>

#include "platform/os/TwRand.h"

TwVector TwRandomVector(const TwVector& low, const TwVector& high) {
    const float rz = float(TwRand()), ry = float(TwRand()), rx = float(TwRand());
    const float top = float(TW_RAND_MAX);
    return {low.x + rx / top * (high.x - low.x), low.y + ry / top * (high.y - low.y),
            low.z + rz / top * (high.z - low.z)};
}

TwBound::TwBound(const TwBound& other)
    : TwClip(other), minLife(other.minLife), maxLife(other.maxLife), minVelocity(other.minVelocity),
      maxVelocity(other.maxVelocity), minAcceleration(other.minAcceleration),
      maxAcceleration(other.maxAcceleration), continuous(other.continuous) {}

bool TwBound::Init(const std::string&) {
    return true;
}

void TwBound::Emit(int n) {
    const long target = long(count_) + std::max(n, 0);
    while (count_ < kMaxParticles && count_ < target) {
        TwParticle& p = particles_[std::size_t(count_)];
        p = TwParticle{};
        const int span = maxLife - minLife + 1;
        p.life = span > 0 ? minLife + TwRand() % span : minLife;
        p.startLife = p.life;
        p.velocity = TwRandomVector(minVelocity, maxVelocity);
        p.acceleration = TwRandomVector(minAcceleration, maxAcceleration);
        p.position = emitPosition;
        ++count_;
    }
}

void TwBound::Update(int dt) {
    const float t = float(dt);
    const int frames = Animation().frameCount;
    for (int i = 0; i < count_; ++i) {
        TwParticle& p = particles_[std::size_t(i)];
        if (p.life > 0) {
            p.position += p.velocity * t;
            p.velocity += p.acceleration * t;
            p.colour.red += t * p.colourRate.red;
            p.colour.green += t * p.colourRate.green;
            p.colour.blue += t * p.colourRate.blue;
            p.colour.alpha = std::max(p.colour.alpha + t * p.colourRate.alpha, 0.0f);
            p.rotation += t * p.spin;
            p.life -= dt;
            // The strip plays from its first to its last frame over the particle's life.
            p.frame =
                p.startLife > 0 ? frames - int((long long)frames * p.life / p.startLife) : frames;
        } else {
            // The last live particle takes the slot; it moves on the next update.
            --count_;
            p = particles_[std::size_t(count_)];
            if (count_ == 0 && continuous == 0) {
                state = Finished;
            }
        }
    }
}

void TwBound::Draw() {
    if (state == Finished) {
        return;
    }
    for (int i = 0; i < count_; ++i) {
        const TwParticle& p = particles_[std::size_t(i)];
        SetTint(p.colour.red, p.colour.green, p.colour.blue, p.colour.alpha);
        rotation = p.rotation;
        SetFrame(p.frame);
        SetPosition(p.position.x, p.position.y, p.position.z);
        TwClip::Draw();
    }
}
