// ktcli behind a converter that takes line settings: ser2net's RFC 2217
// accepter (a server nobody here wrote) in front of ktsim's pty, on
// loopback. ser2net is one of the packages scripts/install-deps installs.
#include "cli_process.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

namespace {

using kttest::CliRun;
using kttest::KtsimProcess;
using kttest::runKtcli;

QJsonObject lastJson(const QString& out) {
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(lines.back().toUtf8()).object();
}

// ser2net in the foreground on a free loopback port, with one connection
// from accepter to the pty; stopped by its own process id.
class Ser2net {
public:
    // accepter: "telnet(rfc2217),tcp" or "tcp" (raw).
    Ser2net(const QString& accepter, const QString& pty, const QString& line) {
        const QString program = QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (program.isEmpty()) {
            ADD_FAILURE() << "ser2net is missing: run scripts/install-deps";
            return;
        }
        {
            QTcpServer probe;  // a free port, given back at once
            probe.listen(QHostAddress::LocalHost);
            port_ = probe.serverPort();
        }
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("connection: &kt\n"
                                    "  accepter: %1,127.0.0.1,%2\n"
                                    "  connector: serialdev,%3,%4,local\n"
                                    "  options:\n"
                                    "    kickolduser: true\n"
                                    "    mdns: false\n")
                         .arg(accepter)
                         .arg(port_)
                         .arg(pty, line)
                         .toUtf8());
        config.close();
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(program, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"),
                                 config.fileName(), QStringLiteral("-P"),
                                 dir_.filePath(QStringLiteral("pid"))});
        // Ready once it accepts a connection; that connection goes at once.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000 && process_.state() != QProcess::NotRunning) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port_);
            if (socket.waitForConnected(200)) {
                ready_ = true;
                socket.abort();
                QThread::msleep(50);  // lets ser2net close the pty again
                break;
            }
            QThread::msleep(20);
        }
    }
    ~Ser2net() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
    }
    bool ready() const { return ready_; }
    QString target(bool rfc2217) const {
        return (rfc2217 ? QStringLiteral("rfc2217://127.0.0.1:%1") : QStringLiteral("127.0.0.1:%1"))
            .arg(port_);
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    bool ready_ = false;
};

TEST(KtcliRfc2217, ScanFindsTheLineConnectWorksAndTheLineFollowsASpeedChange) {
    KtsimProcess sim({"--pty", "--baud", "115200"});
    ASSERT_FALSE(sim.pty().isEmpty());
    // The converter's own setting is the wrong one: only the tool's line
    // settings can reach the controller.
    Ser2net converter(QStringLiteral("telnet(rfc2217),tcp"), sim.pty(), QStringLiteral("9600n81"));
    ASSERT_TRUE(converter.ready());
    const QString net = converter.target(true);

    CliRun run = runKtcli({"--net", net, "--json", "scan"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject result = lastJson(run.out);
    EXPECT_EQ(result["line"].toString(), "115200,n,8,1") << run.out.toStdString();
    EXPECT_EQ(result["tried"].toInt(), 2);

    run = runKtcli({"--net", net, "--line", "115200,n,8,1", "--json", "connect"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(lastJson(run.out)["serial"].toString(), "16030001");

    run = runKtcli({"--net", net, "--line", "115200,n,8,1", "--json", "set-speed", "19200"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(lastJson(run.out)["line"].toString(), "19200,e,8,1");

    // The controller hears only 19200 now.
    run = runKtcli({"--net", net, "--line", "19200,e,8,1", "--json", "connect"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = runKtcli({"--net", net, "--line", "115200,n,8,1", "--address", "0000", "--family", "7",
                    "--json", "get-id"});
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
}

TEST(KtcliRfc2217, ARawConverterFailsClearlyAndNothingReachesTheLine) {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("requests.log"));
    KtsimProcess sim({"--pty", "--log", log});
    ASSERT_FALSE(sim.pty().isEmpty());
    Ser2net converter(QStringLiteral("tcp"), sim.pty(), QStringLiteral("19200e81"));
    ASSERT_TRUE(converter.ready());

    QElapsedTimer clock;
    clock.start();
    CliRun run = runKtcli({"--net", converter.target(true), "--json", "connect"});
    const qint64 took = clock.elapsed();
    EXPECT_EQ(run.exitCode, 3);
    const QJsonObject result = lastJson(run.out);
    EXPECT_EQ(result["cause"].toString(), "no-line-settings") << run.out.toStdString();
    EXPECT_TRUE(result["error"].toString().startsWith(
        "the converter does not take line settings (RFC 2217)"));
    EXPECT_LT(took, 2000);
    QFile heard(log);
    EXPECT_TRUE(!heard.open(QIODevice::ReadOnly) || heard.readAll().isEmpty())
        << "a request reached the line";

    // The same converter raw, byte for byte: the line itself works.
    run = runKtcli({"--net", converter.target(false), "--json", "connect"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

}  // namespace
