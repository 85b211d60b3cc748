// Device bytes shown to a person: control bytes become visible symbols.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace kt {

// Printable ASCII as it is; 0x00 to 0x1F as the Unicode control pictures
// (SOH as U+2401, CR as U+240D), DEL as U+2421, and bytes from 0x80 up as
// \xNN, so that no byte of a frame is invisible or lost.
QString VisibleText(QByteArrayView bytes);

// A line of text for a terminal that may hold device or file bytes: C0
// controls and DEL as the control pictures, C1 controls (U+0080 to U+009F,
// which some terminals take as escape sequences) as \xNN; everything else
// as it is. Nothing in it can move the cursor, clear the screen or end the
// line.
QString VisibleLine(const QString& text);

}  // namespace kt
