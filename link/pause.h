// The fixed pauses between commands, and the cancel that can cut them short.
//
// A pause is a precise sleep of the calling thread: it ends within a tenth of
// a millisecond after its length, never before. The operations run on a
// worker thread that owns the link, so nothing else needs that thread's
// events meanwhile; the window lives on its own thread and keeps repainting.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kt {

// Asked for by one thread (the window's), honoured by the thread running an
// operation at its next transaction or pause: a pause it is in wakes at once.
class Cancel {
public:
    void request();
    void clear();
    bool requested() const { return requested_.load(std::memory_order_acquire); }
    // Sleeps until the deadline or a request, whichever comes first; true
    // when the deadline came.
    bool sleepUntil(std::chrono::steady_clock::time_point deadline);

private:
    std::atomic<bool> requested_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};

// The cancel that Pause and the Link's transactions honour on this thread
// (null: none, as in ktcli and the tests).
void setThreadCancel(Cancel* cancel);
Cancel* threadCancel();
inline bool cancelRequested() {
    const Cancel* cancel = threadCancel();
    return cancel && cancel->requested();
}

// Returns ms milliseconds from now, or at once when this thread's cancel is
// requested.
void Pause(int ms);

}  // namespace kt
