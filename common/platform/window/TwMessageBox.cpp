#include "platform/window/TwMessageBox.h"

#include "platform/window/TwMessageBoxProcess.h"
#include "platform/window/TwWindowInput.h"

#include <SDL.h>
#include <SDL_syswm.h>
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

// The game's window as X11 knows it, for the box to stay above; 0 without one.
unsigned long OwnerWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        return static_cast<unsigned long>(info.info.x11.window);
    }
    return 0;
}

// Shows the box from a process of its own; the pointer shows over the game's window while
// the box waits, as SDL does for a box of its own.
bool ShowBoxApart(const std::string& caption, const std::string& text) {
    SDL_Window* window = TwVideo::SdlWindow();
    const int cursorBefore = window ? SDL_ShowCursor(SDL_ENABLE) : SDL_ENABLE;
    const bool shown = TwShowMessageBoxApart(caption, text, OwnerWindow(window));
    if (window) {
        SDL_ShowCursor(cursorBefore);
        SDL_RaiseWindow(window);
    }
    return shown;
}

void ShowBox(const std::string& caption, const std::string& text) {
    if (DisplayAvailable()) {
        const bool shown = TwMessageBoxesApart()
                               ? ShowBoxApart(caption, text)
                               : SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(),
                                                          text.c_str(), TwVideo::SdlWindow()) == 0;
        if (shown) {
            return;
        }
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
