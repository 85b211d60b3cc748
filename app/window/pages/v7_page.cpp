// The V7 module operations (modules/v7_registers.h). A result field left
// empty leaves its control as it is.
#include "app/window/pages/v7_page.h"

#include "app/messages.h"
#include "app/window/window_session.h"
#include "link/command_text.h"
#include "modules/v7_registers.h"
#include "ui_v7_page.h"

namespace kt {

V7Page::V7Page(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::V7Page>()) {
    ui->setupUi(this);
}

V7Page::~V7Page() = default;

void V7Page::attach(WindowSession& session) {
    session_ = &session;
    const std::pair<QPushButton*, void (V7Page::*)()> buttons[] = {
        {ui->btnV7SnId, &V7Page::btnV7SnIdClick},
        {ui->btnV7SetId, &V7Page::btnV7SetIdClick},
        {ui->btnV7SetCardType, &V7Page::btnV7SetCardTypeClick},
        {ui->btnV7GetCardType, &V7Page::btnV7GetCardTypeClick},
    };
    for (const auto& [button, click] : buttons)
        connect(button, &QPushButton::clicked, this, handler(this, click));
}

void V7Page::retranslate() {
    ui->gbSetV7->setTitle(Messages::tr("Set Reader/DIDO"));
    ui->btnV7SnId->setText(Messages::tr("Get S/N or ID"));
    ui->btnV7SetId->setText(Messages::tr("Set ID by S/N"));
    ui->lblSetV7Id->setText(Messages::tr("Set ID:"));
    ui->gbSetCardTypeByID->setTitle(Messages::tr("Set Card Type by ID"));
    ui->btnV7SetCardType->setText(Messages::tr("Set Card Type"));
    ui->btnV7GetCardType->setText(Messages::tr("Get Card Type"));
    ui->lblV7Recv->setText(Messages::tr("Receive Data:"));
}

QList<QWidget*> V7Page::deviceButtons() const {
    return {ui->btnV7SnId, ui->btnV7SetId, ui->btnV7SetCardType, ui->btnV7GetCardType};
}

void V7Page::btnV7SnIdClick() {
    const bool byId = ui->rbID->isChecked();
    const int id = ui->cmbV7Id->currentIndex();
    const QByteArray serial = CommandTextBytes(ui->edV7Sn->text());
    session_->runOperation([this, byId, id, serial, address = session_->deviceAddress](Link& link) {
        const V7SerialOrIdResult result = GetV7SerialOrId(link, address, byId, id, serial);
        session_->runner.onWindow([this, result] {
            showReply(ui->edV7Recv, result.receiveText);
            if (result.serialText) ui->edV7Sn->setText(QString::fromLatin1(*result.serialText));
            if (result.idIndex) ui->cmbV7Id->setCurrentIndex(*result.idIndex);
        });
        return result.ok;
    });
}

void V7Page::btnV7SetIdClick() {
    const QByteArray serial = CommandTextBytes(ui->edV7Sn->text());
    const int newId = ui->cmbV7SetId->currentIndex();
    session_->runOperation([this, serial, newId, address = session_->deviceAddress](Link& link) {
        const ModuleCommandResult result = SetV7IdBySerial(link, address, serial, newId);
        session_->runner.onWindow([this, result] { showReply(ui->edV7Recv, result.receiveText); });
        return result.ok;
    });
}

void V7Page::btnV7SetCardTypeClick() {
    CardTypeSettings settings;
    settings.sameCardText = CommandTextBytes(ui->edSameCard->text());
    settings.boxes = {ui->chkCardTypeA->isChecked(),     ui->chkCardTypeABlock->isChecked(),
                      ui->chkCardType7Byte->isChecked(), ui->chkCardType15693->isChecked(),
                      ui->chkCardTypeB->isChecked(),     ui->chkCardTypeBG->isChecked()};
    settings.greenMode = ui->chkGreenMode->isChecked();
    settings.resetMode = ui->chkResetMode->isChecked();
    const int id = ui->cmbV7Id->currentIndex();
    session_->runOperation([this, id, settings, address = session_->deviceAddress](Link& link) {
        const CardTypeResult result = SetV7CardType(link, address, id, settings);
        session_->runner.onWindow([this, result] { showCardType(result); });
        return result.ok;
    });
}

void V7Page::btnV7GetCardTypeClick() {
    const int id = ui->cmbV7Id->currentIndex();
    session_->runOperation([this, id, address = session_->deviceAddress](Link& link) {
        const CardTypeResult result = GetV7CardType(link, address, id);
        session_->runner.onWindow([this, result] { showCardType(result); });
        return result.ok;
    });
}

// chkResetMode is no part of a reply and keeps its tick. edSameCard keeps
// its three characters as designed: a delay above 999, which only another
// tool can have written, shows cut to its first three digits (edV7Recv has
// the whole word).
void V7Page::showCardType(const CardTypeResult& result) {
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
