// ktcli scan (the line settings of a controller on a serial port) and
// ktcli module scan (the modules on its bus).
#pragma once

#include "cli/connection_options.h"
#include "cli/output.h"

#include <QStringList>

namespace ktcli {

int runScan(const ConnectionOptions& connection, QStringList args, Output& out);
// args without the leading "scan".
int runModuleScan(const ConnectionOptions& connection, QStringList args, Output& out);

}  // namespace ktcli
