// The Connect button: find the controller on the chosen port, learn its
// address, model, version and serial number (controller/connect.h), and
// show them.
#include "connect.h"
#include "message_table.h"
#include "tfrm_module.h"
#include "ui_tfrm_module.h"

#include <QCoreApplication>

namespace kt {

void TfrmModule::btnConnectClick() {
    if (operationRunning_) return;
    controllerFamily_ = 0;
    for (QWidget* io : {static_cast<QWidget*>(ui->shDI5), static_cast<QWidget*>(ui->shDI6),
                        static_cast<QWidget*>(ui->shDI7), static_cast<QWidget*>(ui->shDI8),
                        static_cast<QWidget*>(ui->lblDI5), static_cast<QWidget*>(ui->lblDI6),
                        static_cast<QWidget*>(ui->lblDI7), static_cast<QWidget*>(ui->lblDI8),
                        static_cast<QWidget*>(ui->chkDO3), static_cast<QWidget*>(ui->chkDO4)})
        io->setVisible(true);

    if (!BeginOperation()) {
        AbortOperation();
        return;
    }

    ConnectObserver observer;
    observer.attemptFailed = [this](int remaining) {
        ui->pnMsg->setText(MessageTable::translate("Connecting device ...", languageIndex_) +
                           QString::asprintf(" ( %d )", remaining));
        QCoreApplication::processEvents();
    };
    observer.addressFound = [this](const QByteArray& address, bool familyFour) {
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
    };

    const ConnectResult result = Connect(link_, ui->pnID->text().toLatin1(), observer);
    if (result.outcome == ConnectResult::Outcome::NotFound) {
        link_.ClosePort();
        AbortOperation();
        return;
    }
    deviceAddress_ = result.address;
    controllerFamily_ = result.family;
    ui->pnVER->setText(QString::fromLatin1(result.versionText));
    ui->pnSN->setText(QString::fromLatin1(result.serialText));
    if (result.outcome == ConnectResult::Outcome::Identified)
        FinishOperationOk();
    else
        FinishOperationError();
}

}  // namespace kt
