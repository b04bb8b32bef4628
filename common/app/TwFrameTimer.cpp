#include "app/TwFrameTimer.h"

#include "platform/os/TwClock.h"

TwFrameTimer& TwFrameTimer::Instance() {
    static TwFrameTimer timer;
    return timer;
}

void TwFrameTimer::Update() {
    current_ = TwMilliseconds();
    // Unsigned difference: correct across the clock's wrap-around.
    const auto raw = static_cast<std::int32_t>(current_ - previous_);
    if (count_ < kHistoryLength) {
        history_[(oldest_ + count_) % kHistoryLength] = raw;
        ++count_;
    } else {
        history_[oldest_] = raw; // the newest takes the oldest's place
        oldest_ = (oldest_ + 1) % kHistoryLength;
    }
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        sum += history_[i];
    }
    // Mean rounded towards minus infinity, as an integer division of the non-negative sum.
    const auto count = static_cast<std::int64_t>(count_);
    std::int64_t mean = sum / count;
    if (sum < 0 && mean * count != sum) {
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
    oldest_ = count_ = 0;
}

std::vector<std::int32_t> TwFrameTimer::History() const {
    std::vector<std::int32_t> deltas;
    for (std::size_t i = 0; i < count_; ++i) {
        deltas.push_back(history_[(oldest_ + i) % kHistoryLength]);
    }
    return deltas;
}
