// The one-shot buttons of the Test page, the speed presets, the controller
// command test and the Controller page, end to end against ktsim over the
// pseudo-terminal: the exact texts the controller received and what the
// window shows, keeps and stores.
#include "app/settings_store.h"
#include "controller/commands.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <string_view>

using namespace kttest;
using Played = ProbeTone::Played;
using Texts = QList<QByteArray>;

namespace {

// Back at once after a restart: the tool's own waits stay as they are.
ktsim::DeviceConfig quickRestart(int family, const QByteArray& address = {}) {
    ktsim::DeviceConfig config;
    config.family = family;
    config.address = address;
    config.factoryResetMs = 0;
    config.rebootMs = 0;
    return config;
}

class Commands : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
        const QString pty = sim_.startPty();
        ASSERT_FALSE(pty.isEmpty());
        useSerial(pty);
    }
    Texts sent() const { return sim_.requestLog(); }
    // Connect finds the controller; the log and the tones start afresh.
    void connectTo(const ktsim::DeviceConfig& config) {
        ASSERT_TRUE(sim_.setConfig(config));
        press("btnConnect");
        ASSERT_EQ(status(), "Command ok.");
        sim_.clearLog();
        tone_->played.clear();
    }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(name); }

    ktsim::SimThread sim_{quickRestart(7)};
};

TEST_F(Commands, BeforeConnectEveryCommandGoesToAddressZeroOnTheCommonPath) {
    child<QScrollBar>("sbID")->setValue(5);            // the ID selector plays no part
    child<QComboBox>("cmbAlarm")->setCurrentIndex(6);  // "Duress Alarm"
    StatusPainted shown(child<QLabel>("pnMsg"));
    const QByteArray before = kt::command::DateTimeDigits(QDateTime::currentDateTime());
    for (const char* button :
         {"btnSetDate", "btnAlarm", "btnInitial", "btnReboot", "btnSet19200"}) {
        if (button == std::string_view("btnInitial")) answerQuestion(Answer::Yes);
        press(button);
        EXPECT_EQ(status(), "Command ok.") << button;
        if (button == std::string_view("btnAlarm")) {
            EXPECT_EQ(sim_.state().alarm, 6);
        }
    }
    const QByteArray after = kt::command::DateTimeDigits(QDateTime::currentDateTime());

    const Texts log = sent();
    ASSERT_EQ(log.size(), 5);
    const QByteArray date = log[0].mid(6);
    EXPECT_TRUE(log[0].startsWith("0000AA")) << log[0].constData();
    EXPECT_EQ(date.size(), 14);
    EXPECT_GE(date, before);
    EXPECT_LE(date, after);
    EXPECT_EQ(log.mid(1), (Texts{"0000JF6", "0000AR01", "0000AR00", "0000AE001002"}));
    const ktsim::ControllerState state = sim_.state();
    EXPECT_EQ(state.factoryResets, 1);
    EXPECT_EQ(state.reboots, 1);

    // Each operation's title is painted while it runs.
    QStringList titles;
    for (const QString& text : shown.texts)
        if (text != "Connecting device ..." && text != "Command ok.") titles << text;
    EXPECT_EQ(titles, (QStringList{"Set date and time", "Alarm test", "Set factory", "Set reboot",
                                   "Set baudrate 19200,e,8,1"}));
    EXPECT_EQ(tone_->played, QList<Played>(5, {1000, 300, true}));
    EXPECT_EQ(window_->DeviceAddress(), "0000");
}

TEST_F(Commands, SetFactoryAsksFirstInEachLanguageAndASecondEnterSendsNothing) {
    const QStringList questions{"Set factory erases the controller's cards and settings. Go on?",
                                "设定出厂值会清除控制器的卡片与设定. 要继续吗?",
                                "設定出廠值會清除控制器的卡片與設定. 要繼續嗎?"};
    const char* menus[] = {"mnuEnglish", "mnuSimplified", "mnuTraditional"};
    for (int language = 0; language < 3; ++language) {
        child<QAction>(menus[language])->trigger();
        QString asked;
        answerQuestion(Answer::No, &asked);
        press("btnInitial");
        EXPECT_EQ(asked, questions[language]);
        EXPECT_FALSE(portOpenAsked_) << "the question comes before the port opens";
    }
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_TRUE(tone_->played.isEmpty());

    child<QAction>("mnuEnglish")->trigger();
    answerQuestion(Answer::Yes);
    press("btnInitial");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(sent(), Texts{"0000AR01"});

    // The focus stays on the button: a second Enter asks again, and Enter
    // there is No.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    child<QPushButton>("btnInitial")->setFocus();
    QString asked;
    answerQuestion(Answer::Enter, &asked);
    QTest::keyClick(window_.get(), Qt::Key_Return);
    waitIdle();
    EXPECT_EQ(asked, questions[0]);
    EXPECT_EQ(sent(), Texts{"0000AR01"});
    EXPECT_EQ(sim_.state().factoryResets, 1);
}

TEST_F(Commands, SpeedBoxFollowsASuccessfulChangeOnlyAndThePresetsSendNothing) {
    auto* speed = child<QComboBox>("cmbBaudrate");
    ASSERT_EQ(speed->currentText(), "19200,e,8,1");
    press("btnSet115200");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(speed->currentText(), "115200,n,8,1");
    EXPECT_EQ(speed->currentIndex(), 10);
    EXPECT_EQ(sim_.state().speed, "115200,n,8,1");
    // Asked at the old speed; the next operation opens at the new one.
    EXPECT_EQ(window_->link().port().ComBaudRate, "19200,e,8,1");

    ASSERT_TRUE(sim_.addFault("AE:wronglen@1"));
    press("btnSet19200");
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(window_->link().port().ComBaudRate, "115200,n,8,1");
    EXPECT_EQ(speed->currentText(), "115200,n,8,1");
    EXPECT_EQ(sent(), (Texts{"0000AE001400", "0000AE001002"}));

    const auto tones = tone_->played.size();
    press("btn19200");
    EXPECT_EQ(speed->currentText(), "19200,e,8,1");
    EXPECT_EQ(speed->currentIndex(), 5);
    press("btn115200");
    EXPECT_EQ(speed->currentText(), "115200,n,8,1");
    EXPECT_EQ(speed->currentIndex(), 10);
    EXPECT_EQ(tone_->played.size(), tones);
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(sent().size(), 2);
}

TEST_F(Commands, CommandTestShowsTheReplyVisiblyAndStoresThePortOnlyOnSuccess) {
    QLineEdit* recv = edit("edCommandRecv");
    StatusPainted shown(child<QLabel>("pnMsg"));
    edit("edCommandSend")->clear();
    press("btnCommand");  // the address alone, which no controller answers
    EXPECT_EQ(status(), "Command error! (no answer from the device)");
    EXPECT_TRUE(recv->text().isEmpty());
    EXPECT_EQ(kt::loadSettings(), kt::StoredSettings());

    sim_.setClock(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    edit("edCommandSend")->setText("AB");
    press("btnCommand");
    EXPECT_EQ(status(), "Command ok.");
    const QString frame = recv->text();
    // ETX, payload, EOT, four checksum digits, CR: every byte visible.
    EXPECT_TRUE(frame.startsWith(QStringLiteral("\u24030000AB2026120714"))) << frame.toStdString();
    EXPECT_EQ(frame.size(), window_->link().ReplyLength());
    EXPECT_EQ(frame.at(frame.size() - 6), QChar(0x2404));
    EXPECT_EQ(frame.back(), QChar(0x240D));
    const kt::StoredSettings stored = kt::loadSettings();
    EXPECT_EQ(stored.ComPortName, sim_.ptyPath());
    EXPECT_EQ(stored.type, 0);

    ASSERT_TRUE(sim_.addFault("JF:badcrc@1"));
    edit("edCommandSend")->setText("JF1");
    press("btnCommand");
    EXPECT_EQ(status(), "Command error! (bad checksum in the reply)");
    EXPECT_EQ(recv->text(), frame);
    EXPECT_EQ(sent(), (Texts{"0000", "0000AB", "0000JF1"}));
    // No title of its own: the prologue's text stays until the epilogue.
    EXPECT_EQ(QSet<QString>(shown.texts.begin(), shown.texts.end()),
              (QSet<QString>{"Connecting device ...", "Command error! (no answer from the device)",
                             "Command ok.", "Command error! (bad checksum in the reply)"}));
}

TEST_F(Commands, FamilyFourRefusesSpeedChangesAndFailsAnOddRestartAndReadByIdAtOnce) {
    connectTo(quickRestart(4, "012"));
    auto* speed = child<QComboBox>("cmbBaudrate");
    const QString speedBefore = speed->currentText();
    press("btnSet19200");
    press("btnSet115200");
    EXPECT_EQ(status(), "Command error!");
    EXPECT_TRUE(sent().isEmpty());
    // The port was opened all the same, and closed after the tone.
    EXPECT_EQ(tone_->played, QList<Played>(2, {300, 300, true}));
    EXPECT_FALSE(window_->link().isOpen());
    EXPECT_EQ(speed->currentText(), speedBefore);

    ASSERT_TRUE(sim_.addFault("AI:length=13@1"));
    QElapsedTimer clock;
    clock.start();
    answerQuestion(Answer::Yes);
    press("btnInitial");
    EXPECT_LT(clock.elapsed(), 2000) << "no restart wait after an odd first reply";
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(sent(), Texts{"012AI"});

    // The 20-byte "AS" reply that found this controller is no answer here.
    sim_.clearLog();
    edit("edCtrlByID")->setText("0001");
    edit("edCtrlBySN")->setText("99999999");
    press("btnGetCtrlID");
    EXPECT_EQ(sent(), Texts{"012AS"});
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(edit("edCtrlByID")->text(), "0001");
    EXPECT_EQ(edit("edCtrlBySN")->text(), "99999999");
}

TEST_F(Commands, ControllerIdBySerialNumber) {
    QLineEdit* id = edit("edCtrlByID");
    QLineEdit* serial = edit("edCtrlBySN");
    // By ID, before any Connect: the controller at 0000 fills both fields.
    id->setText("7777");
    serial->setText("00000000");
    press("btnGetCtrlID");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(id->text(), "0000");
    EXPECT_EQ(serial->text(), "16030001");

    // By S/N: only the ID is written; a serial number nobody owns gets no reply.
    child<QRadioButton>("rbCtrlBySN")->setChecked(true);
    id->setText("7777");
    press("btnGetCtrlID");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(id->text(), "0000");
    EXPECT_EQ(serial->text(), "16030001");
    serial->setText("1603");
    press("btnGetCtrlID");
    EXPECT_EQ(status(), "Command error! (no answer from the device)");
    EXPECT_EQ(id->text(), "0000");

    serial->setText("16030001");
    edit("edSetCtrlID")->setText("0002");
    press("btnSetCtrlBySN");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(sim_.config().address, "0002");
    // Only Connect moves the address: reading by ID still asks 0000.
    EXPECT_EQ(window_->DeviceAddress(), "0000");
    child<QRadioButton>("rbCtrlByID")->setChecked(true);
    press("btnGetCtrlID");
    EXPECT_EQ(status(), "Command error! (no answer from the device)");

    // No new ID: the text of the search, whose reply counts all the same.
    edit("edSetCtrlID")->clear();
    press("btnSetCtrlBySN");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(sent(), (Texts{"0000AS", "0000AV16030001", "0000AV1603", "0000AV160300010002",
                             "0000AS", "0000AV16030001"}));
}

}  // namespace
