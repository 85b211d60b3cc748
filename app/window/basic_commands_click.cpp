// The one-shot buttons of the Test page, the speed presets of the COM port
// page and the controller command test (controller/basic_commands.h).
#include "app/window/tfrm_module.h"
#include "controller/basic_commands.h"
#include "link/command_text.h"
#include "link/visible_text.h"
#include "ui_tfrm_module.h"

#include <memory>

namespace kt {
namespace {

void showSpeed(QComboBox* box, const SpeedBoxSetting& speed) {
    box->setCurrentIndex(speed.index);
    box->setEditText(speed.text);
}

}  // namespace

void TfrmModule::btnSetDateClick() {
    runOperation([address = deviceAddress_, status = runner_->statusShower()](Link& link) {
        return SetDateTime(link, address, status).ok;
    });
}

void TfrmModule::btnAlarmClick() {
    runOperation([address = deviceAddress_, alarm = ui->cmbAlarm->currentIndex(),
                  status = runner_->statusShower()](Link& link) {
        return AlarmTest(link, address, alarm, status).ok;
    });
}

void TfrmModule::btnInitialClick() {
    if (operationRunning() ||
        !confirmFirst("Set factory",
                      "Set factory erases the controller's cards and settings. Go on?"))
        return;
    runOperation([address = deviceAddress_, family = controllerFamily_,
                  status = runner_->statusShower(),
                  countdown = runner_->countdownShower("Set factory")](Link& link) {
        return FactoryReset(link, address, family, status, countdown).ok;
    });
}

void TfrmModule::btnRebootClick() {
    runOperation([address = deviceAddress_, family = controllerFamily_,
                  status = runner_->statusShower(),
                  countdown = runner_->countdownShower("Set reboot")](Link& link) {
        return Reboot(link, address, family, status, countdown).ok;
    });
}

void TfrmModule::btnSet19200Click() {
    changeSpeed(LineSpeed::Baud19200);
}

void TfrmModule::btnSet115200Click() {
    changeSpeed(LineSpeed::Baud115200);
}

void TfrmModule::changeSpeed(LineSpeed speed) {
    auto result = std::make_shared<SpeedChangeResult>();
    runOperation(
        [result, speed, address = deviceAddress_, family = controllerFamily_,
         status = runner_->statusShower()](Link& link) {
            *result = ChangeSpeed(link, address, family, speed, status);
            return result->ok;
        },
        // Only now that the port is closed: the next operation opens it at the new speed.
        [this, result](bool) {
            if (!result->speedBox) return;
            showSpeed(ui->cmbBaudrate, *result->speedBox);
            // Behind a converter that takes line settings, its line moved along.
            if (portKind_ == PortKind::Network && fields_.NetSetLine != 0)
                showSpeed(ui->cmbNetBaudrate, *result->speedBox);
        });
}

void TfrmModule::btn19200Click() {
    showSpeed(ui->cmbBaudrate, SpeedPreset(LineSpeed::Baud19200));
}

void TfrmModule::btn115200Click() {
    showSpeed(ui->cmbBaudrate, SpeedPreset(LineSpeed::Baud115200));
}

void TfrmModule::btnCommandClick() {
    const QByteArray typed = CommandTextBytes(ui->edCommandSend->text());
    runOperation(
        [this, typed, address = deviceAddress_](Link& link) {
            const CommandTestResult result = CommandTest(link, address, typed);
            if (const auto received = result.receiveText)
                runner_->onWindow(
                    [this, received] { ui->edCommandRecv->setText(VisibleText(*received)); });
            return result.ok;
        },
        // The controller answered on these entries: keep them.
        [this](bool ok) {
            if (ok) SavePortSettings();
        });
}

}  // namespace kt
