// The window's part of the operation bracket: the port page the operation
// opens, the runner it goes through (operation_runner.h), and the clock.
#include "app/window/tfrm_module.h"
#include "ui_tfrm_module.h"

#include <QDateTime>

namespace kt {

bool TfrmModule::runOperation(std::function<bool(Link&)> body, std::function<void(bool ok)> done) {
    return runner_->startSimple(std::move(body), std::move(done));
}

bool TfrmModule::operationRunning() const {
    return runner_->running();
}

bool TfrmModule::TestRunning() const {
    return runner_->testRunning();
}

Link& TfrmModule::link() {
    return worker_->link();
}

// The entries of the active port page become the fields the port opens
// with; the other page's fields keep what they had.
PortSettings TfrmModule::takeActivePortPage() {
    if (ui->pcPort->currentWidget() == ui->tsCom) {
        portKind_ = PortKind::Serial;
        fields_.ComPortName = ui->cmbPort->currentText();
        fields_.ComBaudRate = ui->cmbBaudrate->currentText();
    } else {
        portKind_ = PortKind::Network;
        fields_.NetIP = ui->edIP->text();
        fields_.NetPort = ui->edPort->text();
        fields_.NetSetLine = ui->chkNetSetLine->isChecked() ? 1 : 0;
        fields_.NetBaudRate = ui->cmbNetBaudrate->currentText();
    }
    PortSettings port{portKind_, fields_.ComPortName, fields_.ComBaudRate, fields_.NetIP,
                      fields_.NetPort};
    port.NetSetLine = fields_.NetSetLine != 0;
    port.NetBaudRate = fields_.NetBaudRate;
    return port;
}

void TfrmModule::SavePortSettings() {
    takeActivePortPage();
    fields_.type = portKind_ == PortKind::Network ? 1 : 0;
    kt::SavePortSettings(fields_);
    fields_.netLineStored = fields_.netLineStored || fields_.NetSetLine != 0;
}

void TfrmModule::tmrClockTimer() {
    ui->pnSetDate->setText(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

}  // namespace kt
