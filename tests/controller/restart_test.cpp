// Family 4's factory reset and reboot: the first command, the full wait with
// the port open and nothing sent, then "AS" once the controller is back.
// These sit out the real 16 s and 3.5 s, once each.
#include "controller/basic_commands.h"
#include "tests/controller/sim_link.h"

#include <QElapsedTimer>

namespace {

using kt::test::SimLink;
using kt::test::StatusLog;

qint64 gapMs(const QList<ktsim::LoggedRequest>& records) {
    return (records.value(1).monotonicNs - records.value(0).monotonicNs) / 1'000'000;
}

TEST(FamilyFourRestart, FactoryResetWaitsSixteenSecondsThenAsksForTheSerialNumber) {
    // The controller is back after 12 s, well inside the wait.
    SimLink s({.family = 4, .address = "012", .factoryResetMs = 12000});
    StatusLog status;
    EXPECT_TRUE(kt::FactoryReset(s.link, "012", kt::Family::ThreeDigit, status.recorder()).ok);
    EXPECT_EQ(status.texts, QStringList{"Set factory"});
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"012AI", "012AS"}));
    EXPECT_GE(gapMs(s.sim.requestRecords()), 16000);
    EXPECT_LT(gapMs(s.sim.requestRecords()), 17000);
    EXPECT_EQ(s.sim.state().factoryResets, 1);
}

TEST(FamilyFourRestart, RebootWaitsThreeAndAHalfSecondsAndFailsWhenTheControllerIsNotBack) {
    // Still restarting when asked: the wait is the tool's, not the controller's.
    // The countdown shown meanwhile leaves the wait as long as it was.
    SimLink s({.family = 4, .rebootMs = 4000});
    QList<int> secondsLeft;
    EXPECT_FALSE(kt::Reboot(s.link, "000", kt::Family::ThreeDigit, {}, [&](int seconds) {
                     secondsLeft.append(seconds);
                 }).ok);
    EXPECT_EQ(secondsLeft, QList<int>({4, 3, 2, 1}));
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"000AJ", "000AS"}));
    EXPECT_GE(gapMs(s.sim.requestRecords()), 3500);
    EXPECT_LT(gapMs(s.sim.requestRecords()), 4000);
    EXPECT_EQ(s.sim.state().reboots, 1);
}

}  // namespace
