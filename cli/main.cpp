// ktcli: the controller tool's operations from a shell.
#include "commands.h"
#include "connection_options.h"
#include "help.h"
#include "output.h"
#include "version.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--version"))) {
        std::puts(qPrintable(kt::VersionLine(QStringLiteral("ktcli"))));
        return ktcli::kAccepted;
    }
    if (args.isEmpty()) {
        std::fputs(ktcli::usage(), stderr);
        return ktcli::kBadArguments;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        // The help of the first subcommand named, else the overview.
        for (const QString& arg : args) {
            if (ktcli::isCommand(arg)) {
                std::fputs(ktcli::commandHelp(arg), stdout);
                return ktcli::kAccepted;
            }
        }
        std::fputs(ktcli::usage(), stdout);
        return ktcli::kAccepted;
    }
    QString error;
    const auto connection = ktcli::takeConnectionOptions(args, &error);
    if (!connection) return ktcli::fail(ktcli::kBadArguments, error);
    if (!connection->chosen)
        return ktcli::fail(
            ktcli::kBadArguments,
            QStringLiteral("say where the controller is: --net IP:PORT or --serial PORT"));
    if (args.isEmpty())
        return ktcli::fail(ktcli::kBadArguments,
                           QStringLiteral("no command given (see ktcli --help)"));
    const QString command = args.takeFirst();
    return ktcli::runCommand(*connection, command, args);
}
