#include <gtest/gtest.h>

#include "app/TwFrameTimer.h"
#include "platform/os/TwClock.h"

namespace {

class FrameTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwSetClock(&clock);
        timer.Reset();
    }
    void TearDown() override {
        TwSetClock(nullptr);
        timer.Reset();
    }
    void Step(std::uint32_t ms) {
        clock.Advance(ms);
        timer.Update();
    }

    TwFixedClock clock{0};
    TwFrameTimer& timer = TwFrameTimer::Instance();
};

} // namespace

TEST_F(FrameTimerTest, StartsAtTenAndZeroDeltasLowerTheMean) {
    EXPECT_EQ(timer.Delta(), 10);
    Step(30);
    EXPECT_EQ(timer.Delta(), 30);
    Step(0); // two frames in the same millisecond
    EXPECT_EQ(timer.Delta(), 15);
    Step(0);
    EXPECT_EQ(timer.Delta(), 10);
    EXPECT_EQ(timer.History().back(), 0);
}

TEST_F(FrameTimerTest, HistoryHoldsTheLast33Deltas) {
    for (int i = 1; i <= 40; ++i) {
        Step(static_cast<std::uint32_t>(i));
        EXPECT_EQ(timer.History().size(), std::min<std::size_t>(i, 33));
    }
    EXPECT_EQ(timer.History().front(), 8);
    EXPECT_EQ(timer.History().back(), 40);
    EXPECT_EQ(timer.Delta(), (8 + 40) * 33 / 2 / 33); // mean 24
}

TEST_F(FrameTimerTest, OneSlowFrameIsSpreadOverTheNext33Frames) {
    for (int i = 0; i < 40; ++i) {
        Step(10);
    }
    Step(340);
    EXPECT_EQ(timer.Delta(), 20);
    for (int i = 0; i < 32; ++i) {
        Step(10);
        EXPECT_EQ(timer.Delta(), 20) << "frame " << i + 1 << " after the slow one";
    }
    Step(10);
    EXPECT_EQ(timer.Delta(), 10);
}

TEST_F(FrameTimerTest, ClockWrapAroundGivesTheTrueDelta) {
    clock.Set(0xFFFFFFF0u);
    timer.Update();
    Step(0x20); // the millisecond counter wraps past zero
    EXPECT_EQ(timer.History().back(), 0x20);
}
