// The module buttons: the module command test of the Command page, the V5
// Module page and the V7 Module page (modules/pass_through.h,
// modules/v7_registers.h). Each reads its controls, runs one operation and
// writes what the result carries; a result field left empty leaves its
// control as it is.
#include "app/window/tfrm_module.h"
#include "link/command_text.h"
#include "link/visible_text.h"
#include "modules/pass_through.h"
#include "modules/v7_registers.h"
#include "ui_tfrm_module.h"

namespace kt {
namespace {

void showReply(QLineEdit* field, const std::optional<QByteArray>& reply) {
    if (reply) field->setText(VisibleText(*reply));
}

}  // namespace

void TfrmModule::btnModuleCommandClick() {
    const int type = ui->cmbModuleType->currentIndex();
    const QByteArray id = CommandTextBytes(ui->cmbModuleId->currentText());
    const QByteArray command = CommandTextBytes(ui->edModuleCommandSend->text());
    runOperation([this, type, id, command, address = deviceAddress_](Link& link) {
        const ModuleCommandResult result = ModuleCommandTest(link, address, type, id, command);
        runner_->onWindow(
            [this, result] { showReply(ui->edModuleCommandRecv, result.receiveText); });
        return result.ok;
    });
}

void TfrmModule::btnV5GetSnClick() {
    const int type = ui->cmbV5Type->currentIndex();
    const QByteArray id = CommandTextBytes(ui->cmbV5Id->currentText());
    runOperation([this, type, id, address = deviceAddress_](Link& link) {
        const V5SerialResult result = GetV5Serial(link, address, type, id);
        runner_->onWindow([this, result] {
            showReply(ui->edV5Recv, result.receiveText);
            if (result.serialText) ui->edV5Sn->setText(QString::fromLatin1(*result.serialText));
        });
        return result.ok;
    });
}

void TfrmModule::btnV5SetIdClick() {
    const int type = ui->cmbV5Type->currentIndex();
    const QByteArray serial = CommandTextBytes(ui->edV5Sn->text());
    const int newId = ui->cmbV5SetId->currentIndex();
    runOperation([this, type, serial, newId, address = deviceAddress_](Link& link) {
        const ModuleCommandResult result = SetV5IdBySerial(link, address, type, serial, newId);
        runner_->onWindow([this, result] { showReply(ui->edV5Recv, result.receiveText); });
        return result.ok;
    });
}

void TfrmModule::btnV7SnIdClick() {
    const bool byId = ui->rbID->isChecked();
    const int id = ui->cmbV7Id->currentIndex();
    const QByteArray serial = CommandTextBytes(ui->edV7Sn->text());
    runOperation([this, byId, id, serial, address = deviceAddress_](Link& link) {
        const V7SerialOrIdResult result = GetV7SerialOrId(link, address, byId, id, serial);
        runner_->onWindow([this, result] {
            showReply(ui->edV7Recv, result.receiveText);
            if (result.serialText) ui->edV7Sn->setText(QString::fromLatin1(*result.serialText));
            if (result.idIndex) ui->cmbV7Id->setCurrentIndex(*result.idIndex);
        });
        return result.ok;
    });
}

void TfrmModule::btnV7SetIdClick() {
    const QByteArray serial = CommandTextBytes(ui->edV7Sn->text());
    const int newId = ui->cmbV7SetId->currentIndex();
    runOperation([this, serial, newId, address = deviceAddress_](Link& link) {
        const ModuleCommandResult result = SetV7IdBySerial(link, address, serial, newId);
        runner_->onWindow([this, result] { showReply(ui->edV7Recv, result.receiveText); });
        return result.ok;
    });
}

void TfrmModule::btnV7SetCardTypeClick() {
    CardTypeSettings settings;
    settings.sameCardText = CommandTextBytes(ui->edSameCard->text());
    settings.boxes = {ui->chkCardTypeA->isChecked(),     ui->chkCardTypeABlock->isChecked(),
                      ui->chkCardType7Byte->isChecked(), ui->chkCardType15693->isChecked(),
                      ui->chkCardTypeB->isChecked(),     ui->chkCardTypeBG->isChecked()};
    settings.greenMode = ui->chkGreenMode->isChecked();
    settings.resetMode = ui->chkResetMode->isChecked();
    const int id = ui->cmbV7Id->currentIndex();
    runOperation([this, id, settings, address = deviceAddress_](Link& link) {
        const CardTypeResult result = SetV7CardType(link, address, id, settings);
        runner_->onWindow([this, result] { showCardType(result); });
        return result.ok;
    });
}

void TfrmModule::btnV7GetCardTypeClick() {
    const int id = ui->cmbV7Id->currentIndex();
    runOperation([this, id, address = deviceAddress_](Link& link) {
        const CardTypeResult result = GetV7CardType(link, address, id);
        runner_->onWindow([this, result] { showCardType(result); });
        return result.ok;
    });
}

// chkResetMode is no part of a reply and keeps its tick. edSameCard keeps
// its three characters as designed: a delay above 999, which only another
// tool can have written, shows cut to its first three digits (edV7Recv has
// the whole word).
void TfrmModule::showCardType(const CardTypeResult& result) {
    showReply(ui->edV7Recv, result.receiveText);
    if (!result.shown) return;
    const CardTypeShown& shown = *result.shown;
    ui->edSameCard->setText(QString::fromLatin1(shown.sameCardText));
    ui->chkCardTypeA->setChecked(shown.boxes.uidA);
    ui->chkCardTypeABlock->setChecked(shown.boxes.block);
    ui->chkCardType7Byte->setChecked(shown.boxes.sevenByte);
    ui->chkCardType15693->setChecked(shown.boxes.iso15693);
    ui->chkCardTypeB->setChecked(shown.boxes.uidB);
    ui->chkCardTypeBG->setChecked(shown.boxes.guidB);
    ui->chkGreenMode->setChecked(shown.greenMode);
}

}  // namespace kt
