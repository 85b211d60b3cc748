// ktcli against hostile peers and inputs, as a technician meets them: a
// command text carrying framing bytes, a lost port in a continuous test or
// a firmware run, a streaming peer, unbounded files, and controller bytes
// that would drive the terminal. ktcli runs as a process; the substitute
// controller runs in this one, so that its faults and log are at hand.
#include "sim/program/sim_thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

#include <sys/stat.h>
#include <csignal>

namespace {

QString str(const char* text) {
    return QString::fromUtf8(text);
}

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 ms = 0;
};

// With stopWhen, SIGINT goes to ktcli once it says so (asked every 20 ms).
CliRun runKtcli(const QStringList& args, const QByteArray& input = {},
                const std::function<bool()>& stopWhen = {}) {
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral(KTCLI_PATH), args);
    EXPECT_TRUE(p.waitForStarted(5000));
    if (!input.isNull()) {
        p.write(input);
        p.closeWriteChannel();
    }
    while (stopWhen && !p.waitForFinished(20)) {
        if (!stopWhen()) continue;
        ::kill(pid_t(p.processId()), SIGINT);
        break;
    }
    if (!p.waitForFinished(20000)) {
        ADD_FAILURE() << "ktcli still running after 20 s";
        p.kill();
        p.waitForFinished();
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError()), clock.elapsed()};
}

QJsonObject json(const QString& out) {
    return QJsonDocument::fromJson(out.trimmed().split(u'\n').last().toUtf8()).object();
}

void expectOneErrorLine(const CliRun& run) {
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    EXPECT_EQ(run.err.trimmed().count(u'\n'), 0) << run.err.toStdString();
}

// A port that does not exist: a command that reaches it fails with exit 3,
// so an exit 2 shows the refusal came before the port was opened.
const QStringList kNoPort = {str("--serial"), str("/dev/kt-no-such-port")};

struct Sim {
    explicit Sim(int family = 7) : sim(config(family)) {}
    static ktsim::DeviceConfig config(int family) {
        ktsim::DeviceConfig c;
        c.family = family;
        return c;
    }
    // The connection options for ktsim over TCP or its pty.
    QStringList tcp() { return {str("--net"), QStringLiteral("127.0.0.1:%1").arg(sim.startTcp())}; }
    QStringList pty() {
        return {str("--serial"), sim.startPty(), str("--line"), str("115200,n,8,1")};
    }
    ktsim::SimThread sim;
};

TEST(KtcliSafety, CommandTextsWithFramingBytesAreRefusedBeforeThePortOpens) {
    // The second request behind the CR and SOH would set off the fire alarm.
    for (const QString& text : {str("0000AV\r\x01"
                                    "0000JF3"),
                                str("0000JF3\x7F"), str("0000AC") + QChar(0x4E2D)}) {
        CliRun run = runKtcli(kNoPort + QStringList{str("send"), text});
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        expectOneErrorLine(run);
        run =
            runKtcli(kNoPort + QStringList{str("--address"), str("0000"), str("--family"), str("7"),
                                           str("module"), str("send"), str("H"), str("1"), text});
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
    }
    CliRun run = runKtcli(kNoPort + QStringList{str("send"), str("0000AV\r")});
    EXPECT_TRUE(run.err.contains(u"0x0D")) << run.err.toStdString();
    run = runKtcli(kNoPort + QStringList{str("send"), str("00") + QChar(0x4E2D)});
    EXPECT_TRUE(run.err.contains(u"U+4E2D")) << run.err.toStdString();
    // A module command that cannot fit the request buffer.
    run = runKtcli(kNoPort + QStringList{str("--address"), str("0000"), str("--family"), str("7"),
                                         str("module"), str("send"), str("H"), str("1"),
                                         QString(1490, u'S')});
    EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"too long")) << run.err.toStdString();

    // Against a live controller: nothing arrives, its alarm stays off.
    Sim s;
    run = runKtcli(s.tcp() + QStringList{str("send"), str("0000AV\r\x01"
                                                          "0000JF3")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(s.sim.requestLog().isEmpty());
    EXPECT_EQ(s.sim.state().alarm, 0);
}

// The port lost in the middle of a continuous test: exit 1, "ok": false and
// the cause, at the first transaction that finds it.
TEST(KtcliSafety, ContinuousTestsEndOnALostPort) {
    for (bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "pty" : "tcp");
        Sim s;
        ASSERT_TRUE(s.sim.addFault(str("DG:close#3")));
        CliRun run = runKtcli((serial ? s.pty() : s.tcp()) +
                              QStringList{str("--json"), str("--address"), str("0000"),
                                          str("--family"), str("7"), str("dido")});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        const QJsonObject result = json(run.out);
        EXPECT_EQ(result[u"ok"], false) << run.out.toStdString();
        EXPECT_EQ(result[u"passes"], 3);
        EXPECT_FALSE(result[u"error"].toString().isEmpty());
        EXPECT_LT(run.ms, 5000);

        ASSERT_TRUE(s.sim.addFault(str("PI:close#2")));
        run = runKtcli((serial ? s.pty() : s.tcp()) + QStringList{str("--address"), str("0000"),
                                                                  str("--family"), str("7"),
                                                                  str("poll")});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        expectOneErrorLine(run);
        EXPECT_TRUE(run.out.contains(u"passes 2\n")) << run.out.toStdString();
    }
}

// A peer that streams bytes without a frame used to hold dido forever, deaf
// to SIGINT: now every transaction ends, and so does the test.
TEST(KtcliSafety, StreamingPeerCannotHoldTheContinuousTest) {
    Sim s;
    ASSERT_TRUE(s.sim.addFault(str("*:stream=1920")));
    QElapsedTimer sinceStop;
    const CliRun run = runKtcli(s.pty() + QStringList{str("--address"), str("0000"),
                                                      str("--family"), str("7"), str("dido")},
                                {}, [&] {
                                    if (s.sim.requestLog().isEmpty()) return false;
                                    sinceStop.start();  // the first DG0 is being streamed at
                                    return true;
                                });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"interrupted yes")) << run.out.toStdString();
    // The pass under way (DG0, 1.6 s) and the end command (JD, 1.6 s).
    EXPECT_LT(sinceStop.elapsed(), 6000);
    EXPECT_EQ(s.sim.requestLog(), (QList<QByteArray>{"0000DG0", "0000JD"}));
}

TEST(KtcliSafety, FirmwareFailsOnALostPortAndRefusesEmptyFiles) {
    QTemporaryDir dir;
    auto file = [&](const char* name, const QByteArray& contents) {
        QFile f(dir.filePath(str(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return f.fileName();
    };
    const QByteArray header = QByteArray("KT740MX-V6").leftJustified(16, '\0');

    // A header alone: refused before the port opens.
    for (const QByteArray& contents : {header, header.left(8)}) {
        const CliRun run = runKtcli(
            kNoPort + QStringList{str("firmware"), file("empty.KTB", contents), str("--yes")});
        EXPECT_EQ(run.exitCode, 2);
        expectOneErrorLine(run);
        EXPECT_TRUE(run.err.contains(u"the file holds no firmware")) << run.err.toStdString();
    }

    // The converter gone while the upgrade command is written: failure, at once.
    for (bool serial : {false, true}) {
        Sim s(6);
        ASSERT_TRUE(s.sim.addFault(str("Zr:close")));
        const CliRun run = runKtcli((serial ? s.pty() : s.tcp()) +
                                    QStringList{str("--json"), str("firmware"),
                                                file("one.KTB", header + "x"), str("--yes")});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_EQ(json(run.out)[u"ok"], false) << run.out.toStdString();
        EXPECT_LT(run.ms, 6000) << "no 7 s pause after a lost upgrade command";
        EXPECT_EQ(s.sim.requestLog().last(), "0000ZrC72D");
    }

    // The read-back differs: said so, not "unexpected reply length".
    ktsim::DeviceConfig config = Sim::config(6);
    config.loaderFaults = {str("wrongdata")};
    ktsim::SimThread spoiled(config);
    const CliRun run =
        runKtcli(QStringList{str("--net"), QStringLiteral("127.0.0.1:%1").arg(spoiled.startTcp()),
                             str("firmware"), file("one.KTB", header + "x"), str("--yes")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"differs")) << run.err.toStdString();
}

// set-id --from /dev/zero grew to gigabytes; a FIFO blocked for good.
TEST(KtcliSafety, FilesAreReadWithBounds) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(str("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto file = [&](const char* name, const QByteArray& contents) {
        QFile f(dir.filePath(str(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return f.fileName();
    };
    const QString huge = file("huge.txt", QByteArray(1024 * 1024 + 1, '#'));
    const QString longLine = file("long.txt", "16030001 0001\n" + QByteArray(300, 'x') + '\n');
    for (const QStringList& args : {
             QStringList{str("set-id"), str("--from"), str("/dev/zero")},
             QStringList{str("set-id"), str("--from"), fifo},
             QStringList{str("set-id"), str("--from"), huge},
             QStringList{str("set-id"), str("--from"), longLine},
             QStringList{str("firmware"), str("/dev/zero"), str("--yes")},
             QStringList{str("firmware"), fifo, str("--yes")},
             QStringList{str("firmware"), huge, str("--yes")},
         }) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun run = runKtcli(kNoPort + args);
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        expectOneErrorLine(run);
        EXPECT_TRUE(run.err.contains(args[args[0] == u"set-id" ? 2 : 1])) << "names the file";
        EXPECT_LT(run.ms, 5000);
    }
    EXPECT_TRUE(runKtcli(kNoPort + QStringList{str("set-id"), str("--from"), longLine})
                    .err.contains(u"line 2"));

    // Standard input, with the same bounds.
    CliRun run = runKtcli(kNoPort + QStringList{str("set-id"), str("--from"), str("-")},
                          QByteArray(1024 * 1024 + 1, '#'));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(u"standard input")) << run.err.toStdString();
    Sim s;
    run = runKtcli(s.tcp() + QStringList{str("set-id"), str("--from"), str("-")},
                   "# one controller\n16030001 0042\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(s.sim.requestLog().contains("0000AV160300010042"))
        << s.sim.requestLog().join(' ').toStdString();
}

// A serial number carrying ESC [2J cleared the technician's screen.
TEST(KtcliSafety, ControllerBytesNeverReachTheTerminalRaw) {
    Sim s;
    ASSERT_TRUE(s.sim.addFault(str("AS:escape")));
    CliRun run = runKtcli(s.tcp() + QStringList{str("connect")});
    EXPECT_FALSE(run.out.contains(QChar(0x1B))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("serial 1603\u241B[2J"))) << run.out.toStdString();
    // JSON stays JSON: the byte is there, escaped by the encoder.
    run = runKtcli(s.tcp() + QStringList{str("--json"), str("connect")});
    EXPECT_FALSE(run.out.contains(QChar(0x1B)));
    EXPECT_EQ(json(run.out)[u"serial"].toString(), QStringLiteral("1603\x1B[2J"));

    // File bytes echoed by set-id --from are shown the same way.
    run = runKtcli(s.tcp() + QStringList{str("set-id"), str("--from"), str("-")},
                   "\x07\x1B[2J\x1B[H 0042\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_FALSE(run.out.contains(QChar(0x1B))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QChar(0x07)));
    EXPECT_TRUE(run.out.contains(QChar(0x241B))) << run.out.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
