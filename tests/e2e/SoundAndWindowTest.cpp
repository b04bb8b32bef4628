// What the player hears, and the window minimised and brought back.
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "DiskSound.h"
#include "GameRun.h"

namespace e2e {
namespace {

#define SKIP_WITHOUT_X(run)                                                                        \
    if (const std::string missing = (run).MissingTools(); !missing.empty()) {                      \
        GTEST_SKIP() << missing;                                                                   \
    }

using Clock = std::chrono::steady_clock;

// Root mean square levels (full scale 32768): music at the default volume is far above the
// first, and true silence is below the second.
constexpr double kAudible = 300;
constexpr double kSilent = 20;

void StartReturningPlayer(GameRun& run, const std::string& name) {
    std::filesystem::create_directories(run.DataDir());
    zvtest::WriteAll(run.DataDir() + "/Profiles.Txt",
                     "ActiveProfile=0\nPlayerName0=\"" + name + "\"\n");
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
}

// Waits until the sound written so far has grown by this much.
bool WaitForSound(const DiskSound& sound, std::int64_t bytes, std::chrono::seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (sound.Size() < bytes && Clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    return sound.Size() >= bytes;
}

// Waits until the last half second written was silent.
bool WaitForSilence(const DiskSound& sound, std::chrono::seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        const std::int64_t end = sound.Size();
        const double level = sound.LoudestWindow(end - sound.BytesAt(0.5), end);
        if (level >= 0 && level < kSilent) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

TEST(Sound, MenuMusicPlaysAndAClickAddsItsEffect) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    StartReturningPlayer(run, "Echo");
    const DiskSound sound(run.AudioFile());

    // The menu music is playing within the first seconds.
    const std::int64_t atMenu = sound.Size();
    ASSERT_TRUE(WaitForSound(sound, atMenu + sound.BytesAt(2.0), 10s)) << "no sound written";
    EXPECT_GT(sound.LoudestWindow(0, atMenu + sound.BytesAt(2.0)), kAudible)
        << "the menu music is silent";
    EXPECT_GT(sound.QuietestWindow(atMenu, atMenu + sound.BytesAt(2.0)), kSilent)
        << "the menu music drops out";

    // With the music turned down to nothing, the output falls silent...
    run.Click(menu::kOptionsX, menu::kOptionsY);
    ASSERT_TRUE(run.WaitFor("options", OptionsDialogShown, 10s));
    ASSERT_TRUE(run.WaitSteady("options-steady", {150, 90, 500, 420}, 10s));
    // The music slider's thumb (at 100 of 255) dragged past the track's left end.
    run.PressMouse(372, 285);
    run.MoveTo(300, 285);
    run.MoveTo(200, 285);
    run.ReleaseMouse();
    run.MoveTo(540, 405); // over the Hard box, ready to click it
    run.Snap("music-off");
    ASSERT_TRUE(WaitForSilence(sound, 10s)) << "still sound with the music slider at zero";

    // ...and a click on a control is heard.
    const std::int64_t beforeClick = sound.Size();
    run.ClickHere();
    ASSERT_TRUE(WaitForSound(sound, beforeClick + sound.BytesAt(1.0), 5s));
    run.Snap("clicked");
    EXPECT_GT(sound.LoudestWindow(beforeClick, beforeClick + sound.BytesAt(1.0)), kAudible)
        << "the click made no sound";
    EXPECT_EQ(run.CloseWindow(), 0);
}

// Processor time the game uses over a stretch of wall-clock time, in percent of one core.
double CpuShare(ChildProcess& game, std::chrono::milliseconds span) {
    const long before = game.CpuMillis();
    const auto start = Clock::now();
    std::this_thread::sleep_for(span);
    const long after = game.CpuMillis();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return 100.0 * static_cast<double>(after - before) / static_cast<double>(elapsed);
}

TEST(Minimise, IdlesWhileMinimisedAndDrawsAgainWhenRestored) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    StartReturningPlayer(run, "Luna");
    const DiskSound sound(run.AudioFile());
    const double active = CpuShare(run.Game(), 1500ms);

    run.Minimise();
    std::this_thread::sleep_for(300ms);
    const GameView hidden = run.Snap("minimised");
    EXPECT_FALSE(MainMenuShown(hidden));
    const std::int64_t quietFrom = sound.Size() + sound.BytesAt(0.3);
    const double idle = CpuShare(run.Game(), 2000ms);
    std::printf("CPU: %.1f%% of a core shown, %.1f%% minimised\n", active, idle);
    EXPECT_LT(idle, 5.0) << "minimised, the game still uses " << idle << "% of a core (" << active
                         << "% when shown)";
    // The music pauses with the window.
    EXPECT_LT(sound.LoudestWindow(quietFrom, sound.Size()), kSilent) << "music while minimised";

    run.Restore();
    EXPECT_TRUE(run.WaitFor("restored", MainMenuShown, 5s)) << "nothing drawn after restoring";
    // It keeps drawing: the menu's launcher turns after the pointer.
    const Area launcher{670, 460, 110, 110};
    run.MoveTo(400, 300);
    ASSERT_TRUE(run.WaitSteady("pointer-left", launcher, 5s));
    const GameView before = run.Look();
    run.MoveTo(790, 480);
    EXPECT_TRUE(run.WaitFor(
        "launcher-turned",
        [&](const GameView& view) { return view.ChangedShare(before, launcher, 40) > 0.05; }, 5s))
        << "the menu no longer follows the pointer after restoring";
    const std::int64_t restoredAt = sound.Size();
    ASSERT_TRUE(WaitForSound(sound, restoredAt + sound.BytesAt(1.0), 5s));
    EXPECT_GT(sound.LoudestWindow(restoredAt, restoredAt + sound.BytesAt(1.0)), kAudible)
        << "the music did not come back";
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
