// Reading and setting a controller's ID by its serial number.
#include "controller/controller_id.h"
#include "tests/controller/sim_link.h"

namespace {

using kt::test::SimLink;

TEST(ControllerId, ReadByIdAsksTheAddressAndFillsBothFields) {
    SimLink s({.family = 7, .address = "0012", .serial = "16031234"});
    const auto byId = kt::GetControllerId(s.link, "0012", true, "99999999");
    EXPECT_TRUE(byId.ok);
    EXPECT_EQ(byId.idText, "0012");
    EXPECT_EQ(byId.serialText, "16031234");

    // Before any Connect the address is 0000, where this controller is not.
    const auto before = kt::GetControllerId(s.link, "0000", true, "16031234");
    EXPECT_FALSE(before.ok);
    EXPECT_FALSE(before.idText);
    EXPECT_FALSE(before.serialText);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0012AS", "0000AS"}));
}

TEST(ControllerId, ReadByIdTakesOnlyTheTwentyOneByteReply) {
    // Family 4 answers "AS" with 20 bytes, which Connect accepts and this does not.
    SimLink s({.family = 4, .address = "012"});
    const auto result = kt::GetControllerId(s.link, "012", true, "16030001");
    EXPECT_EQ(s.link.ReplyLength(), 20);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.idText);
    EXPECT_FALSE(result.serialText);
}

TEST(ControllerId, SearchBySerialNumberWritesOnlyTheId) {
    SimLink s({.family = 7, .address = "0012", .serial = "16030001"});
    const auto found = kt::GetControllerId(s.link, "0000", false, "16030001");
    EXPECT_TRUE(found.ok);
    EXPECT_EQ(found.idText, "0012");
    EXPECT_FALSE(found.serialText);

    // Another serial number, and one typed short: sent as they are, unanswered.
    EXPECT_FALSE(kt::GetControllerId(s.link, "0000", false, "16030002").ok);
    EXPECT_FALSE(kt::GetControllerId(s.link, "0000", false, "1603").ok);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000AV16030001", "0000AV16030002", "0000AV1603"}));
}

TEST(ControllerId, SetIdBySerialNumberGivesTheControllerItsNewAddress) {
    SimLink s({.family = 7, .address = "0012", .serial = "16030001"});
    EXPECT_TRUE(kt::SetControllerIdBySerial(s.link, "16030001", "0002").ok);
    EXPECT_EQ(s.sim.config().address, "0002");
    // An empty new ID makes it the search request, which counts as well.
    EXPECT_TRUE(kt::SetControllerIdBySerial(s.link, "16030001", "").ok);
    EXPECT_FALSE(kt::SetControllerIdBySerial(s.link, "16039999", "0003").ok);
    EXPECT_EQ(s.sent(),
              (QList<QByteArray>{"0000AV160300010002", "0000AV16030001", "0000AV160399990003"}));
    EXPECT_EQ(s.sim.config().address, "0002");
}

}  // namespace
