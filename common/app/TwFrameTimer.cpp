#include "app/TwFrameTimer.h"

#include "platform/TwClock.h"

TwFrameTimer& TwFrameTimer::Instance() {
    static TwFrameTimer timer;
    return timer;
}

void TwFrameTimer::Update() {
    current_ = TwMilliseconds();
    // Unsigned difference: correct across the clock's wrap-around.
    const auto raw = static_cast<std::int32_t>(current_ - previous_);
    if (history_.size() >= kHistoryLength) {
        history_.pop_front();
    }
    history_.push_back(raw);
    std::int64_t sum = 0;
    for (std::int32_t delta : history_) {
        sum += delta;
    }
    // Mean rounded towards minus infinity, as an integer division of the non-negative sum.
    std::int64_t mean = sum / static_cast<std::int64_t>(history_.size());
    if (sum < 0 && mean * static_cast<std::int64_t>(history_.size()) != sum) {
        --mean;
    }
    delta_ = static_cast<std::int32_t>(mean);
    previous_ = current_;
}

void TwFrameTimer::Resume() {
    previous_ = TwMilliseconds();
}

void TwFrameTimer::Reset() {
    previous_ = 0;
    current_ = 0;
    delta_ = 10;
    history_.clear();
}
