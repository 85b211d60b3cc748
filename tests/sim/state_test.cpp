// What the controller remembers between requests, the command forms each
// family knows, and the arguments it refuses. The operation tests cover the
// replies the tool accepts; these cover what they cannot reach.
#include "sim/program/options.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

#include <QThread>

namespace ktsim {
namespace {

using test::positions;
using test::replyTo;

bool answers(Controller& controller, QByteArrayView text) {
    return !replyTo(controller, text).isEmpty();
}

TEST(ControllerCommands, EachFamilyKnowsOnlyItsOwnForms) {
    Controller common(DeviceConfig{.family = 7});
    for (const char* text :
         {"0000AI", "0000AJ", "0000IE", "0000DF", "0000JE", "0000QI", "0000JD11"})
        EXPECT_FALSE(answers(common, text)) << text;
    // The reboot last: the controller is silent for a while after it.
    for (const char* text : {"0000PI", "0000DG0", "0000JD", "0000AE001400", "0000AR00"})
        EXPECT_TRUE(answers(common, text)) << text;

    Controller six(DeviceConfig{.family = 6});
    EXPECT_FALSE(answers(six, "0000PI"));
    EXPECT_EQ(replyTo(six, "0000QI").size(), 35);

    Controller four(DeviceConfig{.family = 4});
    for (const char* text : {"000AR01", "000AE001002", "000DG0", "000PI", "000JC00110002", "000JD"})
        EXPECT_FALSE(answers(four, text)) << text;
    EXPECT_EQ(replyTo(four, "000IE").size(), 32);
    EXPECT_EQ(replyTo(four, "000DF").size(), 14);
}

TEST(ControllerCommands, RefusesArgumentsOutsideTheirForms) {
    Controller controller(DeviceConfig{.family = 7});
    for (const char* text : {"0000AA20271301090503", "0000AA2027030109050", "0000AA2027030109050x",
                             "0000JF7", "0000JF", "0000AE001003", "0000AR02", "0000JC00510002",
                             "0000JC0011000", "0000DG1", "0000PIX", "0000JDX"})
        EXPECT_FALSE(answers(controller, text)) << text;
    EXPECT_EQ(controller.state().alarm(), 0);
    EXPECT_EQ(controller.state().speed(), "19200,e,8,1");

    Controller four(DeviceConfig{.family = 4});
    for (const char* text : {"000JD40", "000JD12", "000JD1", "000AIX"})
        EXPECT_FALSE(answers(four, text)) << text;
}

TEST(ControllerState, OutputsHeldForATimeDropByThemselves) {
    Controller controller(DeviceConfig{});
    ASSERT_FALSE(replyTo(controller, "0000JC00310000").isEmpty());  // on until switched off
    DeviceState& state = controller.state();
    state.setOutput(1, true, 50);
    EXPECT_EQ(state.outputs(), 0b101);
    EXPECT_EQ(positions(replyTo(controller, "0000DG0"), 16, 23), "10100000");
    QThread::msleep(80);
    EXPECT_EQ(state.outputs(), 0b100);
    replyTo(controller, "0000JC00300002");
    EXPECT_EQ(state.outputs(), 0);
}

TEST(ControllerState, RestartsSilenceTheControllerAndFactoryResetForgets) {
    Controller controller(DeviceConfig{.family = 7, .factoryResetMs = 150, .rebootMs = 0});
    DeviceState& state = controller.state();
    ASSERT_TRUE(state.pushEvent({}));
    replyTo(controller, "0000JF2");
    replyTo(controller, "0000AE001400");

    EXPECT_EQ(replyTo(controller, "0000AR00").size(), 13);
    EXPECT_EQ(state.eventCount(), 1) << "a reboot keeps the buffered events";
    EXPECT_EQ(state.alarm(), 2);

    EXPECT_EQ(replyTo(controller, "0000AR01").size(), 13);
    EXPECT_TRUE(state.restarting());
    EXPECT_FALSE(answers(controller, "0000AS"));
    QThread::msleep(200);
    EXPECT_TRUE(answers(controller, "0000AS"));
    EXPECT_EQ(state.eventCount(), 0);
    EXPECT_EQ(state.alarm(), 0);
    EXPECT_EQ(state.speed(), "115200,n,8,1") << "the line speed survives";
    EXPECT_EQ(state.snapshot().factoryResets, 1);
    EXPECT_EQ(state.snapshot().reboots, 1);
}

TEST(ControllerState, EventsMustFitTheRecordLayoutAndIbCountsWhatIsLeft) {
    Controller controller(DeviceConfig{});
    DeviceState& state = controller.state();
    QString error;
    EXPECT_FALSE(state.pushEvent({.time = "2026120714050"}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(state.pushEvent({.card = "1234\r"}));
    EXPECT_EQ(state.eventCount(), 0);

    bufferSampleEvents(state, 3);
    EXPECT_EQ(replyTo(controller, "0000PI").size(), 59);
    EXPECT_EQ(positions(replyTo(controller, "0000IB"), 8, 11), "0002");
}

TEST(KtsimOptions, TakeStartingStateAndRestartTimes) {
    const ParsedOptions parsed =
        parseOptions({QStringLiteral("ktsim"), QStringLiteral("--pty"), QStringLiteral("--inputs"),
                      QStringLiteral("10000001"), QStringLiteral("--events"), QStringLiteral("3"),
                      QStringLiteral("--factory-reset-ms"), QStringLiteral("0"),
                      QStringLiteral("--reboot-ms"), QStringLiteral("500")});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.inputs, 0b10000001);
    EXPECT_EQ(parsed.options.events, 3);
    EXPECT_EQ(parsed.options.config.factoryResetMs, 0);
    EXPECT_EQ(parsed.options.config.rebootMs, 500);

    for (const char* bad : {"--inputs=1000000", "--inputs=10000002", "--events=-1", "--reboot-ms=x",
                            "--factory-reset-ms=700000"}) {
        const ParsedOptions refused =
            parseOptions({QStringLiteral("ktsim"), QStringLiteral("--pty"), QLatin1String(bad)});
        EXPECT_FALSE(refused.error.isEmpty()) << bad;
    }
}

}  // namespace
}  // namespace ktsim
