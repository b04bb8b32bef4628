#include "RenderCompare.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "TestSupport.h"

#include "gfx/TwRenderDevice.h"
#include "gui/TwEventListener.h"
#include "platform/window/TwVideo.h"

namespace zvtest {

bool ReopenRenderer(bool onWindow) {
    TwVideo::DestroyRenderer();
    const bool made = onWindow ? TwVideo::CreateRenderer() : TwVideo::CreateHeadless(800, 600);
    if (made) {
        TwRenderDevice::Instance().NotifyDeviceReset();
    }
    return made;
}

SdlReferenceRenderer::SdlReferenceRenderer(bool onWindow) : onWindow_(onWindow) {
    ::setenv("ZV_RENDERER", "sdl", 1);
    ReopenRenderer(onWindow_);
}

SdlReferenceRenderer::~SdlReferenceRenderer() {
    ::unsetenv("ZV_RENDERER");
    ReopenRenderer(onWindow_);
}

ChannelDifference CompareChannels(const std::vector<std::uint32_t>& a,
                                  const std::vector<std::uint32_t>& b, int width, int tolerance) {
    ChannelDifference result;
    if (a.size() != b.size() || width <= 0) {
        result.largest = 256;
        return result;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                   static_cast<int>((b[i] >> shift) & 0xFF));
            worst = std::max(worst, d);
        }
        if (worst > tolerance) {
            ++result.pixelsOver;
        }
        if (worst > result.largest) {
            result.largest = worst;
            result.x = static_cast<int>(i % static_cast<std::size_t>(width));
            result.y = static_cast<int>(i / static_cast<std::size_t>(width));
        }
    }
    return result;
}

std::vector<std::uint32_t> DrawnPicture(TwEventListener& screen) {
    TwRenderDevice& device = TwRenderDevice::Instance();
    device.StartScene();
    screen.Draw();
    std::vector<std::uint32_t> pixels;
    EXPECT_TRUE(device.ReadPixels(pixels));
    device.FinishScene();
    return pixels;
}

void KeepPictureForLooking(const std::vector<std::uint32_t>& argb, int width,
                           const std::string& name) {
    const char* folder = std::getenv("ZV_TEST_PICTURES");
    if (!folder || width <= 0) {
        return;
    }
    const std::size_t height = argb.size() / static_cast<std::size_t>(width);
    std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (std::uint32_t p : argb) {
        bytes += static_cast<char>(p >> 16 & 0xFF);
        bytes += static_cast<char>(p >> 8 & 0xFF);
        bytes += static_cast<char>(p & 0xFF);
    }
    WriteAll(std::string(folder) + "/" + name + ".ppm", bytes);
}

} // namespace zvtest
