// The module bus behind "DD" and "DR": the requests its modules refuse,
// colliding IDs, and the modules named on ktsim's command line. The module
// operation tests cover the replies the tool accepts.
#include "sim/program/options.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

namespace ktsim {
namespace {

using test::positions;
using test::replyTo;

V7Module v7(quint16 id, const char* serial) {
    V7Module m;
    m.id = id;
    m.serial = serial;
    return m;
}

DeviceConfig withBus(const ModuleBus& bus) {
    return {.family = 7, .modules = bus};
}

TEST(ModuleBus, RequestsOutsideTheirFormsGetNoReply) {
    Controller controller(withBus({{{'H', '1', "15030001"}}, {v7(1, "17030001")}}));
    // Each a slip the tool could make; the operation tests cover nobody at
    // an address.
    for (const char* text : {
             "0000DDH1X",                 // no such V5 command
             "0000DDH1C150300015",        // ID setting outside the "0" place
             "0000DR050007880000010001",  // length field one pair off
             "0000DR05000688000001000a",  // ID in lower case
             "0000DR050006880001010001",  // no such register
             "0000DR050006860000010001",  // no such addressing
             // The ID setting needs the serial number twice.
             "0000DR05001084000002"
             "17030001170300020002"
             "0000",
         })
        EXPECT_TRUE(replyTo(controller, text).isEmpty()) << text;
    EXPECT_EQ(controller.config().modules,
              (ModuleBus{{{'H', '1', "15030001"}}, {v7(1, "17030001")}}));
}

TEST(ModuleBus, ModulesSharingAnIdDrownEachOtherOut) {
    Controller controller(withBus({{{'H', '1', "15030001"}, {'H', '1', "15030002"}},
                                   {v7(1, "17030001"), v7(1, "17030002")}}));
    EXPECT_TRUE(replyTo(controller, "0000DDH1S").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0000DR050006880000010001").isEmpty());

    // Moved apart by serial number, each answers at its own ID.
    EXPECT_EQ(replyTo(controller, "0000DDH0C150300022").size(), 25);
    EXPECT_EQ(positions(replyTo(controller, "0000DDH2S"), 11, 18), "15030002");
    EXPECT_EQ(replyTo(controller,
                      "0000DR05001084000002"
                      "17030002170300020002"
                      "0000")
                  .size(),
              51);
    EXPECT_EQ(positions(replyTo(controller, "0000DR050006880000010001"), 30, 37), "17030001");
    EXPECT_EQ(positions(replyTo(controller, "0000DR050006880000010002"), 30, 37), "17030002");
}

TEST(KtsimOptions, ModulesOnTheCommandLineReplaceTheDemonstrationBus) {
    const auto parse = [](QStringList extra) {
        return parseOptions(QStringList{QStringLiteral("ktsim"), QStringLiteral("--pty")} + extra);
    };
    EXPECT_EQ(parse({}).options.config.modules, ModuleBus::demo());

    const ParsedOptions parsed =
        parse({QStringLiteral("--v5=E:0:15039999"), QStringLiteral("--v7=0:17030000"),
               QStringLiteral("--v7"), QStringLiteral("65535:1703FFFF")});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.config.modules,
              (ModuleBus{{{'E', '0', "15039999"}}, {v7(0, "17030000"), v7(0xFFFF, "1703FFFF")}}));

    for (const char* bad : {"--v5=K:1:15030001", "--v5=H:12:15030001", "--v5=H:1",
                            "--v7=65536:17030001", "--v7=1:170300011", "--v7=17030001"}) {
        EXPECT_FALSE(parse({QLatin1String(bad)}).error.isEmpty()) << bad;
    }
}

}  // namespace
}  // namespace ktsim
