// The two continuous tests of the Test page, the DIDO test and the polling
// test (controller/dido_test.h, controller/polling_test.h). Each holds the
// port from its first press to its second, with the window usable so that
// the second press (its button reads "Cancel test") can arrive; every other
// device control is blocked meanwhile. The loop runs on the link's worker;
// it reads the output boxes from outputChecked_ and paints through the runner.
#include "app/window/lamp.h"
#include "app/window/tfrm_module.h"
#include "controller/dido_test.h"
#include "controller/polling_test.h"
#include "ui_tfrm_module.h"

#include <array>

namespace kt {
namespace {

const QColor kLampUnknown(0xc0, 0xc0, 0xc0);

}  // namespace

void TfrmModule::btnDIDOClick() {
    runContinuousTest(ContinuousTest::Dido, [this, address = deviceAddress_,
                                             family = controllerFamily_](Link& link) {
        const std::array<Lamp*, 8> lamps{ui->shDI1, ui->shDI2, ui->shDI3, ui->shDI4,
                                         ui->shDI5, ui->shDI6, ui->shDI7, ui->shDI8};
        const std::array<QCheckBox*, 4> boxes{ui->chkDO1, ui->chkDO2, ui->chkDO3, ui->chkDO4};
        // What the lamps show, as this loop last sent it: only a change
        // crosses to the window (-1: grey or not yet shown).
        std::array<int, 8> shown;
        shown.fill(-1);
        DidoObserver observer;
        observer.showStatus = runner_->testStatusShower();
        // Lamps of a silent controller tell nothing: grey until it answers.
        observer.silenceChanged = [this, lamps, &shown](bool silent, const QDateTime& since) {
            if (silent) shown.fill(-1);
            runner_->onWindow([this, lamps, silent, since] {
                runner_->showSilence(silent, since);
                if (silent)
                    for (Lamp* lamp : lamps) lamp->setFillColor(kLampUnknown);
            });
        };
        observer.keepRunning = runner_->keepRunning();
        observer.outputChecked = [this](int output) {
            return outputChecked_.at(output - 1).load();
        };
        observer.inputRead = [this, lamps, &shown](int input, bool active) {
            int& lit = shown.at(input - 1);
            if (lit == int(active)) return;
            lit = int(active);
            Lamp* lamp = lamps.at(input - 1);
            runner_->onWindow(
                [lamp, active] { lamp->setFillColor(active ? Qt::yellow : Qt::white); });
        };
        const bool ok = DidoTest(link, address, family, observer).ok;
        // Nothing is left lit or ticked that the controller no longer does.
        runner_->onWindow([lamps, boxes] {
            for (Lamp* lamp : lamps) lamp->setFillColor(Qt::white);
            for (QCheckBox* box : boxes) box->setChecked(false);
        });
        return ok ? OperationRunner::Ending::Ok : OperationRunner::Ending::Error;
    });
}

void TfrmModule::btnPoolingClick() {
    runContinuousTest(ContinuousTest::Polling, [this, address = deviceAddress_,
                                                family = controllerFamily_](Link& link) {
        PollingObserver observer;
        observer.showStatus = runner_->testStatusShower();
        observer.silenceChanged = [this](bool silent, const QDateTime& since) {
            runner_->onWindow([this, silent, since] { runner_->showSilence(silent, since); });
        };
        observer.keepRunning = runner_->keepRunning();
        // Only a text that changed crosses to the window.
        QByteArray date, event;
        observer.showDate = [this, &date](const QByteArray& text) {
            if (text == date) return;
            date = text;
            runner_->onWindow(
                [this, text] { ui->pnPoolingDate->setText(QString::fromLatin1(text)); });
        };
        observer.showEvent = [this, &event](const QByteArray& text) {
            if (text == event) return;
            event = text;
            runner_->onWindow(
                [this, text] { ui->pnPoolingData->setText(QString::fromLatin1(text)); });
        };
        return PollingTest(link, address, family, observer).ok ? OperationRunner::Ending::Ok
                                                               : OperationRunner::Ending::Error;
    });
}

// The first press starts the test; a second press of its button asks it to
// stop after the current pass. A lost port ends the test as a failure, with
// the cause behind the status text.
void TfrmModule::runContinuousTest(ContinuousTest kind, OperationRunner::Body loop) {
    if (runningTest() != ContinuousTest::None) {
        if (runningTest() == kind) runner_->stopTest();
        return;
    }
    if (runner_->running()) return;

    OperationRunner::ContinuousTest test;
    test.kind = static_cast<int>(kind);
    QPushButton* own = testButton(kind);
    test.blocked = {ui->btnConnect, ui->btnSetDate,   ui->btnAlarm,         ui->btnDIDO,
                    ui->btnPooling, ui->btnSet19200,  ui->btnSet115200,     ui->btnReboot,
                    ui->btnInitial, ui->btnGetCtrlID, ui->btnSetCtrlBySN,   ui->btnFirmware,
                    ui->btnV7SnId,  ui->btnV7SetId,   ui->btnV7SetCardType, ui->btnV7GetCardType,
                    ui->btnV5GetSn, ui->btnV5SetId,   ui->btnCommand,       ui->btnModuleCommand};
    test.blocked.removeOne(own);
    // The File menu's scan and survey reach the device too.
    test.blockedActions = {ui->mnuFindSpeed, ui->mnuModuleSurvey};
    QTabWidget* pages = ui->pcMain;
    test.windDown = [this, own, kind, pages] {
        // The function and firmware pages stay hidden, as they are from the start.
        pages->setTabVisible(pages->indexOf(ui->tsCommand), true);
        own->setText(text(testCaption(kind)));
        updateFindSpeedEnabled();
    };
    own->setText(text(26));  // "Cancel test"
    for (QWidget* page : {ui->tsFunction, ui->tsCommand, ui->tsFirmware})
        pages->setTabVisible(pages->indexOf(page), false);
    runner_->startTest(std::move(test), std::move(loop));
}

TfrmModule::ContinuousTest TfrmModule::runningTest() const {
    return static_cast<ContinuousTest>(runner_->testKind());
}

QPushButton* TfrmModule::testButton(ContinuousTest kind) const {
    return kind == ContinuousTest::Dido ? ui->btnDIDO : ui->btnPooling;
}

int TfrmModule::testCaption(ContinuousTest kind) const {
    return kind == ContinuousTest::Dido ? 27 : 28;  // "DIDO test", "Pooling data test"
}

}  // namespace kt
