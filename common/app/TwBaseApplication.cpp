#include "app/TwBaseApplication.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/TwCursor.h"
#include "app/TwFrameTimer.h"
#include "app/TwProgressBar.h"
#include "audio/TwSoundManager.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "gfx/TwClip.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwScreenSize.h"
#include "gfx/TwTextureCache.h"
#include "gui/TwEventRouter.h"
#include "gui/TwInputEvent.h"
#include "platform/input/TwEvents.h"
#include "platform/os/TwRand.h"
#include "platform/picture/TwPicture.h"
#include "platform/window/TwVideo.h"

namespace {

constexpr int kWindowX = 64;
constexpr int kWindowY = 64;
// While the window is minimised the pump waits this long for a message before looking at
// the quit flag again.
constexpr int kIdleWaitMs = 100;

TwBaseApplication* g_application = nullptr;

// With ZV_TRACE_STARTUP set, the moments each loading step and the first playable frame are
// on screen go to standard error as wall-clock nanoseconds, so a measuring script can time
// the start-up from its own clock.
void TraceStartup(const char* what, int percent = -1) {
    if (std::getenv("ZV_TRACE_STARTUP") == nullptr) {
        return;
    }
    using namespace std::chrono;
    const auto now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    if (percent >= 0) {
        std::fprintf(stderr, "zorbit-volley: %s %d%% at %lld ns\n", what, percent,
                     static_cast<long long>(now));
    } else {
        std::fprintf(stderr, "zorbit-volley: %s at %lld ns\n", what, static_cast<long long>(now));
    }
}

void TraceFirstFrame() {
    TraceStartup("first frame shown");
}

// With ZV_TRACE_FRAMES set, once a second: how many frames ran and how many of them were
// actually drawn and presented (an unchanged picture is not drawn again).
class FrameTrace {
public:
    FrameTrace() : enabled_(std::getenv("ZV_TRACE_FRAMES") != nullptr) {}
    void Count() {
        if (!enabled_) {
            return;
        }
        ++frames_;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastReport_ >= std::chrono::seconds(1)) {
            lastReport_ = now;
            std::fprintf(stderr, "zorbit-volley: frames run %llu, drawn %llu\n", frames_,
                         static_cast<unsigned long long>(TwVideo::PresentedFrames()));
        }
    }

private:
    bool enabled_;
    unsigned long long frames_ = 0;
    std::chrono::steady_clock::time_point lastReport_ = std::chrono::steady_clock::now();
};

} // namespace

TwBaseApplication::TwBaseApplication() {
    g_application = this;
}

TwBaseApplication::~TwBaseApplication() {
    if (g_application == this) {
        g_application = nullptr;
    }
    TwRenderDevice& device = TwRenderDevice::Instance();
    if (device.Owner() == this) {
        device.SetOwner(nullptr);
        device.SetWindowBuilder({});
    }
}

TwBaseApplication* TwBaseApplication::Instance() {
    return g_application;
}

bool TwBaseApplication::Init(const std::string& /*className*/, const std::string& title) {
    title_ = title;
    active_ = true;
    minimised_ = false;
    inBackground_ = false;

    input_ = std::make_unique<TwInputEvent>();
    router_ = std::make_unique<TwEventRouter>(input_.get(), [this] { RequestQuit(); });

    TwRenderDevice& device = TwRenderDevice::Instance();
    if (!CreateMainWindow() || device.Create() != TwRenderDevice::kOk) {
        return false;
    }
    device.SetOwner(this);
    device.SetWindowBuilder([this] { return CreateMainWindow(); });
    device.SetDeviceResetHandler([] { TwTextureCache::Instance().ReloadAll(); });
    TwVideo::ShowWindow();

    BuildLoadScreen();
    return true;
}

bool TwBaseApplication::CreateMainWindow() {
    TwSRand(static_cast<std::uint32_t>(std::time(nullptr)));

    const TwScreenSize& size = TwScreenSize::Instance();
    TwWindowSettings settings;
    settings.title = title_;
    settings.windowed = TwSysConfig::Instance().Windowed;
    settings.x = kWindowX;
    settings.y = kWindowY;
    settings.width = size.width;
    settings.height = size.height;
    if (!TwVideo::CreateWindow(settings)) {
        return false;
    }
    captionHeight_ = TwVideo::CaptionHeight();
    inBackground_ = false; // a new window takes the player's input until told otherwise
    if (input_) {
        input_->captionHeight = captionHeight_;
    }
    SetWindowIcon();
    // A fresh window shows the system pointer until the game's own takes over.
    systemCursorVisible_ = true;
    TwVideo::ShowSystemCursor(true);
    return true;
}

void TwBaseApplication::SetWindowIcon() {
    static const char* const kExtensions[] = {".Tga", ".Dds", ".Jpg", ".Webp"};
    for (const char* extension : kExtensions) {
        std::string bytes;
        const std::string name = std::string("Data/Textures/") + kIconPicture + extension;
        if (TwResourceManager::Instance().GetResource(name, bytes) < 0) {
            continue;
        }
        TwPicture picture;
        if (TwDecodePicture(bytes, picture)) {
            TwVideo::SetWindowIcon(picture.width, picture.height, picture.rgba.data());
        }
        return;
    }
}

void TwBaseApplication::BuildLoadScreen() {
    const TwScreenSize& size = TwScreenSize::Instance();
    loadClip_ = std::make_unique<TwClip>();
    loadClip_->SetImage(kLoadScreenPicture);
    loadClip_->SetAnimation(1000, TwAnimation::Still, 1, 1);
    loadClip_->SetPosition(static_cast<float>(size.width) / 2, static_cast<float>(size.height) / 2,
                           0);
    progressBar_ = std::make_unique<TwProgressBar>();
    progressBar_->Load(kProgressBackPicture, kProgressLinePicture);
    progressBar_->SetPosition(400, 500, 0);
}

bool TwBaseApplication::TakeMessage(TwWindowMessage& message) {
    if (TwPeekMessage(message)) {
        return true;
    }
    if (active_) {
        return false;
    }
    // Minimised: nothing to draw, so sleep until the player comes back.
    return TwWaitMessage(message, kIdleWaitMs);
}

void TwBaseApplication::Run() {
    bool firstFrame = true;
    FrameTrace trace;
    while (!quit_) {
        TwWindowMessage message;
        if (TakeMessage(message)) {
            if (message.id == kTwMsgQuit) {
                break;
            }
            HandleMessage(message);
        } else if (active_) {
            // The first frame is presented without waiting for the display: it ends the
            // start-up.
            TwRenderDevice::Instance().SetFramePacing(!firstFrame);
            Frame();
            trace.Count();
            if (firstFrame) {
                firstFrame = false;
                TraceFirstFrame();
                TwRenderDevice::Instance().SetFramePacing(true);
            }
        }
    }
}

void TwBaseApplication::HandleMessage(const TwWindowMessage& message) {
    if (!input_) {
        return;
    }
    if (input_->Translate(message, TwVideo::HasWindow())) {
        if (router_) {
            router_->ForwardInput();
        }
        return;
    }
    switch (message.id) {
    case kTwMsgSize:
        if (message.wParam == kTwSizeMinimized || message.wParam == kTwSizeRestored) {
            minimised_ = message.wParam == kTwSizeMinimized;
            UpdateActivity();
        }
        break;
    case kTwMsgActivate:
        inBackground_ = message.wParam == kTwWindowInactive;
        UpdateActivity();
        break;
    case kTwMsgClose:
        TwPostQuitMessage();
        break;
    case kTwMsgDeviceReset:
        TwRenderDevice::Instance().NotifyDeviceReset();
        break;
    default:
        break;
    }
}

// Minimised, or in full screen behind another window, the game stands still: no frames, every
// sound paused, and the time away does not reach the game's clocks when it comes back. A
// window stays in play behind others, as the player can still watch it.
void TwBaseApplication::UpdateActivity() {
    const bool fullScreen = !TwSysConfig::Instance().Windowed;
    const bool shouldRun = !minimised_ && !(inBackground_ && fullScreen);
    if (shouldRun == active_) {
        return;
    }
    active_ = shouldRun;
    TwSoundManager::Instance().PauseAll(!active_);
    if (active_) {
        TwFrameTimer::Instance().Resume();
        TwVideo::RequestRedraw();
    }
}

void TwBaseApplication::Frame() {
    BeginFrame();
    UpdateAndDraw();
    // Finished music tracks are restarted or advanced here, once per frame whatever
    // screen is current, on the game's own thread.
    TwSoundManager::Instance().Update();
    if (cursor_ && input_) {
        cursor_->SetPosition(input_->mouseX, input_->mouseY, input_->mouseZ);
    }
    if (PointerOverGame()) {
        HideSystemCursor();
        if (cursor_) {
            cursor_->Draw();
        }
    } else {
        ShowSystemCursor();
    }
    EndFrame();
}

void TwBaseApplication::BeginFrame() {
    TwFrameTimer::Instance().Update();
    TwRenderDevice::Instance().StartScene();
}

void TwBaseApplication::UpdateAndDraw() {}

void TwBaseApplication::EndFrame() {
    TwRenderDevice::Instance().FinishScene();
}

bool TwBaseApplication::PointerOverGame() const {
    if (inBackground_) {
        return false; // the game does not follow the pointer then: the desktop's shows
    }
    return !TwSysConfig::Instance().Windowed || TwVideo::MouseOverClient();
}

void TwBaseApplication::ShowProgress(int percent) {
    if (!loadClip_ || !progressBar_) {
        return;
    }
    progressBar_->SetPosition(400, 300, 0);
    progressBar_->percent = percent;
    // Loading frames are shown as soon as they are drawn: waiting for the display's refresh
    // after each step would only lengthen the start-up.
    TwRenderDevice& device = TwRenderDevice::Instance();
    device.SetFramePacing(false);
    BeginFrame();
    loadClip_->Draw();
    progressBar_->Draw();
    EndFrame();
    device.SetFramePacing(true);
    TraceStartup("loading screen at", percent);
    if (progressObserver_) {
        progressObserver_(percent);
    }
}

void TwBaseApplication::FreeLoadScreen() {
    loadClip_.reset();
    progressBar_.reset();
}

void TwBaseApplication::CreateCursor() {
    cursor_ = std::make_unique<TwCursor>();
    cursor_->Load();
}

void TwBaseApplication::HideSystemCursor() {
    if (systemCursorVisible_) {
        TwVideo::ShowSystemCursor(false);
        systemCursorVisible_ = false;
    }
}

void TwBaseApplication::ShowSystemCursor() {
    if (!systemCursorVisible_) {
        TwVideo::ShowSystemCursor(true);
        systemCursorVisible_ = true;
    }
}

void TwBaseApplication::Shutdown() {
    if (router_) {
        router_->SetInput(nullptr);
    }
    input_.reset();
    FreeLoadScreen();
    TwRenderDevice& device = TwRenderDevice::Instance();
    device.Release();
    device.SetDeviceResetHandler({});
    TwVideo::DestroyWindow();
}
