#include "VirtualScreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace e2e {

namespace {

Display* AsDisplay(void* display) {
    return static_cast<Display*>(display);
}

// Tolerate an X error (a window that vanished between listing and asking) instead of
// letting Xlib end the test process.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

int ChannelShift(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

} // namespace

Rgb Picture::At(int x, int y) const {
    x = std::clamp(x, 0, width_ - 1);
    y = std::clamp(y, 0, height_ - 1);
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return {static_cast<double>(rgb_[i]), static_cast<double>(rgb_[i + 1]),
            static_cast<double>(rgb_[i + 2])};
}

void Picture::Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    rgb_[i] = r;
    rgb_[i + 1] = g;
    rgb_[i + 2] = b;
}

Rgb Picture::Mean(Area area) const {
    Rgb sum;
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            const Rgb p = At(x, y);
            sum.r += p.r;
            sum.g += p.g;
            sum.b += p.b;
            ++count;
        }
    }
    if (count > 0) {
        sum.r /= count;
        sum.g /= count;
        sum.b /= count;
    }
    return sum;
}

double Picture::Difference(const Picture& other, Area area) const {
    double sum = 0;
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            const Rgb a = At(x, y), b = other.At(x, y);
            sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
            count += 3;
        }
    }
    return count ? sum / count : 0;
}

double Picture::ChangedShare(const Picture& other, Area area, int threshold) const {
    int changed = 0, count = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            const Rgb a = At(x, y), b = other.At(x, y);
            const double d =
                std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            changed += d > threshold ? 1 : 0;
            ++count;
        }
    }
    return count ? static_cast<double>(changed) / count : 0;
}

double Picture::WhiteShare(Area area, int threshold) const {
    int white = 0, count = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            const Rgb p = At(x, y);
            white += (p.r > threshold && p.g > threshold && p.b > threshold) ? 1 : 0;
            ++count;
        }
    }
    return count ? static_cast<double>(white) / count : 0;
}

bool Picture::SavePng(const std::string& path) const {
    if (Empty()) {
        return false;
    }
    stbi_write_png_compression_level = 2; // screenshots are many; speed over size
    return stbi_write_png(path.c_str(), width_, height_, 3, rgb_.data(), width_ * 3) != 0;
}

VirtualScreen::VirtualScreen(int width, int height) : width_(width), height_(height) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return;
    }
    LaunchOptions options;
    options.argv = {
        "Xvfb",      "-displayfd", std::to_string(fds[1]),
        "-screen",   "0",          std::to_string(width) + "x" + std::to_string(height) + "x24",
        "-nolisten", "tcp",        "-noreset"};
    options.env = Environment::Inherited();
    options.inheritFd = fds[1];
    server_ = std::make_unique<ChildProcess>(options);
    ::close(fds[1]);

    // The server writes its display number once it accepts clients.
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) {
            char c = 0;
            if (::read(fds[0], &c, 1) != 1 || c == '\n') {
                break;
            }
            number += c;
        } else if (!server_->Running()) {
            break;
        }
    }
    ::close(fds[0]);
    if (number.empty()) {
        return;
    }
    name_ = ":" + number;
    Connect();
}

void VirtualScreen::Connect() {
    XSetErrorHandler(IgnoreXError);
    display_ = XOpenDisplay(name_.c_str());
}

VirtualScreen::~VirtualScreen() {
    windowManager_.reset();
    if (display_) {
        XCloseDisplay(AsDisplay(display_));
    }
    server_.reset();
}

bool VirtualScreen::StartWindowManager(const std::string& homeDir) {
    Display* display = AsDisplay(display_);
    if (!display) {
        return false;
    }
    LaunchOptions options;
    options.argv = {"openbox"};
    options.env = Environment::Inherited();
    options.env.Set("DISPLAY", name_);
    options.env.Set("HOME", homeDir);
    options.env.Unset("XDG_CONFIG_HOME");
    options.env.Unset("XDG_CACHE_HOME");
    options.env.Unset("XDG_DATA_HOME");
    windowManager_ = std::make_unique<ChildProcess>(options);

    // A manager announces itself with a check window named on the root window.
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline && windowManager_->Running()) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool announced =
            XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
            count == 1;
        if (data) {
            XFree(data);
        }
        if (announced) {
            return ManagesNewWindows();
        }
        ::usleep(20000);
    }
    return false;
}

// The manager has announced itself, but may still be starting, and a window mapped then can
// go unnoticed (it stays unmapped for good). So a first window of our own is mapped again and
// again until the manager puts it into a frame: from then on it takes every new window.
bool VirtualScreen::ManagesNewWindows() {
    Display* display = AsDisplay(display_);
    const WindowId probe = OpenWindow("probe", 0, 0, 10, 10);
    bool framed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    for (int tries = 1; std::chrono::steady_clock::now() < deadline && windowManager_->Running();
         ++tries) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        framed = XQueryTree(display, probe, &root, &parent, &children, &count) && parent != root;
        if (children) {
            XFree(children);
        }
        if (framed) {
            break;
        }
        if (tries % 10 == 0) {
            XMapWindow(display, probe);
            XFlush(display);
        }
        ::usleep(20000);
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    return framed;
}

Picture VirtualScreen::Capture() {
    Display* display = AsDisplay(display_);
    if (!display) {
        return {};
    }
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width_),
                  static_cast<unsigned>(height_), AllPlanes, ZPixmap);
    if (!image) {
        return {};
    }
    Picture picture(width_, height_);
    const int rs = ChannelShift(image->red_mask), gs = ChannelShift(image->green_mask),
              bs = ChannelShift(image->blue_mask);
    // The usual 32-bit true-colour layout is read straight from memory; anything else
    // through Xlib's slower per-pixel access.
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    for (int y = 0; y < height_; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(image->data + y * image->bytes_per_line);
        for (int x = 0; x < width_; ++x) {
            const unsigned long p = direct ? row[x] : XGetPixel(image, x, y);
            picture.Set(x, y, static_cast<std::uint8_t>((p & image->red_mask) >> rs),
                        static_cast<std::uint8_t>((p & image->green_mask) >> gs),
                        static_cast<std::uint8_t>((p & image->blue_mask) >> bs));
        }
    }
    XDestroyImage(image);
    return picture;
}

namespace {

// The title's bytes whatever its declared encoding (SDL's boxes use UTF-8).
bool TitledSo(Display* display, Window window, const std::string& title) {
    XTextProperty name{};
    bool same = false;
    if (XGetWMName(display, window, &name) && name.value) {
        same = std::string(reinterpret_cast<const char*>(name.value), name.nitems) == title;
        XFree(name.value);
    }
    return same;
}

// Windows titled so under `parent`: a window manager puts each program's window inside a
// frame of its own, so the search goes down into the frames.
void FindTitled(Display* display, Window parent, const std::string& title, int depth,
                std::vector<WindowId>& found) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        if (TitledSo(display, children[i], title)) {
            found.push_back(children[i]);
        } else if (depth > 0) {
            FindTitled(display, children[i], title, depth - 1, found);
        }
    }
    if (children) {
        XFree(children);
    }
}

} // namespace

std::vector<WindowId> VirtualScreen::FindWindows(const std::string& title) {
    std::vector<WindowId> found;
    Display* display = AsDisplay(display_);
    if (display) {
        FindTitled(display, DefaultRootWindow(display), title, 2, found);
    }
    return found;
}

std::optional<WindowPlace> VirtualScreen::Place(WindowId window) {
    Display* display = AsDisplay(display_);
    XWindowAttributes attributes{};
    if (!display || !XGetWindowAttributes(display, window, &attributes)) {
        return std::nullopt;
    }
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return WindowPlace{x, y, attributes.width, attributes.height,
                       attributes.map_state == IsViewable};
}

namespace {

// Sends a 32-bit client message about `window` to `target` and flushes it.
void SendClientMessage(Display* display, Window target, Window window, const char* type, long first,
                       long second, long mask) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = second;
    XSendEvent(display, target, False, mask, &event);
    XFlush(display);
}

} // namespace

void VirtualScreen::RequestClose(WindowId window) {
    Display* display = AsDisplay(display_);
    if (!display) {
        return;
    }
    SendClientMessage(display, window, window, "WM_PROTOCOLS",
                      static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False)),
                      CurrentTime, NoEventMask);
}

void VirtualScreen::AskWindowManagerToClose(WindowId window) {
    Display* display = AsDisplay(display_);
    if (!display) {
        return;
    }
    // Source 2: asked by a pager or taskbar, on the player's behalf.
    SendClientMessage(display, DefaultRootWindow(display), window, "_NET_CLOSE_WINDOW", CurrentTime,
                      2, SubstructureRedirectMask | SubstructureNotifyMask);
}

WindowId VirtualScreen::OpenWindow(const std::string& title, int x, int y, int width, int height) {
    Display* display = AsDisplay(display_);
    if (!display) {
        return 0;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(
        display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, title.c_str());
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display, window, &hints);
    XSizeHints place{};
    place.flags = USPosition | USSize;
    place.x = x;
    place.y = y;
    place.width = width;
    place.height = height;
    XSetWMNormalHints(display, window, &place);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

std::vector<WindowPlace> VirtualScreen::TakeCreatedWindows() {
    std::vector<WindowPlace> created;
    Display* display = AsDisplay(display_);
    if (!display) {
        return created;
    }
    if (!watching_) {
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, True);
        watching_ = true;
        return created;
    }
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) {
            const XCreateWindowEvent& c = event.xcreatewindow;
            created.push_back({c.x, c.y, c.width, c.height, false});
        }
    }
    return created;
}

} // namespace e2e
