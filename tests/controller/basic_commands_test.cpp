// The one-shot commands against the substitute controller: the exact texts it
// receives, the verdicts, and what the controller made of them.
#include "controller/basic_commands.h"
#include "controller/commands.h"
#include "tests/controller/sim_link.h"

#include <QElapsedTimer>
#include <QRegularExpression>

namespace {

using kt::LineSpeed;
using kt::test::SimLink;
using kt::test::StatusLog;

// A controller that restarts at once, so that one session can run every
// command behind a factory reset.
ktsim::DeviceConfig quickRestart() {
    return {.family = 7, .factoryResetMs = 0, .rebootMs = 0};
}

TEST(BasicCommands, BeforeConnectEverythingGoesToZeroOnTheCommonPath) {
    SimLink s(quickRestart());
    StatusLog status;
    EXPECT_TRUE(kt::FactoryReset(s.link, "0000", kt::Family::Unknown, status.recorder()).ok);
    EXPECT_TRUE(kt::Reboot(s.link, "0000", kt::Family::Unknown, status.recorder()).ok);
    const auto slow = kt::ChangeSpeed(s.link, "0000", kt::Family::Unknown, LineSpeed::Baud19200,
                                      status.recorder());
    EXPECT_TRUE(slow.ok);
    EXPECT_EQ(slow.speedBox, (kt::SpeedBoxSetting{QStringLiteral("19200,e,8,1"), 5}));
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000AR01", "0000AR00", "0000AE001002"}));
    EXPECT_EQ(status.texts, (QStringList{"Set factory", "Set reboot", "Set baudrate 19200,e,8,1"}));
    const ktsim::ControllerState state = s.sim.state();
    EXPECT_EQ(state.factoryResets, 1);
    EXPECT_EQ(state.reboots, 1);
}

TEST(BasicCommands, SpeedChangeTellsTheWindowTheNewSpeedOnlyOnSuccess) {
    SimLink s;
    StatusLog status;
    const auto fast = kt::ChangeSpeed(s.link, "0000", kt::Family::KT350, LineSpeed::Baud115200,
                                      status.recorder());
    EXPECT_TRUE(fast.ok);
    EXPECT_EQ(fast.speedBox, (kt::SpeedBoxSetting{QStringLiteral("115200,n,8,1"), 10}));
    EXPECT_EQ(s.sim.state().speed, "115200,n,8,1");
    EXPECT_EQ(status.texts, QStringList{"Set baudrate 115200,n,8,1"});

    // A reply of another length is no success and leaves the speed box alone.
    s.fault("AE:wronglen@1");
    const auto refused = kt::ChangeSpeed(s.link, "0000", kt::Family::KT350, LineSpeed::Baud19200);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.speedBox);
}

TEST(BasicCommands, FamilyFourCannotChangeSpeed) {
    SimLink s({.family = 4});
    StatusLog status;
    for (LineSpeed speed : {LineSpeed::Baud19200, LineSpeed::Baud115200}) {
        const auto result =
            kt::ChangeSpeed(s.link, "000", kt::Family::ThreeDigit, speed, status.recorder());
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.speedBox);
    }
    EXPECT_TRUE(s.sent().isEmpty());
    EXPECT_EQ(status.texts.size(), 2);
}

TEST(BasicCommands, FamilyFourRestartThatGetsAnOddReplyFailsAtOnce) {
    SimLink s({.family = 4});
    s.fault("AI,AJ:wronglen");  // 13 bytes where family 4 answers 12
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(kt::FactoryReset(s.link, "000", kt::Family::ThreeDigit).ok);
    EXPECT_FALSE(kt::Reboot(s.link, "000", kt::Family::ThreeDigit).ok);
    EXPECT_LT(clock.elapsed(), 2000) << "no restart wait after a failed first command";
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"000AI", "000AJ"}));
}

TEST(BasicCommands, SetDateTimeSendsTheClockAsFourteenDigits) {
    SimLink s;
    StatusLog status;
    const QDateTime march(QDate(2027, 3, 1), QTime(9, 5, 3));
    EXPECT_TRUE(kt::SetDateTime(s.link, "0000", status.recorder(), [&] { return march; }).ok);
    EXPECT_EQ(status.texts, QStringList{"Set date and time"});
    EXPECT_EQ(s.sent(), QList<QByteArray>{"0000AA20270301090503"});
    const QDateTime controllerClock = s.sim.state().clock;
    EXPECT_EQ(controllerClock.date(), march.date());
    EXPECT_LT(QTime(9, 5, 3).secsTo(controllerClock.time()), 5);

    // The PC's clock, read after the pause.
    s.sim.clearLog();
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    EXPECT_TRUE(kt::SetDateTime(s.link, "0000").ok);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const QByteArray text = s.sent().value(0);
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^0000AA\\d{14}$"))
                    .match(QString::fromLatin1(text))
                    .hasMatch())
        << text.constData();
    const QByteArray digits = text.mid(6);
    EXPECT_GE(digits, kt::command::DateTimeDigits(before));
    EXPECT_LE(digits, kt::command::DateTimeDigits(after));
}

TEST(BasicCommands, AlarmSendsTheIndexOfTheAlarmBox) {
    SimLink s;
    StatusLog status;
    EXPECT_TRUE(kt::AlarmTest(s.link, "0000", 6, status.recorder()).ok);  // "Duress Alarm"
    EXPECT_EQ(s.sim.state().alarm, 6);
    EXPECT_TRUE(kt::AlarmTest(s.link, "0000", 0).ok);  // "Alarm Off"
    EXPECT_EQ(s.sim.state().alarm, 0);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000JF6", "0000JF0"}));
    EXPECT_EQ(status.texts, QStringList{"Alarm test"});

    // Family 4's three-digit address makes the reply a byte shorter.
    SimLink four({.family = 4, .address = "012"});
    EXPECT_TRUE(kt::AlarmTest(four.link, "012", 3).ok);
    EXPECT_TRUE(kt::SetDateTime(four.link, "012").ok);
    EXPECT_EQ(four.link.ReplyLength(), 12);
    EXPECT_EQ(four.sim.state().alarm, 3);
}

TEST(BasicCommands, CommandTestSendsTheTextAsTypedAndShowsTheWholeReply) {
    SimLink s;
    // Nothing typed: the address alone, which no controller answers.
    const auto empty = kt::CommandTest(s.link, "0000", "");
    EXPECT_FALSE(empty.ok);
    EXPECT_FALSE(empty.receiveText);

    s.sim.setClock(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    const auto shown = kt::CommandTest(s.link, "0000", "AB");
    ASSERT_TRUE(shown.ok);
    ASSERT_TRUE(shown.receiveText);
    const QByteArray& frame = *shown.receiveText;
    EXPECT_EQ(frame.front(), kt::ETX);
    EXPECT_TRUE(
        frame.startsWith("\x03"
                         "0000AB2026120714050"))
        << frame.constData();
    EXPECT_EQ(frame.at(frame.size() - 6), kt::EOT);
    EXPECT_EQ(frame.back(), kt::CR);
    EXPECT_EQ(frame.size(), s.link.ReplyLength());

    // A reply that fails its checksum: the receive field keeps its text,
    // though the link's last frame is the rejected one.
    s.fault("JF:badcrc@1");
    const auto rejected = kt::CommandTest(s.link, "0000", "JF1");
    EXPECT_FALSE(rejected.ok);
    EXPECT_FALSE(rejected.receiveText);
    EXPECT_NE(s.link.ReplyText(), frame);

    EXPECT_FALSE(kt::CommandTest(s.link, "0000", "jf 1").ok);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000", "0000AB", "0000JF1", "0000jf 1"}));
}

}  // namespace
