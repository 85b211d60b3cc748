// The Connect button: find the controller on the chosen port, learn its
// address, model, version and serial number (controller/connect.h), and
// show them.
#include "app/window/tfrm_module.h"
#include "controller/connect.h"
#include "ui_tfrm_module.h"

namespace kt {

void TfrmModule::btnConnectClick() {
    if (runner_->running()) return;
    session_->controllerFamily = 0;
    ui->tsTest->showInputsAndOutputs(false);

    ConnectObserver observer;
    observer.attemptFailed = runner_->countdownShower("Connecting device ...");
    observer.addressFound = [this](const QByteArray& address, bool familyFour) {
        runner_->onWindow([this, address, familyFour] {
            ui->pnVER->clear();
            ui->pnSN->clear();
            session_->deviceAddress = address;
            bool number = false;
            const int position = QString::fromLatin1(address).toInt(&number, 10);
            if (number) ui->sbID->setValue(position);
            if (familyFour) {
                session_->controllerFamily = 4;
                ui->tsTest->showInputsAndOutputs(true);
            }
            // The controller answered on these entries: keep them.
            session_->SavePortSettings();
        });
    };

    runner_->start([this, observer, idText = ui->pnID->text().toLatin1()](Link& link) {
        const ConnectResult result = Connect(link, idText, observer);
        if (result.outcome == ConnectResult::Outcome::NotFound)
            return OperationRunner::Ending::NotFound;
        runner_->onWindow([this, result] {
            session_->deviceAddress = result.address;
            session_->controllerFamily = result.family;
            ui->pnVER->setText(QString::fromLatin1(result.versionText));
            ui->pnSN->setText(QString::fromLatin1(result.serialText));
        });
        return result.outcome == ConnectResult::Outcome::Identified
                   ? OperationRunner::Ending::Ok
                   : OperationRunner::Ending::Error;
    });
}

}  // namespace kt
