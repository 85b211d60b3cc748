// Why the link failed, as ktcli says it: one line in English, the same from
// every command.
#pragma once

#include "link/link_error.h"

#include <QString>

namespace ktcli {

// "serial port ttyS0 is in use by another program (minicom, process 42)",
// "no complete reply within 300 ms"; empty when nothing failed.
QString LinkErrorText(const kt::LinkError& error);

// The same for a port that would not open, which ends ktcli with exit 3:
// "no such port: " or "no access: " before the line where that is the cause.
QString OpenErrorText(const kt::LinkError& error);

}  // namespace ktcli
