#include "platform/TwMessageBox.h"

#include "platform/TwVideoInternal.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kCaption = "Error";

TwMessageSink& Sink() {
    static TwMessageSink sink;
    return sink;
}

// The offscreen and dummy drivers have no screen to show a box on; asking SDL anyway would
// let it open an X11 box behind the driver's back.
bool DisplayAvailable() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) {
        driver = SDL_getenv("SDL_VIDEODRIVER");
    }
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        return false;
    }
    return true;
}

void ShowBox(const std::string& caption, const std::string& text) {
    if (DisplayAvailable() && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(),
                                                       text.c_str(), TwVideo::SdlWindow()) == 0) {
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

} // namespace

void TwShowErrorMessage(const std::string& text) {
    if (Sink()) {
        Sink()(kCaption, text);
        return;
    }
    ShowBox(kCaption, text);
}

void TwSetMessageSink(TwMessageSink sink) {
    Sink() = std::move(sink);
}
