// The backend that draws nothing, for tests that need no pixels: frames are still collected,
// compared with the one on screen and counted, so everything above the window behaves as
// with a real renderer; reading pixels back fails.
#include <memory>

#include "platform/window/TwVideoInternal.h"

namespace {

class NullBackend : public TwFrameBackend {
public:
    bool Upload(TwTexture&, const std::uint8_t*) override { return true; }
    void Drop(TwTexture&) override {}
    void DrawCollected(FrameRecord& f) override {
        f.cleared = f.cleared || f.clearAsked;
        f.drawn = f.quads.size();
    }
    void Present(FrameRecord& f, bool) override { DrawCollected(f); }
    bool UsesWindow() const override { return false; }
    bool DrawsPixels() const override { return false; }
    bool ReadPixels(FrameRecord&, std::vector<std::uint32_t>&, int&, int&) override {
        return false;
    }
};

} // namespace

namespace TwVideo {

std::unique_ptr<TwFrameBackend> MakeNullBackend() {
    return std::make_unique<NullBackend>();
}

} // namespace TwVideo
