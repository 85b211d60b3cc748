// The V5 module operations (modules/pass_through.h). A result field left
// empty leaves its control as it is.
#include "app/window/pages/v5_page.h"

#include "app/messages.h"
#include "app/window/window_session.h"
#include "link/command_text.h"
#include "modules/pass_through.h"
#include "ui_v5_page.h"

namespace kt {

V5Page::V5Page(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::V5Page>()) {
    ui->setupUi(this);
}

V5Page::~V5Page() = default;

void V5Page::attach(WindowSession& session) {
    session_ = &session;
    connect(ui->btnV5GetSn, &QPushButton::clicked, this, handler(this, &V5Page::btnV5GetSnClick));
    connect(ui->btnV5SetId, &QPushButton::clicked, this, handler(this, &V5Page::btnV5SetIdClick));
}

void V5Page::retranslate() {
    ui->gbSetV5->setTitle(Messages::tr("Set Reader/DIDO"));
    ui->btnV5SetId->setText(Messages::tr("Set ID by S/N"));
    ui->btnV5GetSn->setText(Messages::tr("Get S/N or ID"));
    ui->lblSetV5ID->setText(Messages::tr("Set ID:"));
    ui->lblV5Recv->setText(Messages::tr("Receive Data:"));
}

QList<QWidget*> V5Page::deviceButtons() const {
    return {ui->btnV5GetSn, ui->btnV5SetId};
}

void V5Page::btnV5GetSnClick() {
    const int type = ui->cmbV5Type->currentIndex();
    const QByteArray id = CommandTextBytes(ui->cmbV5Id->currentText());
    session_->runOperation([this, type, id, address = session_->deviceAddress](Link& link) {
        const V5SerialResult result = GetV5Serial(link, address, type, id);
        session_->runner.onWindow([this, result] {
            showReply(ui->edV5Recv, result.receiveText);
            if (result.serialText) ui->edV5Sn->setText(QString::fromLatin1(*result.serialText));
        });
        return result.ok;
    });
}

void V5Page::btnV5SetIdClick() {
    const int type = ui->cmbV5Type->currentIndex();
    const QByteArray serial = CommandTextBytes(ui->edV5Sn->text());
    const int newId = ui->cmbV5SetId->currentIndex();
    session_->runOperation([this, type, serial, newId,
                            address = session_->deviceAddress](Link& link) {
        const ModuleCommandResult result = SetV5IdBySerial(link, address, type, serial, newId);
        session_->runner.onWindow([this, result] { showReply(ui->edV5Recv, result.receiveText); });
        return result.ok;
    });
}

}  // namespace kt
