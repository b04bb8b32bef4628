// The options a player sets survive closing the program and starting it again.
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"
#include "data/TwDefFile.h"

namespace e2e {
namespace {

// The options dialog's controls, in game coordinates.
constexpr double kSliderLeft = 268, kSliderRight = 532; // value 0 .. 255
constexpr double kSoundY = 226, kMusicY = 285;
constexpr double kFullScreenX = 410, kFullScreenY = 325;
constexpr double kHardX = 540, kHardY = 405;
constexpr double kOkX = 400, kOkY = 512;
constexpr Area kDialog{150, 90, 500, 420};

double SliderX(int value) {
    return kSliderLeft + (kSliderRight - kSliderLeft) * value / 255.0;
}

bool WindowedAt800x600(GameRun& run) {
    const auto place = run.WindowPlaceNow();
    return place && place->width == 800 && place->height == 600;
}

GameView OpenOptions(GameRun& run, const std::string& step) {
    // Right after a start the menu may still be fading in or the window not yet active,
    // and a click then goes unheard; a player would simply click again.
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
        run.Click(menu::kOptionsX, menu::kOptionsY);
        shown = run.WaitFor(step, OptionsDialogShown, 4s);
    }
    EXPECT_TRUE(shown);
    // The pointer waits beside the dialog, so the picture shows the controls alone.
    run.MoveTo(740, 300);
    EXPECT_TRUE(run.WaitSteady(step + "-steady", kDialog, 10s));
    return run.Snap(step + "-settled");
}

TEST(Options, VolumesDifficultyAndWindowModeHoldAcrossARestart) {
    // A screen larger than the game, so that a window can be told from full screen.
    GameRun run(1024, 768);
    SKIP_WITHOUT_X(run);
    std::filesystem::create_directories(run.DataDir());
    zvtest::WriteAll(run.DataDir() + "/Profiles.Txt", "ActiveProfile=0\nPlayerName0=\"Opal\"\n");

    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    const auto first = run.WindowPlaceNow();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->width, 1024) << "the first start is full screen";
    EXPECT_EQ(first->height, 768);
    ASSERT_TRUE(run.WaitFor("menu-full-screen", MainMenuShown, 20s));

    const GameView defaults = OpenOptions(run, "options-defaults");
    run.Click(SliderX(45), kSoundY);
    run.Click(SliderX(210), kMusicY);
    run.Click(kHardX, kHardY);
    run.Snap("options-changed");

    // Leaving full screen rebuilds the window at the game's own size.
    run.Click(kFullScreenX, kFullScreenY);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline &&
           !(run.WaitForWindow(1s) && WindowedAt800x600(run))) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(WindowedAt800x600(run)) << "the window did not leave full screen";
    ASSERT_TRUE(run.WaitFor("options-windowed", OptionsDialogShown, 10s));
    run.MoveTo(740, 300);
    ASSERT_TRUE(run.WaitSteady("options-windowed-steady", kDialog, 10s));
    const GameView chosen = run.Snap("options-chosen");
    EXPECT_GT(chosen.ChangedShare(defaults, kDialog, 60), 0.002) << "the controls did not move";

    run.Click(kOkX, kOkY);
    ASSERT_TRUE(run.WaitFor("menu-windowed", MainMenuShown, 10s));
    EXPECT_EQ(run.CloseWindow(), 0);

    // What was written: windowed, Hard, and the two volumes where the sliders were put.
    TwDefFile settings;
    ASSERT_EQ(settings.LoadFromFile(run.ConfigDir() + "/TwConfig.Cfg"), 0);
    EXPECT_EQ(settings.GetInt("Windowed", -1), 1);
    EXPECT_EQ(settings.GetInt("DifficultLevel", -1), 2);
    EXPECT_NEAR(settings.GetInt("SoundVolume", -1), 45, 16);
    EXPECT_NEAR(settings.GetInt("MusicVolume", -1), 210, 16);

    // Started again, the game opens in a window and shows the same choices.
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    EXPECT_TRUE(WindowedAt800x600(run)) << "the second start is not windowed";
    ASSERT_TRUE(run.WaitFor("menu-after-restart", MainMenuShown, 20s));
    const GameView restored = OpenOptions(run, "options-after-restart");
    EXPECT_LT(restored.ChangedShare(chosen, kDialog, 60), 0.01)
        << "the options dialog shows other settings after the restart";
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
