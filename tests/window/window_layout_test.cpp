// The window as it comes up: pages, defaults, limits, the ID selector, the
// serial port list, the stored settings on the port page, and the languages.
#include "app/catalogues.h"
#include "app/fonts.h"
#include "app/messages.h"
#include "app/settings_store.h"
#include "app/window/serial_port_list.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

using namespace kttest;
using kt::LanguageIndex;

namespace {

QStringList visibleTabs(const QTabWidget* tabs) {
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->isTabVisible(i)) texts << tabs->tabText(i);
    return texts;
}

QStringList entries(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

QStringList comNames() {
    QStringList names;
    for (int n = 1; n <= 16; ++n) names << QStringLiteral("COM%1").arg(n);
    return names;
}

}  // namespace

TEST_F(WindowTest, ShowsTheFiveTestPagesAndHidesFunctionAndFirmware) {
    start();
    EXPECT_EQ(visibleTabs(child<QTabWidget>("pcMain")),
              QStringList({"Basic test", "Controller", "V7 Module", "V5 Module", "Command test"}));
    EXPECT_EQ(visibleTabs(child<QTabWidget>("pcPort")), QStringList({"COM", "NET"}));
    EXPECT_EQ(child<QTabWidget>("pcMain")->currentWidget(), child("tsTest"));
    EXPECT_FALSE(child<QAction>("mnuFirmwareFile")->isVisible());
    EXPECT_FALSE(child<QAction>("mnuLine1")->isVisible());
    EXPECT_EQ(window_->centralWidget()->size(), QSize(680, 614));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
}

// The designed places hold whichever form a control now comes from: its
// parent is still the one the design names, at the same place, so nothing
// moved when the pages became forms of their own.
TEST_F(WindowTest, ControlsSitOnTheirDesignedParentsAtTheirDesignedPlaces) {
    start();
    const std::tuple<const char*, const char*, QRect> places[] = {
        {"pcPort", "centralwidget", {8, 104, 329, 105}},
        {"pcMain", "centralwidget", {8, 213, 668, 404}},
        {"btnConnect", "centralwidget", {344, 128, 327, 81}},
        {"btn115200", "tsCom", {205, 40, 113, 33}},
        {"edPort", "tsNet", {80, 43, 81, 24}},
        {"chkDO4", "tsTest", {240, 184, 85, 40}},
        {"btnPooling", "tsTest", {328, 224, 329, 65}},
        {"btnSetCtrlBySN", "gbSetCtrl", {8, 64, 313, 41}},
        {"btnFirmware", "tsFirmware", {8, 288, 641, 73}},
        {"btnV7GetCardType", "gbSetCardTypeByID", {320, 104, 313, 41}},
        {"edV5Recv", "gbSetV5", {152, 332, 497, 24}},
        {"btnModuleCommand", "gbModule", {8, 96, 641, 65}},
    };
    for (const auto& [name, parent, place] : places) {
        const QWidget* control = child(name);
        EXPECT_EQ(control->parentWidget()->objectName(), parent) << name;
        EXPECT_EQ(control->geometry(), place) << name;
    }
    // Each page fills its page control's page area, as a plain page did.
    const auto* pages = child<QTabWidget>("pcMain");
    for (const char* page : {"tsTest", "tsSetCtrl", "tsSetV7", "tsSetV5", "tsCommand"})
        EXPECT_EQ(child(page)->parentWidget(), pages->currentWidget()->parentWidget()) << page;
}

TEST_F(WindowTest, StartsWithTheDesignDefaultsAndLimits) {
    start();
    const std::tuple<const char*, const char*, int> edits[] = {
        {"edIP", "192.168.1.101", 15},  {"edPort", "5003", 32767},
        {"edCtrlByID", "0001", 4},      {"edCtrlBySN", "16030001", 8},
        {"edSetCtrlID", "0001", 4},     {"edV7Sn", "16030001", 8},
        {"edSameCard", "10", 3},        {"edV5Sn", "16030001", 32767},
        {"edCommandSend", "AB", 32767}, {"edModuleCommandSend", "B", 32767}};
    for (const auto& [name, text, limit] : edits) {
        EXPECT_EQ(child<QLineEdit>(name)->text(), text) << name;
        EXPECT_EQ(child<QLineEdit>(name)->maxLength(), limit) << name;
    }
    const std::tuple<const char*, const char*, int> lists[] = {{"cmbPort", "COM1", 1},
                                                               {"cmbBaudrate", "19200,e,8,1", 18},
                                                               {"cmbAlarm", "Alarm Off", 7},
                                                               {"cmbV7Id", "1", 9},
                                                               {"cmbV7SetId", "1", 8},
                                                               {"cmbV5Type", "KTRB5/BR/CR", 6},
                                                               {"cmbV5Id", "1", 9},
                                                               {"cmbV5SetId", "1", 8},
                                                               {"cmbModuleType", "KTRB5/KT96", 6},
                                                               {"cmbModuleId", "1", 8}};
    for (const auto& [name, text, count] : lists) {
        EXPECT_EQ(child<QComboBox>(name)->currentText(), text) << name;
        EXPECT_EQ(child<QComboBox>(name)->count(), count) << name;
    }
    EXPECT_EQ(child<QLabel>("pnMsg")->text(), "Start connect device");
    EXPECT_EQ(lamp(), QColor(Qt::red));
    EXPECT_EQ(child<QLabel>("pnID")->text(), "0000");
    EXPECT_EQ(window_->DeviceAddress(), "0000");
}

TEST_F(WindowTest, IdSelectorShowsFourDigitsAndLeavesTheAddress) {
    start();
    auto* selector = child<QScrollBar>("sbID");
    auto* panel = child<QLabel>("pnID");
    selector->setValue(5);
    EXPECT_EQ(panel->text(), "0005");
    selector->setValue(9999);
    EXPECT_EQ(panel->text(), "9999");
    selector->setValue(0);
    EXPECT_EQ(panel->text(), "0000");
    selector->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(panel->text(), "0010");
    EXPECT_EQ(window_->DeviceAddress(), "0000");
}

TEST(SerialPortList, TrimsKeepsDuplicatesAndFallsBackToCom1To16) {
    EXPECT_EQ(kt::serialPortList({}), comNames());
    EXPECT_EQ(kt::serialPortList({" ttyUSB0\t", QStringLiteral("\x01ttyS1\r\n")}),
              QStringList({"ttyUSB0", "ttyS1"}));
    EXPECT_EQ(kt::serialPortList({"ttyS0", "ttyACM0", "ttyS0"}),
              QStringList({"ttyS0", "ttyACM0", "ttyS0"}));
}

TEST_F(WindowTest, PortPageComesFromTheStoredSettings) {
    kt::StoredSettings stored;
    stored.type = 2;
    stored.ComPortName = "COM9";
    stored.ComBaudRate = "9600,n,8,1";
    stored.NetIP = "127.0.0.5";
    stored.NetPort = "6000";
    kt::SavePortSettings(stored);
    ports_.clear();
    start();
    auto* port = child<QComboBox>("cmbPort");
    EXPECT_EQ(entries(port), comNames());
    EXPECT_EQ(port->currentText(), "COM9");
    EXPECT_EQ(child<QComboBox>("cmbBaudrate")->currentText(), "9600,n,8,1");
    EXPECT_EQ(child<QTabWidget>("pcPort")->currentWidget(), child("tsNet"));
    EXPECT_EQ(child<QLineEdit>("edIP")->text(), "127.0.0.5");
    EXPECT_EQ(child<QLineEdit>("edPort")->text(), "6000");
    EXPECT_EQ(child<QLabel>("pnFile")->text(), "KT320MX.KTB");

    // An adapter plugged in later shows when the list opens; the text stays.
    ports_ = QStringList({"ttyUSB0", " ttyUSB1 "});
    port->setEditText("typed");
    port->showPopup();
    EXPECT_EQ(entries(port), QStringList({"ttyUSB0", "ttyUSB1"}));
    EXPECT_EQ(port->currentText(), "typed");
    port->hidePopup();
}

TEST_F(WindowTest, TraditionalChineseChangesTheLocalisedTextsAndSurvivesARestart) {
    start();
    const auto tc = [](int number) {
        return kt::Catalogues::translate(u"zh_TW", "Messages", kt::Messages::source(number));
    };
    child<QAction>("mnuTraditional")->trigger();

    EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("KT350 KT460 工具程式 V0505"));
    EXPECT_EQ(status(), QString::fromUtf8("連線裝置"));
    EXPECT_EQ(visibleTabs(child<QTabWidget>("pcMain")),
              QStringList({tc(22), tc(41), tc(46), tc(51), tc(24)}));
    EXPECT_EQ(visibleTabs(child<QTabWidget>("pcPort")), QStringList({tc(10), tc(11)}));
    EXPECT_EQ(child<QPushButton>("btnConnect")->text(), tc(16));
    EXPECT_EQ(child<QLabel>("lblPort")->text(), tc(13));
    EXPECT_EQ(child<QLabel>("lblNetPort")->text(), tc(13));
    EXPECT_EQ(child<QLabel>("lblSpeed")->text(), tc(12));
    EXPECT_EQ(child<QMenu>("mnuFile")->title(), tc(4));
    EXPECT_EQ(child<QMenu>("mnuLanguage")->title(), tc(3));
    EXPECT_EQ(child<QAction>("mnuExit")->text(), tc(8));
    EXPECT_EQ(child<QAction>("mnuAbout")->text(), tc(7));

    // Each language keeps its own name; the check mark moved to the third.
    EXPECT_EQ(child<QAction>("mnuEnglish")->text(), "&English");
    EXPECT_EQ(child<QAction>("mnuSimplified")->text(),
              QString::fromUtf8("&Simplified chinese(简体)"));
    EXPECT_EQ(child<QAction>("mnuTraditional")->text(),
              QString::fromUtf8("&Traditional chinese(繁體)"));
    EXPECT_FALSE(child<QAction>("mnuEnglish")->isChecked());
    EXPECT_FALSE(child<QAction>("mnuSimplified")->isChecked());
    EXPECT_TRUE(child<QAction>("mnuTraditional")->isChecked());

    // Fixed texts stay English.
    EXPECT_EQ(child<QLabel>("lblID")->text(), "ID:");
    EXPECT_EQ(child<QLabel>("Label5")->text(), "Type:");
    EXPECT_EQ(child<QLabel>("lblDI1")->text(), "DI1");
    // Controls with a font of their own keep it; the others take the language's.
    EXPECT_EQ(child<QLabel>("lblSpeed")->font().family(),
              kt::languageFont(LanguageIndex::TraditionalChinese).family());
    EXPECT_EQ(child<QPushButton>("btnConnect")->font().pixelSize(), 19);

    start();
    EXPECT_EQ(window_->language(), QStringLiteral("zh_TW"));
    EXPECT_EQ(window_->windowTitle(), tc(0));
    EXPECT_EQ(child<QPushButton>("btnConnect")->text(), tc(16));
    EXPECT_TRUE(child<QAction>("mnuTraditional")->isChecked());
}
