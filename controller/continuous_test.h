// What the two continuous tests (digital I/O and event polling) share. Each
// runs pass after pass on the open link while keepRunning() says so: the
// window's TestRunning flag, cleared by a second press of the test's button
// or by closing the window; the window runs the loop on the link's worker
// thread, so the flag is read across threads. It is read before each pass,
// so a pass once begun runs to its end. Before each command the loop lets
// its own thread's pending events run.
#pragma once

#include "controller/operation.h"

#include "link/link.h"

#include <QCoreApplication>
#include <QString>
#include <functional>

namespace kt {

// Asked before every pass; empty runs a single pass.
using KeepRunning = std::function<bool()>;

struct ContinuousTestResult {
    // A continuous test ends with FinishOperationOk whatever the controller
    // answered, or did not. Only a lost port (adapter pulled, converter gone)
    // ends it at once, at the first transaction that finds it, as a failure
    // with the link's words for the cause; no end-of-test command follows.
    bool ok = true;
    int passes = 0;
    QString cause;
};

namespace detail {

// The pauses of both loops: after each command of a pass.
inline constexpr int kLoopPauseMs = 20;

inline bool goOn(const KeepRunning& keepRunning, int passes) {
    return keepRunning ? keepRunning() : passes == 0;
}

// Whether the last transaction found the port lost; if so, the result
// becomes a failure with the cause.
inline bool portLost(const Link& link, ContinuousTestResult& result) {
    if (!link.portLost()) return false;
    result.ok = false;
    result.cause = link.lastError().text.isEmpty() ? QStringLiteral("the port was lost")
                                                   : link.lastError().text;
    return true;
}

// Lets the thread handle what is pending before the next command (ktcli's
// single thread; on the window's worker there is little).
inline void letPendingEventsRun() {
    QCoreApplication::processEvents();
}

}  // namespace detail
}  // namespace kt
