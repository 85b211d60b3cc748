// ktcli: the controller tool's operations from a shell.
#include "cli/command_line.h"
#include "cli/command_table.h"
#include "cli/help.h"
#include "cli/output.h"
#include "version/version.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        QTextStream(stderr) << ktcli::usage();
        return ktcli::kBadArguments;
    }
    ktcli::CommandLineError error;
    const auto line = ktcli::ParseCommandLine(args, &error);
    if (!line) {
        ktcli::setErrorReport(error.command, error.json);
        return ktcli::fail(ktcli::kBadArguments, error.message);
    }
    switch (line->action) {
        case ktcli::CommandLine::Action::Version:
            QTextStream(stdout) << kt::VersionLine(QStringLiteral("ktcli")) << Qt::endl;
            return ktcli::kAccepted;
        case ktcli::CommandLine::Action::Help:
            QTextStream(stdout) << ktcli::commandHelp(line->command);
            return ktcli::kAccepted;
        case ktcli::CommandLine::Action::Run:
            break;
    }
    ktcli::setErrorReport(line->command, line->connection.json);
    // The parser runs only a command the table knows.
    ktcli::Output out(line->command, line->connection.json);
    return ktcli::FindCommand(line->command)
        ->run(line->connection, line->command, line->arguments, out);
}
