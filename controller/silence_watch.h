// A controller that stops answering during a continuous test (power cut,
// cable pulled at its end) leaves the window showing the last answer. The
// watch counts the transactions in a row that got no reply at all; from the
// third it reports that the answers stopped, and since when (the last
// answer, or the test's start), and at the next answer that they are back.
// A reply that fails its check is an answer: something is on the line.
#pragma once

#include "link/link.h"

#include <QDateTime>
#include <functional>

namespace kt {

// silent: the answers stopped at `since`; not silent: they are back.
using SilenceChanged = std::function<void(bool silent, const QDateTime& since)>;

class SilenceWatch {
public:
    static constexpr int kSilentAfter = 3;

    explicit SilenceWatch(SilenceChanged report)
        : report_(std::move(report)), lastAnswer_(QDateTime::currentMSecsSinceEpoch()) {}

    // After each transaction of the test, with its outcome on the link.
    void transaction(const Link& link);
    int unanswered() const { return unanswered_; }

private:
    SilenceChanged report_;
    // Milliseconds since the epoch: the local time is worked out only for a
    // report, not at every answer.
    qint64 lastAnswer_;
    int unanswered_ = 0;
};

}  // namespace kt
