// The File menu's "Find line speed" and "Module survey", and the countdown
// of a family-4 restart, in the real window against ktsim on a pty.
#include "app/window/module_survey_window.h"
#include "modules/module_survey.h"
#include "sim/program/sim_thread.h"
#include "sim/program/simulator.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace kttest;
using Played = ProbeTone::Played;

namespace {

class ScanMenus : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
    static QStringList startingWith(const QStringList& texts, const QString& head) {
        QStringList found;
        for (const QString& text : texts)
            if (text.startsWith(head)) found << text;
        return found;
    }
    kt::ModuleSurveyWindow* surveyWindow() const {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == u"frmModuleSurvey")
                return qobject_cast<kt::ModuleSurveyWindow*>(widget);
        return nullptr;
    }
};

TEST_F(ScanMenus, FindLineSpeedOnlyOnTheComPageFillsTheSpeedBoxAndTheIdSelector) {
    ktsim::DeviceConfig config;
    config.address = "0012";
    ktsim::SimThread sim(config);
    sim.call([](ktsim::Simulator& s) { s.setLineBaud(115200); });
    auto* find = child<QAction>("mnuFindSpeed");
    useNetwork(1);
    EXPECT_FALSE(find->isEnabled());
    useSerial(sim.startPty());
    EXPECT_TRUE(find->isEnabled());
    EXPECT_EQ(child<QComboBox>("cmbBaudrate")->currentText(), "19200,e,8,1");

    StatusPainted shown(child<QLabel>("pnMsg"));
    find->trigger();
    waitIdle();
    EXPECT_EQ(startingWith(shown.texts, "Finding line speed"),
              QStringList({"Finding line speed ... 19200,e,8,1 ( 18 )",
                           "Finding line speed ... 115200,n,8,1 ( 17 )"}));
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));
    EXPECT_EQ(child<QComboBox>("cmbBaudrate")->currentText(), "115200,n,8,1");
    EXPECT_EQ(child<QComboBox>("cmbBaudrate")->currentIndex(), 10);
    EXPECT_EQ(child<QLabel>("pnID")->text(), "0012");
    EXPECT_EQ(window_->DeviceAddress(), "0000");  // Connect's to set
    EXPECT_FALSE(window_->link().isOpen());

    // The next operation talks at the speed found.
    sim.clearLog();
    press("btnConnect");
    EXPECT_EQ(sim.requestLog().first(), "0012AC");
    EXPECT_EQ(status(), "Command ok.");

    child<QAction>("mnuTraditional")->trigger();
    EXPECT_EQ(find->text(), QString::fromUtf8("尋找連線速率(&S)"));
    EXPECT_EQ(child<QAction>("mnuModuleSurvey")->text(), QString::fromUtf8("掃描模組(&S)"));
}

TEST_F(ScanMenus, ModuleSurveyListsTheBusAndCopiesAndSavesIt) {
    ktsim::SimThread sim;
    ktsim::ModuleBus bus;
    bus.v5 = {{.letter = 'H', .id = '0', .serial = "15030001"}};
    bus.v7 = {{.id = 8, .serial = "17030008"}};
    ASSERT_TRUE(sim.setModules(bus));
    useSerial(sim.startPty());
    child<QAction>("mnuModuleSurvey")->trigger();
    waitIdle();

    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(sim.requestLog().size(), kt::kSurveyRequests);
    kt::ModuleSurveyWindow* survey = surveyWindow();
    ASSERT_NE(survey, nullptr);
    EXPECT_TRUE(survey->isVisible());
    EXPECT_FALSE(survey->isModal());
    auto* table = survey->findChild<QTableWidget*>("tblModules");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 1)->text(), "KTRB5/BR/CR");
    EXPECT_EQ(table->item(1, 0)->text(), "V7");
    EXPECT_EQ(table->item(1, 2)->text(), "8");
    EXPECT_EQ(table->item(1, 3)->text(), "17030008");
    EXPECT_EQ(survey->findChild<QLabel*>("lblSurvey")->text(), "Modules found: 2");

    survey->findChild<QPushButton*>("btnSurveyCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Kind\tType\tID\tS/N\nV5\tKTRB5/BR/CR\t0\t15030001\nV7\tV7\t8\t17030008\n");
    const QString path = settingsDir_.filePath("modules.csv");
    survey->setSaveChooser([&] { return path; });
    survey->findChild<QPushButton*>("btnSurveySave")->click();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(),
              "kind,type,id,serial\r\nV5,KTRB5/BR/CR,0,15030001\r\n"
              "V7,V7,8,17030008\r\n");

    // The survey's own window follows the language.
    child<QAction>("mnuSimplified")->trigger();
    EXPECT_EQ(survey->windowTitle(), QString::fromUtf8("扫描模组"));
}

TEST_F(ScanMenus, SurveyCancelledFromItsWindowWhileTheMainWindowIsLocked) {
    ktsim::SimThread sim;
    useSerial(sim.startPty());
    // Pressed while the survey waits for a silent address.
    QTimer::singleShot(1200, [this] {
        if (auto* survey = surveyWindow())
            survey->findChild<QPushButton*>("btnSurveyCancel")->click();
    });
    child<QAction>("mnuModuleSurvey")->trigger();
    waitIdle();
    EXPECT_EQ(status(), "Command error!");
    const qsizetype asked = sim.requestLog().size();
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 10);
    EXPECT_TRUE(surveyWindow()
                    ->findChild<QLabel*>("lblSurvey")
                    ->text()
                    .startsWith("Survey cancelled; modules found: 0"));
    EXPECT_TRUE(window_->isEnabled());
}

TEST_F(ScanMenus, FamilyFourRebootCountsDownEverySecondInTheStatusLine) {
    ktsim::DeviceConfig config;
    config.family = 4;
    config.address = "012";
    config.rebootMs = 1000;
    ktsim::SimThread sim(config);
    useSerial(sim.startPty());
    press("btnConnect");
    ASSERT_EQ(window_->ControllerFamily(), kt::Family::ThreeDigit);
    sim.clearLog();

    StatusPainted shown(child<QLabel>("pnMsg"));
    press("btnReboot");
    EXPECT_EQ(startingWith(shown.texts, "Set reboot"),
              QStringList({"Set reboot", "Set reboot ( 4 )", "Set reboot ( 3 )", "Set reboot ( 2 )",
                           "Set reboot ( 1 )"}));
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(sim.requestLog(), QList<QByteArray>({"012AJ", "012AS"}));
}

}  // namespace
