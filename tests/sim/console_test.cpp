// ktsim's console lines, and the V7 ID it gives by serial number.
#include "sim/program/console.h"
#include "sim/device/controller.h"
#include "sim/program/simulator.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

namespace ktsim {
namespace {

using test::positions;
using test::replyTo;

TEST(Console, ChangesFaultsInputsAndEventsAndSaysWhat) {
    Simulator simulator;
    EXPECT_EQ(RunConsoleLine(simulator, QStringLiteral("fault AS:silent")), u"faults AS:silent");
    EXPECT_EQ(RunConsoleLine(simulator, QStringLiteral("  fault   DB:badcrc@2 ")),
              u"faults AS:silent DB:badcrc@2");
    EXPECT_EQ(simulator.faults().size(), 2);
    // A fault it cannot read changes nothing.
    EXPECT_TRUE(
        RunConsoleLine(simulator, QStringLiteral("fault AS:sleepy")).startsWith(u"error: "));
    EXPECT_EQ(simulator.faults().size(), 2);
    EXPECT_EQ(RunConsoleLine(simulator, QStringLiteral("fault clear")),
              u"faults cleared (2 removed)");
    EXPECT_TRUE(simulator.faults().isEmpty());

    EXPECT_EQ(RunConsoleLine(simulator, QStringLiteral("inputs 10100001")), u"inputs 10100001");
    EXPECT_EQ(simulator.controller().state().inputs(), 0x85);
    for (const char* bad : {"inputs 1010000", "inputs 10100002", "inputs"}) {
        EXPECT_TRUE(RunConsoleLine(simulator, QString::fromLatin1(bad)).startsWith(u"error: "))
            << bad;
    }
    EXPECT_EQ(simulator.controller().state().inputs(), 0x85);

    EXPECT_EQ(RunConsoleLine(simulator, QStringLiteral("event")), u"events 1 waiting");
    EXPECT_EQ(RunConsoleLine(simulator, QStringLiteral("event")), u"events 2 waiting");
    // The polling test gets the record.
    EXPECT_EQ(replyTo(simulator.controller(), "0000PI").size(), 59);

    const QString status = RunConsoleLine(simulator, QStringLiteral("status"));
    EXPECT_TRUE(status.contains(u"family 7, address 0000, serial 16030001"))
        << status.toStdString();
    EXPECT_TRUE(status.contains(u"faults none"));
    EXPECT_TRUE(status.contains(u"inputs 10100001"));
    EXPECT_TRUE(RunConsoleLine(simulator, QStringLiteral("help")).contains(u"fault clear"));
    EXPECT_TRUE(RunConsoleLine(simulator, QStringLiteral("   ")).isEmpty());
    EXPECT_TRUE(RunConsoleLine(simulator, QStringLiteral("reboot")).startsWith(u"error: "));
}

TEST(V7Module, TheIdBySerialNumberIsOneDecimalDigitAtPosition41) {
    DeviceConfig config;
    config.modules = {};
    config.modules.v7 = {V7Module{.id = 7, .serial = "17030007"},
                         V7Module{.id = 12, .serial = "17030012"}};
    Controller controller(config);
    QByteArray reply = replyTo(controller, "0000DR0500088400000217030007");
    ASSERT_EQ(reply.size(), 51);
    EXPECT_EQ(positions(reply, 38, 41), "0007");
    // Twelve in decimal, not 000C: the tool reads its last digit.
    reply = replyTo(controller, "0000DR0500088400000217030012");
    ASSERT_EQ(reply.size(), 51);
    EXPECT_EQ(positions(reply, 38, 41), "0012");
}

}  // namespace
}  // namespace ktsim
