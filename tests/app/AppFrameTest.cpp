#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "SoftwareRendering.h"
#include "TestSupport.h"
#include "app/TwBaseApplication.h"
#include "app/TwFrameTimer.h"
#include "app/TwProgressBar.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwTextureCache.h"
#include "gui/TwEventListener.h"
#include "gui/TwEventRouter.h"
#include "gui/TwInputEvent.h"
#include "platform/input/TwEvents.h"
#include "platform/os/TwClock.h"
#include "platform/window/TwMessageBox.h"

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;

// An uncompressed 32-bit TGA, top row first, every pixel the same ARGB colour.
std::string SolidTga(int width, int height, std::uint32_t argb) {
    std::string tga(18, '\0');
    tga[2] = 2; // true colour
    tga[12] = static_cast<char>(width & 0xFF);
    tga[13] = static_cast<char>(width >> 8);
    tga[14] = static_cast<char>(height & 0xFF);
    tga[15] = static_cast<char>(height >> 8);
    tga[16] = 32;
    tga[17] = 0x28; // top-left origin, 8 alpha bits
    for (int i = 0; i < width * height; ++i) {
        tga += static_cast<char>(argb & 0xFF);
        tga += static_cast<char>((argb >> 8) & 0xFF);
        tga += static_cast<char>((argb >> 16) & 0xFF);
        tga += static_cast<char>(argb >> 24);
    }
    return tga;
}

// A screen that records the input it is handed.
class RecordingScreen : public TwEventListener {
public:
    bool HandleInput(TwInputEvent& input) override {
        seen.push_back(input.messageId);
        lastX = input.eventX;
        return true;
    }
    std::vector<int> seen;
    float lastX = -1;
};

// The application with a frame counter and a look at each frame before it is presented.
class ProbeApp : public TwBaseApplication {
public:
    void UpdateAndDraw() override {
        ++frames;
        if (frames == quitAfter) {
            RequestQuit();
        }
    }
    void EndFrame() override {
        TwRenderDevice::Instance().ReadPixels(lastFrame);
        TwBaseApplication::EndFrame();
    }
    std::uint32_t Pixel(int x, int y) const {
        return lastFrame.at(static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x));
    }
    int frames = 0;
    int quitAfter = -1;
    std::vector<std::uint32_t> lastFrame;
};

class AppFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwSetMessageSink([](const std::string&, const std::string&) {});
        TwResourceManager::Instance().CloseAll();
        TwPackWriter writer;
        writer.AddEntry("Data/Textures/LoadScreen.Tga", SolidTga(8, 8, 0xFF202020));
        writer.AddEntry("Data/Textures/ProgressBarBgr.Tga", SolidTga(220, 20, 0xFF0000FF));
        writer.AddEntry("Data/Textures/ProgressBarLine.Tga", SolidTga(200, 10, 0xFFFF0000));
        writer.AddEntry("Data/Textures/Cursor.Tga", SolidTga(16, 16, 0xFF00FF00));
        ASSERT_TRUE(writer.Write(pack.File("Test.Twr")));
        ASSERT_TRUE(TwResourceManager::Instance().OpenPack(pack.File("Test.Twr")));
        savedConfig.Assign(TwSysConfig::Instance());
        TwSysConfig::Instance().Windowed = true;
        TwFlushMessages();
    }
    void TearDown() override {
        app.Shutdown();
        TwSysConfig::Instance().Assign(savedConfig);
        TwResourceManager::Instance().CloseAll();
        TwSetMessageSink({});
    }

    void Push(TwSyntheticEvent::Kind kind, int x = 0, int y = 0) {
        TwSyntheticEvent event;
        event.kind = kind;
        event.x = x;
        event.y = y;
        ASSERT_TRUE(TwPushSyntheticEvent(event));
    }

    // Hands every waiting message to the window procedure, as the pump does.
    void HandleWaiting() {
        TwWindowMessage message;
        while (TwPeekMessage(message)) {
            app.HandleMessage(message);
        }
    }

    SoftwareRendering softwareRendering;
    zvtest::TempDir pack;
    TwSysConfig savedConfig;
    ProbeApp app;
};

} // namespace

TEST_F(AppFrameTest, RunDrawsFramesUntilTheQuitFlagIsSet) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    app.quitAfter = 3;
    app.Run();
    EXPECT_EQ(app.frames, 3);
}

TEST_F(AppFrameTest, MinimisedWindowDrawsNothingAndClosingEndsThePump) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    Push(TwSyntheticEvent::Kind::Minimize);
    Push(TwSyntheticEvent::Kind::Close);
    app.Run();
    EXPECT_EQ(app.frames, 0);
    EXPECT_FALSE(app.IsActive());

    Push(TwSyntheticEvent::Kind::Restore);
    TwWindowMessage message;
    ASSERT_TRUE(TwPeekMessage(message));
    app.HandleMessage(message);
    EXPECT_TRUE(app.IsActive());
}

TEST_F(AppFrameTest, InputReachesTheCurrentScreenAtOnce) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    RecordingScreen screen;
    app.Router()->AddScreen("MenuWin", &screen);
    Push(TwSyntheticEvent::Kind::MouseMove, 250, 100);
    Push(TwSyntheticEvent::Kind::Close);
    app.Run();
    ASSERT_EQ(screen.seen, (std::vector<int>{512}));
    EXPECT_EQ(screen.lastX, 250.0f);
    EXPECT_EQ(app.Input()->mouseX, 250.0f);
}

TEST_F(AppFrameTest, ProgressBarFillsFromItsLeftEdge) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    app.ShowProgress(50);
    // Line 200 x 10 centred on (400, 300): x 300..499; half of it is drawn.
    EXPECT_EQ(app.Pixel(301, 300), 0xFFFF0000u);
    EXPECT_EQ(app.Pixel(398, 300), 0xFFFF0000u);
    EXPECT_EQ(app.Pixel(402, 300), 0xFF0000FFu); // background shows through
    EXPECT_EQ(app.Pixel(400, 60), kBlack);
    EXPECT_EQ(TwProgressBar::FilledWidth(65, 200), 130);
    EXPECT_EQ(TwProgressBar::FilledWidth(150, 200), 200);
    app.FreeLoadScreen();
    EXPECT_EQ(app.LoadClip(), nullptr);
    EXPECT_EQ(app.ProgressBar(), nullptr);
}

TEST_F(AppFrameTest, GamePointerIsDrawnInFullScreenOnly) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    app.CreateCursor();
    Push(TwSyntheticEvent::Kind::MouseMove, 600, 400);
    app.quitAfter = 1;
    app.Run();
    // In a window the mouse is not over the (offscreen) game picture: system pointer.
    EXPECT_EQ(app.Pixel(600, 400), kBlack);

    TwSysConfig::Instance().Windowed = false;
    app.Frame();
    EXPECT_EQ(app.Pixel(600, 400), 0xFF00FF00u);
    EXPECT_EQ(app.Pixel(610, 400), kBlack);
}

TEST_F(AppFrameTest, RecreateBringsEveryPictureBack) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    app.CreateCursor();
    const std::size_t cached = TwTextureCache::Instance().Size();
    TwSysConfig::Instance().Windowed = false;
    ASSERT_EQ(TwRenderDevice::Instance().Recreate(), TwRenderDevice::kOk);
    EXPECT_EQ(TwTextureCache::Instance().Size(), cached);
    app.Frame();
    EXPECT_EQ(app.Pixel(0, 0), 0xFF00FF00u); // the pointer, at the origin, drawn again
}

// Another window taking the focus from the full-screen game stops it as minimising does, and
// the time away never reaches the game: the first frame back is a frame's worth of time.
TEST_F(AppFrameTest, LeavingTheFullScreenGameStopsItAndItsClock) {
    TwFixedClock clock(0);
    TwSetClock(&clock);
    TwFrameTimer::Instance().Reset();
    TwSysConfig::Instance().Windowed = false;
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    for (int i = 0; i < 3; ++i) {
        clock.Advance(16);
        app.Frame();
    }

    Push(TwSyntheticEvent::Kind::FocusLost);
    HandleWaiting();
    EXPECT_FALSE(app.IsActive()) << "the game runs on behind another window";
    clock.Advance(30000);
    Push(TwSyntheticEvent::Kind::FocusGained);
    HandleWaiting();
    EXPECT_TRUE(app.IsActive());
    clock.Advance(16);
    app.Frame();
    EXPECT_EQ(TwFrameTimer::Instance().History().back(), 16);
    EXPECT_EQ(TwFrameTimer::Instance().Delta(), 16);

    // Minimised and restored: the same.
    Push(TwSyntheticEvent::Kind::Minimize);
    HandleWaiting();
    EXPECT_FALSE(app.IsActive());
    clock.Advance(60000);
    Push(TwSyntheticEvent::Kind::Restore);
    HandleWaiting();
    EXPECT_TRUE(app.IsActive());
    clock.Advance(16);
    app.Frame();
    EXPECT_EQ(TwFrameTimer::Instance().Delta(), 16);

    // Minimised, then restored while another window still has the focus: it waits for the
    // player to come back.
    Push(TwSyntheticEvent::Kind::FocusLost);
    Push(TwSyntheticEvent::Kind::Minimize);
    Push(TwSyntheticEvent::Kind::Restore);
    HandleWaiting();
    EXPECT_FALSE(app.IsActive());
    Push(TwSyntheticEvent::Kind::FocusGained);
    HandleWaiting();
    EXPECT_TRUE(app.IsActive());
    TwSetClock(nullptr);
    TwFrameTimer::Instance().Reset();
}

// A window behind others plays on, but the pointer passing over it is not input until the
// player comes back to it.
TEST_F(AppFrameTest, WindowInTheBackgroundPlaysOnWithoutInput) {
    ASSERT_TRUE(app.Init("3D", "Zorbit Volley"));
    RecordingScreen screen;
    app.Router()->AddScreen("MenuWin", &screen);
    Push(TwSyntheticEvent::Kind::FocusLost);
    Push(TwSyntheticEvent::Kind::MouseMove, 250, 100);
    Push(TwSyntheticEvent::Kind::ButtonDown, 250, 100);
    Push(TwSyntheticEvent::Kind::ButtonUp, 250, 100);
    HandleWaiting();
    EXPECT_TRUE(app.IsActive());
    EXPECT_TRUE(screen.seen.empty());

    Push(TwSyntheticEvent::Kind::FocusGained);
    Push(TwSyntheticEvent::Kind::MouseMove, 260, 100);
    HandleWaiting();
    EXPECT_EQ(screen.seen, (std::vector<int>{512}));
    EXPECT_EQ(screen.lastX, 260.0f);
}
