// "DD" through the substitute controller to its V5 modules: the exact texts
// it receives, the verdicts, what the window is told to show, and what the
// bus made of it.
#include "modules/pass_through.h"
#include "modules/module_requests.h"
#include "tests/controller/sim_link.h"

namespace {

using kt::test::SimLink;
using ktsim::V5Module;

constexpr int kKtrb5 = 2;  // type index of "KTRB5/BR/CR" and "KTRB5/KT96"
constexpr int kKtprint = 5;

ktsim::DeviceConfig at0001(const QList<V5Module>& v5) {
    return {.address = "0001", .modules = {v5, {}}};
}

TEST(ModuleTypes, ListItemsPickTheirLetters) {
    const char letters[] = {'A', 'B', 'H', 'I', 'J', 'E'};
    for (int i = 0; i < kt::module::kTypeCount; ++i)
        EXPECT_EQ(kt::module::TypeLetter(i), letters[i]);
    EXPECT_FALSE(kt::module::TypeLetter(-1));
    EXPECT_FALSE(kt::module::TypeLetter(6));
}

TEST(ModuleCommandTest, SendsTypeIdAndCommandAndShowsTheWholeReply) {
    SimLink s(at0001({{'H', '1', "15030001"}, {'E', '2', "15030002"}}));
    const auto shown = kt::ModuleCommandTest(s.link, "0001", kKtrb5, "1", "B");
    EXPECT_TRUE(shown.ok);
    EXPECT_EQ(shown.receiveText, s.link.ReplyText());
    EXPECT_TRUE(
        shown.receiveText.value_or("").startsWith("\x03"
                                                  "0001DDH1BKTRB5"));

    // KTPRINT is "E", the last item, not the sixth letter.
    EXPECT_TRUE(kt::ModuleCommandTest(s.link, "0001", kKtprint, "2", "B").ok);

    // Nothing typed: address, "DD", letter and ID only, which no module
    // answers; the receive field keeps its text.
    const auto empty = kt::ModuleCommandTest(s.link, "0001", kKtrb5, "1", "");
    EXPECT_FALSE(empty.ok);
    EXPECT_FALSE(empty.receiveText);

    // A type outside the list sends nothing.
    EXPECT_FALSE(kt::ModuleCommandTest(s.link, "0001", 6, "1", "B").ok);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0001DDH1B", "0001DDE2B", "0001DDH1"}));
}

TEST(V5Modules, SerialReadTakesPositionsElevenToEighteenOfA24ByteReply) {
    SimLink s(at0001({{'H', '3', "15030003"}, {'H', '0', "15030000"}, {'E', '1', "15039999"}}));
    const auto third = kt::GetV5Serial(s.link, "0001", kKtrb5, "3");
    EXPECT_TRUE(third.ok);
    EXPECT_EQ(third.serialText, "15030003");
    EXPECT_EQ(third.receiveText, s.link.ReplyText());
    EXPECT_EQ(s.link.ReplyLength(), 24);

    // The list offers ID 0, sent as "0".
    EXPECT_EQ(kt::GetV5Serial(s.link, "0001", kKtrb5, "0").serialText, "15030000");
    EXPECT_EQ(kt::GetV5Serial(s.link, "0001", kKtprint, "1").serialText, "15039999");

    // An accepted reply of another length: shown, but the serial number
    // field stays as it is.
    s.fault("DD:wronglen@1");
    const auto odd = kt::GetV5Serial(s.link, "0001", kKtrb5, "3");
    EXPECT_FALSE(odd.ok);
    EXPECT_FALSE(odd.serialText);
    EXPECT_EQ(odd.receiveText, s.link.ReplyText());
    EXPECT_EQ(s.link.ReplyLength(), 25);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0001DDH3S", "0001DDH0S", "0001DDE1S", "0001DDH3S"}));
}

TEST(V5Modules, IdSettingBySerialNumberMovesTheModule) {
    SimLink s(at0001({{'H', '1', "16030001"}}));
    // Type index 2, serial number 16030001, new ID item 5 (index 4).
    const auto set = kt::SetV5IdBySerial(s.link, "0001", kKtrb5, "16030001", 4);
    EXPECT_TRUE(set.ok);
    EXPECT_EQ(set.receiveText, s.link.ReplyText());
    EXPECT_EQ(s.sim.modules().v5, (QList<V5Module>{{'H', '5', "16030001"}}));
    EXPECT_EQ(kt::GetV5Serial(s.link, "0001", kKtrb5, "5").serialText, "16030001");
    EXPECT_FALSE(kt::GetV5Serial(s.link, "0001", kKtrb5, "1").ok);

    // A serial number typed short goes as typed and finds nobody.
    EXPECT_FALSE(kt::SetV5IdBySerial(s.link, "0001", kKtrb5, "1603", 0).ok);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0001DDH0C160300015", "0001DDH5S", "0001DDH1S",
                                           "0001DDH0C16031"}));
}

TEST(V5Modules, FamilyFourRepliesKeepTheirPositions) {
    SimLink s({.family = 4, .address = "012", .modules = {{{'J', '2', "15030002"}}, {}}});
    const auto read = kt::GetV5Serial(s.link, "012", 4, "2");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.serialText, "15030002");
}

}  // namespace
