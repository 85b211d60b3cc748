// A reply as it goes onto the wire: its bytes after the faults shaped them
// and when each byte may leave.
#pragma once

#include "sim/device/controller.h"
#include "sim/faults/fault.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <optional>

namespace ktsim {

// How long a stream goes on when no request stops it.
inline constexpr int kMaxStreamMs = 600000;

struct ReplyPlan {
    QByteArray bytes;
    int delayMs = 0;    // before the first byte
    int trickleMs = 0;  // between every two bytes
    int gapAt = -1;     // index of the byte that waits gapMs more
    int gapMs = 0;
    int dropAfter = -1;  // close the connection after this many bytes
    int paceBaud = 0;    // no faster than this many baud, 10 bits a byte; 0: no limit
    // When above 0, bytes is a pattern repeated at this many bytes a second
    // until the next request arrives (or kMaxStreamMs have passed), never a
    // whole frame.
    int streamRate = 0;
    QStringList faults;  // the faults applied, for the trace
};

// The bytes and timing of the reply with the faults applied; nullopt when a
// fault silences it.
std::optional<ReplyPlan> shapeReply(const Answer& answer, const QList<Fault>& faults);

}  // namespace ktsim
