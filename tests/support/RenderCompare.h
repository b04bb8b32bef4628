#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TwEventListener;

// Comparing the game's software compositor with SDL's own software renderer, the way frames
// were drawn before the compositor and the reference the compositor must match.
namespace zvtest {

// While it lives, frames are drawn by SDL's software renderer; made and ended, the renderer
// is remade (on the window when `onWindow`, otherwise headless) and every picture of the
// texture cache reloaded through the device-reset handler. Pictures made by hand must be
// made again after each switch.
class SdlReferenceRenderer {
public:
    explicit SdlReferenceRenderer(bool onWindow = false);
    ~SdlReferenceRenderer();
    SdlReferenceRenderer(const SdlReferenceRenderer&) = delete;
    SdlReferenceRenderer& operator=(const SdlReferenceRenderer&) = delete;

private:
    bool onWindow_;
};

// Remakes the renderer as the environment chooses it and reloads the cached pictures.
bool ReopenRenderer(bool onWindow);

// The largest difference of one colour channel between two ARGB pictures of the same size,
// where it is, and how many pixels differ by more than `tolerance`.
struct ChannelDifference {
    int largest = 0;
    int x = -1, y = -1;
    std::size_t pixelsOver = 0;
};
ChannelDifference CompareChannels(const std::vector<std::uint32_t>& a,
                                  const std::vector<std::uint32_t>& b, int width, int tolerance);

// The picture of a screen as it stands, drawn once without running it: only what a test
// changed can differ between two of them.
std::vector<std::uint32_t> DrawnPicture(TwEventListener& screen);

// With ZV_TEST_PICTURES set to a folder, writes an ARGB picture there as `name`.ppm, to look
// at what a comparison saw; otherwise does nothing.
void KeepPictureForLooking(const std::vector<std::uint32_t>& argb, int width,
                           const std::string& name);

} // namespace zvtest
