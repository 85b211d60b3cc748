// The Controller page: read a controller's ID and serial number, find the ID
// of a serial number, give the controller of a serial number a new ID
// (controller/controller_id.h).
#include "app/window/tfrm_module.h"
#include "controller/controller_id.h"
#include "link/command_text.h"
#include "ui_tfrm_module.h"

namespace kt {

void TfrmModule::btnGetCtrlIDClick() {
    const bool byId = ui->rbCtrlByID->isChecked();
    const QByteArray serial = CommandTextBytes(ui->edCtrlBySN->text());
    runOperation([this, byId, serial, address = deviceAddress_](Link& link) {
        const ControllerIdResult result = GetControllerId(link, address, byId, serial);
        runner_->onWindow([this, result] {
            if (result.idText) ui->edCtrlByID->setText(QString::fromLatin1(*result.idText));
            if (result.serialText) ui->edCtrlBySN->setText(QString::fromLatin1(*result.serialText));
        });
        return result.ok;
    });
}

void TfrmModule::btnSetCtrlBySNClick() {
    const QByteArray serial = CommandTextBytes(ui->edCtrlBySN->text());
    const QByteArray newId = CommandTextBytes(ui->edSetCtrlID->text());
    runOperation(
        [serial, newId](Link& link) { return SetControllerIdBySerial(link, serial, newId).ok; });
}

}  // namespace kt
