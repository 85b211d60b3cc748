#include "sim/program/options.h"

#include "sim/device/modules_bus.h"
#include "sim/faults/fault.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <utility>

namespace ktsim {
namespace {

// The most a tty's baud setting goes to; a bound that catches typing errors.
constexpr int kMaxPaceBaud = 4000000;
constexpr int kMaxRestartMs = 600000;
constexpr int kMaxEvents = 10000;

std::optional<int> numberIn(const QString& text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

}  // namespace

QString helpText() {
    return QStringLiteral(R"(Usage: ktsim [options]

A substitute KT controller for kttools: answers the tool's requests over TCP
on 127.0.0.1 and/or over a pseudo-terminal, with faults on demand. Prints
"tcp 127.0.0.1:PORT" and "pty /dev/pts/N" lines when ready (another pty line
each time a drop fault replaces the pty) and runs until SIGINT or SIGTERM.

Where to listen (at least one):
  --tcp PORT            listen on 127.0.0.1:PORT; 0 picks a free port
  --pty                 open a pseudo-terminal; point the tool's serial
                        port at the printed /dev/pts/N path

Which controller:
  --family N            family code 1 to 9 (default 7). 4 is the family with
                        a three-digit address, found by "AS", described by "AV"
  --address ADDR        its address: four characters, three for family 4
                        (default 0000, 000 for family 4)
  --serial SN           eight-character serial number (default 16030001)
  --model MODEL         five-character model in the "DB" reply (default by
                        family: 1 KT300, 2 KT400, 3 KT500, 5 KT200, 6 KT740,
                        7 KT350, 8 KT460, 9 KT660)
  --version-code VV     two-character version code in the "DB" reply
                        (default by family: 1 V3, 2 V4, 3 V5, 5 V2, others V<N>)
  --ac-length 15|17     frame length of the "AC" reply (default 15 for
                        family 8, 17 for the others)
  --av-length 20|28     family 4: frame length of the "AV" reply (default 20)
  --alternate-lengths   take turns between the two reply lengths the tool
                        accepts, command by command: "AA" and "JF" 13 and 12
                        bytes, "AC" 17 and 15, "AV" 20 and 28
  --factory-reset-ms MS
                        how long it answers nothing after a factory reset
                        (default 12000; the tool waits 16000 before asking
                        family 4 again)
  --reboot-ms MS        the same after a reboot (default 3000; the tool
                        waits 3500)

What it holds at start:
  --inputs BITS         eight 0/1 characters, input 1 first (default
                        00000000), read by the I/O test
  --events N            buffer N made-up events (default 0), one a minute
                        back from now, for the polling test

On its module bus (by default a KTRB5 at V5 ID 1, S/N 15030001, and a V7
reader at ID 1, S/N 17030001; naming any module replaces both):
  --v5 L:ID:SN          a V5 module: type letter A (KTRA1), B (KTIOM-2A),
                        H (KTRB5), I (KTRC5), J (KTRD5) or E (KTPRINT), a
                        one-digit ID and an eight-character serial number;
                        repeatable
  --v7 ID:SN            a V7 module: ID 0 to 65535 and an eight-character
                        serial number, card-type words 0041 000A 0003;
                        repeatable

Firmware loader faults (repeatable): --loader-fault KIND[=BLOCK][@N]
  Families 1 to 6. =BLOCK limits the fault to one block (0 is the first),
  @N to the next N times. Kinds:
    nowrite       the block's write goes unanswered and is not stored
    noreadback    the block's read-back goes unanswered
    wrongdata     the read-back has one data digit wrong
    lowerdata     the read-back data in lower-case hex digits
    shortdata     the read-back carries half the data
    nohandshake   "A" goes unanswered (no block)
    noerase       "E" goes unanswered (family 4: no block)

Faults (repeatable): --fault LETTERS:KIND[=VALUE][#N][@N]
  LETTERS is a command's letters (AC, AS, DB, AV) or a whole command text
  (0000ZrC72D), several joined by commas, or * for every command. #N lets
  the first N-1 matching replies pass and hits from the Nth on. @N limits
  the fault to the next N matching replies. Kinds:
    silent        no reply
    badcrc        one checksum digit wrong
    lowercase     checksum digits in lower case
    noise         random garbage and a stray CR before the frame
    doublelead    a lead byte and junk, then the frame at a second lead byte
    twoframes     the frame and a decoy frame ('#' payload) in one write
    trickle=MS    every byte MS milliseconds apart
    gap=MS        one pause of MS milliseconds in the middle of the frame
    delay=MS      the whole reply held back MS milliseconds
    wronglen      one payload character more
    length=N      the payload padded with '0' or cut: a frame of N bytes
    huge          a frame of 1500 bytes or more with a valid checksum
    zerobyte[=N]  a zero byte inside the payload (or at frame position N),
                  valid checksum
    drop          half the frame, then the TCP connection closes (on the pty:
                  the pty closes and a new one opens, its path printed)
    escape        the payload's last four characters become ESC [2J (clears
                  a terminal's screen), valid checksum
    close         no reply byte: the connection (or pty) closes at once
    stream=N      instead of the reply, N bytes a second that never make a
                  frame (lead bytes, no CR) until the next request comes

  --pace BAUD           send reply bytes no faster than BAUD (10 bits a byte)
  --baud RATE           with --pty: answer only while the tool has the port at
                        RATE baud (a pty keeps the speed, not the parity); an
                        accepted "AE" moves RATE to the speed it asked for
  --log FILE            append one line per request received: time, CRC/XOR,
                        ok/bad-checksum, command text
  --console             read console lines from standard input (always on
                        when standard input is a terminal): fault SPEC,
                        fault clear, inputs BITS, event, status, help
  -v, --verbose, --trace
                        print every request and reply, control bytes visible,
                        with the time and the check's verdict of each request
  -h, --help            this text
  --version             the program's name, version and git commit

Examples:
  ktsim --tcp 0 --pty -v
  ktsim --pty --family 4 --address 012 --av-length 28
  ktsim --tcp 5003 --family 8 --model KT380
  ktsim --pty --version-code V6 --family 2      # identification fails
  ktsim --tcp 0 --fault DB:silent --fault '*:trickle=250@2'
  ktsim --pty --fault AC:drop@1 --pace 115200 --log /tmp/ktsim.log
  ktsim --pty --inputs 10100001 --events 3
  ktsim --tcp 5003 --console --alternate-lengths
  ktsim --pty --family 3 --loader-fault nowrite=2@4 --loader-fault lowerdata=5
  ktsim --pty --v7 1:17030001 --v7 2:17030002 --v5 E:1:15039999
  ktsim --pty --baud 115200     # silent unless the port runs at 115200
)");
}

ParsedOptions parseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption tcp(QStringLiteral("tcp"), {}, QStringLiteral("PORT"));
    const QCommandLineOption pty(QStringLiteral("pty"));
    const QCommandLineOption family(QStringLiteral("family"), {}, QStringLiteral("N"));
    const QCommandLineOption address(QStringLiteral("address"), {}, QStringLiteral("ADDR"));
    const QCommandLineOption serial(QStringLiteral("serial"), {}, QStringLiteral("SN"));
    const QCommandLineOption model(QStringLiteral("model"), {}, QStringLiteral("MODEL"));
    const QCommandLineOption versionCode(QStringLiteral("version-code"), {}, QStringLiteral("VV"));
    const QCommandLineOption acLength(QStringLiteral("ac-length"), {}, QStringLiteral("N"));
    const QCommandLineOption avLength(QStringLiteral("av-length"), {}, QStringLiteral("N"));
    const QCommandLineOption resetMs(QStringLiteral("factory-reset-ms"), {}, QStringLiteral("MS"));
    const QCommandLineOption rebootMs(QStringLiteral("reboot-ms"), {}, QStringLiteral("MS"));
    const QCommandLineOption inputs(QStringLiteral("inputs"), {}, QStringLiteral("BITS"));
    const QCommandLineOption events(QStringLiteral("events"), {}, QStringLiteral("N"));
    const QCommandLineOption v5(QStringLiteral("v5"), {}, QStringLiteral("L:ID:SN"));
    const QCommandLineOption v7(QStringLiteral("v7"), {}, QStringLiteral("ID:SN"));
    const QCommandLineOption fault(QStringLiteral("fault"), {}, QStringLiteral("FAULT"));
    const QCommandLineOption loaderFault(QStringLiteral("loader-fault"), {},
                                         QStringLiteral("FAULT"));
    const QCommandLineOption pace(QStringLiteral("pace"), {}, QStringLiteral("BAUD"));
    const QCommandLineOption log(QStringLiteral("log"), {}, QStringLiteral("FILE"));
    const QCommandLineOption baud(QStringLiteral("baud"), {}, QStringLiteral("RATE"));
    const QCommandLineOption verbose(
        QStringList{QStringLiteral("v"), QStringLiteral("verbose"), QStringLiteral("trace")});
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption console(QStringLiteral("console"));
    const QCommandLineOption alternate(QStringLiteral("alternate-lengths"));
    parser.addOptions({tcp, pty, family, address, serial, model, versionCode, acLength, avLength,
                       resetMs, rebootMs, inputs, events, fault, pace, log, verbose, help});
    parser.addOption(loaderFault);
    parser.addOptions({v5, v7, baud, version, console, alternate});

    ParsedOptions result;
    SimOptions& o = result.options;
    auto failed = [&result](const QString& error) {
        result.error = error;
        return result;
    };
    if (!parser.parse(arguments)) return failed(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failed(QStringLiteral("unexpected argument \"%1\"; see --help")
                          .arg(parser.positionalArguments().first()));
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    if (o.help || o.version) return result;

    if (parser.isSet(tcp)) {
        const auto port = numberIn(parser.value(tcp), 0, 65535);
        if (!port)
            return failed(
                QStringLiteral("--tcp needs a port 0 to 65535, got \"%1\"").arg(parser.value(tcp)));
        o.tcpPort = static_cast<quint16>(*port);
    }
    o.pty = parser.isSet(pty);
    if (!o.tcpPort && !o.pty)
        return failed(QStringLiteral("nothing to listen on: give --tcp PORT and/or --pty"));

    if (parser.isSet(family)) {
        const auto n = numberIn(parser.value(family), 1, 9);
        if (!n)
            return failed(
                QStringLiteral("--family needs 1 to 9, got \"%1\"").arg(parser.value(family)));
        o.config.family = *n;
    }
    o.config.address = parser.value(address).toLatin1();
    if (parser.isSet(serial)) o.config.serial = parser.value(serial).toLatin1();
    o.config.model = parser.value(model).toLatin1();
    o.config.versionCode = parser.value(versionCode).toLatin1();
    if (parser.isSet(acLength)) {
        const auto n = numberIn(parser.value(acLength), 15, 17);
        if (!n || *n == 16)
            return failed(QStringLiteral("--ac-length needs 15 or 17, got \"%1\"")
                              .arg(parser.value(acLength)));
        o.config.acReplyLength = *n;
    }
    if (parser.isSet(avLength)) {
        const auto n = numberIn(parser.value(avLength), 20, 28);
        if (!n || (*n != 20 && *n != 28))
            return failed(QStringLiteral("--av-length needs 20 or 28, got \"%1\"")
                              .arg(parser.value(avLength)));
        o.config.avReplyLength = *n;
    }
    for (auto [option, field] : {std::pair{&resetMs, &o.config.factoryResetMs},
                                 std::pair{&rebootMs, &o.config.rebootMs}}) {
        if (!parser.isSet(*option)) continue;
        const auto ms = numberIn(parser.value(*option), 0, kMaxRestartMs);
        if (!ms)
            return failed(QStringLiteral("--%1 needs 0 to %2 milliseconds, got \"%3\"")
                              .arg(option->names().first())
                              .arg(kMaxRestartMs)
                              .arg(parser.value(*option)));
        *field = *ms;
    }
    if (parser.isSet(inputs)) {
        const QString bits = parser.value(inputs);
        if (bits.size() != 8 || bits.contains(QRegularExpression(QStringLiteral("[^01]"))))
            return failed(
                QStringLiteral("--inputs needs eight 0/1 characters, got \"%1\"").arg(bits));
        for (int i = 0; i < 8; ++i) {
            if (bits[i] == QLatin1Char('1')) o.inputs |= quint8(1u << i);
        }
    }
    if (parser.isSet(events)) {
        const auto n = numberIn(parser.value(events), 0, kMaxEvents);
        if (!n)
            return failed(QStringLiteral("--events needs 0 to %1, got \"%2\"")
                              .arg(kMaxEvents)
                              .arg(parser.value(events)));
        o.events = *n;
    }
    if (parser.isSet(v5) || parser.isSet(v7)) {
        // Modules named here replace the demonstration bus.
        o.config.modules = {};
        QString error;
        for (const QString& text : parser.values(v5)) {
            const auto module = parseV5Module(text, &error);
            if (!module) return failed(error);
            o.config.modules.v5.append(*module);
        }
        for (const QString& text : parser.values(v7)) {
            const auto module = parseV7Module(text, &error);
            if (!module) return failed(error);
            o.config.modules.v7.append(*module);
        }
    }
    o.config.loaderFaults = parser.values(loaderFault);
    // An empty value would quietly mean "the family's default".
    for (const QCommandLineOption* option : {&address, &model, &versionCode}) {
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            return failed(QStringLiteral("--%1 needs a value").arg(option->names().first()));
    }
    const QString configError = o.config.validate();
    if (!configError.isEmpty()) return failed(configError);

    for (const QString& faultText : parser.values(fault)) {
        QString error;
        if (!Fault::parse(faultText, &error)) return failed(error);
        o.faults.append(faultText);
    }
    if (parser.isSet(pace)) {
        const auto baud = numberIn(parser.value(pace), 1, kMaxPaceBaud);
        if (!baud)
            return failed(QStringLiteral("--pace needs a baud rate 1 to %1, got \"%2\"")
                              .arg(kMaxPaceBaud)
                              .arg(parser.value(pace)));
        o.paceBaud = *baud;
    }
    if (parser.isSet(baud)) {
        const auto rate = numberIn(parser.value(baud), 1, kMaxPaceBaud);
        if (!rate || !o.pty)
            return failed(QStringLiteral("--baud needs --pty and a baud rate 1 to %1, got \"%2\"")
                              .arg(kMaxPaceBaud)
                              .arg(parser.value(baud)));
        o.lineBaud = *rate;
    }
    o.logFile = parser.value(log);
    o.verbose = parser.isSet(verbose);
    o.console = parser.isSet(console);
    o.config.alternateLengths = parser.isSet(alternate);
    return result;
}

}  // namespace ktsim
