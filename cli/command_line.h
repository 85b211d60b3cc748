// ktcli's command line read git-style: the shared options before or after
// the command, the command's own options anywhere behind the program name,
// "ktcli help [COMMAND]", "ktcli COMMAND --help" and "ktcli --version".
#pragma once

#include "cli/connection_options.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ktcli {

struct CommandLine {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    // The full command name ("v7 set-card"); for Help the command asked
    // about, empty for the overview.
    QString command;
    ConnectionOptions connection;
    // What the command's run function reads: for "module", "v5" and "v7"
    // the subcommand, then the command's own options as "--name [value]",
    // then its positional arguments.
    QStringList arguments;
};

struct CommandLineError {
    QString message;
    QString command;    // the full command name where it was recognised
    bool json = false;  // --json was among the arguments
};

// args without the program name.
std::optional<CommandLine> ParseCommandLine(const QStringList& args, CommandLineError* error);

}  // namespace ktcli
