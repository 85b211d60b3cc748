// The controller ID operations (controller/controller_id.h).
#include "app/window/pages/controller_page.h"

#include "app/messages.h"
#include "app/window/window_session.h"
#include "controller/controller_id.h"
#include "link/command_text.h"
#include "ui_controller_page.h"

namespace kt {

ControllerPage::ControllerPage(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ControllerPage>()) {
    ui->setupUi(this);
}

ControllerPage::~ControllerPage() = default;

void ControllerPage::attach(WindowSession& session) {
    session_ = &session;
    connect(ui->btnGetCtrlID, &QPushButton::clicked, this,
            handler(this, &ControllerPage::btnGetCtrlIDClick));
    connect(ui->btnSetCtrlBySN, &QPushButton::clicked, this,
            handler(this, &ControllerPage::btnSetCtrlBySNClick));
}

void ControllerPage::retranslate() {
    ui->gbSetCtrl->setTitle(Messages::tr("Set Controller"));
    ui->btnGetCtrlID->setText(Messages::tr("Get S/N or ID"));
    ui->btnSetCtrlBySN->setText(Messages::tr("Set ID by S/N"));
    ui->lblSetCtrlID->setText(Messages::tr("Set ID:"));
}

QList<QWidget*> ControllerPage::deviceButtons() const {
    return {ui->btnGetCtrlID, ui->btnSetCtrlBySN};
}

void ControllerPage::btnGetCtrlIDClick() {
    const bool byId = ui->rbCtrlByID->isChecked();
    const QByteArray serial = CommandTextBytes(ui->edCtrlBySN->text());
    session_->runOperation([this, byId, serial, address = session_->deviceAddress](Link& link) {
        const ControllerIdResult result = GetControllerId(link, address, byId, serial);
        session_->runner.onWindow([this, result] {
            if (result.idText) ui->edCtrlByID->setText(QString::fromLatin1(*result.idText));
            if (result.serialText) ui->edCtrlBySN->setText(QString::fromLatin1(*result.serialText));
        });
        return result.ok;
    });
}

void ControllerPage::btnSetCtrlBySNClick() {
    const QByteArray serial = CommandTextBytes(ui->edCtrlBySN->text());
    const QByteArray newId = CommandTextBytes(ui->edSetCtrlID->text());
    session_->runOperation(
        [serial, newId](Link& link) { return SetControllerIdBySerial(link, serial, newId).ok; });
}

}  // namespace kt
