// The digital I/O test loop: outputs from the boxes, lamps from the replies,
// the end-of-test command, and cancelling after a given pass.
#include "controller/dido_test.h"
#include "tests/controller/sim_link.h"

#include <QMap>
#include <QSet>

namespace {

using kt::test::SimLink;

// Plays the window: boxes ticked as told, lamps remembered, TestRunning
// cleared after `passes` passes. onPass runs at the start of each pass.
struct Window {
    int passes = 1;
    QSet<int> ticked;
    QMap<int, bool> lamps;  // last state reported per input
    QList<int> reported;    // inputs in the order reported
    QStringList status;
    int asked = 0;
    std::function<void(int pass)> onPass;

    kt::DidoObserver observer() {
        return {
            .showStatus = [this](const char* text) { status.append(QString::fromUtf8(text)); },
            .keepRunning =
                [this] {
                    if (asked == passes) return false;
                    if (onPass) onPass(asked);
                    ++asked;
                    return true;
                },
            .outputChecked = [this](int output) { return ticked.contains(output); },
            .inputRead =
                [this](int input, bool active) {
                    lamps[input] = active;
                    reported.append(input);
                },
            .silenceChanged = {},
        };
    }
};

QList<QByteArray> repeated(const QList<QByteArray>& pass, int times) {
    QList<QByteArray> all;
    for (int i = 0; i < times; ++i) all += pass;
    return all;
}

TEST(DigitalIo, CommonSetReadsAllEightInputsAndSendsNothingForUntickedBoxes) {
    SimLink s({.family = 7});
    s.sim.setInputs(0b10000101);  // inputs 1, 3 and 8
    Window w;
    w.passes = 3;
    // Family 0, before any Connect, takes the common set.
    const auto result = kt::DidoTest(s.link, "0000", kt::Family::Unknown, w.observer());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.passes, 3);
    EXPECT_EQ(w.status, QStringList{"DIDO test"});
    EXPECT_EQ(s.sent(), (repeated({"0000DG0"}, 3) + QList<QByteArray>{"0000JD"}));
    EXPECT_EQ(w.reported.size(), 24);
    const QMap<int, bool> expected{{1, true},  {2, false}, {3, true},  {4, false},
                                   {5, false}, {6, false}, {7, false}, {8, true}};
    EXPECT_EQ(w.lamps, expected);
}

TEST(DigitalIo, CommonSetSwitchesTickedOutputsEveryPassUntilTheEnd) {
    SimLink s({.family = 2});
    Window w;
    w.passes = 3;
    w.ticked = {2, 4};
    quint8 outputsDuringTest = 0;
    w.onPass = [&](int pass) {
        if (pass == 1) outputsDuringTest = s.sim.state().outputs;
        if (pass == 2) w.ticked = {1};  // the technician changes the boxes mid-run
    };
    kt::DidoTest(s.link, "0000", kt::Family::V4, w.observer());
    const QList<QByteArray> twoAndFour{"0000JC00210002", "0000JC00410002", "0000DG0"};
    const QList<QByteArray> oneAndEnd{"0000JC00110002", "0000DG0", "0000JD"};
    EXPECT_EQ(s.sent(), repeated(twoAndFour, 2) + oneAndEnd);
    EXPECT_EQ(outputsDuringTest, 0b1010);
    EXPECT_EQ(s.sim.state().outputs, 0) << "the end of the test switches every output off";
}

TEST(DigitalIo, FamilyFourSwitchesEveryOutputAndReadsInputsInTwoParts) {
    SimLink s({.family = 4, .address = "012"});
    s.sim.setInputs(0b11111111);
    Window w;
    w.passes = 2;
    quint8 outputsDuringTest = 0xFF;
    w.onPass = [&](int pass) {
        if (pass == 1) outputsDuringTest = s.sim.state().outputs;
    };
    kt::DidoTest(s.link, "012", kt::Family::ThreeDigit, w.observer());
    const QList<QByteArray> pass{"012JD10", "012JD20", "012JD30", "012IE", "012DF"};
    EXPECT_EQ(s.sent(), (repeated(pass, 2) + QList<QByteArray>{"012JE"}));
    EXPECT_EQ(outputsDuringTest, 0);
    // Inputs 5 and 6 do not exist on family 4.
    EXPECT_EQ(w.lamps.keys(), (QList<int>{1, 2, 3, 4, 7, 8}));
    EXPECT_EQ(w.reported.size(), 12);

    s.sim.clearLog();
    Window ticked;
    ticked.ticked = {1, 3};
    kt::DidoTest(s.link, "012", kt::Family::ThreeDigit, ticked.observer());
    EXPECT_EQ(s.sent().mid(0, 3), (QList<QByteArray>{"012JD11", "012JD20", "012JD31"}));
}

TEST(DigitalIo, LampsComeOnlyFromRepliesOfTheirLength) {
    SimLink s({.family = 4});
    s.sim.setInputs(0b10001001);  // inputs 1, 4 and 8

    // An "IE" reply carrying an event is longer; the inputs are where they were.
    ASSERT_TRUE(s.sim.pushEvent({}));
    Window withEvent;
    kt::DidoTest(s.link, "000", kt::Family::ThreeDigit, withEvent.observer());
    const QMap<int, bool> expected{{1, true}, {2, false}, {3, false},
                                   {4, true}, {7, false}, {8, true}};
    EXPECT_EQ(withEvent.lamps, expected);

    // 40 bytes is neither length: lamps 1 to 4 stay as they are.
    s.fault("IE:length=40");
    Window odd;
    odd.passes = 2;
    kt::DidoTest(s.link, "000", kt::Family::ThreeDigit, odd.observer());
    EXPECT_EQ(odd.reported, (QList<int>{7, 8, 7, 8}));

    // No "DG0" reply in the first pass: the loop goes on.
    SimLink common({.family = 7});
    common.fault("DG:silent@1");
    Window missing;
    missing.passes = 2;
    kt::DidoTest(common.link, "0000", kt::Family::KT350, missing.observer());
    EXPECT_EQ(missing.reported.size(), 8);
    EXPECT_EQ(common.sent().size(), 3);
}

}  // namespace
