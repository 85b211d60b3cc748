// "DR" through the substitute controller to its V7 modules: the exact
// texts, the verdicts, what the V7 page is told to show, and what the
// modules now hold.
#include "modules/v7_registers.h"
#include "tests/controller/sim_link.h"

namespace {

using kt::CardTypeBoxes;
using kt::CardTypeSettings;
using kt::test::SimLink;
using ktsim::V7Module;

constexpr CardTypeBoxes kNoBoxes{false, false, false, false, false, false};

ktsim::DeviceConfig at0001(const QList<V7Module>& v7) {
    return {.address = "0001", .modules = {{}, v7}};
}

V7Module reader(quint16 id, const char* serial) {
    V7Module m;
    m.id = id;
    m.serial = serial;
    return m;
}

TEST(V7Identity, ReadsSerialByIdAndIdBySerial) {
    SimLink s(at0001({reader(0, "17030000"), reader(8, "17030008")}));
    const auto first = kt::GetV7SerialOrId(s.link, "0001", true, 0, "ignored!");
    EXPECT_TRUE(first.ok);
    EXPECT_EQ(first.serialText, "17030000");
    EXPECT_FALSE(first.idIndex);
    EXPECT_EQ(first.receiveText, s.link.ReplyText());
    EXPECT_EQ(kt::GetV7SerialOrId(s.link, "0001", true, 8, "").serialText, "17030008");

    const auto found = kt::GetV7SerialOrId(s.link, "0001", false, 3, "17030008");
    EXPECT_TRUE(found.ok);
    EXPECT_EQ(found.idIndex, 8);
    EXPECT_FALSE(found.serialText);
    EXPECT_EQ(s.link.ReplyLength(), 51);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0001DR050006880000010000", "0001DR050006880000010008",
                                           "0001DR0500088400000217030008"}));
}

TEST(V7Identity, AnIdThatIsNoListItemIsAnError) {
    // ID 9 answers '9' at position 41: no item of 0 to 8. (The ID is one
    // decimal digit there, so 9 is the one digit without an item.)
    SimLink s(at0001({reader(9, "17030009")}));
    for (const char* serial : {"17030009"}) {
        const auto result = kt::GetV7SerialOrId(s.link, "0001", false, 1, serial);
        EXPECT_FALSE(result.ok) << serial;
        EXPECT_FALSE(result.idIndex) << serial;
        EXPECT_EQ(result.receiveText, s.link.ReplyText()) << serial;
        EXPECT_EQ(s.link.ReplyLength(), 51);
    }

    // A reply of another length is shown and nothing else changes.
    s.fault("DR:wronglen@1");
    const auto odd = kt::GetV7SerialOrId(s.link, "0001", true, 9, "");
    EXPECT_FALSE(odd.ok);
    EXPECT_FALSE(odd.serialText);
    EXPECT_EQ(odd.receiveText, s.link.ReplyText());
}

TEST(V7Identity, IdSettingRepeatsTheSerialNumberAndMovesTheModule) {
    SimLink s(at0001({reader(1, "16030001")}));
    const auto set = kt::SetV7IdBySerial(s.link, "0001", "16030001", 1);  // item "2"
    EXPECT_TRUE(set.ok);
    EXPECT_EQ(set.receiveText, s.link.ReplyText());
    ASSERT_EQ(s.sim.modules().v7.size(), 1);
    EXPECT_EQ(s.sim.modules().v7.front().id, 2);

    // Found under its new ID, no longer under its old one.
    EXPECT_EQ(kt::GetV7SerialOrId(s.link, "0001", true, 2, "").serialText, "16030001");
    EXPECT_EQ(kt::GetV7SerialOrId(s.link, "0001", false, 0, "16030001").idIndex, 2);
    EXPECT_FALSE(kt::GetV7SerialOrId(s.link, "0001", true, 1, "").ok);

    // Item "8" goes as 0008.
    EXPECT_TRUE(kt::SetV7IdBySerial(s.link, "0001", "16030001", 7).ok);
    EXPECT_EQ(s.sim.modules().v7.front().id, 8);
    const QList<QByteArray> sent = s.sent();
    EXPECT_EQ(sent.value(0),
              "0001DR05001084000002"
              "16030001160300010002"
              "0000");
    EXPECT_EQ(sent.value(4),
              "0001DR05001084000002"
              "16030001160300010008"
              "0000");
}

TEST(V7CardType, WriteSendsThePageAndShowsTheReply) {
    SimLink s(at0001({reader(1, "17030001")}));
    const auto initial = kt::SetV7CardType(s.link, "0001", 1, CardTypeSettings{});
    EXPECT_TRUE(initial.ok);
    EXPECT_EQ(initial.receiveText, s.link.ReplyText());
    EXPECT_EQ(initial.shown, (kt::CardTypeShown{"10", CardTypeBoxes{}, true}));

    // Everything off with delay 0; then delay 255 and only Reset.
    const auto off = kt::SetV7CardType(s.link, "0001", 1, {"0", kNoBoxes, false, false});
    EXPECT_EQ(off.shown, (kt::CardTypeShown{"0", kNoBoxes, false}));
    const auto slow = kt::SetV7CardType(s.link, "0001", 1, {"255", kNoBoxes, false, true});
    EXPECT_TRUE(slow.ok);
    EXPECT_EQ(slow.shown.value_or(kt::CardTypeShown{}).sameCardText, "255");
    const V7Module held = s.sim.modules().v7.value(0);
    EXPECT_EQ(held.delay, 0x00FF);
    EXPECT_EQ(held.mode, 0x0002);

    // Nothing numeric typed: the fallback words, whatever the boxes say;
    // the controls then show what the reader answered.
    const auto fallback = kt::SetV7CardType(
        s.link, "0001", 1, {"", {true, true, true, true, true, true}, false, false});
    EXPECT_TRUE(fallback.ok);
    EXPECT_EQ(fallback.shown, (kt::CardTypeShown{"10", kNoBoxes, true}));

    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0001DR05000E88000203"
                                           "0001"
                                           "0041000A00030000",
                                           "0001DR05000E88000203"
                                           "0001"
                                           "0000000000000000",
                                           "0001DR05000E88000203"
                                           "0001"
                                           "000000FF00020000",
                                           "0001DR05000E88000203"
                                           "0001"
                                           "0000000A00010000"}));
}

TEST(V7CardType, DelayOutsideSixteenBitsSendsNothing) {
    SimLink s(at0001({reader(1, "17030001")}));
    const auto refused = kt::SetV7CardType(s.link, "0001", 1, {"-1", kNoBoxes, false, false});
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.receiveText);
    EXPECT_FALSE(refused.shown);
    EXPECT_TRUE(s.sent().isEmpty());
    EXPECT_EQ(s.sim.modules().v7.value(0), reader(1, "17030001"));
}

TEST(V7CardType, ReadShowsTheRegistersButNeverReset) {
    V7Module odd = reader(0, "17030000");
    odd.flags = 0x0008;  // no box of ours
    odd.delay = 0x00FF;
    odd.mode = 0x0002;  // Reset without Green Mode
    SimLink s(at0001({odd}));
    const auto read = kt::GetV7CardType(s.link, "0001", 0);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.shown, (kt::CardTypeShown{"255", kNoBoxes, false}));
    EXPECT_EQ(s.sent(), QList<QByteArray>{"0001DR050006880002030000"});

    // The same words in a reply one byte too long: shown, not taken.
    s.fault("DR:wronglen@1");
    const auto longer = kt::GetV7CardType(s.link, "0001", 0);
    EXPECT_FALSE(longer.ok);
    EXPECT_FALSE(longer.shown);
    EXPECT_EQ(longer.receiveText, s.link.ReplyText());
}

TEST(V7CardType, UnreadableWordsChangeNothingAndFail) {
    V7Module noisy = reader(1, "17030001");
    noisy.noisyWords = true;  // flags and delay fine, the mode word not
    SimLink s(at0001({noisy}));
    const auto unreadable = [&s](const kt::CardTypeResult& result) {
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.shown);
        EXPECT_EQ(result.receiveText, s.link.ReplyText());
        EXPECT_EQ(s.link.ReplyLength(), 47);
    };
    unreadable(kt::GetV7CardType(s.link, "0001", 1));
    unreadable(kt::SetV7CardType(s.link, "0001", 1, {"20", kNoBoxes, true, true}));
    EXPECT_EQ(s.sim.modules().v7.value(0).delay, 20) << "the write itself arrived";

    // A reply of the right length that ends early at a zero byte has no words either.
    SimLink z(at0001({reader(1, "17030001")}));
    z.fault("DR:zerobyte@1");
    const auto cut = kt::GetV7CardType(z.link, "0001", 1);
    EXPECT_FALSE(cut.ok);
    EXPECT_FALSE(cut.shown);
    EXPECT_EQ(z.link.ReplyLength(), 47);
}

}  // namespace
