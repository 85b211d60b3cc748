// The bracket around every device operation: the prologue locks the window,
// starts the blink and opens the port; one epilogue closes the port, shows
// the outcome in the status line and the lamp, sounds the tone and unlocks
// the window. Also the two timers and the status line's helpers.
#include "fault_causes.h"
#include "message_table.h"
#include "serial_access.h"
#include "serial_device_path.h"
#include "tfrm_module.h"
#include "ui_tfrm_module.h"

#include <QApplication>
#include <QDateTime>

namespace kt {
namespace {

const QColor kLampRed(0xff, 0x00, 0x00);
const QColor kLampYellow(0xff, 0xff, 0x00);

constexpr int kToneMs = 300;
constexpr int kToneOkHz = 1000;
constexpr int kToneErrorHz = 300;

}  // namespace

bool TfrmModule::runOperation(const std::function<bool(Link&)>& body) {
    if (operationRunning_) return false;
    if (!BeginOperation()) {
        AbortOperation();
        return false;
    }
    bool ok = false;
    try {
        ok = body(link_);
    } catch (...) {
        FinishOperationError();
        throw;
    }
    if (ok)
        FinishOperationOk();
    else
        FinishOperationError();
    return ok;
}

bool TfrmModule::BeginOperation() {
    operationRunning_ = true;
    if (!waitCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
    }
    // Clicks already queued must not start a second operation: user input
    // waits until the window is disabled, and is then dropped.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    setWindowEnabled(false);
    SetBusy(true);
    showStatus("Connecting device ...");
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    takeActivePortPage();
    PortSettings port{portKind_, fields_.ComPortName, fields_.ComBaudRate, fields_.NetIP,
                      fields_.NetPort};
    port.NetSetLine = fields_.NetSetLine != 0;
    port.NetBaudRate = fields_.NetBaudRate;
    link_.setPort(port);
    return link_.OpenPort();
}

// The entries of the active port page become the fields the port opens
// with; the other page's fields keep what they had.
void TfrmModule::takeActivePortPage() {
    if (ui->pcPort->currentWidget() == ui->tsCom) {
        portKind_ = PortKind::Serial;
        fields_.ComPortName = ui->cmbPort->currentText();
        fields_.ComBaudRate = ui->cmbBaudrate->currentText();
    } else {
        portKind_ = PortKind::Network;
        fields_.NetIP = ui->edIP->text();
        fields_.NetPort = ui->edPort->text();
        fields_.NetSetLine = ui->cbNetSetLine->isChecked() ? 1 : 0;
        fields_.NetBaudRate = ui->cmbNetBaudrate->currentText();
    }
}

void TfrmModule::SavePortSettings() {
    takeActivePortPage();
    fields_.type = portKind_ == PortKind::Network ? 1 : 0;
    kt::SavePortSettings(fields_);
    fields_.netLineStored = fields_.netLineStored || fields_.NetSetLine != 0;
}

// The port was never opened: nothing to close.
void TfrmModule::AbortOperation() {
    SetBusy(false);
    setLamp(kLampRed);
    showFailure("Connect device error!");
    tone_->play(kToneErrorHz, kToneMs);
    endOperation();
}

void TfrmModule::FinishOperationOk() {
    showStatus("Command ok.");
    SetBusy(false);
    setLamp(kLampYellow);
    tone_->play(kToneOkHz, kToneMs);  // returns when the tone has ended
    link_.ClosePort();
    endOperation();
}

void TfrmModule::FinishOperationError() {
    showFailure("Command error!");
    SetBusy(false);
    setLamp(kLampRed);
    tone_->play(kToneErrorHz, kToneMs);
    link_.ClosePort();
    endOperation();
}

void TfrmModule::endOperation() {
    cancelledByUser_ = false;
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    setWindowEnabled(true);
    operationRunning_ = false;
}

void TfrmModule::SetBusy(bool on) {
    if (on) {
        tmrBusy.start();
        setWindowEnabled(false);
    } else {
        setWindowEnabled(true);
        tmrBusy.stop();
    }
}

// Disabling the window drops the keyboard focus; it comes back afterwards
// to where the technician left it, so Enter connects again.
void TfrmModule::setWindowEnabled(bool enabled) {
    if (enabled == isEnabled()) return;
    if (!enabled) {
        QWidget* focus = QApplication::focusWidget();
        focusBeforeBusy_ = focus && isAncestorOf(focus) ? focus : nullptr;
        setEnabled(false);
        return;
    }
    setEnabled(true);
    if (focusBeforeBusy_ && focusBeforeBusy_->isEnabled() && focusBeforeBusy_->isVisible())
        focusBeforeBusy_->setFocus();
}

void TfrmModule::tmrBusyTimer() {
    if (busyBlinkPhase_ == 1) {
        busyBlinkPhase_ = 0;
        setLamp(kLampYellow);
    } else {
        busyBlinkPhase_ = 1;
        setLamp(kLampRed);
    }
}

void TfrmModule::tmrClockTimer() {
    ui->pnSetDate->setText(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

void TfrmModule::showStatus(QAnyStringView english) {
    ui->pnMsg->setText(MessageTable::translate(english, languageIndex_));
    ui->pnMsg->setToolTip(QString());
}

// The message table's text first, then why the link failed; the panel is
// narrow, so the whole line is its tooltip too.
void TfrmModule::showFailure(QAnyStringView english) {
    QString line = MessageTable::translate(english, languageIndex_);
    // A cancel is no fault of the link, whatever its last transaction met.
    const QString cause = cancelledByUser_ ? QString() : failureCause();
    if (!cause.isEmpty()) line += QStringLiteral(" (%1)").arg(cause);
    ui->pnMsg->setText(line);
    ui->pnMsg->setToolTip(line);
}

QString TfrmModule::failureCause() const {
    const LinkFault fault = link_.lastFault();
    FaultContext context;
    context.systemText = link_.lastError();
    const PortSettings& port = link_.port();
    if (port.kind == PortKind::Network) {
        context.port = QStringLiteral("%1:%2").arg(port.NetIP.trimmed(), port.NetPort.trimmed());
    } else {
        // COM1 says which device it stood for.
        context.port = SerialPortLabel(port.ComPortName);
        if (fault == LinkFault::NoAccess) {
            const SerialAccess access = ProbeSerialAccess(SerialDevicePath(port.ComPortName));
            if (access.groupMode) context.group = access.group;
            context.logInAgain = access.accountListed && !access.sessionHasGroup;
        }
    }
    return FaultCause(fault, languageIndex_, context);
}

ShowStatus TfrmModule::statusShower() {
    return [this](const char* english) {
        showStatus(english);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

std::function<void(int)> TfrmModule::countdownShower(const char* title) {
    return [this, title](int secondsLeft) {
        ui->pnMsg->setText(MessageTable::translate(title, languageIndex_) +
                           QString::asprintf(" ( %d )", secondsLeft));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void TfrmModule::setLamp(const QColor& colour) {
    ui->shComm->setFillColor(colour);
}

}  // namespace kt
