// The line-speed scan against ktsim on a real pty, which hears requests only
// at its own speed: found at once at a preset, found late at the slowest
// speed, and every setting tried once against silence. Refused over TCP.
#include "controller/line_speed_scan.h"
#include "sim/program/simulator.h"
#include "tests/controller/sim_link.h"

#include <QElapsedTimer>

namespace {

struct ScanRig {
    explicit ScanRig(int baud, const ktsim::DeviceConfig& config = {}) : sim(config) {
        sim.call([baud](ktsim::Simulator& s) { s.setLineBaud(baud); });
        kt::PortSettings port;
        port.ComPortName = sim.startPty();
        link.setPort(port);
    }
    kt::LineSpeedScanResult scan(bool all = false) {
        kt::LineSpeedScanObserver observer;
        observer.trying = [this](const QString& line, int number, int count) {
            announced << QStringLiteral("%1 %2/%3").arg(line).arg(number).arg(count);
        };
        return kt::ScanLineSpeed(link, "0000", all, observer);
    }
    ktsim::SimThread sim;
    kt::Link link;
    QStringList announced;
};

QStringList linesOf(const QList<kt::LineSpeedTry>& tries) {
    QStringList lines;
    for (const auto& t : tries) lines << t.line;
    return lines;
}

TEST(LineSpeedScan, OrderIsThePresetsThenFastestToSlowestEachOnce) {
    const QStringList& order = kt::LineSpeedScanOrder();
    ASSERT_EQ(order.size(), 18);
    EXPECT_EQ(order.mid(0, 3), QStringList({"19200,e,8,1", "115200,n,8,1", "921600,n,8,1"}));
    EXPECT_EQ(order.mid(16), QStringList({"4800,n,8,1", "4800,e,8,1"}));
    QStringList sorted = order, box = kt::SpeedBoxSettings();
    sorted.sort();
    box.sort();
    EXPECT_EQ(sorted, box);  // every entry of the speed box, none twice
}

TEST(LineSpeedScan, FindsA115200ControllerAtTheSecondSetting) {
    ScanRig rig(115200, {.address = "0012"});
    const auto result = rig.scan();
    EXPECT_EQ(result.outcome, kt::LineSpeedScanResult::Outcome::Found);
    EXPECT_EQ(result.line, "115200,n,8,1");
    EXPECT_EQ(result.address, "0012");
    EXPECT_FALSE(result.familyFour);
    EXPECT_EQ(rig.announced, QStringList({"19200,e,8,1 1/18", "115200,n,8,1 2/18"}));
    ASSERT_EQ(result.tries.size(), 2);
    // At 19200 the controller heard nothing: silence, not a lost port.
    EXPECT_FALSE(result.tries[0].answered);
    EXPECT_EQ(result.tries[0].fault, kt::LinkFault::NoAnswer);
    EXPECT_EQ(rig.sim.requestLog(), QList<QByteArray>({"0000AC"}));
    EXPECT_EQ(rig.link.port().ComBaudRate, "115200,n,8,1");
}

TEST(LineSpeedScan, FindsAFamilyFourControllerAt4800LastByAsAndGoesOnWhenAskedToTryAll) {
    ScanRig rig(4800, {.family = 4, .address = "012"});
    // The order and the answers are the subject here, not the silence limit
    // (the next test waits it out in full).
    rig.link.setReplyLimitMs(100);
    QElapsedTimer clock;
    clock.start();
    const auto result = rig.scan(true);
    EXPECT_EQ(result.outcome, kt::LineSpeedScanResult::Outcome::Found);
    // A pty drops the parity bit: both 4800 settings answer, the first found counts.
    EXPECT_EQ(result.line, "4800,n,8,1");
    EXPECT_TRUE(result.familyFour);
    EXPECT_EQ(result.address, "012");
    EXPECT_EQ(linesOf(result.tries), kt::LineSpeedScanOrder());
    QStringList answered;
    for (const auto& t : result.tries)
        if (t.answered) answered << t.line;
    EXPECT_EQ(answered, QStringList({"4800,n,8,1", "4800,e,8,1"}));
    EXPECT_EQ(rig.sim.requestLog(), QList<QByteArray>({"0000AC", "000AS", "0000AC", "000AS"}));
    EXPECT_LT(clock.elapsed(), 18 * 2 * 300 + 6000);
}

TEST(LineSpeedScan, SilenceTriesEverySettingOnceWithinItsBound) {
    // A controller at a speed the box does not offer.
    ScanRig rig(1200);
    QElapsedTimer clock;
    clock.start();
    const auto result = rig.scan();
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(result.outcome, kt::LineSpeedScanResult::Outcome::NotFound);
    EXPECT_EQ(linesOf(result.tries), kt::LineSpeedScanOrder());
    for (const auto& t : result.tries)
        EXPECT_EQ(t.fault, kt::LinkFault::NoAnswer) << t.line.toStdString();
    EXPECT_TRUE(rig.sim.requestLog().isEmpty());
    // Each setting waits out two silence limits, and little else.
    EXPECT_GE(elapsed, 18 * 2 * 300);
    EXPECT_LT(elapsed, 18 * 2 * 300 + 6000);
}

TEST(LineSpeedScan, RefusesTcpAndStopsAtAPortThatWillNotOpen) {
    ktsim::SimThread sim;
    kt::Link link;
    kt::PortSettings port;
    port.kind = kt::PortKind::Network;
    port.NetIP = QStringLiteral("127.0.0.1");
    port.NetPort = QString::number(sim.startTcp());
    link.setPort(port);
    auto result = kt::ScanLineSpeed(link, "0000", true);
    EXPECT_EQ(result.outcome, kt::LineSpeedScanResult::Outcome::NotSerial);
    EXPECT_TRUE(result.why.contains("converter")) << result.why.toStdString();
    EXPECT_TRUE(result.tries.isEmpty());
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(sim.requestLog().isEmpty());

    port.kind = kt::PortKind::Serial;
    port.ComPortName = QStringLiteral("/dev/kt-no-such-port");
    link.setPort(port);
    result = kt::ScanLineSpeed(link, "0000");
    EXPECT_EQ(result.outcome, kt::LineSpeedScanResult::Outcome::PortFailed);
    EXPECT_EQ(result.error.kind, kt::LinkFault::NoSuchPort);
    EXPECT_TRUE(result.tries.isEmpty());
}

}  // namespace
