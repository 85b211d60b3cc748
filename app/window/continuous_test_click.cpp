// The two continuous tests of the Test page, the DIDO test and the polling
// test (controller/dido_test.h, controller/polling_test.h). Each holds the
// port from its first press to its second, with the window usable so that
// the second press (its button reads "Cancel test") can arrive; every other
// device button is blocked meanwhile.
#include "dido_test.h"
#include "lamp.h"
#include "polling_test.h"
#include "tfrm_module.h"
#include "ui_tfrm_module.h"

#include <QApplication>
#include <QScopeGuard>
#include <array>

namespace kt {
namespace {

const QColor kLampUnknown(0xc0, 0xc0, 0xc0);

}  // namespace

void TfrmModule::btnDIDOClick() {
    runContinuousTest(ContinuousTest::Dido, [this](Link& link) {
        const std::array<Lamp*, 8> lamps{ui->shDI1, ui->shDI2, ui->shDI3, ui->shDI4,
                                         ui->shDI5, ui->shDI6, ui->shDI7, ui->shDI8};
        const std::array<QCheckBox*, 4> boxes{ui->chkDO1, ui->chkDO2, ui->chkDO3, ui->chkDO4};
        DidoObserver observer;
        observer.showStatus = testStatusShower();
        // Lamps of a silent controller tell nothing: grey until it answers.
        observer.silenceChanged = [&](bool silent, const QDateTime& since) {
            showSilence(silent, since);
            if (silent)
                for (Lamp* lamp : lamps) lamp->setFillColor(kLampUnknown);
        };
        observer.keepRunning = [this] { return testRunning_; };
        observer.outputChecked = [&](int output) { return boxes.at(output - 1)->isChecked(); };
        observer.inputRead = [&](int input, bool active) {
            lamps.at(input - 1)->setFillColor(active ? Qt::yellow : Qt::white);
        };
        const bool ok = DidoTest(link, deviceAddress_, controllerFamily_, observer).ok;
        // Nothing is left lit or ticked that the controller no longer does.
        for (Lamp* lamp : lamps) lamp->setFillColor(Qt::white);
        for (QCheckBox* box : boxes) box->setChecked(false);
        return ok;
    });
}

void TfrmModule::btnPoolingClick() {
    runContinuousTest(ContinuousTest::Polling, [this](Link& link) {
        PollingObserver observer;
        observer.showStatus = testStatusShower();
        observer.silenceChanged = [this](bool silent, const QDateTime& since) {
            showSilence(silent, since);
        };
        observer.keepRunning = [this] { return testRunning_; };
        observer.showDate = [this](const QByteArray& text) {
            ui->pnPoolingDate->setText(QString::fromLatin1(text));
        };
        observer.showEvent = [this](const QByteArray& text) {
            ui->pnPoolingData->setText(QString::fromLatin1(text));
        };
        return PollingTest(link, deviceAddress_, controllerFamily_, observer).ok;
    });
}

// The first press runs the whole test and returns when it has wound down;
// the second press, made while the first one's loop lets events through,
// only asks it to stop after the current pass. A lost port ends the test as
// a failure, with the cause behind the status text.
void TfrmModule::runContinuousTest(ContinuousTest kind, const std::function<bool(Link&)>& loop) {
    if (runningTest_ != ContinuousTest::None) {
        if (runningTest_ == kind) testRunning_ = false;
        return;
    }
    if (operationRunning_) return;

    runningTest_ = kind;
    testRunning_ = true;
    QPushButton* own = testButton(kind);
    own->setText(text(26));  // "Cancel test"
    blockOtherOperations(own);
    QTabWidget* pages = ui->pcMain;
    for (QWidget* page : {ui->tsFunction, ui->tsCommand, ui->tsFirmware})
        pages->setTabVisible(pages->indexOf(page), false);

    {
        const auto windDown = qScopeGuard([&] {
            testRunning_ = false;
            runningTest_ = ContinuousTest::None;
            unblockOperations();
            // The function and firmware pages stay hidden, as they are from the start.
            pages->setTabVisible(pages->indexOf(ui->tsCommand), true);
            own->setText(text(testCaption(kind)));
        });
        const bool ok = runOperation([&](Link& link) {
            // The lamp keeps blinking; the cursor and the window are free again.
            if (waitCursor_) {
                QApplication::restoreOverrideCursor();
                waitCursor_ = false;
            }
            setWindowEnabled(true);
            return loop(link);  // true whatever the controller answered
        });
        if (!ok && link_.portLost()) showFailure("Connect device error!");
    }
    // Closed during the test: now that the port is closed, really close.
    if (closeAfterTest_) {
        closeAfterTest_ = false;
        close();
    }
}

QPushButton* TfrmModule::testButton(ContinuousTest kind) const {
    return kind == ContinuousTest::Dido ? ui->btnDIDO : ui->btnPooling;
}

int TfrmModule::testCaption(ContinuousTest kind) const {
    return kind == ContinuousTest::Dido ? 27 : 28;  // "DIDO test", "Pooling data test"
}

// The port is the test's until it ends: no other button may reach the
// device, whichever page it is on. The port page, the boxes of the test and
// the menus stay usable.
void TfrmModule::blockOtherOperations(QPushButton* running) {
    const QList<QPushButton*> deviceButtons{
        ui->btnConnect, ui->btnSetDate,   ui->btnAlarm,         ui->btnDIDO,
        ui->btnPooling, ui->btnSet19200,  ui->btnSet115200,     ui->btnReboot,
        ui->btnInitial, ui->btnGetCtrlID, ui->btnSetCtrlBySN,   ui->btnFirmware,
        ui->btnV7SnId,  ui->btnV7SetId,   ui->btnV7SetCardType, ui->btnV7GetCardType,
        ui->btnV5GetSn, ui->btnV5SetId,   ui->btnCommand,       ui->btnModuleCommand};
    blockedButtons_.clear();
    for (QPushButton* button : deviceButtons) {
        if (button == running) continue;
        blockedButtons_.append({button, button->isEnabledTo(this)});
        button->setEnabled(false);
    }
    // The File menu's scan and survey reach the device too.
    ui->mnuFindSpeed->setEnabled(false);
    ui->mnuModuleSurvey->setEnabled(false);
}

void TfrmModule::unblockOperations() {
    for (const auto& [button, wasEnabled] : std::as_const(blockedButtons_))
        if (button) button->setEnabled(wasEnabled);
    blockedButtons_.clear();
    ui->mnuModuleSurvey->setEnabled(true);
    updateFindSpeedEnabled();
}

}  // namespace kt
