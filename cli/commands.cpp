#include "cli/commands.h"

#include "cli/command_runners.h"
#include "cli/output.h"
#include "cli/scan_commands.h"

namespace ktcli {

int runCommand(const ConnectionOptions& connection, const QString& command, QStringList args) {
    Output out(command, connection.json);
    const QString group = command.section(u' ', 0, 0);
    if (command == u"connect") return runConnect(connection, args, out);
    if (command == u"send") return runSend(connection, args, out);
    if (command == u"command") return runCommandTest(connection, args, out);
    if (command == u"set-date" || command == u"alarm" || command == u"factory-reset" ||
        command == u"reboot" || command == u"set-speed")
        return runBasic(connection, command, args, out);
    if (command == u"get-id") return runGetId(connection, args, out);
    if (command == u"find-id") return runFindId(connection, args, out);
    if (command == u"set-id") return runSetId(connection, args, out);
    if (command == u"dido") return runDido(connection, args, out);
    if (command == u"poll") return runPoll(connection, args, out);
    if (group == u"module") return runModule(connection, args, out);
    if (group == u"v5") return runV5(connection, args, out);
    if (group == u"v7") return runV7(connection, args, out);
    if (command == u"firmware") return runFirmware(connection, args, out);
    if (command == u"scan") return runScan(connection, args, out);
    return fail(kBadArguments, QStringLiteral("unknown command '%1'").arg(command));
}

}  // namespace ktcli
