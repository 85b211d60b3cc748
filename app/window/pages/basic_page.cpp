// The one-shot buttons of the page run one operation each
// (controller/basic_commands.h). The continuous tests
// (controller/dido_test.h, controller/polling_test.h) hold the port from
// their first press to their second, with the window usable so that the
// second press (its button reads "Cancel test") can arrive; every other
// device control is blocked meanwhile. The loop runs on the link's worker;
// it reads the output boxes from outputChecked_ and paints through the runner.
#include "app/window/pages/basic_page.h"

#include "app/messages.h"
#include "app/window/lamp.h"
#include "app/window/window_session.h"
#include "controller/basic_commands.h"
#include "controller/dido_test.h"
#include "controller/polling_test.h"
#include "ui_basic_page.h"

#include <QDateTime>
#include <memory>

namespace kt {
namespace {

const QColor kLampUnknown(0xc0, 0xc0, 0xc0);

}  // namespace

BasicPage::BasicPage(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::BasicPage>()) {
    ui->setupUi(this);
    tmrClock.setInterval(500);
}

BasicPage::~BasicPage() = default;

void BasicPage::attach(WindowSession& session) {
    session_ = &session;
    const std::pair<QPushButton*, void (BasicPage::*)()> buttons[] = {
        {ui->btnSetDate, &BasicPage::btnSetDateClick},
        {ui->btnAlarm, &BasicPage::btnAlarmClick},
        {ui->btnInitial, &BasicPage::btnInitialClick},
        {ui->btnReboot, &BasicPage::btnRebootClick},
        {ui->btnSet19200, &BasicPage::btnSet19200Click},
        {ui->btnSet115200, &BasicPage::btnSet115200Click},
        {ui->btnDIDO, &BasicPage::btnDIDOClick},
        {ui->btnPooling, &BasicPage::btnPoolingClick},
    };
    for (const auto& [button, click] : buttons)
        connect(button, &QPushButton::clicked, this, handler(this, click));
    // The DIDO loop reads the output boxes on the worker, each pass.
    const QCheckBox* outputs[] = {ui->chkDO1, ui->chkDO2, ui->chkDO3, ui->chkDO4};
    for (std::size_t i = 0; i < outputChecked_.size(); ++i) {
        outputChecked_.at(i).store(outputs[i]->isChecked());
        connect(outputs[i], &QCheckBox::toggled, this,
                [this, i](bool on) { outputChecked_.at(i).store(on); });
    }
    connect(&tmrClock, &QTimer::timeout, this, handler(this, &BasicPage::tmrClockTimer));
    tmrClock.start();
}

void BasicPage::retranslate() {
    ui->btnDIDO->setText(Messages::tr("DIDO test"));
    ui->btnPooling->setText(Messages::tr("Pooling data test"));
    ui->btnInitial->setText(Messages::tr("Set factory"));
    ui->btnReboot->setText(Messages::tr("Set reboot"));
    // A running test's button keeps saying how to stop it.
    if (runningTest() != ContinuousTest::None)
        testButton(runningTest())->setText(Messages::tr("Cancel test"));
    ui->btnSetDate->setText(Messages::tr("Set date and time"));
    ui->btnAlarm->setText(Messages::tr("Alarm test"));
    ui->btnSet115200->setText(Messages::tr("Set baudrate 115200,n,8,1"));
    ui->btnSet19200->setText(Messages::tr("Set baudrate 19200,e,8,1"));
}

void BasicPage::showInputsAndOutputs(bool familyFour) {
    for (QWidget* io : {static_cast<QWidget*>(ui->shDI7), static_cast<QWidget*>(ui->shDI8),
                        static_cast<QWidget*>(ui->lblDI7), static_cast<QWidget*>(ui->lblDI8),
                        static_cast<QWidget*>(ui->chkDO3)})
        io->setVisible(true);
    for (QWidget* io : {static_cast<QWidget*>(ui->shDI5), static_cast<QWidget*>(ui->shDI6),
                        static_cast<QWidget*>(ui->lblDI5), static_cast<QWidget*>(ui->lblDI6),
                        static_cast<QWidget*>(ui->chkDO4)})
        io->setVisible(!familyFour);
}

QList<QWidget*> BasicPage::deviceButtons() const {
    return {ui->btnSetDate,  ui->btnAlarm,     ui->btnDIDO,   ui->btnPooling,
            ui->btnSet19200, ui->btnSet115200, ui->btnReboot, ui->btnInitial};
}

void BasicPage::tmrClockTimer() {
    ui->pnSetDate->setText(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

void BasicPage::btnSetDateClick() {
    session_->runOperation(
        [address = session_->deviceAddress, status = session_->runner.statusShower()](Link& link) {
            return SetDateTime(link, address, status).ok;
        });
}

void BasicPage::btnAlarmClick() {
    session_->runOperation([address = session_->deviceAddress, alarm = ui->cmbAlarm->currentIndex(),
                            status = session_->runner.statusShower()](Link& link) {
        return AlarmTest(link, address, alarm, status).ok;
    });
}

void BasicPage::btnInitialClick() {
    if (session_->operationRunning() ||
        !session_->confirmFirst(
            this, "Set factory",
            QT_TRANSLATE_NOOP("Messages",
                              "Set factory erases the controller's cards and settings. Go on?")))
        return;
    OperationRunner& runner = session_->runner;
    session_->runOperation([address = session_->deviceAddress, family = session_->controllerFamily,
                            status = runner.statusShower(),
                            countdown = runner.countdownShower("Set factory")](Link& link) {
        return FactoryReset(link, address, family, status, countdown).ok;
    });
}

void BasicPage::btnRebootClick() {
    OperationRunner& runner = session_->runner;
    session_->runOperation([address = session_->deviceAddress, family = session_->controllerFamily,
                            status = runner.statusShower(),
                            countdown = runner.countdownShower("Set reboot")](Link& link) {
        return Reboot(link, address, family, status, countdown).ok;
    });
}

void BasicPage::btnSet19200Click() {
    changeSpeed(LineSpeed::Baud19200);
}

void BasicPage::btnSet115200Click() {
    changeSpeed(LineSpeed::Baud115200);
}

void BasicPage::changeSpeed(LineSpeed speed) {
    auto result = std::make_shared<SpeedChangeResult>();
    session_->runOperation(
        [result, speed, address = session_->deviceAddress, family = session_->controllerFamily,
         status = session_->runner.statusShower()](Link& link) {
            *result = ChangeSpeed(link, address, family, speed, status);
            return result->ok;
        },
        // Only now that the port is closed: the next operation opens it at the new speed.
        [this, result](bool) {
            if (result->speedBox) emit lineSpeedChanged(*result->speedBox);
        });
}

void BasicPage::btnDIDOClick() {
    OperationRunner& runner = session_->runner;
    runContinuousTest(ContinuousTest::Dido, [this, &runner, address = session_->deviceAddress,
                                             family = session_->controllerFamily](Link& link) {
        const std::array<Lamp*, 8> lamps{ui->shDI1, ui->shDI2, ui->shDI3, ui->shDI4,
                                         ui->shDI5, ui->shDI6, ui->shDI7, ui->shDI8};
        const std::array<QCheckBox*, 4> boxes{ui->chkDO1, ui->chkDO2, ui->chkDO3, ui->chkDO4};
        // What the lamps show, as this loop last sent it: only a change
        // crosses to the window (-1: grey or not yet shown).
        std::array<int, 8> shown;
        shown.fill(-1);
        DidoObserver observer;
        observer.showStatus = runner.testStatusShower();
        // Lamps of a silent controller tell nothing: grey until it answers.
        observer.silenceChanged = [&runner, lamps, &shown](bool silent, const QDateTime& since) {
            if (silent) shown.fill(-1);
            runner.onWindow([&runner, lamps, silent, since] {
                runner.showSilence(silent, since);
                if (silent)
                    for (Lamp* lamp : lamps) lamp->setFillColor(kLampUnknown);
            });
        };
        observer.keepRunning = runner.keepRunning();
        observer.outputChecked = [this](int output) {
            return outputChecked_.at(output - 1).load();
        };
        observer.inputRead = [&runner, lamps, &shown](int input, bool active) {
            int& lit = shown.at(input - 1);
            if (lit == int(active)) return;
            lit = int(active);
            Lamp* lamp = lamps.at(input - 1);
            runner.onWindow(
                [lamp, active] { lamp->setFillColor(active ? Qt::yellow : Qt::white); });
        };
        const bool ok = DidoTest(link, address, family, observer).ok;
        // Nothing is left lit or ticked that the controller no longer does.
        runner.onWindow([lamps, boxes] {
            for (Lamp* lamp : lamps) lamp->setFillColor(Qt::white);
            for (QCheckBox* box : boxes) box->setChecked(false);
        });
        return ok ? OperationRunner::Ending::Ok : OperationRunner::Ending::Error;
    });
}

void BasicPage::btnPoolingClick() {
    OperationRunner& runner = session_->runner;
    runContinuousTest(ContinuousTest::Polling, [this, &runner, address = session_->deviceAddress,
                                                family = session_->controllerFamily](Link& link) {
        PollingObserver observer;
        observer.showStatus = runner.testStatusShower();
        observer.silenceChanged = [&runner](bool silent, const QDateTime& since) {
            runner.onWindow([&runner, silent, since] { runner.showSilence(silent, since); });
        };
        observer.keepRunning = runner.keepRunning();
        // Only a text that changed crosses to the window.
        QByteArray date, event;
        observer.showDate = [this, &runner, &date](const QByteArray& text) {
            if (text == date) return;
            date = text;
            runner.onWindow(
                [this, text] { ui->pnPoolingDate->setText(QString::fromLatin1(text)); });
        };
        observer.showEvent = [this, &runner, &event](const QByteArray& text) {
            if (text == event) return;
            event = text;
            runner.onWindow(
                [this, text] { ui->pnPoolingData->setText(QString::fromLatin1(text)); });
        };
        return PollingTest(link, address, family, observer).ok ? OperationRunner::Ending::Ok
                                                               : OperationRunner::Ending::Error;
    });
}

// The first press starts the test; a second press of its button asks it to
// stop after the current pass. A lost port ends the test as a failure, with
// the cause behind the status text.
void BasicPage::runContinuousTest(ContinuousTest kind, OperationRunner::Body loop) {
    OperationRunner& runner = session_->runner;
    if (runningTest() != ContinuousTest::None) {
        if (runningTest() == kind) runner.stopTest();
        return;
    }
    if (runner.running()) return;

    OperationRunner::ContinuousTest test;
    test.kind = static_cast<int>(kind);
    QPushButton* own = testButton(kind);
    test.blocked = session_->deviceButtons;
    test.blocked.removeOne(own);
    // The File menu's scan and survey reach the device too.
    test.blockedActions = session_->deviceActions;
    const char* caption = kind == ContinuousTest::Dido
                              ? QT_TRANSLATE_NOOP("Messages", "DIDO test")
                              : QT_TRANSLATE_NOOP("Messages", "Pooling data test");
    test.windDown = [this, own, caption] {
        emit testEnded();
        own->setText(Messages::tr(caption));
    };
    own->setText(Messages::tr("Cancel test"));
    emit testStarted();
    runner.startTest(std::move(test), std::move(loop));
}

BasicPage::ContinuousTest BasicPage::runningTest() const {
    return static_cast<ContinuousTest>(session_->runner.testKind());
}

QPushButton* BasicPage::testButton(ContinuousTest kind) const {
    return kind == ContinuousTest::Dido ? ui->btnDIDO : ui->btnPooling;
}

}  // namespace kt
