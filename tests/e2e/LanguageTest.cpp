// The game on a German and on a Russian desktop: the menu, the options, the help page and a
// result panel show the pictures of that language's pack, and the greeting names the player
// in their own alphabet.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "GameRun.h"
#include "data/TwResourceManager.h"

namespace e2e {
namespace {

#define SKIP_WITHOUT_X(run)                                                                        \
    if (const std::string missing = (run).MissingTools(); !missing.empty()) {                      \
        GTEST_SKIP() << missing;                                                                   \
    }

// A picture as a pack holds it (our own 32-bit TGA files), top row first.
struct PackPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* At(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

PackPicture ReadPicture(const std::string& pack, const std::string& name) {
    TwResourceManager packs;
    PackPicture picture;
    std::string tga;
    if (!packs.OpenPack(zvtest::BinaryDir() + "/Data/" + pack) ||
        packs.GetResource("Data/Textures/" + name + ".Tga", tga) < 18 || tga[16] != 32) {
        ADD_FAILURE() << pack << " has no " << name;
        return picture;
    }
    const auto byte = [&tga](std::size_t i) { return static_cast<std::uint8_t>(tga[i]); };
    picture.width = byte(12) | byte(13) << 8;
    picture.height = byte(14) | byte(15) << 8;
    const bool topFirst = (byte(17) & 0x20) != 0;
    picture.rgba.resize(std::size_t(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        const int row = topFirst ? y : picture.height - 1 - y;
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t from = 18 + (std::size_t(row) * picture.width + x) * 4;
            std::uint8_t* to = &picture.rgba[(std::size_t(y) * picture.width + x) * 4];
            to[0] = byte(from + 2), to[1] = byte(from + 1), to[2] = byte(from),
            to[3] = byte(from + 3);
        }
    }
    return picture;
}

// Of the opaque pixels where the translated and the English picture differ clearly, the
// share the screen (the picture's frame `frame` drawn with its top-left corner at left, top)
// shows closer to the translation.
double TranslatedShare(const GameView& view, const std::string& pack, const std::string& name,
                       int left, int top, int frame = 0) {
    const PackPicture ours = ReadPicture(pack, name), english = ReadPicture("Lang.Twr", name);
    if (ours.width == 0 || ours.width != english.width || ours.height != english.height) {
        return 0;
    }
    const int frames =
        ours.height > 100 && name.find("Interface/") == 0 && name.find("Dlg") == std::string::npos
            ? 3
            : 1;
    const int h = ours.height / frames;
    int compared = 0, translated = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < ours.width; ++x) {
            const std::uint8_t* a = ours.At(x, frame * h + y);
            const std::uint8_t* b = english.At(x, frame * h + y);
            const int sx = left + x, sy = top + y;
            if (a[3] != 255 || b[3] != 255 || sx < 0 || sy < 0 || sx >= view.Width() ||
                sy >= view.Height()) {
                continue;
            }
            int apart = 0;
            for (int c = 0; c < 3; ++c) {
                apart = std::max(apart, std::abs(a[c] - b[c]));
            }
            if (apart < 80) {
                continue;
            }
            const Rgb seen = view.At(sx, sy);
            const auto distance = [&seen](const std::uint8_t* p) {
                return std::abs(seen.r - p[0]) + std::abs(seen.g - p[1]) + std::abs(seen.b - p[2]);
            };
            ++compared;
            translated += distance(a) < distance(b) ? 1 : 0;
        }
    }
    return compared < 50 ? 0 : double(translated) / compared;
}

void ShowsTheGameIn(const std::string& code, const std::string& player) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    const std::string pack = "Lang_" + code + ".Twr";
    WritePlayers(run, {player}, 2);
    run.SetGameVariable("LANGUAGE", code);
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
    ASSERT_TRUE(run.WaitSteady("menu-steady", {20, 100, 300, 420}));
    const GameView menuView = run.Snap("menu");
    // The Exit button (200 x 46, nobody points at it) and the greeting with the name.
    EXPECT_GT(TranslatedShare(menuView, pack, "Interface/Exit", 176 - 100, 492 - 23), 0.9);
    EXPECT_GT(menuView.WhiteShare({560, 115, 200, 16}, 200), 0.03) << "no greeting";

    run.Click(menu::kOptionsX, menu::kOptionsY);
    ASSERT_TRUE(run.WaitFor("options", OptionsDialogShown, 10s));
    ASSERT_TRUE(run.WaitSteady("options-steady", {140, 80, 520, 440}));
    const GameView options = run.Snap("options");
    EXPECT_GT(TranslatedShare(options, pack, "Interface/OptionsDlg", 140, 80), 0.9);
    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("options-closed", MainMenuShown, 10s));

    // Help sits under Options in the menu's column.
    run.Click(144, 384);
    ASSERT_TRUE(run.WaitSteady("help-steady", {20, 20, 760, 560}, 10s));
    const GameView help = run.Snap("help");
    EXPECT_GT(TranslatedShare(help, pack, "Help", 20, 20), 0.8);
    EXPECT_GT(help.WhiteShare({40, 60, 500, 140}, 200), 0.02) << "no rules text";
    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("help-closed", MainMenuShown, 10s));

    run.Click(menu::kClassicX, menu::kClassicY);
    ASSERT_TRUE(run.WaitFor("classic-game", GameScreenShown, 10s));
    ASSERT_TRUE(PlayUntilResultPanel(run, 150)) << "no result panel";
    ASSERT_TRUE(run.WaitSteady("result-counted", kResultNumbers, 15s));
    const GameView result = run.Snap("result-panel");
    EXPECT_GT(std::max(TranslatedShare(result, pack, "Interface/GameOverDlg", 180, 140),
                       TranslatedShare(result, pack, "Interface/GameComplDlg", 180, 140)),
              0.8);
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace

TEST(Languages, GermanDesktopPlaysInGerman) {
    ShowsTheGameIn("de", "J\xC3\xBCrgen");
}

TEST(Languages, RussianDesktopPlaysInRussian) {
    ShowsTheGameIn("ru", "\xD0\xAE\xD0\xBB\xD0\xB8\xD1\x8F");
}

} // namespace e2e
