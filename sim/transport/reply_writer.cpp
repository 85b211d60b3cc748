#include "sim/transport/reply_writer.h"

#include <algorithm>

namespace ktsim {
namespace {

constexpr qint64 kNsPerMs = 1000000;
constexpr qint64 kBitsPerByte = 10;  // start bit, eight data bits, stop bit

// Bytes from..to of the pattern repeated without end.
QByteArray repeated(const QByteArray& pattern, qsizetype from, qsizetype to) {
    QByteArray bytes;
    bytes.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) bytes.append(pattern[i % pattern.size()]);
    return bytes;
}

}  // namespace

ReplyWriter::ReplyWriter(ByteSink sink, QObject* parent) : QObject(parent), sink_(std::move(sink)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ReplyWriter::pump);
}

void ReplyWriter::enqueue(ReplyPlan plan) {
    queue_.append(std::move(plan));
    if (queue_.size() == 1) startNext();
}

void ReplyWriter::reset() {
    timer_.stop();
    queue_.clear();
}

void ReplyWriter::endStream() {
    if (queue_.isEmpty() || queue_.front().streamRate <= 0) return;
    timer_.stop();
    queue_.removeFirst();
    startNext();
}

void ReplyWriter::startNext() {
    if (queue_.isEmpty()) return;
    sent_ = 0;
    previousDueNs_ = 0;
    clock_.start();
    nextDueNs_ = dueOfNext();
    pump();
}

qint64 ReplyWriter::dueOfNext() const {
    const ReplyPlan& plan = queue_.front();
    if (plan.streamRate > 0) return plan.delayMs * kNsPerMs + sent_ * 1000000000 / plan.streamRate;
    qint64 due = (plan.delayMs + sent_ * plan.trickleMs) * kNsPerMs;
    if (plan.gapAt >= 0 && sent_ >= plan.gapAt) due += plan.gapMs * kNsPerMs;
    if (plan.paceBaud > 0) {
        // The wire: a byte is through once its ten bits are, and the next
        // cannot start before that.
        const qint64 byteNs = kBitsPerByte * 1000000000 / plan.paceBaud;
        due = std::max(due, previousDueNs_) + byteNs;
    }
    return due;
}

void ReplyWriter::pump() {
    if (queue_.isEmpty()) return;
    const ReplyPlan& plan = queue_.front();
    const bool streaming = plan.streamRate > 0;
    const qsizetype total =
        streaming ? qsizetype{plan.streamRate} * kMaxStreamMs / 1000 : plan.bytes.size();
    const qsizetype stop = plan.dropAfter >= 0 ? std::min<qsizetype>(plan.dropAfter, total) : total;
    const qint64 now = clock_.nsecsElapsed();

    // Every byte due by now goes in one write, as a UART's buffer would hand
    // them over.
    const qsizetype first = sent_;
    while (sent_ < stop && nextDueNs_ <= now) {
        ++sent_;
        previousDueNs_ = nextDueNs_;
        if (sent_ < stop) nextDueNs_ = dueOfNext();
    }
    if (sent_ > first)
        sink_.write(streaming ? repeated(plan.bytes, first, sent_)
                              : plan.bytes.sliced(first, sent_ - first));

    if (sent_ == stop) {
        const bool drop = stop < total || plan.dropAfter >= 0;
        queue_.removeFirst();
        if (drop) {
            reset();
            sink_.drop();  // may replace the connection: touch nothing after it
            return;
        }
        startNext();
        return;
    }
    const qint64 waitNs = nextDueNs_ - clock_.nsecsElapsed();
    timer_.start(static_cast<int>(std::max<qint64>(1, (waitNs + kNsPerMs - 1) / kNsPerMs)));
}

}  // namespace ktsim
