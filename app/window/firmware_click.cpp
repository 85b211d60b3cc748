// The hidden firmware upgrade: the File menu's "Firmware file" chooses the
// file and shows its header, and the Firmware page's "Firmware load" button
// reloads that file, checks it against the connected controller and runs the
// programmer (firmware/programmer.h) with the page's two progress bars.
#include "app/window/tfrm_module.h"
#include "firmware/programmer.h"
#include "ui_tfrm_module.h"

#include <QFileDialog>

namespace kt {
namespace {

constexpr int kToneMs = 300;
constexpr int kToneErrorHz = 300;
const QColor kLampRed(0xff, 0x00, 0x00);

}  // namespace

void TfrmModule::setFirmwareFileChooser(FirmwareFileChooser chooser) {
    firmwareFileChooser_ = std::move(chooser);
}

QString TfrmModule::chooseFirmwareFile() {
    if (firmwareFileChooser_) return firmwareFileChooser_();
    return QFileDialog::getOpenFileName(this, QString(), QString(),
                                        QStringLiteral("Firmware files (*.KTB)"));
}

void TfrmModule::mnuFirmwareFileClick() {
    const QString chosen = chooseFirmwareFile();
    if (chosen.isEmpty()) return;  // cancelled
    ui->pbProgram->setValue(0);
    ui->pbVerify->setValue(0);
    fields_.FirmwareFile = chosen;
    SaveFirmwareFile(chosen);
    ui->pnFile->setText(chosen);
    // A file that cannot be read is passed over in silence.
    if (const auto header = ReadFirmwareHeader(chosen))
        ui->pnMsg->setText(QString::fromLatin1(*header));
}

// LoadFirmwareFile with the window's state: the stored file, the family and
// version text Connect found. A family without a loader keeps the image
// (and so the block count) it had.
bool TfrmModule::loadFirmwareFile() {
    FirmwareFile loaded =
        LoadFirmwareFile(fields_.FirmwareFile, controllerFamily_, ui->pnVER->text().toLatin1());
    if (loaded.image) firmwareImage_ = std::move(*loaded.image);
    if (loaded.ok()) return true;
    runner_->showStatus(loaded.errorText());
    runner_->setLamp(kLampRed);
    tone_->play(kToneErrorHz, kToneMs);
    return false;
}

void TfrmModule::btnFirmwareClick() {
    if (operationRunning()) return;
    ui->pbProgram->setValue(0);
    ui->pbVerify->setValue(0);
    if (!loadFirmwareFile()) return;
    if (!confirmFirst("Firmware upgrade",
                      "The firmware upgrade rewrites the controller's program. Go on?"))
        return;

    FirmwareObserver observer;
    observer.status = runner_->statusShower();
    observer.handshakeFailed = runner_->countdownShower("Connecting device ...");
    const auto bar = [this](FirmwareBar which) {
        return which == FirmwareBar::Program ? ui->pbProgram : ui->pbVerify;
    };
    observer.phaseStarted = [this, bar](FirmwareBar which, int maximum) {
        runner_->onWindow([bar, which, maximum] { bar(which)->setMaximum(maximum); });
    };
    observer.progress = [this, bar](FirmwareBar which, int position) {
        runner_->onWindow([bar, which, position] { bar(which)->setValue(position); });
    };

    // A family without a loader dialogue (none identified yet, or 7 to 9)
    // is refused before anything is sent, and the run ends as an error.
    // The loader's or the programmer's own words follow the table's text
    // (OperationRunner::reportCause).
    runOperation([this, observer, address = deviceAddress_, family = controllerFamily_,
                  image = firmwareImage_](Link& link) {
        const FirmwareResult result = ProgramFirmware(link, address, family, image, observer);
        if (!result.ok && !result.cause.isEmpty()) runner_->reportCause(result.cause);
        return result.ok;
    });
}

}  // namespace kt
