#include "sim/device/controller.h"
#include "sim/transport/request_parser.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

namespace ktsim {
namespace {

using test::positions;
using test::replyTo;

// How the tool's Connect tells the family from a 29-byte "DB" reply.
int familyFromIdentity(const QByteArray& frame) {
    const QByteArray model = positions(frame, 8, 12);
    const QByteArray code = positions(frame, 16, 17);
    if (model == "KT740") return 6;
    if (model == "KT350") return 7;
    if (model == "KT460" || model == "KT380") return 8;
    if (model == "KT660") return 9;
    if (code == "V5" || code == "R5") return 3;
    if (code == "V4" || code == "R4") return 2;
    if (code == "V2") return 5;
    if (code == "V3" || code == "R3") return 1;
    return 0;
}

class FourDigitFamily : public ::testing::TestWithParam<int> {};

TEST_P(FourDigitFamily, IdentifiesItselfInTheLengthsAndPositionsTheToolReads) {
    const int family = GetParam();
    Controller controller(DeviceConfig{.family = family, .address = "0012", .serial = "16031234"});

    const QByteArray ac = replyTo(controller, "0000AC");
    ASSERT_TRUE(kt::CheckCrcReply(ac.constData(), static_cast<int>(ac.size())));
    EXPECT_EQ(ac.size(), family == 8 ? 15 : 17);
    EXPECT_EQ(positions(ac, 2, 5), "0012");
    EXPECT_EQ(replyTo(controller, "0012AC"), ac);

    const QByteArray db = replyTo(controller, "0012DB");
    ASSERT_EQ(db.size(), 29);
    EXPECT_EQ(familyFromIdentity(db), family);

    const QByteArray as = replyTo(controller, "0012AS");
    ASSERT_EQ(as.size(), 21);
    EXPECT_EQ(positions(as, 2, 5), "0012");
    EXPECT_EQ(positions(as, 8, 15), "16031234");
}

INSTANTIATE_TEST_SUITE_P(Families, FourDigitFamily, ::testing::Values(1, 2, 3, 5, 6, 7, 8, 9));

TEST(Controller, ModelAndVersionOptionsDecideTheFamilyTheToolSees) {
    Controller kt380(DeviceConfig{.family = 8, .model = "KT380", .versionCode = "Q1"});
    EXPECT_EQ(familyFromIdentity(replyTo(kt380, "0000DB")), 8);
    Controller r4(DeviceConfig{.family = 2, .versionCode = "R4"});
    EXPECT_EQ(familyFromIdentity(replyTo(r4, "0000DB")), 2);
    Controller v6(DeviceConfig{.family = 2, .versionCode = "V6"});
    EXPECT_EQ(familyFromIdentity(replyTo(v6, "0000DB")), 0);

    Controller longAc(DeviceConfig{.family = 8, .acReplyLength = 17});
    EXPECT_EQ(replyTo(longAc, "0000AC").size(), 17);
}

TEST(Controller, AnswersOnlyItsOwnAddressAndTheSearchAddresses) {
    Controller controller(DeviceConfig{.family = 7, .address = "0012"});
    EXPECT_TRUE(replyTo(controller, "0013AC").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0000DB").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0000AS").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0012ZZ").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0012ACX").isEmpty());
    EXPECT_TRUE(replyTo(controller, "000AS").isEmpty());
}

TEST(Controller, FamilyFourIsFoundByAsAndDescribedByAv) {
    Controller controller(DeviceConfig{.family = 4, .address = "012", .serial = "40000007"});
    EXPECT_TRUE(replyTo(controller, "0000AC").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0012AC").isEmpty());
    EXPECT_TRUE(replyTo(controller, "001AS").isEmpty());
    EXPECT_TRUE(replyTo(controller, "012DB").isEmpty());

    for (const char* search : {"000AS", "012AS"}) {
        const QByteArray as = replyTo(controller, search);
        ASSERT_EQ(as.size(), 20) << search;
        EXPECT_EQ(positions(as, 2, 4), "012");
        EXPECT_EQ(positions(as, 7, 14), "40000007");
    }
    const QByteArray av = replyTo(controller, "012AV");
    ASSERT_EQ(av.size(), 20);
    EXPECT_EQ(positions(av, 7, 14), "V2.13.08");

    controller.setConfig(DeviceConfig{.family = 4, .address = "012", .avReplyLength = 28});
    const QByteArray longAv = replyTo(controller, "012AV");
    ASSERT_EQ(longAv.size(), 28);
    EXPECT_EQ(positions(longAv, 7, 22), "KT410XB V2.13.08");
}

TEST(Controller, FindsAndReaddressesByItsSerialNumber) {
    Controller controller(DeviceConfig{.family = 7, .address = "0012", .serial = "16030001"});
    const QByteArray found = replyTo(controller, "0000AV16030001");
    ASSERT_EQ(found.size(), 17);
    EXPECT_EQ(positions(found, 2, 5), "0012");
    EXPECT_TRUE(replyTo(controller, "0000AV16030002").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0000AV1603000").isEmpty());
    EXPECT_TRUE(replyTo(controller, "0000AV16030001002").isEmpty());
    EXPECT_EQ(controller.address(), "0012");

    const QByteArray moved = replyTo(controller, "0000AV160300010002");
    ASSERT_EQ(moved.size(), 17);
    EXPECT_EQ(positions(moved, 2, 5), "0002");
    EXPECT_TRUE(replyTo(controller, "0012DB").isEmpty());
    EXPECT_EQ(replyTo(controller, "0002DB").size(), 29);
    EXPECT_EQ(positions(replyTo(controller, "0000AC"), 2, 5), "0002");
}

TEST(Controller, AnswersXorRequestsInTheStyleTheCommandNames) {
    // The loader dialogue's shape: an addressed ETX-reply command, an
    // unaddressed STX-reply one, and a longer CRC command next to them.
    Controller controller(DeviceConfig{.address = "0001"});
    auto echo = [](const CommandContext& c) -> std::optional<QByteArray> {
        return c.address + c.letters + "|" + c.args;
    };
    controller.registry().add({"A", echo, {}, true, RequestStyle::Xor, kt::FrameStyle::EtxReply});
    controller.registry().add({"R", echo, {}, false, RequestStyle::Xor, kt::FrameStyle::StxReply});
    controller.registry().add({"Zp", echo});
    controller.registry().add({"Z", echo});

    auto xorAnswer = [&](QByteArrayView text) {
        return controller.answer(RequestParser::classify(*kt::BuildXorRequest(text)));
    };
    const auto handshake = xorAnswer("0001A");
    ASSERT_TRUE(handshake);
    EXPECT_EQ(handshake->style, kt::FrameStyle::EtxReply);
    EXPECT_EQ(handshake->payload, "0001A|");
    const auto readBack = xorAnswer("R00c0");
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->style, kt::FrameStyle::StxReply);
    EXPECT_EQ(readBack->payload, "R|00c0");
    EXPECT_FALSE(xorAnswer("0002A"));
    EXPECT_TRUE(replyTo(controller, "0001A").isEmpty());

    EXPECT_EQ(positions(replyTo(controller, "0001Zp0200"), 2, 12), "0001Zp|0200");
    EXPECT_EQ(positions(replyTo(controller, "0001Zx"), 2, 8), "0001Z|x");
}

TEST(DeviceConfig, RefusesFieldsThatWouldBreakTheReplyLayouts) {
    EXPECT_EQ(DeviceConfig{}.validate(), QString());
    EXPECT_FALSE(DeviceConfig{.family = 0}.validate().isEmpty());
    EXPECT_FALSE((DeviceConfig{.family = 4, .address = "0012"}).validate().isEmpty());
    EXPECT_FALSE(DeviceConfig{.address = "012"}.validate().isEmpty());
    EXPECT_FALSE(DeviceConfig{.serial = "1603000\r"}.validate().isEmpty());
    EXPECT_FALSE(DeviceConfig{.model = "KT35"}.validate().isEmpty());
    EXPECT_FALSE(DeviceConfig{.acReplyLength = 16}.validate().isEmpty());
}

}  // namespace
}  // namespace ktsim
