#include <gtest/gtest.h>

#include <vector>

#include "gfx/TwBound.h"
#include "gfx/TwClip.h"
#include "platform/os/TwRand.h"

namespace {

std::vector<int> Frames(TwClip& clip, int steps, int dt) {
    std::vector<int> frames;
    for (int i = 0; i < steps; ++i) {
        clip.Update(dt);
        frames.push_back(clip.Frame());
    }
    return frames;
}

} // namespace

TEST(ClipAnimation, PlayOnceStopsOnLastFrame) {
    TwClip clip;
    clip.SetAnimation(1000, TwAnimation::Once, 4, 1);
    EXPECT_EQ(clip.Animation().frameTime, 250);
    EXPECT_FALSE(clip.Animation().finished);
    // 250 ms exactly is not yet above the frame time; one more millisecond steps.
    clip.Update(250);
    EXPECT_EQ(clip.Frame(), 0);
    clip.Update(1);
    EXPECT_EQ(clip.Frame(), 1);
    // A long update still steps a single frame.
    EXPECT_EQ(Frames(clip, 4, 5000), (std::vector<int>{2, 3, 3, 3}));
    EXPECT_TRUE(clip.Animation().finished);

    clip.Rewind();
    EXPECT_EQ(clip.Frame(), 0);
    EXPECT_FALSE(clip.Animation().finished);
    EXPECT_EQ(Frames(clip, 2, 300), (std::vector<int>{1, 2}));
    // Rewinding before the last frame changes nothing.
    clip.Rewind();
    EXPECT_EQ(clip.Frame(), 2);
}

TEST(ClipAnimation, BackAndForthShowsFrameZeroTwiceAtEachTurn) {
    TwClip clip;
    clip.SetAnimation(300, TwAnimation::BackAndForth, 3, 1);
    EXPECT_EQ(clip.Animation().sequence, (std::vector<int>{0, 1, 2, 1, 0}));
    EXPECT_EQ(Frames(clip, 11, 101), (std::vector<int>{1, 2, 1, 0, 0, 1, 2, 1, 0, 0, 1}));
}

TEST(ClipAnimation, LoopWrapsAndStillModeStays) {
    TwClip loop;
    loop.SetAnimation(200, TwAnimation::Loop, 1, 2);
    EXPECT_EQ(Frames(loop, 3, 150), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(loop.Animation().previousFrame, 0);
    loop.Update(0);
    EXPECT_EQ(loop.Frame(), 1);
    EXPECT_EQ(loop.Animation().previousFrame, 1);

    TwClip still;
    still.SetAnimation(100, TwAnimation::Still, 4, 1);
    EXPECT_EQ(Frames(still, 3, 1000), (std::vector<int>{0, 0, 0}));
    // Rewind only touches play-once clips.
    loop.Rewind();
    EXPECT_EQ(loop.Frame(), 1);
}

TEST(ClipAnimation, DegenerateGridsAreSafe) {
    TwClip clip;
    clip.SetAnimation(100, TwAnimation::Loop, 0, -3);
    EXPECT_EQ(clip.Animation().frameCount, 1);
    EXPECT_EQ(Frames(clip, 2, 500), (std::vector<int>{0, 0}));
    // A frame past the grid draws the last cell.
    clip.SetAnimation(100, TwAnimation::Still, 2, 2);
    EXPECT_EQ(clip.FrameCell(4), clip.FrameCell(3));
    EXPECT_EQ(clip.FrameCell(-1), clip.FrameCell(0));
}

TEST(ClipCopies, StartAgainAndKeepTheSetup) {
    TwClip clip;
    clip.SetAnimation(1000, TwAnimation::Once, 4, 2);
    clip.tag = 7;
    clip.scale = 2.0f;
    clip.SetTint(1, 2, 3, 4);
    clip.SetPosition(10, 20, 30);
    clip.SetFrame(5);
    clip.state = TwClip::Finished;
    clip.Update(5000);

    for (const std::unique_ptr<TwClip>& copy : {clip.Clone(), std::make_unique<TwClip>(clip)}) {
        EXPECT_EQ(copy->Frame(), 0);
        EXPECT_FALSE(copy->Animation().finished);
        EXPECT_EQ(copy->Animation().frameCount, 8);
        EXPECT_EQ(copy->Animation().mode, TwAnimation::Once);
        EXPECT_EQ(copy->state, TwClip::Running);
        EXPECT_FALSE(copy->frameFixed);
        EXPECT_EQ(copy->scale, 1.0f);
        EXPECT_EQ(copy->tag, 7);
        EXPECT_EQ(copy->Argb(), 0x04010203u);
        EXPECT_EQ(copy->y, 20.0f);
    }
}

TEST(Emitter, NeverHoldsMoreThan512Particles) {
    TwBound bound;
    bound.Emit(600);
    EXPECT_EQ(bound.Count(), 512);
    bound.Emit(10);
    EXPECT_EQ(bound.Count(), 512);
    bound.Emit(-5);
    EXPECT_EQ(bound.Count(), 512);
}

TEST(Emitter, DeadParticlesGoAndTheEmitterFinishes) {
    TwBound bound;
    bound.minLife = bound.maxLife = 0;
    bound.Emit(3);
    // The first update removes slots 0 and 1; the particle moved into slot 0 waits for the
    // next update.
    bound.Update(10);
    EXPECT_EQ(bound.Count(), 1);
    EXPECT_EQ(bound.state, TwClip::Running);
    bound.Update(10);
    EXPECT_EQ(bound.Count(), 0);
    EXPECT_EQ(bound.state, TwClip::Finished);

    TwBound fountain;
    fountain.continuous = 1;
    fountain.minLife = fountain.maxLife = 0;
    fountain.Emit(1);
    fountain.Update(10);
    EXPECT_EQ(fountain.Count(), 0);
    EXPECT_EQ(fountain.state, TwClip::Running);
}

TEST(Emitter, CompactionMovesTheLastParticleIntoTheGap) {
    TwBound bound;
    bound.Emit(3);
    bound.Particle(0).life = 0;
    bound.Particle(1).life = 100;
    bound.Particle(2).life = 50;
    bound.Update(10);
    ASSERT_EQ(bound.Count(), 2);
    EXPECT_EQ(bound.Particle(0).life, 50); // moved, not yet aged
    EXPECT_EQ(bound.Particle(1).life, 90);
    EXPECT_EQ(bound.state, TwClip::Running);
}

TEST(Emitter, ParticlesMoveFadeAndRunThroughTheStrip) {
    TwBound bound;
    bound.SetAnimation(512, TwAnimation::Still, 4, 1);
    bound.minLife = bound.maxLife = 100;
    bound.minVelocity = bound.maxVelocity = TwVector(1, 2, 0);
    bound.minAcceleration = bound.maxAcceleration = TwVector(0, 0.5f, 0);
    bound.emitPosition = TwVector(5, 5, 16);
    bound.Emit(1);
    TwParticle& p = bound.Particle(0);
    EXPECT_EQ(p.startLife, 100);
    EXPECT_EQ(p.position, TwVector(5, 5, 16));
    p.colourRate.alpha = -30.0f;
    p.spin = 0.1f;

    bound.Update(10);
    EXPECT_EQ(p.position, TwVector(15, 25, 16));
    EXPECT_EQ(p.velocity, TwVector(1, 7, 0));
    EXPECT_FLOAT_EQ(p.rotation, 1.0f);
    EXPECT_EQ(p.colour.alpha, 0.0f);
    EXPECT_EQ(p.life, 90);
    EXPECT_EQ(p.frame, 1); // 4 - 4 * 90 / 100
    bound.Update(85);
    EXPECT_EQ(p.frame, 4); // past the strip just before death: drawn as the last frame
}

TEST(Emitter, RandomRangesDrawZThenYThenX) {
    TwSRand(1234);
    TwRand(); // the life
    const int rz = TwRand(), ry = TwRand(), rx = TwRand();

    TwSRand(1234);
    TwBound bound;
    bound.minVelocity = TwVector(0, 0, 0);
    bound.maxVelocity = TwVector(1, 2, 4);
    bound.Emit(1);
    const TwVector v = bound.Particle(0).velocity;
    EXPECT_FLOAT_EQ(v.x, float(rx) / 32767.0f);
    EXPECT_FLOAT_EQ(v.y, 2.0f * float(ry) / 32767.0f);
    EXPECT_FLOAT_EQ(v.z, 4.0f * float(rz) / 32767.0f);

    bound.minLife = 10;
    bound.maxLife = 20;
    bound.Emit(200);
    for (int i = 1; i < bound.Count(); ++i) {
        EXPECT_GE(bound.Particle(i).life, 10);
        EXPECT_LE(bound.Particle(i).life, 20);
    }
    // A reversed life range does not divide by zero.
    bound.minLife = 5;
    bound.maxLife = 3;
    bound.Emit(2);
    EXPECT_EQ(bound.Particle(bound.Count() - 1).life, 5);
}

TEST(Emitter, CopyKeepsRangesButNoParticles) {
    TwBound bound;
    bound.minLife = 384;
    bound.maxLife = 896;
    bound.maxAcceleration = TwVector(0, 0.001f, 0);
    bound.continuous = 1;
    bound.emitPosition = TwVector(3, 4, 5);
    bound.Emit(5);
    TwBound copy(bound);
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_EQ(copy.emitPosition, TwVector());
    EXPECT_EQ(copy.minLife, 384);
    EXPECT_EQ(copy.maxLife, 896);
    EXPECT_EQ(copy.maxAcceleration, TwVector(0, 0.001f, 0));
    EXPECT_EQ(copy.continuous, 1);
}
