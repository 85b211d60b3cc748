// ktcli --help and ktcli SUBCOMMAND --help.
#pragma once

#include <QString>

namespace ktcli {

const char* usage();
// The help of a subcommand or group isCommand() knows.
const char* commandHelp(const QString& command);

}  // namespace ktcli
