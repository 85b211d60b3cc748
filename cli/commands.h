// The ktcli commands: each checks its own arguments, opens the link, finds
// the controller when it needs its address and family, and runs the
// window's operation from controller/ or modules/.
#pragma once

#include "cli/connection_options.h"

#include <QString>
#include <QStringList>

namespace ktcli {

// Runs the command of that full name ("connect", "v7 get-sn") with the
// arguments ParseCommandLine left for it; returns the exit status.
int runCommand(const ConnectionOptions& connection, const QString& command, QStringList args);

}  // namespace ktcli
