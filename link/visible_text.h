// Device bytes shown to a person: control bytes become visible symbols.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace kt {

// Printable ASCII as it is; 0x00 to 0x1F as the Unicode control pictures
// (SOH as U+2401, CR as U+240D), DEL as U+2421, and bytes from 0x80 up as
// \xNN, so that no byte of a frame is invisible or lost.
QString VisibleText(QByteArrayView bytes);

}  // namespace kt
