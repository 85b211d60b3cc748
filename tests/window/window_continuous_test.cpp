// The DIDO and polling tests from the window, against ktsim over the
// pseudo-terminal: started and cancelled by their button, the lamps, boxes
// and panels, the other operations blocked meanwhile, and closing the
// window while a test runs.
#include "app/window/lamp.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>

using namespace kttest;
using Played = ProbeTone::Played;
using Texts = QList<QByteArray>;

namespace {

const QColor kYellow(Qt::yellow);
const QColor kWhite(Qt::white);

ktsim::DeviceConfig controller(int family, const QByteArray& address = {}) {
    ktsim::DeviceConfig config;
    config.family = family;
    config.address = address;
    return config;
}

// Every device button of every page.
const char* const kDeviceButtons[] = {
    "btnConnect",       "btnSetDate",   "btnAlarm",   "btnDIDO",    "btnPooling",
    "btnSet19200",      "btnSet115200", "btnReboot",  "btnInitial", "btnGetCtrlID",
    "btnSetCtrlBySN",   "btnFirmware",  "btnV7SnId",  "btnV7SetId", "btnV7SetCardType",
    "btnV7GetCardType", "btnV5GetSn",   "btnV5SetId", "btnCommand", "btnModuleCommand"};

class ContinuousTests : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
        const QString pty = sim_.startPty();
        ASSERT_FALSE(pty.isEmpty());
        useSerial(pty);
    }
    void connectTo(const ktsim::DeviceConfig& config) {
        ASSERT_TRUE(sim_.setConfig(config));
        press("btnConnect");
        ASSERT_EQ(status(), "Command ok.");
        sim_.clearLog();
        tone_->played.clear();
    }
    Texts sent() const { return sim_.requestLog(); }
    int count(const QByteArray& text) const { return static_cast<int>(sent().count(text)); }
    // Presses the button once the controller has received `text` `times` times.
    std::function<bool()> pressAfter(const char* button, const QByteArray& text, int times) {
        return [=, this] {
            if (count(text) < times) return false;
            child<QPushButton>(button)->click();
            return true;
        };
    }
    QColor input(int n) const {
        return child<kt::Lamp>(QStringLiteral("shDI%1").arg(n).toLatin1())->fillColor();
    }
    QList<QColor> inputs() const {
        QList<QColor> lamps;
        for (int n = 1; n <= 8; ++n) lamps << input(n);
        return lamps;
    }
    bool tabVisible(const char* page) const {
        auto* pages = child<QTabWidget>("pcMain");
        return pages->isTabVisible(pages->indexOf(child(page)));
    }
    // The test wound down: one high tone with the port still open, then closed.
    void expectEnded(const char* button, const QString& caption) {
        EXPECT_EQ(status(), "Command ok.");
        EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));
        EXPECT_FALSE(window_->link().isOpen());
        EXPECT_FALSE(window_->TestRunning());
        EXPECT_FALSE(window_->operationRunning());
        EXPECT_EQ(child<QPushButton>(button)->text(), caption);
        EXPECT_TRUE(tabVisible("tsCommand"));
        EXPECT_FALSE(tabVisible("tsFunction"));
        EXPECT_FALSE(tabVisible("tsFirmware"));
        for (const char* name : kDeviceButtons) EXPECT_TRUE(child(name)->isEnabled()) << name;
    }

    ktsim::SimThread sim_;
};

TEST_F(ContinuousTests, DidoShowsInputsSwitchesTickedOutputsAndCancelsAfterThePass) {
    sim_.setInputs(0b10000101);  // inputs 1, 3 and 8
    QList<QColor> lampsSeen;
    QString captionSeen;
    bool commandTabSeen = true;
    bool enabledSeen = false;
    quint8 outputsSeen = 0;
    auto* doTwo = child<QCheckBox>("chkDO2");
    pressDuring("btnDIDO", [&] {
        if (count("0000DG0") >= 2 && !doTwo->isChecked()) {
            lampsSeen = inputs();
            captionSeen = child<QPushButton>("btnDIDO")->text();
            commandTabSeen = tabVisible("tsCommand");
            enabledSeen = window_->isEnabled() && QApplication::overrideCursor() == nullptr;
            doTwo->setChecked(true);  // ticked mid-run: sent from the next pass on
        }
        if (count("0000JC00210002") < 2) return false;
        outputsSeen = sim_.state().outputs;
        child<QPushButton>("btnDIDO")->click();  // cancel: sends nothing itself
        return true;
    });

    // Passes of "DG0" alone while no box is ticked, then the ticked output
    // before each "DG0"; the pass under way when cancelled runs to its end,
    // then the end of the test.
    const Texts log = sent();
    const auto ticked = log.indexOf("0000JC00210002");
    ASSERT_GE(ticked, 2) << log.join(' ').constData();
    EXPECT_EQ(log.mid(0, ticked), Texts(ticked, "0000DG0"));
    ASSERT_EQ((log.size() - ticked) % 2, 1) << log.join(' ').constData();
    for (auto i = ticked; i + 1 < log.size(); i += 2)
        EXPECT_EQ(log.mid(i, 2), (Texts{"0000JC00210002", "0000DG0"}));
    EXPECT_EQ(log.back(), "0000JD");
    EXPECT_EQ(outputsSeen, 0b0010);
    EXPECT_EQ(sim_.state().outputs, 0);

    EXPECT_EQ(lampsSeen,
              (QList<QColor>{kYellow, kWhite, kYellow, kWhite, kWhite, kWhite, kWhite, kYellow}));
    EXPECT_EQ(captionSeen, "Cancel test");
    EXPECT_FALSE(commandTabSeen);
    EXPECT_TRUE(enabledSeen);
    // Afterwards nothing is left lit or ticked.
    EXPECT_EQ(inputs(), QList<QColor>(8, kWhite));
    EXPECT_FALSE(doTwo->isChecked());
    expectEnded("btnDIDO", "DIDO test");
}

TEST_F(ContinuousTests, FamilyFourSwitchesEveryOutputAndIgnoresAnOddInputReply) {
    connectTo(controller(4, "012"));
    sim_.setInputs(0b11001111);                  // inputs 1 to 4, 7 and 8
    ASSERT_TRUE(sim_.addFault("IE:length=40"));  // neither 32 nor 52 bytes
    QList<QColor> lampsSeen;
    pressDuring("btnDIDO", [&] {
        if (count("012DF") < 2) return false;
        lampsSeen = inputs();
        child<QPushButton>("btnDIDO")->click();
        return true;
    });
    const Texts pass{"012JD10", "012JD20", "012JD30", "012IE", "012DF"};
    const Texts log = sent();
    ASSERT_EQ(log.size() % 5, 1) << log.join(' ').constData();
    for (int i = 0; i + 1 < log.size(); i += 5) EXPECT_EQ(log.mid(i, 5), pass);
    EXPECT_EQ(log.back(), "012JE");
    // Lamps 1 to 4 keep their white; 7 and 8 come from "DF".
    EXPECT_EQ(lampsSeen,
              (QList<QColor>{kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kYellow, kYellow}));
    expectEnded("btnDIDO", "DIDO test");
}

TEST_F(ContinuousTests, PollingShowsAndAnswersEachEventAndThePanelsKeepTheirTexts) {
    sim_.setClock(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    ASSERT_TRUE(sim_.pushEvent({"20261207140509", '1', "0001", "12345"}));
    ASSERT_TRUE(sim_.pushEvent({"20261208235958", 'A', "0002", "00077"}));
    auto* date = child<QLabel>("pnPoolingDate");
    auto* data = child<QLabel>("pnPoolingData");
    QStringList events;
    QString dateSeen;
    pressDuring("btnPooling", [&] {
        if (events.isEmpty() || events.last() != data->text()) events << data->text();
        if (count("0000PI") < 4) return false;
        dateSeen = date->text();
        child<QPushButton>("btnPooling")->click();
        return true;
    });
    const Texts log = sent();
    ASSERT_GE(log.size(), 6);
    EXPECT_EQ(log.mid(0, 5), (Texts{"0000PI", "0000IB", "0000PI", "0000IB", "0000PI"}));
    EXPECT_EQ(log.count("0000IB"), 2);
    EXPECT_EQ(log.back(), "0000PI") << "no end-of-test command";
    EXPECT_TRUE(events.contains("[1] 2026/12/07  14:05:09 (0001) [12345]"))
        << events.join('|').toStdString();
    EXPECT_EQ(data->text(), "[A] 2026/12/08  23:59:58 (0002) [00077]");
    EXPECT_TRUE(date->text().startsWith("2026/12/07  14:05:")) << date->text().toStdString();
    EXPECT_EQ(date->text(), dateSeen);
    expectEnded("btnPooling", "Pooling data test");
}

TEST_F(ContinuousTests, FamilySixPollsByQiAndAnswersNoShortReply) {
    connectTo(controller(6));
    sim_.setClock(QDateTime(QDate(2027, 3, 1), QTime(9, 5, 3)));
    pressDuring("btnPooling", pressAfter("btnPooling", "0000QI", 2));
    EXPECT_EQ(sent().count("0000QI"), sent().size()) << sent().join(' ').constData();
    EXPECT_TRUE(child<QLabel>("pnPoolingDate")->text().startsWith("2027/03/01  09:05:"));
    EXPECT_TRUE(child<QLabel>("pnPoolingData")->text().isEmpty());
    expectEnded("btnPooling", "Pooling data test");
}

TEST_F(ContinuousTests, OtherOperationsAreBlockedWhileATestRunsAndComeBackAsTheyWere) {
    child<QPushButton>("btnV5GetSn")->setEnabled(false);  // disabled before the test
    QStringList enabledDuring;
    bool operationRan = true;
    QString chineseCaption;
    pressDuring("btnDIDO", [&] {
        // The window is free again once the port is open and the loop runs.
        if (count("0000DG0") < 1 || !window_->isEnabled()) return false;
        for (const char* name : kDeviceButtons)
            if (child(name)->isEnabled()) enabledDuring << name;
        // Nor any other button a page has: each page names its own.
        for (const auto* button : child("pcMain")->findChildren<QPushButton*>())
            if (button->isEnabled() && !enabledDuring.contains(button->objectName()))
                enabledDuring << button->objectName();
        for (const char* name : {"mnuFindSpeed", "mnuModuleSurvey"})
            if (window_->findChild<QAction*>(name)->isEnabled()) enabledDuring << name;
        // Whatever gets through is turned away without a byte sent.
        for (const char* name : {"btnConnect", "btnPooling", "btnSet115200", "btnCommand"})
            child<QPushButton>(name)->click();
        operationRan =
            window_->runOperation([](kt::Link& link) { return link.SendCommand("0000AC"); });
        // The language menu stays usable, and the button still says how to stop.
        window_->findChild<QAction*>("mnuSimplified")->trigger();
        chineseCaption = child<QPushButton>("btnDIDO")->text();
        window_->findChild<QAction*>("mnuEnglish")->trigger();
        child<QPushButton>("btnDIDO")->click();
        return true;
    });
    EXPECT_EQ(enabledDuring, QStringList{"btnDIDO"});
    EXPECT_FALSE(operationRan);
    EXPECT_EQ(chineseCaption, "取消测试");
    for (const QByteArray& text : sent())
        EXPECT_TRUE(text == "0000DG0" || text == "0000JD") << text.constData();
    EXPECT_FALSE(child("btnV5GetSn")->isEnabled());
    child<QPushButton>("btnV5GetSn")->setEnabled(true);
    EXPECT_TRUE(window_->findChild<QAction*>("mnuModuleSurvey")->isEnabled());
    expectEnded("btnDIDO", "DIDO test");
}

TEST_F(ContinuousTests, ClosingTheWindowEndsTheTestSendsItsEndAndClosesThePortFirst) {
    bool closedAtOnce = true;
    pressDuring("btnDIDO", [&] {
        if (count("0000DG0") < 2) return false;
        closedAtOnce = window_->close();
        return true;
    });
    EXPECT_FALSE(closedAtOnce);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(sent().back(), "0000JD");
    EXPECT_FALSE(window_->link().isOpen());
    EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));

    // The polling test has no end command: it just stops and closes.
    start();
    useSerial(sim_.ptyPath());
    sim_.clearLog();
    pressDuring("btnPooling", [&] {
        if (count("0000PI") < 2) return false;
        window_->findChild<QAction*>("mnuExit")->trigger();
        return true;
    });
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(sent().back(), "0000PI");
    EXPECT_FALSE(window_->link().isOpen());
}

TEST_F(ContinuousTests, PortThatCannotOpenGivesEverythingBackAtOnce) {
    useSerial("/dev/kt-no-such-port");
    child<kt::Lamp>("shDI3")->setFillColor(kYellow);
    press("btnDIDO");
    EXPECT_EQ(status(), "Connect device error! (/dev/kt-no-such-port: no such port)");
    EXPECT_EQ(child<QPushButton>("btnDIDO")->text(), "DIDO test");
    EXPECT_TRUE(tabVisible("tsCommand"));
    EXPECT_FALSE(window_->TestRunning());
    for (const char* name : kDeviceButtons) EXPECT_TRUE(child(name)->isEnabled()) << name;
    EXPECT_EQ(input(3), kYellow) << "the lamps are not touched";
}

}  // namespace

namespace {

// The controller goes silent in the middle of a DIDO test and comes back:
// from the third unanswered "DG0" the status line says since when and the
// lamps go grey, in the language chosen meanwhile too; the first answer puts
// both back. The wire carries the same passes throughout.
TEST_F(ContinuousTests, ASilentControllerIsShownWithItsTimeAndGreyLampsUntilItAnswersAgain) {
    const QColor kGrey(0xc0, 0xc0, 0xc0);
    sim_.setInputs(0b00000001);
    qsizetype silentFrom = -1;
    qsizetype shownAfter = -1;
    QString silentText;
    QString simplifiedText;
    QList<QColor> silentLamps;
    QList<QColor> backLamps;
    pressDuring("btnDIDO", [&] {
        if (silentFrom < 0) {
            if (count("0000DG0") < 2) return false;
            EXPECT_TRUE(sim_.addFault(QStringLiteral("DG:silent")));
            silentFrom = sent().size();
            return false;
        }
        if (silentText.isEmpty()) {
            if (!status().contains(u"No answer")) return false;
            shownAfter = sent().size() - silentFrom;
            silentText = status();
            silentLamps = inputs();
            child<QAction>("mnuSimplified")->trigger();
            simplifiedText = status();
            child<QAction>("mnuEnglish")->trigger();
            sim_.clearFaults();
            return false;
        }
        if (status() != "DIDO test") return false;
        backLamps = inputs();
        child<QPushButton>("btnDIDO")->click();
        return true;
    });
    EXPECT_EQ(shownAfter, 3);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^DIDO test: No answer since \\d\\d:\\d\\d:\\d\\d$"))
            .match(silentText)
            .hasMatch())
        << silentText.toStdString();
    EXPECT_EQ(simplifiedText, QStringLiteral("接点测试: 自 %1 起无回应").arg(silentText.right(8)));
    EXPECT_EQ(silentLamps, QList<QColor>(8, kGrey));
    ASSERT_FALSE(backLamps.isEmpty());
    EXPECT_EQ(backLamps[0], kYellow);
    EXPECT_EQ(backLamps[1], kWhite);
    const Texts log = sent();
    EXPECT_EQ(log.mid(0, log.size() - 1), Texts(log.size() - 1, "0000DG0"));
    EXPECT_EQ(log.back(), "0000JD");
    expectEnded("btnDIDO", "DIDO test");
}

// A language chosen while a test runs shows the test's line in that
// language, not the idle "Start connect device" text.
TEST_F(ContinuousTests, ALanguageChangeKeepsTheRunningTestsLine) {
    QStringList shown;
    pressDuring("btnPooling", [&] {
        if (sent().size() < 2) return false;
        for (const char* menu : {"mnuSimplified", "mnuTraditional", "mnuEnglish"}) {
            child<QAction>(menu)->trigger();
            shown << status();
        }
        child<QPushButton>("btnPooling")->click();
        return true;
    });
    EXPECT_EQ(shown, (QStringList{"读取资料测试", "讀取資料測試", "Pooling data test"}));
}

}  // namespace
