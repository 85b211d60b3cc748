// The controller command test (controller/basic_commands.h) and the module
// command test (modules/pass_through.h).
#include "app/window/pages/command_page.h"

#include "app/messages.h"
#include "app/window/window_session.h"
#include "controller/basic_commands.h"
#include "link/command_text.h"
#include "link/visible_text.h"
#include "modules/pass_through.h"
#include "ui_command_page.h"

namespace kt {

CommandPage::CommandPage(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::CommandPage>()) {
    ui->setupUi(this);
}

CommandPage::~CommandPage() = default;

void CommandPage::attach(WindowSession& session) {
    session_ = &session;
    connect(ui->btnCommand, &QPushButton::clicked, this,
            handler(this, &CommandPage::btnCommandClick));
    connect(ui->btnModuleCommand, &QPushButton::clicked, this,
            handler(this, &CommandPage::btnModuleCommandClick));
}

void CommandPage::retranslate() {
    ui->lblCommandSend->setText(Messages::tr("Send command:"));
    ui->lblCommandRecv->setText(Messages::tr("Receive data:"));
    ui->btnCommand->setText(Messages::tr("Command test"));
    ui->lblModuleCommandSend->setText(Messages::tr("Send command:"));
    ui->lblModuleCommandRecv->setText(Messages::tr("Receive data:"));
    ui->btnModuleCommand->setText(Messages::tr("Command test"));
    ui->gbModule->setTitle(Messages::tr("Module command test"));
    ui->gbController->setTitle(Messages::tr("Controller command test"));
    ui->lblModuleType->setText(Messages::tr("Type:"));
}

QList<QWidget*> CommandPage::deviceButtons() const {
    return {ui->btnCommand, ui->btnModuleCommand};
}

void CommandPage::btnCommandClick() {
    const QByteArray typed = CommandTextBytes(ui->edCommandSend->text());
    session_->runOperation(
        [this, typed, address = session_->deviceAddress](Link& link) {
            const CommandTestResult result = CommandTest(link, address, typed);
            if (const auto received = result.receiveText)
                session_->runner.onWindow(
                    [this, received] { ui->edCommandRecv->setText(VisibleText(*received)); });
            return result.ok;
        },
        // The controller answered on these entries: keep them.
        [this](bool ok) {
            if (ok) session_->SavePortSettings();
        });
}

void CommandPage::btnModuleCommandClick() {
    const int type = ui->cmbModuleType->currentIndex();
    const QByteArray id = CommandTextBytes(ui->cmbModuleId->currentText());
    const QByteArray command = CommandTextBytes(ui->edModuleCommandSend->text());
    session_->runOperation(
        [this, type, id, command, address = session_->deviceAddress](Link& link) {
            const ModuleCommandResult result = ModuleCommandTest(link, address, type, id, command);
            session_->runner.onWindow(
                [this, result] { showReply(ui->edModuleCommandRecv, result.receiveText); });
            return result.ok;
        });
}

}  // namespace kt
