// What scripts and trainers rely on: ktcli's JSON against the written
// schema, its failures told apart, Connect and the command test as the
// window runs them, ktsim's console and its alternating reply lengths, and
// every example of the help and the README run as written.
#include "link/frames.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/json_schema.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

using kttest::CliRun;
using kttest::KtsimProcess;
using kttest::runKtcli;

QString str(const char* text) {
    return QString::fromUtf8(text);
}

QStringList words(const QString& text) {
    return text.split(u' ', Qt::SkipEmptyParts);
}

const kttest::JsonSchema& schema() {
    static const kttest::JsonSchema loaded = [] {
        QFile file(QStringLiteral(KT_SOURCE_DIR "/docs/ktcli.schema.json"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return kttest::JsonSchema(QJsonDocument::fromJson(file.readAll()).object());
    }();
    return loaded;
}

// Every stdout line is one JSON object fitting the schema: events first,
// the result last; its "ok" agrees with the exit status, and error and
// cause are there exactly on failure.
QJsonObject expectFitsSchema(const CliRun& run, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_FALSE(lines.isEmpty()) << run.err.toStdString();
    QJsonObject result;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        result = QJsonDocument::fromJson(lines[i].toUtf8()).object();
        const QString pointer =
            i < lines.size() - 1          ? "#/$defs/events/" + result[u"event"].toString()
            : result[u"command"].isNull() ? str("#/$defs/error")
                                          : "#/$defs/commands/" + result[u"command"].toString();
        EXPECT_EQ(schema().check(result, pointer), QString()) << lines[i].toStdString();
    }
    const bool ok = run.exitCode == 0;
    EXPECT_EQ(result[u"ok"].toBool(), ok) << run.err.toStdString();
    EXPECT_EQ(result.contains(u"error") && result.contains(u"cause"), !ok);
    return result;
}

// A ktsim over TCP logging its requests, and ktcli against it.
// A ktsim logging its requests, over TCP unless args ask for --pty, and
// ktcli against it.
class Sim {
public:
    explicit Sim(QStringList args) {
        log_ = dir_.filePath(str("requests.log"));
        if (!args.contains(str("--pty"))) args << str("--tcp") << str("0");
        process_ = std::make_unique<KtsimProcess>(args << str("--log") << log_);
    }
    bool onPty() const { return process_->tcp().isEmpty(); }
    // 127.0.0.1:PORT, or the pty's path.
    QString endpoint() const {
        return process_->tcp().isEmpty() ? process_->pty() : process_->tcp();
    }
    CliRun run(const QString& line) const {
        return runKtcli(words(line) + QStringList{str("--net"), endpoint()}, dir_.path());
    }
    QStringList requests() const {
        QFile file(log_);
        QStringList texts;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& line :
                 QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts))
                texts << line.section(u' ', -1);
        }
        return texts;
    }
    void clearLog() const { QFile(log_).resize(0); }
    QString dir() const { return dir_.path(); }
    KtsimProcess& process() { return *process_; }

private:
    QTemporaryDir dir_;
    QString log_;
    std::unique_ptr<KtsimProcess> process_;
};

// A firmware file for the controller's model: two 256-byte blocks.
QString writeFirmware(const QString& path, const QString& version) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(version.left(11).toLatin1().leftJustified(16, '\0', true) + QByteArray(300, 'Z'));
    return path;
}

TEST(KtcliJson, EveryCommandFitsTheSchemaOnSuccessAndFailure) {
    Sim sim({str("--inputs"), str("10100001"), str("--events"), str("2"), str("--factory-reset-ms"),
             str("0"), str("--reboot-ms"), str("0")});
    ASSERT_FALSE(sim.endpoint().isEmpty());
    QFile batch(sim.dir() + str("/ids.txt"));
    ASSERT_TRUE(batch.open(QIODevice::WriteOnly));
    batch.write("16030001 0000\nnonsense\n99999999 0001\n");
    batch.close();

    struct Case {
        const char* line;
        int exitCode;
        const char* cause;  // nullptr on success
    };
    const Case cases[] = {
        {"--json connect", 0, nullptr},
        {"--json send 0000AC", 0, nullptr},
        {"send --json --xor-etx 0000AC", 1, "no-answer"},  // AC is no loader command
        {"--json command AB", 0, nullptr},
        {"--json set-date", 0, nullptr},
        {"--json alarm 2", 0, nullptr},
        {"--json factory-reset --yes", 0, nullptr},
        {"--json reboot", 0, nullptr},
        {"--json set-speed 19200", 0, nullptr},
        {"--json get-id", 0, nullptr},
        {"--json find-id 16030001", 0, nullptr},
        {"--json set-id 16030001 0000", 0, nullptr},
        {"--json set-id --from ids.txt", 1, "rejected"},
        {"--json dido --out 1 --seconds 1", 0, nullptr},
        {"--json poll --seconds 1", 0, nullptr},
        {"--json module send H 1 S", 0, nullptr},
        {"--json v5 get-sn H 1", 0, nullptr},
        {"--json v5 set-id H 15030001 1", 0, nullptr},
        {"--json v7 get-sn 1", 0, nullptr},
        {"--json v7 find-id 17030001", 0, nullptr},
        {"--json v7 get-card 1", 0, nullptr},
        {"--json v7 set-card 1 --delay 5 --no-green", 0, nullptr},
        {"--json v7 set-id 17030001 1", 0, nullptr},
        {"--json v7 get-sn 5", 1, "no-answer"},
        {"--json find-id 99999999", 1, "no-answer"},
        {"--json frobnicate", 2, "bad-arguments"},
        {"--json scan", 2, "bad-arguments"},  // a serial port's setting, not a converter's
        {"--json connect --out 1", 2, "bad-arguments"},
        {"--json factory-reset", 2, "bad-arguments"},
        {"--json factory-reset --ye", 2, "bad-arguments"},
        {"--json alarm 9", 2, "bad-arguments"},
        {"--json v7 set-card 1 --delay -1", 2, "bad-arguments"},
        {"--json command A\rB", 2, "bad-arguments"},  // no control byte reaches the wire
        {"--json --id five connect", 2, "bad-arguments"},
    };
    for (const Case& c : cases) {
        const qsizetype sent = sim.requests().size();
        const CliRun run = sim.run(str(c.line));
        // Bad arguments, factory-reset without --yes among them, send nothing.
        if (c.exitCode == 2) {
            EXPECT_EQ(sim.requests().size(), sent) << c.line;
        }
        EXPECT_EQ(run.exitCode, c.exitCode) << c.line << ": " << run.err.toStdString();
        const QJsonObject result = expectFitsSchema(run, str(c.line));
        if (c.cause) {
            EXPECT_EQ(result[u"cause"].toString(), str(c.cause)) << c.line;
        }
        // One line on stderr for a failure, whatever stdout holds.
        EXPECT_EQ(run.err.trimmed().isEmpty(), c.exitCode == 0) << c.line;
    }

    // What the schema cannot see: the frame's bytes, the time's digits.
    QJsonObject result = expectFitsSchema(sim.run(str("--json v5 get-sn H 1")), str("v5"));
    EXPECT_EQ(QByteArray::fromHex(result[u"reply"][u"hex"].toString().toLatin1()).mid(1, 10),
              "0000DDH1S1");
    result = expectFitsSchema(sim.run(str("set-date --json")), str("set-date"));
    EXPECT_EQ(result[u"time"].toString().remove(u'-').remove(u':').remove(u'T'),
              result[u"clock"].toString());

    // Nothing to talk to, or a place that cannot be opened: exit 2, exit 3.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    // A name of its own: the port's lock file is named after it, and a test
    // running alongside that opens the same name holds it for a moment.
    const QString absent = QStringLiteral("/dev/kt-no-such-port-%1").arg(::getpid());
    for (const auto& [args, cause] :
         {std::pair{words(str("--json connect")), "bad-arguments"},
          std::pair{words(str("--json get-id --serial ")) << absent, "no-such-port"},
          std::pair{words(str("--json connect --net ")) << refused, "refused"}}) {
        const CliRun run = runKtcli(args);
        EXPECT_EQ(expectFitsSchema(run, args.join(u' '))[u"cause"].toString(), str(cause));
        EXPECT_EQ(run.exitCode, cause == std::string_view("bad-arguments") ? 2 : 3);
    }
    EXPECT_TRUE(
        runKtcli(words(str("get-id --serial ")) << absent).err.startsWith(u"ktcli: no such port:"));

    // A controller that answers with a bad check, and one that cannot say who it is.
    Sim faulty({str("--fault"), str("DB:badcrc")});
    ASSERT_FALSE(faulty.endpoint().isEmpty());
    result = expectFitsSchema(faulty.run(str("--json send 0000DB")), str("badcrc"));
    EXPECT_EQ(result[u"cause"].toString(), u"bad-check");
    result = expectFitsSchema(faulty.run(str("--json alarm 1")), str("not identified"));
    EXPECT_EQ(result[u"cause"].toString(), u"not-identified");

    // Firmware progress events, on a family with a loader.
    Sim loader({str("--family"), str("1")});
    ASSERT_FALSE(loader.endpoint().isEmpty());
    const QString version =
        expectFitsSchema(loader.run(str("--json connect")), str("family 1"))[u"version"].toString();
    writeFirmware(loader.dir() + str("/fw.bin"), version);
    const CliRun run = loader.run(str("--json firmware fw.bin --yes"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    expectFitsSchema(run, str("firmware"));
    EXPECT_TRUE(run.out.contains(u"\"phase\":\"verify\"")) << run.out.toStdString();
}

TEST(KtcliConnect, AnIdentifiedControllerWithoutSerialNumberIsConnected) {
    Sim sim({str("--fault"), str("AS:silent")});
    ASSERT_FALSE(sim.endpoint().isEmpty());
    CliRun run = sim.run(str("connect"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"family 7\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"serial -\n")) << run.out.toStdString();
    const QJsonObject result = expectFitsSchema(sim.run(str("connect --json")), str("connect"));
    EXPECT_TRUE(result[u"serial"].isNull());
    EXPECT_TRUE(result[u"ok"].toBool());

    // Every command that connects first goes on to its own work.
    sim.clearLog();
    run = sim.run(str("alarm 1"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sim.requests(),
              (QStringList{str("0000AC"), str("0000DB"), str("0000AS"), str("0000JF1")}));
}

TEST(KtcliCommand, TheAddressInFrontAndTheWholeReplyShown) {
    Sim sim({str("--address"), str("0005"), str("--fault"), str("AB:badcrc@1")});
    ASSERT_FALSE(sim.endpoint().isEmpty());

    // After Connect, as the Command page sends it: the address the
    // controller gave, then the text as typed.
    CliRun run = sim.run(str("--id 0005 command DB"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"sent 0005DB\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(str("reply \u24030005DB"))) << run.out.toStdString();
    EXPECT_EQ(sim.requests(),
              (QStringList{str("0005AC"), str("0005DB"), str("0005AS"), str("0005DB")}));

    // With the address given, no Connect; an empty text sends the address alone.
    sim.clearLog();
    run = runKtcli({str("--net"), sim.endpoint(), str("--address"), str("0005"), str("--family"),
                    str("7"), str("command"), QString()});
    EXPECT_EQ(sim.requests(), QStringList{str("0005")});
    EXPECT_EQ(run.exitCode, 1) << "the controller does not answer its bare address";

    // Any length is accepted; a bad check is not, and says so.
    run = sim.run(str("--address 0005 --family 7 --json command AB"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(expectFitsSchema(run, str("badcrc"))[u"cause"].toString(), u"bad-check");
    run = sim.run(str("--address 0005 --family 7 --json command AB"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(run.out.toUtf8())[u"reply"][u"text"].toString().size(), 27);
}

TEST(KtcliNet, HostNamesAndIpv6OnLoopback) {
    Sim sim({});
    ASSERT_FALSE(sim.endpoint().isEmpty());
    const QString port = sim.endpoint().section(u':', -1);
    CliRun run = runKtcli({str("connect"), str("--net"), str("localhost:") + port});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    // ktsim listens on IPv4 only: an IPv6 loopback listener of our own
    // answers one request with an AC reply.
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHostIPv6)) GTEST_SKIP() << "no IPv6 loopback here";
    QProcess ktcli;
    ktcli.start(str(KTCLI_PATH), {str("--net"), QStringLiteral("[::1]:%1").arg(server.serverPort()),
                                  str("send"), str("0000AC")});
    ASSERT_TRUE(server.waitForNewConnection(5000));
    QTcpSocket* socket = server.nextPendingConnection();
    QByteArray request;
    while (!request.endsWith('\r') && socket->waitForReadyRead(5000)) request += socket->readAll();
    EXPECT_TRUE(
        request.startsWith("\x01"
                           "0000AC\x02"))
        << request.toStdString();
    socket->write(kt::BuildReply(kt::FrameStyle::Crc, "0000ACF700"));
    socket->flush();
    ASSERT_TRUE(ktcli.waitForFinished(5000));
    EXPECT_EQ(ktcli.exitCode(), 0) << ktcli.readAllStandardError().toStdString();
    EXPECT_TRUE(ktcli.readAllStandardOutput().contains("length 17"));
}

TEST(KtsimConsole, AFaultChangesBetweenTwoKtcliCalls) {
    Sim sim({str("--console")});
    ASSERT_FALSE(sim.endpoint().isEmpty());
    auto serial = [&] {
        const CliRun run = sim.run(str("--json connect"));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8())[u"serial"];
    };
    EXPECT_EQ(serial().toString(), u"16030001");
    sim.process().process().write("fault AS:silent\n");
    ASSERT_TRUE(sim.process().waitForOutput(str("faults AS:silent\n")));
    EXPECT_TRUE(serial().isNull());
    sim.process().process().write("fault clear\n");
    ASSERT_TRUE(sim.process().waitForOutput(str("faults cleared (1 removed)\n")));
    EXPECT_EQ(serial().toString(), u"16030001");

    // Inputs for the I/O test, and ktsim --version needs no listener.
    sim.process().process().write("inputs 01000000\n");
    ASSERT_TRUE(sim.process().waitForOutput(str("inputs 01000000\n")));
    EXPECT_TRUE(sim.run(str("dido --seconds 1")).out.contains(u"input 2 active\n"));
    QProcess version;
    version.start(str(KTSIM_PATH), {str("--version")});
    ASSERT_TRUE(version.waitForFinished(5000));
    EXPECT_TRUE(version.readAllStandardOutput().startsWith("ktsim "));
}

// The reply frames of a ktcli --trace run, as the trace shows them.
QStringList tracedReplies(const CliRun& run) {
    QStringList replies;
    for (const QString& line : run.err.split(u'\n')) {
        const qsizetype at = line.indexOf(u" <- ");
        if (at >= 0) replies.append(line.mid(at + 4).section(QStringLiteral("  "), 0, 0));
    }
    return replies;
}

TEST(KtsimAlternateLengths, TheOperationsTakeBothAcceptedLengths) {
    Sim sim({str("--alternate-lengths")});
    ASSERT_FALSE(sim.endpoint().isEmpty());
    QStringList replies;
    for (int i = 0; i < 2; ++i) {
        for (const char* line : {"--trace connect", "--trace --address 0000 --family 7 alarm 1",
                                 "--trace --address 0000 --family 7 set-date"}) {
            const CliRun run = sim.run(str(line));
            EXPECT_EQ(run.exitCode, 0) << line << ": " << run.err.toStdString();
            replies += tracedReplies(run);
        }
    }
    // Frame lengths: the visible text has one character per byte.
    auto lengthsOf = [&](const QString& letters) {
        QList<qsizetype> lengths;
        for (const QString& reply : replies) {
            if (reply.mid(1).contains(letters)) lengths.append(reply.size());
        }
        return lengths;
    };
    EXPECT_EQ(lengthsOf(str("AC")), (QList<qsizetype>{17, 15}));
    EXPECT_EQ(lengthsOf(str("JF")), (QList<qsizetype>{13, 12}));
    EXPECT_EQ(lengthsOf(str("AA")), (QList<qsizetype>{13, 12}));

    Sim four({str("--family"), str("4"), str("--alternate-lengths")});
    ASSERT_FALSE(four.endpoint().isEmpty());
    replies.clear();
    for (int i = 0; i < 2; ++i) {
        const CliRun run = four.run(str("--trace --json connect"));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(run.out.toUtf8())[u"family"].toInt(), 4);
        replies += tracedReplies(run);
    }
    EXPECT_EQ(lengthsOf(str("AV")), (QList<qsizetype>{20, 28}));
}

// ---- examples ----

// The ktsim arguments an "(against ktsim ...)" note names, on a free port;
// Sim adds its own --tcp.
QStringList simArguments(const QString& note) {
    QStringList args = words(note);
    if (const qsizetype tcp = args.indexOf(str("--tcp")); tcp >= 0) args.remove(tcp, 2);
    return args;
}

// A bus with a module at most addresses, for the survey's example: each
// silent address waits out the silence limit, each module only its pause.
QStringList crowdedBus() {
    QStringList args;
    for (const char letter : {'A', 'B', 'H', 'I', 'J', 'E'})
        for (int id = 1; id <= 8; ++id)
            args << str("--v5") << QStringLiteral("%1:%2:1500000%2").arg(letter).arg(id);
    for (int id = 1; id <= 8; ++id) args << str("--v7") << QStringLiteral("%1:1700000%1").arg(id);
    return args;
}

constexpr char kReplyLimitVariable[] = "KTCLI_REPLY_LIMIT_MS";

// Runs one example line ("ktcli ...") against sim, as written but for the
// TCP port or the pty's path, in sim's folder.
CliRun runExample(const QString& example, const Sim& sim) {
    QString line = example.section(u'#', 0, 0);
    line.replace(QRegularExpression(str(":5003\\b")), u':' + sim.endpoint().section(u':', -1));
    line.replace(str("/dev/pts/N"), sim.endpoint());
    QStringList args = words(line);
    args.removeFirst();  // ktcli or build/cli/ktcli
    // On the pty the scans and the survey ask many requests nobody answers;
    // each waits out 100 ms instead of 300 (ktcli_test holds the limit).
    if (sim.onPty()) qputenv(kReplyLimitVariable, "100");
    const CliRun run = runKtcli(args, sim.dir());
    qunsetenv(kReplyLimitVariable);
    return run;
}

TEST(KtcliExamples, EveryHelpExampleRunsAsWrittenAgainstKtsim) {
    QStringList texts{runKtcli({str("--help")}).out};
    for (const char* command : {"connect", "send", "command", "set-date", "alarm", "factory-reset",
                                "reboot", "set-speed", "get-id", "find-id", "set-id", "dido",
                                "poll", "module", "v5", "v7", "firmware", "scan"}) {
        const CliRun run = runKtcli({str("help"), str(command)});
        EXPECT_EQ(run.exitCode, 0) << command;
        texts.append(run.out);
    }
    int examples = 0;
    for (const QString& text : texts) {
        QString note = str("--tcp 5003");
        for (const QString& line : text.split(u'\n')) {
            const auto against = QRegularExpression(str("\\(against ktsim ([^)]*)\\)")).match(line);
            if (against.hasMatch()) note = against.captured(1);
            if (!line.startsWith(u"  ktcli ")) continue;
            SCOPED_TRACE(line.toStdString());
            ++examples;
            Sim sim(simArguments(note) +
                    (line.contains(u"module scan") ? crowdedBus() : QStringList()));
            ASSERT_FALSE(sim.endpoint().isEmpty());
            QFile ids(sim.dir() + str("/line3.txt"));
            ASSERT_TRUE(ids.open(QIODevice::WriteOnly));
            ids.write("16030001 0002\n");
            ids.close();
            if (line.contains(u"firmware")) {
                const CliRun connect = sim.run(str("--json connect"));
                const QString version =
                    QJsonDocument::fromJson(connect.out.toUtf8())[u"version"].toString();
                const QString file = words(line).value(words(line).indexOf(str("firmware")) + 1);
                writeFirmware(sim.dir() + u'/' + file, version);
            }
            const CliRun run = runExample(line.trimmed(), sim);
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            if (line.contains(u"--json")) expectFitsSchema(run, line);
        }
    }
    EXPECT_GE(examples, 30);
}

TEST(KtcliExamples, TheReadmeSessionRunsAsWrittenAgainstKtsim) {
    QFile readme(QStringLiteral(KT_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString all = QString::fromUtf8(readme.readAll());
    const qsizetype start = all.indexOf(u"## ktcli examples");
    ASSERT_GE(start, 0);
    const QString section = all.mid(start, all.indexOf(u"\n## ", start + 1) - start);
    const auto against = QRegularExpression(str("`build/sim/ktsim ([^`]*)`")).match(section);
    ASSERT_TRUE(against.hasMatch());
    auto sim = std::make_unique<Sim>(simArguments(against.captured(1)));
    ASSERT_FALSE(sim->endpoint().isEmpty());

    // "    $ command" lines, each followed by the output shown for it; a
    // "# ktsim ..." comment starts the ktsim that it and the lines after it
    // run against.
    const QStringList lines = section.split(u'\n');
    int commands = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(u"    $ ")) continue;
        const QString command = lines[i].mid(6);
        SCOPED_TRACE(command.toStdString());
        QStringList shown;
        for (qsizetype j = i + 1;
             j < lines.size() && lines[j].startsWith(u"    ") && !lines[j].startsWith(u"    $ ");
             ++j)
            shown.append(lines[j].mid(4));
        ++commands;
        if (const qsizetype note = command.indexOf(u"# ktsim "); note >= 0) {
            sim = std::make_unique<Sim>(simArguments(command.mid(note + 8)));
            ASSERT_FALSE(sim->endpoint().isEmpty());
        }
        if (!command.startsWith(u"build/cli/ktcli ")) {
            QProcess shell;
            shell.setWorkingDirectory(sim->dir());
            shell.start(str("sh"), {str("-c"), command});
            ASSERT_TRUE(shell.waitForFinished(5000));
            EXPECT_EQ(shell.exitCode(), 0);
            continue;
        }
        const CliRun run = runExample(command, *sim);
        const bool failureShown = std::any_of(
            shown.begin(), shown.end(), [](const QString& s) { return s.startsWith(u"ktcli: "); });
        EXPECT_EQ(run.exitCode != 0, failureShown) << run.err.toStdString();
        // What the README shows is what comes, but for counts and times.
        static const QRegularExpression volatileLine(
            str("\\.\\.\\.|[0-9]{4}[-/][0-9]{2}|\"passes\""));
        for (const QString& expected : shown) {
            if (volatileLine.match(expected).hasMatch()) continue;
            EXPECT_TRUE((run.out + run.err).contains(expected)) << expected.toStdString() << "\n"
                                                                << run.out.toStdString();
        }
        if (command.contains(u"--json")) expectFitsSchema(run, command);
    }
    EXPECT_GE(commands, 7);
}

}  // namespace
