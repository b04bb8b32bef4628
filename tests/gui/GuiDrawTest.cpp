// What panels and elements put on the off-screen renderer: frames by state, fade alphas.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "app/TwRenderDevice.h"
#include "gui/TwButton.h"
#include "gui/TwDialogPanel.h"

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

} // namespace
