// Puts reply plans onto a connection, one after the other as a serial line
// would, each byte no earlier than the plan allows. Event-driven: a precise
// single-shot timer wakes it for the next due byte, never a sleep.
#pragma once

#include "sim/faults/reply_plan.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

namespace ktsim {

struct ByteSink {
    std::function<void(const QByteArray&)> write;
    // Closes the connection (a pty is closed and replaced).
    std::function<void()> drop;
};

class ReplyWriter : public QObject {
    Q_OBJECT
public:
    explicit ReplyWriter(ByteSink sink, QObject* parent = nullptr);

    // Starts at once when idle; bytes already due are written before it returns.
    void enqueue(ReplyPlan plan);
    // Forgets the reply being written and every queued one.
    void reset();
    // Ends a stream being written (a new request has come); the next queued
    // reply, if any, follows.
    void endStream();
    bool busy() const { return !queue_.isEmpty(); }

private:
    void startNext();
    void pump();
    // When byte sent_ may leave, in nanoseconds from the start of the reply.
    qint64 dueOfNext() const;

    ByteSink sink_;
    QList<ReplyPlan> queue_;  // the front is being written
    qsizetype sent_ = 0;
    qint64 previousDueNs_ = 0;
    qint64 nextDueNs_ = 0;
    QElapsedTimer clock_;
    QTimer timer_;
};

}  // namespace ktsim
