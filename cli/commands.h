// The ktcli subcommands: each parses its own arguments, opens the link,
// finds the controller when it needs its address and family, and runs the
// window's operation from controller/ or modules/.
#pragma once

#include "connection_options.h"

#include <QString>
#include <QStringList>

namespace ktcli {

// Whether command names a subcommand (or group: "module", "v5", "v7").
bool isCommand(const QString& command);

// Runs one subcommand; returns the exit status.
int runCommand(const ConnectionOptions& connection, const QString& command, QStringList args);

}  // namespace ktcli
