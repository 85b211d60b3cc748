#include "commands.h"

#include "command_runners.h"
#include "output.h"
#include "scan_commands.h"

namespace ktcli {

bool isCommand(const QString& command) {
    static const QStringList commands = {QStringLiteral("connect"),
                                         QStringLiteral("send"),
                                         QStringLiteral("set-date"),
                                         QStringLiteral("alarm"),
                                         QStringLiteral("factory-reset"),
                                         QStringLiteral("reboot"),
                                         QStringLiteral("set-speed"),
                                         QStringLiteral("get-id"),
                                         QStringLiteral("find-id"),
                                         QStringLiteral("set-id"),
                                         QStringLiteral("dido"),
                                         QStringLiteral("poll"),
                                         QStringLiteral("module"),
                                         QStringLiteral("v5"),
                                         QStringLiteral("v7"),
                                         QStringLiteral("firmware"),
                                         QStringLiteral("scan")};
    return commands.contains(command);
}

int runCommand(const ConnectionOptions& connection, const QString& command, QStringList args) {
    Output out(command, connection.json);
    if (command == u"connect") return runConnect(connection, args, out);
    if (command == u"send") return runSend(connection, args, out);
    if (command == u"set-date" || command == u"alarm" || command == u"factory-reset" ||
        command == u"reboot" || command == u"set-speed")
        return runBasic(connection, command, args, out);
    if (command == u"get-id") return runGetId(connection, args, out);
    if (command == u"find-id") return runFindId(connection, args, out);
    if (command == u"set-id") return runSetId(connection, args, out);
    if (command == u"dido") return runDido(connection, args, out);
    if (command == u"poll") return runPoll(connection, args, out);
    if (command == u"module") return runModule(connection, args, out);
    if (command == u"v5") return runV5(connection, args, out);
    if (command == u"v7") return runV7(connection, args, out);
    if (command == u"firmware") return runFirmware(connection, args, out);
    if (command == u"scan") return runScan(connection, args, out);
    return fail(kBadArguments,
                QStringLiteral("unknown command \"%1\" (see ktcli --help)").arg(command));
}

}  // namespace ktcli
