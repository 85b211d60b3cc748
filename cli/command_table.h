// Every ktcli command in one table: its full name ("connect", "v7 set-card"),
// its own options, the function that runs it, its lines in ktcli --help's
// command list, and its help and examples. The parser, the dispatch and
// the help (and so the man page and the shell completion, which read the
// help) all read this table; a new command is one entry and its runner.
#pragma once

#include "cli/connection_options.h"
#include "cli/output.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ktcli {

struct OptionSpec {
    QString name;       // without the dashes: "seconds"
    QString valueName;  // "N"; empty for a flag
};

// Runs a command with the arguments ParseCommandLine left for it (for a
// group's subcommand the subcommand's name first); returns the exit status.
using Runner = int (*)(const ConnectionOptions& connection, const QString& command,
                       QStringList args, Output& out);

// One line of ktcli --help's command list: "set-id --from FILE", then what
// it does.
struct HelpLine {
    const char* usage;
    const char* summary;
};

struct CommandSpec {
    // "connect", "v7 set-card"; a group ("v7") and "help" run nothing.
    QString name;
    QList<OptionSpec> options = {};
    Runner run = nullptr;
    // Its lines in ktcli --help's command list, in the table's order; a
    // group's subcommands may share one line ("v5 get-sn | set-id").
    QList<HelpLine> lines = {};
    // What ktcli help NAME prints: the usage and what the command does,
    // then its examples (run as written by the contract tests). A group's
    // subcommands are told by the group's help.
    const char* help = nullptr;
    const char* examples = nullptr;
};

// Commands, groups and "help", in the order of ktcli --help's list.
const QList<CommandSpec>& CommandTable();
// The command of that full name that runs something, or nullptr.
const CommandSpec* FindCommand(const QString& name);
// The entry whose help tells about that full name: a group's for its
// subcommands; nullptr when there is none.
const CommandSpec* FindHelp(const QString& name);
// "module", "v5" and "v7" take a subcommand.
bool IsGroup(const QString& word);
// The full names of the commands that run something, for suggestions.
QStringList CommandNames();

// The candidate nearest to word by edit distance, when it is near enough to
// be a slip of the keyboard; empty otherwise.
QString ClosestName(const QString& word, const QStringList& candidates);

// The runners, defined in the files of their kind.
int runConnect(const ConnectionOptions& connection, const QString& command, QStringList args,
               Output& out);
int runSend(const ConnectionOptions& connection, const QString& command, QStringList args,
            Output& out);
// The Command page's test: the address in front of TEXT, the reply shown.
int runCommandTest(const ConnectionOptions& connection, const QString& command, QStringList args,
                   Output& out);
// set-date, alarm, factory-reset, reboot, set-speed
int runBasic(const ConnectionOptions& connection, const QString& command, QStringList args,
             Output& out);
int runGetId(const ConnectionOptions& connection, const QString& command, QStringList args,
             Output& out);
int runFindId(const ConnectionOptions& connection, const QString& command, QStringList args,
              Output& out);
int runSetId(const ConnectionOptions& connection, const QString& command, QStringList args,
             Output& out);
int runDido(const ConnectionOptions& connection, const QString& command, QStringList args,
            Output& out);
int runPoll(const ConnectionOptions& connection, const QString& command, QStringList args,
            Output& out);
int runModule(const ConnectionOptions& connection, const QString& command, QStringList args,
              Output& out);
int runV5(const ConnectionOptions& connection, const QString& command, QStringList args,
          Output& out);
int runV7(const ConnectionOptions& connection, const QString& command, QStringList args,
          Output& out);
int runFirmware(const ConnectionOptions& connection, const QString& command, QStringList args,
                Output& out);
// The line settings of a controller on a serial port.
int runScan(const ConnectionOptions& connection, const QString& command, QStringList args,
            Output& out);
// The modules on the controller's bus.
int runModuleScan(const ConnectionOptions& connection, const QString& command, QStringList args,
                  Output& out);

}  // namespace ktcli
