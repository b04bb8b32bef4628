#pragma once
#include <functional>
#include <map>
#include <string>

class TwEventListener;
struct TwInputEvent;

// Holds the screens by name and knows the current one. The window hands every input record
// to the router, which passes it to the current screen. The router does not own the screens.
class TwEventRouter {
public:
    // `input` is the window's one input record; `onQuit` is called by RequestQuit (the
    // application's quit flag).
    explicit TwEventRouter(TwInputEvent* input = nullptr, std::function<void()> onQuit = {});

    // Stores the screen under the name and makes it current.
    void AddScreen(const std::string& name, TwEventListener* screen);
    // Makes the named screen current: the input record is marked consumed and the pending
    // event of the screen being left is dropped. An unknown name changes nothing (false).
    bool SwitchScreen(const std::string& name);
    // The screen with this name, or null.
    TwEventListener* GetScreen(const std::string& name) const;
    TwEventListener* Current() const { return current_; }
    // Passes the input record to the current screen. False without a screen or record, else
    // the screen's result.
    bool ForwardInput();
    // Asks the application to end after the current frame.
    void RequestQuit();
    bool QuitRequested() const { return quitRequested_; }

    TwInputEvent* Input() const { return input_; }
    void SetInput(TwInputEvent* input) { input_ = input; }

private:
    TwInputEvent* input_ = nullptr;
    std::map<std::string, TwEventListener*> screens_;
    TwEventListener* current_ = nullptr;
    std::function<void()> onQuit_;
    bool quitRequested_ = false;
};
