#pragma once
#include <functional>
#include <memory>
#include <string>


class TwClip;
class TwCursor;
class TwEventRouter;
class TwProgressBar;
struct TwInputEvent;
struct TwWindowMessage;

// The engine's application: owns the game window, the input record and the event router,
// turns window messages into input for the current screen, shows the loading screen, and runs
// the message pump that drives one frame after another.
//
// A frame: the frame timer and the render device start it, UpdateAndDraw (filled in by the
// game) updates and draws the current screen, the game's pointer is drawn on top while the
// mouse is over the game picture, and the frame is presented.
class TwBaseApplication {
public:
    // Picture names of the loading screen.
    static constexpr const char* kLoadScreenPicture = "LoadScreen";
    static constexpr const char* kProgressBackPicture = "ProgressBarBgr";
    static constexpr const char* kProgressLinePicture = "ProgressBarLine";
    static constexpr const char* kIconPicture = "Icon";

    TwBaseApplication();
    virtual ~TwBaseApplication();
    TwBaseApplication(const TwBaseApplication&) = delete;
    TwBaseApplication& operator=(const TwBaseApplication&) = delete;

    // The one application of the process (null before it exists or after it died).
    static TwBaseApplication* Instance();

    // Creates the input record and the router, the window and the render device, shows the
    // window and builds the loading screen. False when no render device can be made (nothing
    // more is created then). The class name is not used: the window is known by its title.
    bool Init(const std::string& className, const std::string& title);
    // The message pump: until the quit message arrives or the quit flag is set.
    void Run();
    // One loading-screen frame at `percent`.
    void ShowProgress(int percent);
    // The loading screen is never shown again.
    void FreeLoadScreen();
    // Drops the input record, releases the render device, destroys the window.
    void Shutdown();

    virtual void Frame();
    virtual void BeginFrame();
    virtual void UpdateAndDraw();
    virtual void EndFrame();

    // The window procedure: one message. Input goes to the current screen through the
    // router; minimise and restore stop and resume the game (frames and sound), and so does
    // another window taking the focus from the full-screen game and the game getting it back;
    // close posts the quit message.
    void HandleMessage(const TwWindowMessage& message);

    // (Re)creates the window in the mode of the Windowed setting; also used when the display
    // mode changes. Seeds the random numbers.
    bool CreateMainWindow();

    // The game's pointer, loaded by the game's load step.
    void CreateCursor();
    void HideSystemCursor();
    void ShowSystemCursor();

    void RequestQuit() { quit_ = true; }
    bool QuitRequested() const { return quit_; }
    bool IsActive() const { return active_; }

    TwInputEvent* Input() const { return input_.get(); }
    TwEventRouter* Router() const { return router_.get(); }
    TwCursor* Cursor() const { return cursor_.get(); }
    TwClip* LoadClip() const { return loadClip_.get(); }
    TwProgressBar* ProgressBar() const { return progressBar_.get(); }

    // Told of every loading-screen percentage as it is shown.
    void SetProgressObserver(std::function<void(int)> observer) {
        progressObserver_ = std::move(observer);
    }

protected:
    // True while the game's pointer should replace the system's: always in full screen, in a
    // window while the mouse is over the game picture; never while another window has the
    // focus.
    bool PointerOverGame() const;

    int captionHeight_ = 0;
    bool quit_ = false;
    std::string title_;
    bool systemCursorVisible_ = true;
    std::unique_ptr<TwClip> loadClip_;
    std::unique_ptr<TwProgressBar> progressBar_;

    bool active_ = false;
    bool minimised_ = false;
    bool inBackground_ = false; // another window has the keyboard focus
    std::unique_ptr<TwInputEvent> input_;
    std::unique_ptr<TwEventRouter> router_;
    std::unique_ptr<TwCursor> cursor_;

private:
    void SetWindowIcon();
    void BuildLoadScreen();
    bool TakeMessage(TwWindowMessage& message);
    void UpdateActivity();

    std::function<void(int)> progressObserver_;
};
