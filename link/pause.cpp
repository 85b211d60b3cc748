#include "link/pause.h"

#include <thread>

namespace kt {
namespace {

using Clock = std::chrono::steady_clock;

thread_local Cancel* currentCancel = nullptr;

// The kernel wakes a sleeper up to its timer slack (50 us by default) late,
// more under load: the sleep ends this early and the last stretch is spun.
constexpr auto kCoarseMargin = std::chrono::milliseconds(1);
constexpr auto kFineMargin = std::chrono::microseconds(150);

void sleepPrecisely(Clock::time_point deadline, Cancel* cancel) {
    if (cancel) {
        if (!cancel->sleepUntil(deadline - kCoarseMargin)) return;
    } else {
        std::this_thread::sleep_until(deadline - kCoarseMargin);
    }
    std::this_thread::sleep_until(deadline - kFineMargin);
    while (Clock::now() < deadline) {
        if (cancel && cancel->requested()) return;
        std::this_thread::yield();
    }
}

}  // namespace

void Cancel::request() {
    {
        std::lock_guard lock(mutex_);
        requested_.store(true, std::memory_order_release);
    }
    wake_.notify_all();
}

void Cancel::clear() {
    std::lock_guard lock(mutex_);
    requested_.store(false, std::memory_order_release);
}

bool Cancel::sleepUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_until(lock, deadline, [this] { return requested(); });
}

void setThreadCancel(Cancel* cancel) {
    currentCancel = cancel;
}

Cancel* threadCancel() {
    return currentCancel;
}

void Pause(int ms) {
    if (ms <= 0 || cancelRequested()) return;
    sleepPrecisely(Clock::now() + std::chrono::milliseconds(ms), currentCancel);
}

}  // namespace kt
