#include "gui/TwEventRouter.h"

#include "gui/TwEventListener.h"
#include "gui/TwInputEvent.h"

TwEventRouter::TwEventRouter(TwInputEvent* input, std::function<void()> onQuit)
    : input_(input), onQuit_(std::move(onQuit)) {}

void TwEventRouter::AddScreen(const std::string& name, TwEventListener* screen) {
    screens_[name] = screen;
    current_ = screen;
}

bool TwEventRouter::SwitchScreen(const std::string& name) {
    TwEventListener* next = GetScreen(name);
    if (next == nullptr) {
        return false;
    }
    // The click that caused the switch must not reach the new screen as well.
    if (input_ != nullptr) {
        input_->MarkConsumed();
    }
    if (current_ != nullptr) {
        current_->ClearEvent();
    }
    current_ = next;
    return true;
}

TwEventListener* TwEventRouter::GetScreen(const std::string& name) const {
    const auto found = screens_.find(name);
    return found == screens_.end() ? nullptr : found->second;
}

bool TwEventRouter::ForwardInput() {
    if (current_ == nullptr || input_ == nullptr) {
        return false;
    }
    return current_->HandleInput(*input_);
}

void TwEventRouter::RequestQuit() {
    quitRequested_ = true;
    if (onQuit_) {
        onQuit_();
    }
}
