// ktcli and ktsim as a technician runs them: real processes, real output,
// real exit codes.
#include "tests/cli/cli_process.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>

namespace {

using kttest::CliRun;
using kttest::KtsimProcess;
using kttest::runKtcli;

TEST(Ktcli, IdentifiesEachFamilyOverTcp) {
    // The DB reply carries the model at positions 8 to 12 and the version
    // code at 16 and 17; family 4 answers AV instead, at a three-digit address.
    for (int family = 1; family <= 9; ++family) {
        SCOPED_TRACE(family);
        KtsimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--family"),
                          QString::number(family)});
        ASSERT_FALSE(sim.tcp().isEmpty());
        const QString text = family == 4 ? QStringLiteral("000AV") : QStringLiteral("0000DB");
        const CliRun run =
            runKtcli({QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), text});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(u"\naccepted")) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(family == 4 ? u"length 20" : u"length 29"))
            << run.out.toStdString();
        // The frame is shown with visible control bytes: ETX first, CR last.
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("reply ") + QChar(0x2403)))
            << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(QChar(0x240D)));
    }
}

TEST(Ktcli, SendsOverThePseudoTerminal) {
    KtsimProcess sim({QStringLiteral("--pty"), QStringLiteral("--family"), QStringLiteral("7")});
    ASSERT_FALSE(sim.pty().isEmpty());
    CliRun run = runKtcli({QStringLiteral("--serial"), sim.pty(), QStringLiteral("--line"),
                           QStringLiteral("115200,n,8,1"), QStringLiteral("send"),
                           QStringLiteral("0000AC")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"0000AC")) << run.out.toStdString();
    // The default line settings ask a pty for even parity, which it refuses;
    // the port still opens with what it accepts.
    run = runKtcli(
        {QStringLiteral("--serial"), sim.pty(), QStringLiteral("send"), QStringLiteral("0000AS")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"length 21"));
}

TEST(Ktcli, ExitStatusNamesTheOutcome) {
    KtsimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--fault"),
                      QStringLiteral("DB:badcrc")});
    ASSERT_FALSE(sim.tcp().isEmpty());

    // A reply that fails its check is shown, and rejected.
    CliRun run = runKtcli(
        {QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), QStringLiteral("0000DB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains(u"\nrejected")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"length 29"));
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    EXPECT_EQ(run.err.trimmed().count(u'\n'), 0) << "one line on stderr";

    // A command nobody answers fails within the network limit.
    run = runKtcli(
        {QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), QStringLiteral("9999ZZ")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"1200 ms")) << run.err.toStdString();

    // Nothing to open: exit 3 with the cause.
    run = runKtcli({QStringLiteral("--serial"), QStringLiteral("/dev/kt-no-such-port"),
                    QStringLiteral("send"), QStringLiteral("0000AC")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(u"no such serial port")) << run.err.toStdString();
    // A host name is looked up; nobody listening there is refused.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString port = QString::number(closed.serverPort());
    closed.close();
    run = runKtcli({QStringLiteral("--net"), QStringLiteral("localhost:") + port,
                    QStringLiteral("send"), QStringLiteral("0000AC")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(u"refused")) << run.err.toStdString();

    // Bad arguments: exit 2, nothing sent.
    for (const QStringList& args :
         {QStringList{QStringLiteral("send"), QStringLiteral("0000AC")},
          QStringList{QStringLiteral("--net"), QStringLiteral("127.0.0.1"), QStringLiteral("send"),
                      QStringLiteral("x")},
          QStringList{QStringLiteral("--net"), sim.tcp(), QStringLiteral("send")},
          QStringList{QStringLiteral("--net"), sim.tcp(), QStringLiteral("frobnicate")},
          QStringList{QStringLiteral("--serial"), QStringLiteral("x"), QStringLiteral("--line"),
                      QStringLiteral("fast"), QStringLiteral("send"), QStringLiteral("x")},
          QStringList{QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"),
                      QString(1494, u'0')}}) {
        run = runKtcli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').left(80).toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

// ---- the subcommands ----

QString str(const char* text) {
    return QString::fromUtf8(text);
}

QJsonObject json(const QString& out) {
    return QJsonDocument::fromJson(out.trimmed().split(u'\n').last().toUtf8()).object();
}

// A ktsim over TCP or its pty that logs every request it receives.
class LoggedSim {
public:
    explicit LoggedSim(QStringList args, bool pty = false) {
        logPath_ = dir_.filePath(QStringLiteral("requests.log"));
        args << (pty ? QStringList{str("--pty")} : QStringList{str("--tcp"), str("0")})
             << str("--log") << logPath_;
        sim_ = std::make_unique<KtsimProcess>(args);
        pty_ = pty;
    }
    // The connection options for ktcli, then args.
    QStringList with(const QStringList& args) const {
        return (pty_ ? QStringList{str("--serial"), sim_->pty()}
                     : QStringList{str("--net"), sim_->tcp()}) +
               args;
    }
    bool ready() const { return !(pty_ ? sim_->pty() : sim_->tcp()).isEmpty(); }
    // The command texts received so far, oldest first.
    QStringList requests() const {
        QFile file(logPath_);
        QStringList texts;
        if (!file.open(QIODevice::ReadOnly)) return texts;
        for (const QString& line :
             QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts))
            texts << line.section(u' ', -1);
        return texts;
    }
    void clearLog() const { QFile(logPath_).resize(0); }
    QString dir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString logPath_;
    std::unique_ptr<KtsimProcess> sim_;
    bool pty_ = false;
};

void expectOneErrorLine(const CliRun& run) {
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    EXPECT_EQ(run.err.trimmed().count(u'\n'), 0) << run.err.toStdString();
}

TEST(KtcliController, ConnectAndIdentity) {
    LoggedSim sim({str("--family"), str("7"), str("--address"), str("0005"), str("--serial"),
                   str("16030042")});
    ASSERT_TRUE(sim.ready());

    // Connect starts at --id and finds the controller there.
    CliRun run = runKtcli(sim.with({str("--id"), str("0005"), str("connect")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"address 0005\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"family 7\n"));
    EXPECT_TRUE(run.out.contains(u"serial 16030042\n"));
    EXPECT_EQ(sim.requests(), (QStringList{str("0005AC"), str("0005DB"), str("0005AS")}));

    run = runKtcli(sim.with({str("--id"), str("0005"), str("--json"), str("connect")}));
    QJsonObject object = json(run.out);
    EXPECT_EQ(object[u"ok"].toBool(), true);
    EXPECT_EQ(object[u"address"].toString(), u"0005");
    EXPECT_EQ(object[u"family"].toInt(), 7);
    EXPECT_EQ(object[u"serial"].toString(), u"16030042");
    EXPECT_FALSE(object[u"version"].toString().isEmpty());

    // With --address and --family no Connect runs: get-id asks AS alone.
    sim.clearLog();
    run = runKtcli(sim.with(
        {str("--address"), str("0005"), str("--family"), str("7"), str("--json"), str("get-id")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    object = json(run.out);
    EXPECT_EQ(object[u"id"].toString(), u"0005");
    EXPECT_EQ(object[u"serial"].toString(), u"16030042");
    EXPECT_EQ(sim.requests(), QStringList{str("0005AS")});

    // find-id and set-id go by serial number, no Connect.
    sim.clearLog();
    run = runKtcli(sim.with({str("find-id"), str("16030042")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"id 0005\n")) << run.out.toStdString();
    run = runKtcli(sim.with({str("--json"), str("set-id"), str("16030042"), str("0012")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(json(run.out)[u"ok"].toBool());
    EXPECT_EQ(sim.requests(), (QStringList{str("0000AV16030042"), str("0000AV160300420012")}));
    run = runKtcli(sim.with({str("--id"), str("0012"), str("get-id")}));
    EXPECT_TRUE(run.out.contains(u"id 0012\n")) << run.out.toStdString() << run.err.toStdString();

    // Bad arguments: exit 2, one line, nothing sent.
    sim.clearLog();
    for (const QStringList& args :
         {QStringList{str("find-id")}, QStringList{str("find-id"), str("1603")},
          QStringList{str("set-id"), str("16030042")},
          QStringList{str("set-id"), str("16030042"), str("12")},
          QStringList{str("connect"), str("extra")},
          QStringList{str("--address"), str("0005"), str("get-id")},
          QStringList{str("--id"), str("five"), str("connect")}}) {
        run = runKtcli(sim.with(args));
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').toStdString();
        expectOneErrorLine(run);
    }
    EXPECT_TRUE(sim.requests().isEmpty());
}

TEST(KtcliController, FailuresNameTheirCause) {
    // On the pty a silent controller costs 300 ms a request, not 1200.
    LoggedSim sim({str("--fault"), str("DB:badcrc"), str("--fault"), str("JF:wronglen"),
                   str("--fault"), str("AS:silent")},
                  true);
    ASSERT_TRUE(sim.ready());

    CliRun run = runKtcli(sim.with({str("--json"), str("connect")}));
    EXPECT_EQ(run.exitCode, 1);
    expectOneErrorLine(run);
    EXPECT_TRUE(run.err.contains(u"checksum")) << run.err.toStdString();
    EXPECT_FALSE(json(run.out)[u"ok"].toBool(true));
    EXPECT_TRUE(json(run.out)[u"error"].toString().contains(u"checksum"));

    run = runKtcli(sim.with(
        {str("--address"), str("0000"), str("--family"), str("7"), str("alarm"), str("2")}));
    EXPECT_EQ(run.exitCode, 1);
    expectOneErrorLine(run);
    EXPECT_TRUE(run.err.contains(u"unexpected reply length")) << run.err.toStdString();

    run = runKtcli(
        sim.with({str("--address"), str("0000"), str("--family"), str("7"), str("get-id")}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"no complete reply within 300 ms")) << run.err.toStdString();
    // A test's shorter limit is taken; a value out of range or not a plain
    // number leaves the line's own.
    for (const auto& [value, limit] : {std::pair{"100", u"within 100 ms"},
                                       {"0", u"within 300 ms"},
                                       {"12ms", u"within 300 ms"}}) {
        qputenv("KTCLI_REPLY_LIMIT_MS", value);
        run = runKtcli(
            sim.with({str("--address"), str("0000"), str("--family"), str("7"), str("get-id")}));
        qunsetenv("KTCLI_REPLY_LIMIT_MS");
        EXPECT_TRUE(run.err.contains(limit)) << value << ": " << run.err.toStdString();
    }

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    run = runKtcli({str("--net"), refused, str("get-id")});
    EXPECT_EQ(run.exitCode, 3);
    expectOneErrorLine(run);
    EXPECT_TRUE(run.err.contains(u"refused")) << run.err.toStdString();

    run = runKtcli({str("--serial"), str("/dev/kt-no-such-port"), str("--json"), str("connect")});
    EXPECT_EQ(run.exitCode, 3);
    expectOneErrorLine(run);
    EXPECT_TRUE(run.err.contains(u"no such serial port")) << run.err.toStdString();
}

TEST(KtcliController, OneShotCommandsSendTheWindowsTexts) {
    LoggedSim sim({str("--family"), str("3"), str("--factory-reset-ms"), str("0"),
                   str("--reboot-ms"), str("0")});
    ASSERT_TRUE(sim.ready());
    const QStringList at{str("--address"), str("0000"), str("--family"), str("3")};

    CliRun run = runKtcli(sim.with(at + QStringList{str("--json"), str("set-date")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString time = json(run.out)[u"time"].toString();
    ASSERT_EQ(time.size(), 19) << run.out.toStdString();
    QString digits = time;
    digits.remove(u'-').remove(u':').remove(u'T');
    EXPECT_EQ(sim.requests().value(0), str("0000AA") + digits);

    sim.clearLog();
    EXPECT_EQ(runKtcli(sim.with(at + QStringList{str("alarm"), str("4")})).exitCode, 0);
    EXPECT_EQ(runKtcli(sim.with(at + QStringList{str("factory-reset"), str("--yes")})).exitCode, 0);
    EXPECT_EQ(runKtcli(sim.with(at + QStringList{str("reboot")})).exitCode, 0);
    run = runKtcli(sim.with(at + QStringList{str("set-speed"), str("115200")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"line 115200,n,8,1")) << run.out.toStdString();
    EXPECT_EQ(sim.requests(),
              (QStringList{str("0000JF4"), str("0000AR01"), str("0000AR00"), str("0000AE001400")}));

    sim.clearLog();
    for (const QStringList& args :
         {QStringList{str("alarm")}, QStringList{str("alarm"), str("7")},
          QStringList{str("set-speed"), str("9600")}, QStringList{str("reboot"), str("now")}}) {
        run = runKtcli(sim.with(at + args));
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').toStdString();
        expectOneErrorLine(run);
    }
    EXPECT_TRUE(sim.requests().isEmpty());
}

TEST(KtcliController, BatchSetIdReportsEachLineAndSkipsBadOnes) {
    LoggedSim sim({str("--serial"), str("16030001")}, true);
    ASSERT_TRUE(sim.ready());
    const QString path = sim.dir() + str("/ids.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "# line 3\n"
        "16030001 0007\n"
        "\n"
        "16030001,00x8\n"       // bad ID: skipped
        "1603 0009\n"           // bad serial: skipped
        "16030001 0010 0011\n"  // three fields: skipped
        "99999999 0012\n");     // nobody answers: fails
    file.close();

    CliRun run = runKtcli(sim.with({str("set-id"), str("--from"), path}));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    expectOneErrorLine(run);
    EXPECT_TRUE(run.out.contains(u"line 2: 16030001 -> 0007: applied")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"line 4: skipped: \"00x8\""));
    EXPECT_TRUE(run.out.contains(u"line 5: skipped: \"1603\""));
    EXPECT_TRUE(run.out.contains(u"line 6: skipped"));
    EXPECT_TRUE(run.out.contains(u"line 7: 99999999 -> 0012: failed"));
    EXPECT_TRUE(run.out.contains(u"applied 1\nfailed 1\nskipped 3\n"));
    // Nothing of a bad line went out.
    EXPECT_EQ(sim.requests(), (QStringList{str("0000AV160300010007"), str("0000AV999999990012")}));

    // Only bad lines: exit 2. JSON holds every line's outcome.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("16030001 0003\nnonsense\n");
    file.close();
    run = runKtcli(sim.with({str("--json"), str("set-id"), str("--from"), path}));
    EXPECT_EQ(run.exitCode, 2);
    const QJsonObject object = json(run.out);
    EXPECT_EQ(object[u"applied"].toInt(), 1);
    EXPECT_EQ(object[u"skipped"].toInt(), 1);
    EXPECT_EQ(object[u"lines"].toArray().size(), 2);
    EXPECT_EQ(object[u"lines"].toArray()[1].toObject()[u"outcome"].toString(), u"skipped");

    EXPECT_EQ(
        runKtcli(sim.with({str("set-id"), str("--from"), sim.dir() + str("/none.txt")})).exitCode,
        2);
}

// Starts ktcli, waits for wanted on its stdout, interrupts it.
CliRun interruptWhenSeen(const QStringList& args, const QString& wanted) {
    QProcess p;
    p.start(QStringLiteral(KTCLI_PATH), args);
    QString out;
    while (!out.contains(wanted) && p.waitForReadyRead(5000))
        out += QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(out.contains(wanted)) << out.toStdString();
    ::kill(pid_t(p.processId()), SIGINT);
    EXPECT_TRUE(p.waitForFinished(5000));
    out += QString::fromUtf8(p.readAllStandardOutput());
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, out,
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(KtcliContinuous, DidoAndPollEndCleanlyOnInterrupt) {
    LoggedSim sim({str("--inputs"), str("10100001"), str("--events"), str("2")});
    ASSERT_TRUE(sim.ready());
    CliRun run =
        interruptWhenSeen(sim.with({str("dido"), str("--out"), str("1,3")}), str("input 8 active"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"input 1 active\ninput 2 inactive\ninput 3 active\n"))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"interrupted yes"));
    QStringList requests = sim.requests();
    EXPECT_TRUE(requests.contains(str("0000JC00110002")));
    EXPECT_TRUE(requests.contains(str("0000JC00310002")));
    EXPECT_FALSE(requests.contains(str("0000JC00210002")));
    EXPECT_EQ(requests.last(), str("0000JD")) << "end-of-test command last";

    // The port is free again: the next command gets through at once.
    EXPECT_EQ(runKtcli(sim.with({str("send"), str("0000AC")})).exitCode, 0);

    sim.clearLog();
    run = interruptWhenSeen(sim.with({str("--json"), str("poll")}), str("\"record\""));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split(u'\n');
    ASSERT_GE(lines.size(), 2);
    const QJsonObject event = QJsonDocument::fromJson(lines.first().toUtf8()).object();
    EXPECT_EQ(event[u"event"].toString(), u"record");
    EXPECT_TRUE(event[u"record"].toString().startsWith(u"[")) << lines.first().toStdString();
    const QJsonObject summary = json(run.out);
    EXPECT_TRUE(summary[u"ok"].toBool());
    EXPECT_TRUE(summary[u"interrupted"].toBool());
    EXPECT_GE(summary[u"events"].toInt(), 1);
    EXPECT_TRUE(sim.requests().contains(str("0000IB")));

    // --seconds ends it by itself.
    run = runKtcli(sim.with({str("--json"), str("dido"), str("--seconds"), str("1")}));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(json(run.out)[u"interrupted"].toBool(true));
    EXPECT_EQ(sim.requests().last(), str("0000JD"));
    EXPECT_EQ(runKtcli(sim.with({str("dido"), str("--out"), str("5")})).exitCode, 2);
    EXPECT_EQ(runKtcli(sim.with({str("poll"), str("--seconds"), str("soon")})).exitCode, 2);
}

TEST(KtcliModules, PassThroughV5AndV7) {
    LoggedSim sim({str("--v5"), str("H:1:15030001"), str("--v7"), str("1:17030001")});
    ASSERT_TRUE(sim.ready());
    const QStringList at{str("--address"), str("0000"), str("--family"), str("7")};

    CliRun run = runKtcli(
        sim.with(at + QStringList{str("module"), str("send"), str("H"), str("1"), str("S")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"15030001")) << run.out.toStdString();

    run = runKtcli(
        sim.with(at + QStringList{str("--json"), str("v5"), str("get-sn"), str("H"), str("1")}));
    EXPECT_EQ(json(run.out)[u"serial"].toString(), u"15030001") << run.out.toStdString();
    EXPECT_EQ(runKtcli(sim.with(at + QStringList{str("v5"), str("set-id"), str("H"),
                                                 str("15030001"), str("4")}))
                  .exitCode,
              0);

    run = runKtcli(sim.with(at + QStringList{str("--json"), str("v7"), str("get-sn"), str("1")}));
    EXPECT_EQ(json(run.out)[u"serial"].toString(), u"17030001") << run.out.toStdString();
    run = runKtcli(
        sim.with(at + QStringList{str("--json"), str("v7"), str("find-id"), str("17030001")}));
    EXPECT_EQ(json(run.out)[u"id"].toInt(), 1) << run.out.toStdString();
    run = runKtcli(sim.with(at + QStringList{str("--json"), str("v7"), str("set-card"), str("1"),
                                             str("--delay"), str("20"), str("--no-guid-b"),
                                             str("--iso15693"), str("--no-green")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject card = json(run.out)[u"card"].toObject();
    EXPECT_EQ(card[u"delay"].toString(), u"20");
    EXPECT_TRUE(card[u"iso15693"].toBool());
    EXPECT_FALSE(card[u"guid-b"].toBool(true));
    EXPECT_FALSE(card[u"green"].toBool(true));
    run = runKtcli(sim.with(at + QStringList{str("v7"), str("get-card"), str("1")}));
    EXPECT_TRUE(run.out.contains(u"delay 20\n")) << run.out.toStdString();
    EXPECT_EQ(
        runKtcli(sim.with(at + QStringList{str("v7"), str("set-id"), str("17030001"), str("3")}))
            .exitCode,
        0);
    EXPECT_EQ(sim.requests(),
              (QStringList{str("0000DDH1S"), str("0000DDH1S"), str("0000DDH0C150300014"),
                           str("0000DR050006880000010001"), str("0000DR0500088400000217030001"),
                           str("0000DR05000E8800020300010011001400020000"),
                           str("0000DR050006880002030001"),
                           str("0000DR05001084000002170300011703000100030000")}));

    // The module gone (it now answers at ID 3): no reply, exit 1.
    run = runKtcli(sim.with(at + QStringList{str("v7"), str("get-sn"), str("1")}));
    EXPECT_EQ(run.exitCode, 1);
    expectOneErrorLine(run);

    for (const QStringList& args :
         {QStringList{str("module"), str("send"), str("Z"), str("1"), str("S")},
          QStringList{str("v5"), str("get-sn"), str("H")},
          QStringList{str("v7"), str("get-card"), str("9")},
          QStringList{str("v7"), str("set-card"), str("1"), str("--delay"), str("-1")},
          QStringList{str("v7"), str("frob")}, QStringList{str("v5")}}) {
        run = runKtcli(sim.with(at + args));
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').toStdString();
        expectOneErrorLine(run);
    }
}

TEST(KtcliTrace, EveryFrameWithTimeDirectionAndVerdict) {
    LoggedSim sim({str("--fault"), str("DB:badcrc")});
    ASSERT_TRUE(sim.ready());
    CliRun run = runKtcli(sim.with({str("--trace"), str("send"), str("0000AC")}));
    const QRegularExpression sent(
        QStringLiteral(
            "^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} -> \u24010000AC\u2402[0-9A-F]{4}\u240D  CRC$"),
        QRegularExpression::MultilineOption);
    const QRegularExpression received(
        QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} <- \u24030000AC.*  CRC good$"),
        QRegularExpression::MultilineOption);
    EXPECT_TRUE(sent.match(run.err).hasMatch()) << run.err.toStdString();
    EXPECT_TRUE(received.match(run.err).hasMatch()) << run.err.toStdString();
    run = runKtcli(sim.with({str("--trace"), str("send"), str("--xor"), str("0000DB")}));
    EXPECT_TRUE(run.err.contains(u"  XOR\n")) << run.err.toStdString();
    run = runKtcli(sim.with({str("--trace"), str("send"), str("0000DB")}));
    EXPECT_TRUE(run.err.contains(u"  CRC bad\n")) << run.err.toStdString();
    // Half a frame, then the connection closes: the partial reply is shown as such.
    LoggedSim dropping({str("--fault"), str("AS:drop")});
    ASSERT_TRUE(dropping.ready());
    run = runKtcli(dropping.with({str("--trace"), str("send"), str("0000AS")}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("<- \u24030000AS"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"  partial\n")) << run.err.toStdString();

    // ktsim --trace shows the same frames from its side, with its verdict.
    KtsimProcess traced({str("--tcp"), str("0"), str("--trace")});
    ASSERT_FALSE(traced.tcp().isEmpty());
    EXPECT_EQ(runKtcli({str("--net"), traced.tcp(), str("send"), str("0000AC")}).exitCode, 0);
    QString simOut;
    while (!simOut.contains(u"-> ") && traced.process().waitForReadyRead(2000))
        simOut += QString::fromUtf8(traced.process().readAllStandardOutput());
    EXPECT_TRUE(simOut.contains(u"CRC ok 0000AC")) << simOut.toStdString();
    EXPECT_TRUE(simOut.contains(str("-> \u24030000AC"))) << simOut.toStdString();

    // Without --trace nothing but the verdict's line.
    run = runKtcli(sim.with({str("send"), str("0000DB")}));
    expectOneErrorLine(run);
}

TEST(KtcliHelp, OverviewAndEachCommand) {
    CliRun run = runKtcli({str("--help")});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* command :
         {"connect", "set-date", "alarm", "factory-reset", "reboot", "set-speed", "send", "get-id",
          "find-id", "set-id", "dido", "poll", "module", "v5", "v7", "firmware"}) {
        EXPECT_TRUE(run.out.contains(str(command))) << command;
        const CliRun one = runKtcli({str(command), str("--help")});
        EXPECT_EQ(one.exitCode, 0);
        EXPECT_TRUE(one.out.startsWith(str("Usage: ktcli"))) << command;
        EXPECT_TRUE(one.out.contains(str("ktcli --"))) << command << ": an example";
    }
    EXPECT_EQ(runKtcli({}).exitCode, 2);
}

TEST(KtcliFirmware, AsksForYesChecksTheModelAndShowsProgress) {
    LoggedSim sim({str("--family"), str("1")});
    ASSERT_TRUE(sim.ready());
    const QString version =
        json(runKtcli(sim.with({str("--json"), str("connect")})).out)[u"version"].toString();
    ASSERT_GE(version.size(), 11);
    auto writeFile = [&](const QString& name, const QByteArray& model) {
        QFile file(sim.dir() + u'/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(model.leftJustified(16, '\0', true) +
                   QByteArray(300, '\x5A'));  // two 256-byte blocks
        return file.fileName();
    };
    const QString good = writeFile(str("good.bin"), version.left(11).toLatin1());
    const QString other = writeFile(str("other.bin"), "KT320MX-V5");

    // Without --yes nothing at all is sent.
    sim.clearLog();
    CliRun run = runKtcli(sim.with({str("firmware"), good}));
    EXPECT_EQ(run.exitCode, 2);
    expectOneErrorLine(run);
    EXPECT_TRUE(run.err.contains(u"--yes"));
    EXPECT_TRUE(sim.requests().isEmpty()) << sim.requests().join(u' ').toStdString();

    // A file for another model: Connect only, then refused.
    run = runKtcli(sim.with({str("firmware"), other, str("--yes")}));
    EXPECT_EQ(run.exitCode, 2);
    expectOneErrorLine(run);
    EXPECT_TRUE(run.err.contains(u"KT320MX-V5")) << run.err.toStdString();
    EXPECT_EQ(sim.requests(), (QStringList{str("0000AC"), str("0000DB"), str("0000AS")}));

    // Not a terminal: one plain line a block.
    sim.clearLog();
    run = runKtcli(sim.with({str("firmware"), good, str("--yes")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"blocks 2\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"program 2/2\n"));
    EXPECT_TRUE(run.out.contains(u"verify 2/2\n"));
    EXPECT_FALSE(run.out.contains(u'\r'));
    EXPECT_EQ(sim.requests().last(), str("0000X"));

    EXPECT_EQ(
        runKtcli(sim.with({str("firmware"), sim.dir() + str("/none.bin"), str("--yes")})).exitCode,
        2);
}

}  // namespace
