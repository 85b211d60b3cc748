#include "link/trace_line.h"

#include "link/visible_text.h"

namespace kt {

QString TraceStyleName(FrameStyle style) {
    return style == FrameStyle::Crc ? QStringLiteral("CRC") : QStringLiteral("XOR");
}

QString TraceVerdict(const TraceEvent& event) {
    if (event.direction == TraceEvent::Direction::Sent)
        return event.refused ? QStringLiteral("refused") : TraceStyleName(event.style);
    if (!event.complete)
        return event.bytes.isEmpty() ? QStringLiteral("nothing") : QStringLiteral("partial");
    return TraceStyleName(event.style) +
           (event.checkOk ? QStringLiteral(" good") : QStringLiteral(" bad"));
}

QString TraceLine(const QTime& time, const TraceEvent& event) {
    const bool sent = event.direction == TraceEvent::Direction::Sent;
    return time.toString(QStringLiteral("HH:mm:ss.zzz")) +
           (sent ? QStringLiteral(" -> ") : QStringLiteral(" <- ")) + VisibleText(event.bytes) +
           QStringLiteral("  ") + TraceVerdict(event);
}

}  // namespace kt
