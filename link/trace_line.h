// One frame of a trace as one line of text: the time, the direction, the
// bytes as a person reads them, and the verdict. ktcli --trace and the
// traffic monitor's saved file share it.
#pragma once

#include "link/link.h"

#include <QString>
#include <QTime>

namespace kt {

// "CRC" or "XOR": how the frame is checked.
QString TraceStyleName(FrameStyle style);

// A request: "CRC" or "XOR", or "refused" when nothing was written. A reply:
// "CRC good", "XOR bad", "partial" (an incomplete frame) or "nothing".
QString TraceVerdict(const TraceEvent& event);

// "12:00:01.250 -> ␁0000DB…  CRC", "12:00:01.262 <- ␂…  CRC good".
QString TraceLine(const QTime& time, const TraceEvent& event);

}  // namespace kt
