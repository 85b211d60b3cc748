// ktcli behind a converter that takes line settings: ser2net's RFC 2217
// accepter (a server nobody here wrote) in front of ktsim's pty, on
// loopback. ser2net is one of the packages scripts/install-deps installs.
#include "tests/cli/cli_process.h"
#include "tests/cli/ser2net_process.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

using kttest::CliRun;
using kttest::KtsimProcess;
using kttest::runKtcli;
using kttest::Ser2net;

QJsonObject lastJson(const QString& out) {
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QJsonObject()
                           : QJsonDocument::fromJson(lines.back().toUtf8()).object();
}

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
