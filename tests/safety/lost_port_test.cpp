// A port lost in the middle of an operation (adapter pulled, converter gone):
// the continuous tests stop at the first transaction that finds it, and a
// firmware run fails at whichever step it shows, never reporting success.
#include "controller/dido_test.h"
#include "controller/polling_test.h"
#include "firmware/programmer.h"
#include "tests/safety/safety_sim.h"

#include <gtest/gtest.h>

namespace kt::safety {
namespace {

ktsim::DeviceConfig family(int f) {
    ktsim::DeviceConfig config;
    config.family = f;
    return config;
}

// A pass counter that stops a test that does not end by itself.
KeepRunning atMost(int passes, int* seen) {
    return [passes, seen] { return (*seen)++ < passes; };
}

class LostPort : public ::testing::TestWithParam<PortKind> {};

TEST_P(LostPort, EndsTheDidoTestAtOnceAsAFailure) {
    SimLink s(GetParam(), family(7));
    s.fault("DG:close#3");
    int asked = 0;
    DidoObserver observer;
    observer.keepRunning = atMost(50, &asked);
    observer.outputChecked = [](int output) { return output == 2; };
    ContinuousTestResult result;
    const qint64 ms = timed([&] { result = DidoTest(s.link, "0000", Family::KT350, observer); });
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.passes, 3);
    EXPECT_FALSE(result.cause.isEmpty());
    EXPECT_LT(ms, 3000);
    // The pass ended at the lost read; no end-of-test command went out.
    ASSERT_FALSE(s.sent().isEmpty());
    EXPECT_EQ(s.sent().back(), "0000DG0");
    EXPECT_EQ(s.sent().count("0000DG0"), 3);
}

TEST_P(LostPort, EndsThePollingTestAtOnceAsAFailure) {
    SimLink s(GetParam(), family(4));
    s.fault("IE:close#2");
    int asked = 0;
    PollingObserver observer;
    observer.keepRunning = atMost(50, &asked);
    PollingTestResult result;
    const qint64 ms =
        timed([&] { result = PollingTest(s.link, "000", Family::ThreeDigit, observer); });
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.passes, 2);
    EXPECT_FALSE(result.cause.isEmpty());
    EXPECT_LT(ms, 3000);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"000IE", "000IE"}));
}

// Without a loss, a reply that goes missing changes nothing: the test runs
// on and ends as it always did.
TEST_P(LostPort, AMissingReplyKeepsTheTestRunning) {
    SimLink s(GetParam(), family(7));
    s.fault("DG:silent@2");
    int asked = 0;
    DidoObserver observer;
    observer.keepRunning = atMost(4, &asked);
    const ContinuousTestResult result = DidoTest(s.link, "0000", Family::KT350, observer);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.passes, 4);
    EXPECT_TRUE(result.cause.isEmpty());
    EXPECT_EQ(s.sent().back(), "0000JD");
}

// Two blocks of the family's size, cut as the loader cuts them.
FirmwareImage twoBlocks(int blockSize) {
    FirmwareImage image;
    image.blockSize = blockSize;
    image.blocks = {QByteArray(blockSize, '\x5A'), QByteArray(blockSize, '\xA5')};
    return image;
}

struct LostStep {
    Family family;
    const char* fault;
    QByteArray lastSent;  // the request the port was lost on; nothing after it
};

// Each step of each dialogue, the port lost before a reply byte (close) or
// after half the reply (drop): the run fails, with the cause, and stops
// there. The upgrade's lost acknowledgement used to read as success.
TEST_P(LostPort, FailsEveryStepOfProgramming) {
    const QList<LostStep> steps = {
        {Family::KT740, "Zr:close", "0000ZrC72D"},   {Family::KT740, "Zr:drop", "0000ZrC72D"},
        {Family::KT740, "Zp:close#2", "0000Zp0200"}, {Family::KT740, "Zv:drop", "0000Zv0000"},
        {Family::V2, "Zx:close", "0000ZxE7"},        {Family::V2, "A:drop", "0000A"},
        {Family::V2, "E:close", "0000E0000"},        {Family::V2, "X:close", "0000X"},
        {Family::ThreeDigit, "Zx:drop", "000Zx"},    {Family::ThreeDigit, "A:close", "A"},
        {Family::ThreeDigit, "R:close#2", "R0040"},  {Family::ThreeDigit, "X:drop", "X"},
    };
    for (const LostStep& step : steps) {
        SCOPED_TRACE(step.fault);
        SCOPED_TRACE(CodeOf(step.family));
        SimLink s(GetParam(), family(CodeOf(step.family)));
        s.fault(step.fault);
        const bool four = step.family == Family::ThreeDigit;
        const int blockSize = step.family == Family::KT740 ? 512 : four ? 64 : 256;
        FirmwareResult result;
        const qint64 ms = timed([&] {
            result =
                ProgramFirmware(s.link, four ? "000" : "0000", step.family, twoBlocks(blockSize));
        });
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cause.isEmpty());
        ASSERT_FALSE(s.sent().isEmpty());
        EXPECT_TRUE(s.sent().back().startsWith(step.lastSent))
            << s.sent().back().left(20).toStdString();
        EXPECT_EQ(s.sent().count(s.sent().back()), 1) << "not tried again on a lost port";
        EXPECT_LT(ms, 2000) << "no 2 or 7 s pause after the upgrade command";
    }
}

// The upgrade command going unanswered on a port that is still there stays
// a success, as it always was.
TEST_P(LostPort, AnUnansweredUpgradeOnALivePortIsStillSuccess) {
    SimLink s(GetParam(), family(4));
    s.fault("X:silent");
    const FirmwareResult result = ProgramFirmware(s.link, "000", Family::ThreeDigit, twoBlocks(64));
    EXPECT_TRUE(result.ok) << result.cause.toStdString();
    EXPECT_EQ(s.sent().back(), "X");
}

INSTANTIATE_TEST_SUITE_P(Channels, LostPort, ::testing::Values(PortKind::Network, PortKind::Serial),
                         channelName);

}  // namespace
}  // namespace kt::safety
