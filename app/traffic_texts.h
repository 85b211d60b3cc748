// The traffic monitor's texts in the window's three languages, in the
// message table's style.
#pragma once

#include "app/languages.h"

#include <QString>

namespace kt {

enum class TrafficText {
    MenuItem,  // the File menu's item
    Title,
    Pause,
    Resume,
    Clear,
    Save,
    SaveFilter,
    Time,
    Direction,
    Frame,
    Bytes,
    Length,
    Verdict,
    ReplyMs,
    Sent,
    Received,
    CheckGood,
    CheckBad,
    Incomplete,
    TimedOut,
    Refused,
    PausedFrames,  // the marker row of what a pause hid, %1 the frames
    Count
};

QString trafficText(TrafficText which, LanguageIndex language);

}  // namespace kt
