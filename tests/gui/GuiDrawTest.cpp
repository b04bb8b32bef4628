// What panels and elements put on the off-screen renderer: frames by state, fade alphas.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "data/TwEngineDefs.h"
#include "gfx/TwFontTable.h"
#include "gfx/TwRenderDevice.h"
#include "gui/TwButton.h"
#include "gui/TwDialogPanel.h"
#include "gui/TwScoreDlg.h"
#include "records/TwHighScoreTables.h"
#include "records/TwTop.h"

using namespace guitest;
using zvtest::ScreenPixel;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;

std::uint32_t Red(std::uint32_t argb) {
    return (argb >> 16) & 0xFF;
}

class GuiDrawTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(zvtest::EnsureHeadlessScreen()); }

    std::vector<std::uint32_t> DrawScreen() {
        TwRenderDevice::Instance().StartScene();
        screen.Draw();
        return zvtest::ReadScreen();
    }

    GuiEnvironment env;
    zvtest::CapturedMessages messages;
    RecordingScreen screen;
};

TEST_F(GuiDrawTest, ButtonFramesFollowItsState) {
    auto window = std::make_unique<TwPanel>();
    TwButton* button = window->AddButton("Interface/Colours", 0, 0, "Win.Go", TwPanel::kPlainRole);
    button->SetPosition({400, 300, 0});
    screen.AddPanel("Win", std::move(window));
    screen.OpenPanel("Win");
    screen.SettleFades();

    EXPECT_EQ(ScreenPixel(DrawScreen(), 400, 300), kRed);
    screen.Send(MouseMove(400, 300));
    EXPECT_EQ(ScreenPixel(DrawScreen(), 400, 300), kGreen);
    button->Disable();
    screen.Send(MouseMove(410, 300));
    EXPECT_EQ(ScreenPixel(DrawScreen(), 400, 300), kBlue);
}

TEST_F(GuiDrawTest, AFadingDialogDimsTheScreenAndShowsThroughItself) {
    auto dialog = std::make_unique<TwDialogPanel>();
    ASSERT_TRUE(dialog->Create("Interface/Dialog"));
    screen.AddPanel("Dlg", std::move(dialog));
    screen.OpenPanel("Dlg");
    screen.Update(127);

    const auto pixels = DrawScreen();
    // Outside the dialog only the white overlay at alpha 128 covers the black screen; inside,
    // the white background at the same alpha lies on top of it.
    const std::uint32_t outside = Red(ScreenPixel(pixels, 50, 50));
    const std::uint32_t inside = Red(ScreenPixel(pixels, 400, 300));
    EXPECT_NEAR(outside, 128, 3);
    EXPECT_NEAR(inside, 191, 3);

    screen.SettleFades();
    EXPECT_EQ(Red(ScreenPixel(DrawScreen(), 400, 300)), 255u);
}

// A long name is cut where the score column begins, measured in the dialog's font, so it
// never runs into a six-digit score; a short name is drawn whole.
TEST_F(GuiDrawTest, ScoreDialogCutsLongNamesBeforeTheScore) {
    constexpr int kRowY = 60, kNameX = 100, kScoreX = 400;
    TwDefFile& defs = TwEngineDefs();
    const TwDefFile savedDefs = defs;
    defs.SetInt("ScoreDlg.UpUffset", kRowY);
    defs.SetInt("ScoreDlg.NameOffset", kNameX);
    defs.SetInt("ScoreDlg.ScoreOffset", kScoreX);
    defs.SetInt("ScoreDlg.LeftNumOffset", 80);
    // The font's strip becomes a texture now that the screen exists.
    ASSERT_NE(TwFontTable::Instance().Load(TwFontTable::MainFont, "MainFont"), nullptr);
    auto& tables = TwHighScoreTables();
    tables[0] = std::make_unique<TwTop>("Data/Classic.Twt");
    TwTopRecord record;
    record.Scores = 999999;
    tables[0]->Add(record);

    auto dialog = std::make_unique<TwScoreDlg>();
    ASSERT_TRUE(dialog->Create("Interface/Dialog"));
    dialog->SetDimBackground(false);
    TwScoreDlg* scores = dialog.get();
    screen.AddPanel("ScoreDlg", std::move(dialog));
    screen.OpenPanel("ScoreDlg");
    for (int frame = 0; frame < 100 && scores->IsRevealing(); ++frame) {
        screen.Frame(20);
    }
    ASSERT_FALSE(scores->IsRevealing());

    auto rowWith = [&](const std::string& name) {
        tables[0]->At(0).PlayerName = name;
        return DrawScreen();
    };
    auto white = [](const std::vector<std::uint32_t>& pixels, int x) {
        return Red(ScreenPixel(pixels, x, kRowY)) > 200;
    };
    const auto scoreOnly = rowWith("");
    const int scoreStart = kScoreX - 6 * kFontCell;
    ASSERT_TRUE(white(scoreOnly, scoreStart + 2));
    ASSERT_FALSE(white(scoreOnly, scoreStart - 2));

    // Forty characters would reach far past the score; the score's pixels and the gap before
    // it stay exactly as without a name, and the name fills its column up to there.
    const auto longName = rowWith(std::string(40, 'W'));
    for (int x = scoreStart - 4; x < 800; ++x) {
        for (int y = kRowY - kFontHeight / 2; y < kRowY + kFontHeight / 2; ++y) {
            ASSERT_EQ(ScreenPixel(longName, x, y), ScreenPixel(scoreOnly, x, y)) << x << "," << y;
        }
    }
    EXPECT_TRUE(white(longName, kNameX + 2));
    EXPECT_TRUE(white(longName, scoreStart - 4 * kFontCell));

    const auto shortName = rowWith("Ann");
    EXPECT_TRUE(white(shortName, kNameX + 3 * kFontCell - 2));
    EXPECT_FALSE(white(shortName, kNameX + 3 * kFontCell + 2));

    tables.clear();
    defs = savedDefs;
}

} // namespace
