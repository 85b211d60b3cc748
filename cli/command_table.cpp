#include "cli/command_table.h"

#include <algorithm>
#include <vector>

namespace ktcli {

const QList<CommandSpec>& CommandTable() {
    static const QList<CommandSpec> table = [] {
        const QList<OptionSpec> seconds{{QStringLiteral("seconds"), QStringLiteral("N")}};
        QList<OptionSpec> card{{QStringLiteral("delay"), QStringLiteral("N")}};
        for (const char* flag :
             {"uid-a", "block", "7-byte", "iso15693", "uid-b", "guid-b", "green", "reset"}) {
            card.append({QString::fromLatin1(flag), {}});
            card.append({QStringLiteral("no-") + QString::fromLatin1(flag), {}});
        }
        const QList<OptionSpec> yes{{QStringLiteral("yes"), {}}};
        return QList<CommandSpec>{
            {
                .name = QStringLiteral("connect"),
                .run = runConnect,
                .lines =
                    {{"connect",
                      "find the controller: address, family, model and version, serial number"}},
                .help = R"(Usage: ktcli CONNECTION [--id NNNN] connect

Finds the controller: asks "AC" (then "AS" for family 4) starting at --id,
identifies it by "DB" (family 4: "AV") and reads its serial number.
Prints address, family, version and serial.

A controller that is found and identified but does not answer the last "AS"
still counts as connected: serial is "-" (null in JSON).
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 --json connect
  ktcli connect --net 127.0.0.1:5003 --id 0000
)",
            },
            {
                .name = QStringLiteral("set-date"),
                .run = runBasic,
                .lines = {{"set-date", "set the controller's clock to the PC's"}},
                .help = R"(Usage: ktcli CONNECTION set-date

Connects, then sets the controller's clock to the PC's local time.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 set-date --json
)",
            },
            {
                .name = QStringLiteral("alarm"),
                .run = runBasic,
                .lines =
                    {{"alarm N",
                      "alarm test: 0 off, 1 steal, 2 help, 3 fire, 4 gas, 5 forced, 6 duress"}},
                .help = R"(Usage: ktcli CONNECTION alarm N

Alarm test: 0 off, 1 steal, 2 help, 3 fire, 4 gas, 5 forced, 6 duress.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 alarm 3
  ktcli --net 127.0.0.1:5003 alarm 0
)",
            },
            {
                .name = QStringLiteral("factory-reset"),
                .options = yes,
                .run = runBasic,
                .lines = {{"factory-reset --yes",
                           "back to factory settings (erases settings and cards)"}},
                .help = R"(Usage: ktcli CONNECTION factory-reset --yes

Connects, then sets the controller back to its factory settings, which
erases its settings and cards. Without --yes nothing is sent. A family 4
controller takes about 16 seconds.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 factory-reset --yes
)",
            },
            {
                .name = QStringLiteral("reboot"),
                .run = runBasic,
                .lines = {{"reboot", "restart the controller"}},
                .help = R"(Usage: ktcli CONNECTION reboot

Connects, then restarts the controller.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 --address 0000 --family 7 reboot
)",
            },
            {
                .name = QStringLiteral("set-speed"),
                .run = runBasic,
                .lines = {{"set-speed 19200|115200", "change the controller's line speed"}},
                .help = R"(Usage: ktcli CONNECTION set-speed 19200|115200

Connects, then switches the controller to 19200,e,8,1 or 115200,n,8,1; the
next command needs the matching --line. Behind --net rfc2217://HOST:PORT
the converter's line follows at once. Family 4 cannot change its speed.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 set-speed 115200
)",
            },
            {
                .name = QStringLiteral("command"),
                .run = runCommandTest,
                .lines = {{"command TEXT",
                           "the Command page's test: the controller's address, then TEXT"}},
                .help = R"(Usage: ktcli CONNECTION command TEXT

The Command page's test: connects (or takes --address and --family), waits
100 ms, sends the controller's address followed by TEXT exactly as given
(an empty TEXT sends the address alone) and prints the reply frame. Any reply
whose check is right is success, whatever its length. To send a text without
the address in front, use send.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 command AB
  ktcli --net 127.0.0.1:5003 --json command DB
)",
            },
            {
                .name = QStringLiteral("send"),
                .options = {{QStringLiteral("xor"), {}}, {QStringLiteral("xor-etx"), {}}},
                .run = runSend,
                .lines = {{"send TEXT", "send one command text as it is and show the reply frame"}},
                .help = R"(Usage: ktcli CONNECTION send [--xor | --xor-etx] TEXT

Sends one command text and prints the reply frame with control bytes shown
as symbols (U+2401 for SOH, U+240D for CR, ...), "length N", and "accepted"
or "rejected". Default frame: CRC request, ETX reply. --xor: XOR request,
STX reply. --xor-etx: XOR request, ETX reply. No Connect runs: put the
address in TEXT (command puts it in front for you). A TEXT that starts with
a dash goes after --.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 send 0000AC
  ktcli send 0000DB --net 127.0.0.1:5003 --trace
)",
            },
            {
                .name = QStringLiteral("get-id"),
                .run = runGetId,
                .lines = {{"get-id", "the controller's ID and serial number"}},
                .help = R"(Usage: ktcli CONNECTION get-id

Connects, then reads the controller's ID and serial number.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 get-id
  ktcli get-id --net 127.0.0.1:5003
)",
            },
            {
                .name = QStringLiteral("find-id"),
                .run = runFindId,
                .lines = {{"find-id SERIAL", "the ID of the controller with that serial number"}},
                .help = R"(Usage: ktcli CONNECTION find-id SERIAL

The ID of the controller with that eight-character serial number.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 find-id 16030001
)",
            },
            {
                .name = QStringLiteral("set-id"),
                .options = {{QStringLiteral("from"), QStringLiteral("FILE")}},
                .run = runSetId,
                .lines = {{"set-id SERIAL NEWID",
                           "give the controller with that serial number a new ID"},
                          {"set-id --from FILE",
                           "the same for every \"SERIAL NEWID\" line of FILE"}},
                .help = R"(Usage: ktcli CONNECTION set-id SERIAL NEWID
       ktcli CONNECTION set-id --from FILE

Gives the controller with that serial number the four-digit ID NEWID. With
--from, FILE holds one "SERIAL NEWID" pair a line (blanks or a comma
between; empty lines and lines starting with # are ignored). Each line's
outcome is printed, then a summary; a malformed line is reported and
skipped, nothing is sent for it. Exit status 1 when any line failed, 2
when only malformed lines were skipped. FILE is a regular file of at most
1 MiB with lines of at most 256 characters, or - for standard input;
anything else is refused with exit status 2 before the port opens.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 set-id 16030001 0002
  ktcli --net 127.0.0.1:5003 --json set-id --from line3.txt
)",
            },
            {
                .name = QStringLiteral("dido"),
                .options =
                    seconds + QList<OptionSpec>{{QStringLiteral("out"), QStringLiteral("LIST")}},
                .run = runDido,
                .lines = {{"dido", "digital I/O test until Ctrl-C or --seconds N; --out 1,3"}},
                .help = R"(Usage: ktcli CONNECTION dido [--out 1,3] [--seconds N]

Digital I/O test: switches the outputs listed by --out on every pass and
prints each input whose state changed. Runs until Ctrl-C (or SIGTERM) or
for N seconds, then sends the end-of-test command and closes the port.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 dido --seconds 1
  ktcli --net 127.0.0.1:5003 --json dido --out 1,3 --seconds 1
)",
            },
            {
                .name = QStringLiteral("poll"),
                .options = seconds,
                .run = runPoll,
                .lines = {{"poll", "event polling test until Ctrl-C or --seconds N"}},
                .help = R"(Usage: ktcli CONNECTION poll [--seconds N]

Event polling test: prints each event record as it arrives and answers it.
Runs until Ctrl-C (or SIGTERM) or for N seconds.
)",
                .examples = R"(Example:
  ktcli --net 127.0.0.1:5003 --json poll --seconds 1
)",
            },
            {
                .name = QStringLiteral("module"),
                .help = R"(Usage: ktcli CONNECTION module send TYPE ID [TEXT]
       ktcli CONNECTION module scan

send passes TEXT through the controller to the module of TYPE (A
KTRA1/A3/B3, B KTIOM-2A/24, H KTRB5, I KTRC5, J KTRD5, E KTPRINT) with ID 0
to 8. scan asks every V5 type and the V7 modules at IDs 0 to 8 for their
serial numbers (63 requests, about 25 s on a serial port) and lists those
that answered: one line a module, a bar on a terminal; with --json one
object a module ("event": "module", kind, type, letter for V5, id, serial)
and the summary last (modules, asked).
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 module send H 1 S
Example (against ktsim --pty):
  ktcli --serial /dev/pts/N --line 115200,n,8,1 --json module scan
)",
            },
            {
                .name = QStringLiteral("module send"),
                .run = runModule,
                .lines = {{"module send TYPE ID TEXT", "a command passed through to a module"}},
            },
            {
                .name = QStringLiteral("v5"),
                .lines = {{"v5 get-sn | set-id", "V5 module serial number and ID"}},
                .help = R"(Usage: ktcli CONNECTION v5 get-sn TYPE ID
       ktcli CONNECTION v5 set-id TYPE SERIAL NEWID

V5 modules: read a serial number by type and ID (0 to 8), or give the
module with a serial number the new ID 1 to 8. TYPE as for module send.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 v5 get-sn H 1
  ktcli --net 127.0.0.1:5003 v5 set-id H 15030001 2
)",
            },
            {
                .name = QStringLiteral("v5 get-sn"),
                .run = runV5,
            },
            {
                .name = QStringLiteral("v5 set-id"),
                .run = runV5,
            },
            {
                .name = QStringLiteral("v7"),
                .lines = {{"v7 get-sn | find-id | set-id | get-card | set-card",
                           "V7 module serial number, ID and card type"}},
                .help = R"(Usage: ktcli CONNECTION v7 get-sn ID
       ktcli CONNECTION v7 find-id SERIAL
       ktcli CONNECTION v7 set-id SERIAL NEWID
       ktcli CONNECTION v7 get-card ID
       ktcli CONNECTION v7 set-card ID [--delay N] [--[no-]uid-a] [--[no-]block]
                [--[no-]7-byte] [--[no-]iso15693] [--[no-]uid-b] [--[no-]guid-b]
                [--[no-]green] [--[no-]reset]

V7 modules: serial number by ID (0 to 8), ID by serial number, new ID (1 to
8) by serial number, and a reader's card type. set-card starts from the
window's defaults: delay 10 (steps of 100 ms), UID(A) and GUID(B), green
and reset mode on.
)",
                .examples = R"(Examples:
  ktcli --net 127.0.0.1:5003 v7 get-card 1
  ktcli --net 127.0.0.1:5003 v7 set-card 1 --delay 20 --no-guid-b --iso15693 --no-green
)",
            },
            {
                .name = QStringLiteral("v7 get-sn"),
                .run = runV7,
            },
            {
                .name = QStringLiteral("v7 find-id"),
                .run = runV7,
            },
            {
                .name = QStringLiteral("v7 set-id"),
                .run = runV7,
            },
            {
                .name = QStringLiteral("v7 get-card"),
                .run = runV7,
            },
            {
                .name = QStringLiteral("v7 set-card"),
                .options = card,
                .run = runV7,
            },
            {
                .name = QStringLiteral("firmware"),
                .options = yes,
                .run = runFirmware,
                .lines = {{"firmware FILE --yes", "write new firmware into the controller"}},
                .help = R"(Usage: ktcli CONNECTION firmware FILE --yes

Connects, checks that FILE is made for the controller's model, then writes
every block, reads every block back and starts the new firmware. Without
--yes nothing is sent. On a terminal a bar shows the progress of each
phase; otherwise (and with --json) one line a block: "program 3/40",
"verify 3/40". Families 1 to 6 only. FILE is a regular file of at most
1 MiB, or - for standard input, with data behind its 16-byte header; a
lost port fails the run at whichever step it shows.
)",
                .examples = R"(Example (against ktsim --tcp 5003 --family 1):
  ktcli --net 127.0.0.1:5003 firmware KT300-V3.bin --yes
)",
            },
            {
                .name = QStringLiteral("scan"),
                .options = {{QStringLiteral("all"), {}}},
                .run = runScan,
                .lines = {{"scan [--all]",
                           "find the line settings of a controller on a serial port"}},
                .help = R"(Usage: ktcli --serial PORT [--id NNNN] scan [--all]
       ktcli --net rfc2217://HOST:PORT [--id NNNN] scan [--all]

Tries the 18 line settings of the tool's speed box, 19200,e,8,1 and
115200,n,8,1 first, then the others from the fastest to the slowest: at
each, one "AC" after the ID (then one "AS" for a family-4 controller).
Stops at the first setting that answers, or with --all tries every one.
Prints each try, then line, address and family-four. With --json one
object a try ("event": "try", number, line, answered, address or fault)
and the summary last. On a serial port, or behind a converter that takes
line settings (--net rfc2217://, each try sets its line); a raw TCP
converter's serial side is set in the converter. Exit status 1 when no
setting answered.
)",
                .examples = R"(Examples (against ktsim --pty --baud 115200):
  ktcli --serial /dev/pts/N scan
  ktcli --serial /dev/pts/N --json scan --all
)",
            },
            {
                .name = QStringLiteral("module scan"),
                .run = runModuleScan,
                .lines = {{"module scan", "list the modules on the controller's bus"}},
            },
            {
                .name = QStringLiteral("help"),
                .lines = {{"help [COMMAND]", "this text, or a command's arguments and examples"}},
                .help = R"(Usage: ktcli help [COMMAND]

Without COMMAND prints the whole usage; with one, that command's arguments
and examples, the same as ktcli COMMAND --help. Needs no connection.
)",
                .examples = R"(Examples:
  ktcli help
  ktcli help dido
)",
            },
        };
    }();
    return table;
}

const CommandSpec* FindCommand(const QString& name) {
    const auto& table = CommandTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const CommandSpec& spec) {
        return spec.run && spec.name == name;
    });
    return it == table.end() ? nullptr : &*it;
}

const CommandSpec* FindHelp(const QString& name) {
    const QString told = name.section(u' ', 0, 0);
    const auto& table = CommandTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const CommandSpec& spec) {
        return spec.help && spec.name == told;
    });
    return it == table.end() ? nullptr : &*it;
}

bool IsGroup(const QString& word) {
    const QString prefix = word + u' ';
    return std::any_of(CommandTable().begin(), CommandTable().end(),
                       [&](const CommandSpec& spec) { return spec.name.startsWith(prefix); });
}

QStringList CommandNames() {
    QStringList names;
    for (const CommandSpec& spec : CommandTable()) {
        if (spec.run) names.append(spec.name);
    }
    return names;
}

namespace {

qsizetype editDistance(const QString& a, const QString& b) {
    std::vector<qsizetype> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j) row[j] = qsizetype(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

}  // namespace

QString ClosestName(const QString& word, const QStringList& candidates) {
    QString best;
    qsizetype bestDistance = 0;
    for (const QString& candidate : candidates) {
        const qsizetype distance = editDistance(word, candidate);
        if (best.isEmpty() || distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    // A third of the word may be wrong, and at least one letter: "conect",
    // "netx", "v7 get-crd" are slips; "frobnicate" is no command at all.
    const qsizetype allowed = std::max<qsizetype>(1, word.size() / 3);
    return bestDistance <= allowed ? best : QString();
}

}  // namespace ktcli
