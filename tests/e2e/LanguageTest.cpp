// The game on the desktop of every language it has a pack for: the menu, the options, the
// help page and a result panel show the pictures of that language's pack, and the greeting
// names the player in their own alphabet. The screenshots of every step are kept under
// <build>/e2e-artifacts/ for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "GameRun.h"
#include "data/TwResourceManager.h"
#include "platform/picture/TwPicture.h"

namespace e2e {
namespace {

// A picture as a pack holds it, decoded: RGBA, top row first.
struct PackPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* At(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

PackPicture ReadPicture(const std::string& pack, const std::string& name) {
    TwResourceManager packs;
    PackPicture picture;
    std::string file;
    TwPicture decoded, words;
    // As the game finds it: the pack in front of the English one, a translation's words laid
    // over the English picture.
    const std::string stored = "Data/Textures/" + name;
    if (!packs.OpenPack(zvtest::BinaryDir() + "/Data/" + pack) ||
        !packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang.Twr") ||
        (packs.GetResource(stored + ".Webp", file) < 0 &&
         packs.GetResource(stored + ".Jpg", file) < 0) ||
        !TwDecodePicture(file, decoded)) {
        ADD_FAILURE() << pack << " has no " << name;
        return picture;
    }
    if (packs.GetResource(stored + ".Words.Webp", file) > 0 && TwDecodePicture(file, words)) {
        TwOverlayPicture(decoded, words);
    }
    picture.width = decoded.width;
    picture.height = decoded.height;
    picture.rgba = std::move(decoded.rgba);
    return picture;
}

// A picture with words in the tested language and in English, to tell on screen which of
// the two is shown. The English picture on screen scores near 0, the translated one near 1;
// dialogs are partly see-through, so what moves behind them keeps the score below 1, and
// more than 0.6 counts as the translation.
struct Translated {
    PackPicture ours, english;
    int frames = 1;
    Translated(const std::string& pack, const std::string& name, int frameCount = 1)
        : ours(ReadPicture(pack, name)), english(ReadPicture("Lang.Twr", name)),
          frames(frameCount) {
        EXPECT_TRUE(ours.width > 0 && ours.width == english.width && ours.height == english.height)
            << name;
    }

    // Of the opaque pixels where the two pictures differ clearly, the share the screen shows
    // closer to the translation, with the picture's first frame's top-left corner at
    // (left, top).
    double Share(const GameView& view, int left, int top) const {
        if (ours.width == 0 || ours.width != english.width || ours.height != english.height) {
            return 0;
        }
        int compared = 0, translated = 0;
        for (int y = 0; y < ours.height / frames; ++y) {
            for (int x = 0; x < ours.width; ++x) {
                const std::uint8_t* a = ours.At(x, y);
                const std::uint8_t* b = english.At(x, y);
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
                    return std::abs(seen.r - p[0]) + std::abs(seen.g - p[1]) +
                           std::abs(seen.b - p[2]);
                };
                ++compared;
                translated += distance(a) < distance(b) ? 1 : 0;
            }
        }
        return compared < 50 ? 0 : double(translated) / compared;
    }
};

// A Classic game one shot from its end, the launcher loaded with colour 3 (a slot writes
// colour n as the digit n + 2, one bracket per column, top row first). Lost: eleven rows of
// colour 0 reach down to the row above the bottom one, where the shot sticks. Cleared: the
// top row is all of colour 3, so any shot upwards bursts the whole field.
std::string LastShotGame(bool lost) {
    std::string map;
    for (int column = 0; column < 12; ++column) {
        map += lost ? "[2 2 2 2 2 2 2 2 2 2 2]" : "[5]";
    }
    return "GameID=0\nPlayerBubbleID=3\nNextPlayerBubbleID=3\nScore=40\nMap={" + map + "}\n";
}

void ShowsTheGameIn(const std::string& code, const std::string& player, bool lost) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    const std::string pack = "Lang_" + code + ".Twr";
    const Translated exitButton(pack, "Interface/Exit", 3), options(pack, "Interface/OptionsDlg"),
        help(pack, "Help"), gameOver(pack, "Interface/GameOverDlg"),
        complete(pack, "Interface/GameComplDlg");
    WritePlayers(run, {player}, 2);
    std::filesystem::create_directories(run.DataDir() + "/Save");
    zvtest::WriteAll(SlotFile(run, player), LastShotGame(lost));
    run.SetGameVariable("LANGUAGE", code);
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
    // The Exit button (200 x 46, nobody points at it) and the greeting with the name.
    EXPECT_TRUE(run.WaitFor("menu-translated", [&](const GameView& view) {
        return exitButton.Share(view, menu::kExitX - 100, menu::kExitY - 23) > 0.6 &&
               view.WhiteShare({560, 115, 200, 16}, 200) > 0.03;
    }));

    run.Click(menu::kOptionsX, menu::kOptionsY);
    ASSERT_TRUE(run.WaitFor("options", OptionsDialogShown, 10s));
    EXPECT_TRUE(run.WaitFor("options-translated", [&](const GameView& view) {
        return options.Share(view, 140, 55) > 0.6;
    }));
    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("options-closed", MainMenuShown, 10s));

    // Help sits under Options in the menu's column; its rules are printed in white.
    run.Click(144, 384);
    const auto helpShown = [&](const GameView& view) {
        return help.Share(view, 20, 20) > 0.6 && view.WhiteShare({40, 60, 500, 140}, 200) > 0.02;
    };
    if (!run.WaitFor("help-translated", helpShown, 20s)) {
        const GameView view = run.Snap("help-not-shown");
        ADD_FAILURE() << "help: translated share " << help.Share(view, 20, 20) << ", rules ink "
                      << view.WhiteShare({40, 60, 500, 140}, 200);
    }
    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("help-closed", MainMenuShown, 10s));

    // The player's saved game is one shot from its end, so the result panel comes at once
    // (whole games are played to their end in PlayTest).
    run.Click(menu::kContinueX, menu::kContinueY);
    ASSERT_TRUE(run.WaitFor("continued-game", GameScreenShown, 10s));
    ASSERT_TRUE(PlayUntilResultPanel(run, 10)) << "no result panel";
    const Translated& result = lost ? gameOver : complete;
    const auto resultShare = [&](const GameView& view) { return result.Share(view, 180, 140); };
    if (!run.WaitFor("result-translated",
                     [&](const GameView& view) { return resultShare(view) > 0.6; })) {
        ADD_FAILURE() << "result panel: translated share " << resultShare(run.Look());
    }
    EXPECT_EQ(run.CloseWindow(), 0);
}

// Every translation whose pack the build made, so a language added later is played too.
std::vector<std::string> TranslationCodes() {
    std::vector<std::string> codes;
    std::error_code error;
    for (std::filesystem::directory_iterator it(zvtest::BinaryDir() + "/Data", error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("Lang_", 0) == 0 && name.size() > 9 &&
            name.compare(name.size() - 4, 4, ".Twr") == 0) {
            codes.push_back(name.substr(5, name.size() - 9));
        }
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

// A player's name in the language's own letters where it has letters beyond English.
std::string PlayerNameFor(const std::string& code) {
    static const std::map<std::string, std::string> names = {
        {"de", "J\xC3\xBCrgen"},
        {"ru", "\xD0\xAE\xD0\xBB\xD0\xB8\xD1\x8F"},
        {"pl", "\xC5\x81ucja"},
        {"fr", "Ana\xC3\xAFs"},
        {"es", "Nu\xC3\xB1o"},
        {"pt_BR", "Jo\xC3\xA3o"},
        {"nl", "Ri\xC3\xABtte"},
        {"sv", "\xC3\x85sa"},
        {"da", "S\xC3\xB8ren"},
        {"nb", "\xC3\x98ystein"},
        {"fi", "J\xC3\xA4nk\xC3\xA4"},
        {"cs", "Ji\xC5\x99\xC3\xAD"},
        {"uk", "\xD0\x9C\xD0\xB0\xD1\x80\xCA\xBC\xD1\x8F\xD0\xBD\xD0\xB0"},
        {"tr", "I\xC5\x9F\xC4\xB1l"},
    };
    const auto it = names.find(code);
    return it == names.end() ? "Ann" : it->second;
}

class EveryLanguage : public ::testing::TestWithParam<std::string> {};

// Every other language loses its game, the rest clear theirs, so both result panels are seen.
TEST_P(EveryLanguage, ItsDesktopPlaysInIt) {
    const auto codes = TranslationCodes();
    const auto at = std::find(codes.begin(), codes.end(), GetParam()) - codes.begin();
    ShowsTheGameIn(GetParam(), PlayerNameFor(GetParam()), at % 2 == 0);
}

INSTANTIATE_TEST_SUITE_P(Languages, EveryLanguage, ::testing::ValuesIn(TranslationCodes()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

} // namespace

} // namespace e2e
