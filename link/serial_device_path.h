// Which device a serial port name opens.
#pragma once

#include <QString>

namespace kt {

// "COMn" (any case, n from 1), the Windows names that the default, the
// fallback list and settings carried over from another machine hold, is
// /dev/ttyS(n-1): COM1 is the first on-board port, as on a PC. A path (with
// a '/') is used as it is, any other name is looked up under /dev.
QString SerialDevicePath(const QString& name);

// The name as a person gave it, followed by the device where that is not
// plain from the name: "COM1 (/dev/ttyS0)", but "ttyUSB0".
QString SerialPortLabel(const QString& name);

}  // namespace kt
