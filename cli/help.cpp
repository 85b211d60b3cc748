#include "cli/help.h"

#include "cli/command_table.h"

namespace ktcli {
namespace {

// The usage down to the command list, which the table fills.
const char* const kUsageHead = R"(Usage: ktcli COMMAND [ARGUMENTS] CONNECTION [--json] [--trace]

The shared options go before or after the command, in any order.

Connection (one of):
  --net HOST:PORT       TCP to a serial-to-network converter: a dotted IPv4
                        address, a host name or an IPv6 address in brackets,
                        port 1 to 65535, e.g. --net 127.0.0.1:5003, --net [::1]:5003
  --net rfc2217://HOST:PORT
                        a converter that takes line settings (RFC 2217, Telnet
                        COM-PORT-OPTION): every command sets its serial line
                        to --line first; a converter that does not take them
                        fails within 2 s and nothing reaches its line
  --serial PORT         a serial port by name (ttyUSB0) or path (/dev/serial/by-id/...)
  --line SPEC           serial line settings, default 19200,e,8,1 (with
                        --serial or --net rfc2217://)
Controller:
  --id NNNN             the first address Connect tries (default 0000)
  --address NNNN --family F
                        the controller's address and family: no Connect runs
Output:
  --json                one JSON object per command (continuous tests: one per
                        line as things happen, the summary last); failures too,
                        as {"ok":false,"error":...,"cause":...}
  --trace               every frame sent and received on stderr, with the time,
                        the direction, the bytes and the check's verdict
  --version             the program's name, version and git commit

Commands:
)";

const char* const kUsageTail = R"(
ktcli help COMMAND (or ktcli COMMAND --help) shows a command's arguments and
examples; ktcli --version the version.

Exit status: 0 success, 1 the controller said no or did not answer,
2 bad arguments, 3 the port cannot be opened (no such port, no access, in
use, refused, unreachable: the message says which). Every failure prints
one line on stderr.

Examples (against ktsim --tcp 5003):
  ktcli --net 127.0.0.1:5003 connect
  ktcli connect --net 127.0.0.1:5003 --json
  ktcli --net 127.0.0.1:5003 --json get-id
  ktcli --net 127.0.0.1:5003 dido --out 1,3 --seconds 1
)";

// "  set-id --from FILE    the same for ...": the summaries start in column
// 25; a usage too long for that puts its summary on the next line.
QString helpLine(const HelpLine& line) {
    constexpr qsizetype kSummaryColumn = 24;
    const QString usage = QStringLiteral("  ") + QString::fromUtf8(line.usage);
    const QString gap = usage.size() + 2 <= kSummaryColumn
                            ? QString(kSummaryColumn - usage.size(), u' ')
                            : u'\n' + QString(kSummaryColumn, u' ');
    return usage + gap + QString::fromUtf8(line.summary) + u'\n';
}

}  // namespace

QString usage() {
    QString text = QString::fromUtf8(kUsageHead);
    for (const CommandSpec& spec : CommandTable()) {
        for (const HelpLine& line : spec.lines) text += helpLine(line);
    }
    return text + QString::fromUtf8(kUsageTail);
}

QString commandHelp(const QString& command) {
    const CommandSpec* spec = FindHelp(command);
    if (!spec) return usage();
    return QString::fromUtf8(spec->help) + u'\n' + QString::fromUtf8(spec->examples);
}

}  // namespace ktcli
