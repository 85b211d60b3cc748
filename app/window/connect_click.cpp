// The Connect button: find the controller on the chosen port, learn its
// address, model, version and serial number (controller/connect.h), and
// show them.
#include "app/window/tfrm_module.h"
#include "controller/connect.h"
#include "ui_tfrm_module.h"

#include <memory>

namespace kt {

void TfrmModule::btnConnectClick() {
    if (operationRunning()) return;
    controllerFamily_ = 0;
    for (QWidget* io : {static_cast<QWidget*>(ui->shDI5), static_cast<QWidget*>(ui->shDI6),
                        static_cast<QWidget*>(ui->shDI7), static_cast<QWidget*>(ui->shDI8),
                        static_cast<QWidget*>(ui->lblDI5), static_cast<QWidget*>(ui->lblDI6),
                        static_cast<QWidget*>(ui->lblDI7), static_cast<QWidget*>(ui->lblDI8),
                        static_cast<QWidget*>(ui->chkDO3), static_cast<QWidget*>(ui->chkDO4)})
        io->setVisible(true);

    ConnectObserver observer;
    observer.attemptFailed = runner_->countdownShower("Connecting device ...");
    observer.addressFound = [this](const QByteArray& address, bool familyFour) {
        runner_->onWindow([this, address, familyFour] {
            ui->pnVER->clear();
            ui->pnSN->clear();
            deviceAddress_ = address;
            bool number = false;
            const int position = QString::fromLatin1(address).toInt(&number, 10);
            if (number) ui->sbID->setValue(position);
            if (familyFour) {
                controllerFamily_ = 4;
                // These controllers have two inputs and one output fewer.
                for (QWidget* io :
                     {static_cast<QWidget*>(ui->shDI5), static_cast<QWidget*>(ui->shDI6),
                      static_cast<QWidget*>(ui->lblDI5), static_cast<QWidget*>(ui->lblDI6),
                      static_cast<QWidget*>(ui->chkDO4)})
                    io->setVisible(false);
            }
            // The controller answered on these entries: keep them.
            SavePortSettings();
        });
    };

    runner_->start([this, observer, idText = ui->pnID->text().toLatin1()](Link& link) {
        const ConnectResult result = Connect(link, idText, observer);
        if (result.outcome == ConnectResult::Outcome::NotFound)
            return OperationRunner::Ending::NotFound;
        runner_->onWindow([this, result] {
            deviceAddress_ = result.address;
            controllerFamily_ = CodeOf(result.family);
            ui->pnVER->setText(QString::fromLatin1(result.versionText));
            ui->pnSN->setText(QString::fromLatin1(result.serialText));
        });
        return result.outcome == ConnectResult::Outcome::Identified
                   ? OperationRunner::Ending::Ok
                   : OperationRunner::Ending::Error;
    });
}

}  // namespace kt
