// The one-shot buttons of the Test page, the speed presets of the COM port
// page and the controller command test (controller/basic_commands.h).
#include "basic_commands.h"
#include "command_text.h"
#include "tfrm_module.h"
#include "ui_tfrm_module.h"
#include "visible_text.h"

namespace kt {
namespace {

void showSpeed(QComboBox* box, const SpeedBoxSetting& speed) {
    box->setCurrentIndex(speed.index);
    box->setEditText(speed.text);
}

}  // namespace

void TfrmModule::btnSetDateClick() {
    runOperation(
        [this](Link& link) { return SetDateTime(link, deviceAddress_, statusShower()).ok; });
}

void TfrmModule::btnAlarmClick() {
    const int alarm = ui->cmbAlarm->currentIndex();
    runOperation(
        [&](Link& link) { return AlarmTest(link, deviceAddress_, alarm, statusShower()).ok; });
}

void TfrmModule::btnInitialClick() {
    if (operationRunning_ ||
        !confirmFirst("Set factory",
                      "Set factory erases the controller's cards and settings. Go on?"))
        return;
    runOperation([this](Link& link) {
        return FactoryReset(link, deviceAddress_, controllerFamily_, statusShower(),
                            countdownShower("Set factory"))
            .ok;
    });
}

void TfrmModule::btnRebootClick() {
    runOperation([this](Link& link) {
        return Reboot(link, deviceAddress_, controllerFamily_, statusShower(),
                      countdownShower("Set reboot"))
            .ok;
    });
}

void TfrmModule::btnSet19200Click() {
    changeSpeed(LineSpeed::Baud19200);
}

void TfrmModule::btnSet115200Click() {
    changeSpeed(LineSpeed::Baud115200);
}

void TfrmModule::changeSpeed(LineSpeed speed) {
    SpeedChangeResult result;
    runOperation([&](Link& link) {
        result = ChangeSpeed(link, deviceAddress_, controllerFamily_, speed, statusShower());
        return result.ok;
    });
    // Only now that the port is closed: the next operation opens it at the new speed.
    if (result.speedBox) showSpeed(ui->cmbBaudrate, *result.speedBox);
}

void TfrmModule::btn19200Click() {
    showSpeed(ui->cmbBaudrate, SpeedPreset(LineSpeed::Baud19200));
}

void TfrmModule::btn115200Click() {
    showSpeed(ui->cmbBaudrate, SpeedPreset(LineSpeed::Baud115200));
}

void TfrmModule::btnCommandClick() {
    const QByteArray typed = CommandTextBytes(ui->edCommandSend->text());
    const bool ok = runOperation([&](Link& link) {
        const CommandTestResult result = CommandTest(link, deviceAddress_, typed);
        if (result.receiveText) ui->edCommandRecv->setText(VisibleText(*result.receiveText));
        return result.ok;
    });
    // The controller answered on these entries: keep them.
    if (ok) SavePortSettings();
}

}  // namespace kt
