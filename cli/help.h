// ktcli --help and ktcli help COMMAND, made from the command table.
#pragma once

#include <QString>

namespace ktcli {

QString usage();
// The help of a command or group the table knows ("v7 set-card" is told by
// the help of "v7"); the usage for any other name.
QString commandHelp(const QString& command);

}  // namespace ktcli
