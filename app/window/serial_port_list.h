// The serial ports the port page offers.
#pragma once

#include <QStringList>

namespace kt {

// The entries of the port box for these port names: each name trimmed of
// blanks and control characters at both ends, in the given order, equal
// names kept as they come; COM1 to COM16 when there is no name at all.
QStringList serialPortList(const QStringList& names);

// The names of the serial ports present now ("ttyS0", "ttyUSB0"), ordered by
// their device path with numbers compared as numbers (ttyS2 before ttyS10),
// so the list reads the same from one opening to the next. The Link opens a
// bare name under /dev.
QStringList presentSerialPorts();

}  // namespace kt
