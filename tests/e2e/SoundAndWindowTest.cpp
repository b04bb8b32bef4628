// What the player hears, the window minimised and brought back, and the game on a desktop
// with a window manager: other windows taking the focus, minimising and closing through it.
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

#include "DiskSound.h"
#include "GameRun.h"

namespace e2e {
namespace {

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

TEST(Sound, SettingsHoldingOnlyWindowedStillPlayTheMusic) {
    // The README's advice for full-screen trouble: a settings file with just this line.
    GameRun run;
    SKIP_WITHOUT_X(run);
    std::filesystem::create_directories(run.ConfigDir());
    zvtest::WriteAll(run.ConfigDir() + "/TwConfig.Cfg", "Windowed=1\n");
    StartReturningPlayer(run, "Wren");
    const DiskSound sound(run.AudioFile());

    const std::int64_t atMenu = sound.Size();
    ASSERT_TRUE(WaitForSound(sound, atMenu + sound.BytesAt(2.0), 10s)) << "no sound written";
    run.Snap("windowed-menu");
    EXPECT_GT(sound.LoudestWindow(atMenu, atMenu + sound.BytesAt(2.0)), kAudible)
        << "the menu music is silent with only Windowed=1 in the settings";
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

// The frames the game has run so far, from its once-a-second trace (ZV_TRACE_FRAMES); -1
// before the first report. The trace stops while no frames run.
long FramesRun(const GameRun& run) {
    static const std::regex report("frames run ([0-9]+)");
    const std::string text = run.GameStderr();
    long frames = -1;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), report);
         it != std::sregex_iterator(); ++it) {
        frames = std::stol((*it)[1]);
    }
    return frames;
}

// A returning player's game with its frame trace on, at the menu, with the window manager
// having made the window what the settings ask for: the whole screen, or a window.
void StartOnDesktop(GameRun& run, const std::string& name, bool windowed) {
    std::filesystem::create_directories(run.ConfigDir());
    zvtest::WriteAll(run.ConfigDir() + "/TwConfig.Cfg", std::string("Windowed=") +
                                                            (windowed ? "1" : "0") +
                                                            "\nSoundVolume=100\nMusicVolume=100\n");
    run.SetGameVariable("ZV_TRACE_FRAMES", "1");
    run.SetGameVariable("ZV_TRACE_STARTUP", "1"); // where the time went, should a start be slow
    StartReturningPlayer(run, name);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    const auto deadline = Clock::now() + 10s;
    auto placed = [&] {
        const auto place = run.WindowPlaceNow();
        const bool full =
            place && place->width == run.Screen().Width() && place->height == run.Screen().Height();
        return place && place->mapped && full != windowed;
    };
    while (Clock::now() < deadline && !placed()) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(placed()) << "the window manager did not place the window as asked";
    ASSERT_TRUE(run.WaitForWindow()); // learns the final place
    ASSERT_TRUE(run.WaitFor("menu-placed", MainMenuShown, 10s));
}

// Frames go on (the trace goes on counting) and music plays over the next stretch.
void ExpectRunning(GameRun& run, const DiskSound& sound, const std::string& when) {
    const long before = FramesRun(run);
    const std::int64_t from = sound.Size();
    ASSERT_TRUE(WaitForSound(sound, from + sound.BytesAt(2.0), 10s));
    EXPECT_GT(FramesRun(run), before) << "no frames " << when;
    EXPECT_GT(sound.LoudestWindow(from, from + sound.BytesAt(2.0)), kAudible)
        << "no music " << when;
}

// No frame runs and not a sound is heard over the next stretch.
void ExpectStandingStill(GameRun& run, const DiskSound& sound, const std::string& when) {
    std::this_thread::sleep_for(300ms); // the last frame's report and sound block
    const long before = FramesRun(run);
    const std::int64_t from = sound.Size() + sound.BytesAt(0.2);
    ASSERT_TRUE(WaitForSound(sound, from + sound.BytesAt(2.0), 10s));
    EXPECT_EQ(FramesRun(run), before) << "frames run " << when;
    EXPECT_LT(sound.LoudestWindow(from, sound.Size()), kSilent) << "music plays " << when;
}

TEST(Desktop, FullScreenGameStandsStillWhileAnotherWindowHasTheFocus) {
    GameRun run(800, 600, Desktop::WindowManager);
    SKIP_WITHOUT_X(run);
    ASSERT_NO_FATAL_FAILURE(StartOnDesktop(run, "Nova", false));
    const DiskSound sound(run.AudioFile());
    EXPECT_EQ(run.FocusedWindow(), run.Window()) << "the new window did not get the focus";
    ExpectRunning(run, sound, "at the start");

    // The player switches to another program's window.
    const WindowId other = run.Screen().OpenWindow("Notes", 200, 150, 400, 300);
    run.Activate(other);
    ASSERT_EQ(run.FocusedWindow(), other);
    run.Snap("other-window");
    ExpectStandingStill(run, sound, "behind another window");

    // And comes back: the game goes on where it stood.
    run.Activate(run.Window());
    ASSERT_EQ(run.FocusedWindow(), run.Window());
    EXPECT_TRUE(run.WaitFor("back", MainMenuShown, 5s));
    ExpectRunning(run, sound, "after coming back");
    EXPECT_EQ(run.CloseWindow(), 0);
}

TEST(Desktop, WindowBehindAnotherPlaysOnButThePointerOverItLightsNothing) {
    GameRun run(1280, 800, Desktop::WindowManager);
    SKIP_WITHOUT_X(run);
    ASSERT_NO_FATAL_FAILURE(StartOnDesktop(run, "Iris", true));
    const DiskSound sound(run.AudioFile());
    const Area classic{60, 190, 200, 30};
    run.MoveTo(400, 560);

    // Another window beside the game's takes the focus; the game plays on behind it...
    const WindowId other = run.Screen().OpenWindow("Notes", 960, 100, 250, 200);
    run.Activate(other);
    ASSERT_EQ(run.FocusedWindow(), other);
    ExpectRunning(run, sound, "in a window behind another");

    // ...but the pointer passing over its Classic button does not light it.
    const GameView dark = run.Snap("unfocused");
    run.MoveTo(menu::kClassicX, menu::kClassicY);
    std::this_thread::sleep_for(800ms);
    EXPECT_LT(run.Snap("pointer-over-unfocused").ChangedShare(dark, classic, 40), 0.01)
        << "a button lit up under the pointer in a window without the focus";

    // Back in the game, the same move lights it.
    run.Activate(run.Window());
    ASSERT_EQ(run.FocusedWindow(), run.Window());
    run.MoveTo(400, 560);
    ASSERT_TRUE(run.WaitSteady("pointer-away", classic, 5s));
    const GameView before = run.Look();
    run.MoveTo(menu::kClassicX, menu::kClassicY);
    EXPECT_TRUE(run.WaitFor(
        "pointer-over-focused",
        [&](const GameView& view) { return view.ChangedShare(before, classic, 40) > 0.05; }, 5s))
        << "the button does not light up even with the focus";
    EXPECT_EQ(run.CloseWindow(), 0);
}

TEST(Desktop, MinimisedBroughtBackAndClosedThroughTheWindowManager) {
    GameRun run(800, 600, Desktop::WindowManager);
    SKIP_WITHOUT_X(run);
    ASSERT_NO_FATAL_FAILURE(StartOnDesktop(run, "Orla", false));
    const DiskSound sound(run.AudioFile());

    run.MinimiseThroughManager();
    auto minimised = [&] {
        const auto place = run.WindowPlaceNow();
        return place && !place->mapped;
    };
    const auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline && !minimised()) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(minimised()) << "the window manager did not minimise the game";
    ExpectStandingStill(run, sound, "minimised");

    run.Activate(run.Window());
    EXPECT_TRUE(run.WaitFor("restored", MainMenuShown, 5s));
    const auto restored = run.WindowPlaceNow();
    EXPECT_TRUE(restored && restored->width == 800 && restored->height == 600)
        << "not full screen after restoring";
    ExpectRunning(run, sound, "after restoring");

    run.CloseThroughManager();
    EXPECT_EQ(run.Game().WaitForExit(10s), 0) << "the close request did not end the game";
}

} // namespace
} // namespace e2e
