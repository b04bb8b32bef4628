#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace e2e {

struct Rgb {
    double r = 0, g = 0, b = 0;
    double Brightness() const { return (r + g + b) / 3; }
    // How much more blue than red and green: the game's enabled buttons are blue, its
    // disabled ones grey.
    double Blueness() const { return b - (r + g) / 2; }
};

struct Area {
    int x = 0, y = 0, w = 1, h = 1;
};

// A picture in 8-bit RGB, top row first.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height) : width_(width), height_(height), rgb_(width * height * 3) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0; }
    Rgb At(int x, int y) const;
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    Rgb Mean(Area area) const;
    // Mean absolute difference per channel over the area (0 same .. 255).
    double Difference(const Picture& other, Area area) const;
    // Share of the area's pixels that differ from the other picture by more than the
    // threshold in any channel.
    double ChangedShare(const Picture& other, Area area, int threshold) const;
    // Share of the area's pixels brighter than the threshold in every channel: text drawn
    // in white on the game's dark panels.
    double WhiteShare(Area area, int threshold) const;
    bool SavePng(const std::string& path) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgb_;
};

using WindowId = unsigned long;

struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    bool mapped = false;
};

// An Xvfb server of the test's own, on a display number the server picks itself (so
// tests running side by side never share one), with a client connection for looking at
// the screen and its windows. Stopped with the object.
class VirtualScreen {
public:
    VirtualScreen(int width, int height);
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    bool Ready() const { return display_ != nullptr; }
    const std::string& Name() const { return name_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Starts a small window manager from the desktop (openbox) on this screen, with its
    // settings under `homeDir`, and waits until it manages windows. Stopped with the screen.
    bool StartWindowManager(const std::string& homeDir);

    // The whole screen as the player sees it.
    Picture Capture();
    // Top-level windows titled exactly so (mapped or not), also inside a window manager's
    // frames.
    std::vector<WindowId> FindWindows(const std::string& title);
    std::optional<WindowPlace> Place(WindowId window);
    // Asks the window to close, as a window manager's close button does.
    void RequestClose(WindowId window);
    // Asks the window manager to close the window, as a taskbar or a key binding does.
    void AskWindowManagerToClose(WindowId window);
    // A plain window of this test's own X connection (another program on the desktop),
    // mapped at once; it accepts the keyboard focus.
    WindowId OpenWindow(const std::string& title, int x, int y, int width, int height);
    // Top-level windows created since the last call, in order (the first call starts
    // watching and returns nothing).
    std::vector<WindowPlace> TakeCreatedWindows();

private:
    void Connect();
    bool ManagesNewWindows();

    int width_, height_;
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> windowManager_;
    void* display_ = nullptr; // Display*
    bool watching_ = false;
};

} // namespace e2e
