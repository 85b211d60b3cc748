// The file is chosen from the File menu; "Firmware load" runs the
// programmer (firmware/programmer.h) with the page's two progress bars.
#include "app/window/pages/firmware_page.h"

#include "app/messages.h"
#include "app/settings_store.h"
#include "app/tone.h"
#include "app/window/window_session.h"
#include "firmware/programmer.h"
#include "ui_firmware_page.h"

#include <QFileDialog>

namespace kt {
namespace {

constexpr int kToneMs = 300;
constexpr int kToneErrorHz = 300;
const QColor kLampRed(0xff, 0x00, 0x00);

}  // namespace

FirmwarePage::FirmwarePage(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FirmwarePage>()) {
    ui->setupUi(this);
}

FirmwarePage::~FirmwarePage() = default;

void FirmwarePage::attach(WindowSession& session) {
    session_ = &session;
    ui->pnFile->setText(session.fields.FirmwareFile);
    connect(ui->btnFirmware, &QPushButton::clicked, this,
            handler(this, &FirmwarePage::btnFirmwareClick));
}

void FirmwarePage::retranslate() {
    ui->pnFirmwareNote->setText(Messages::tr("Note !"));
    ui->moFirmwareNote->clear();
    ui->moFirmwareNote->appendPlainText(Messages::tr(
        "Upgrading the firmware of the Product will lost some data on the Product. To ensure data "
        "security, it is recommended that you back up your data before update."));
    ui->btnFirmware->setText(Messages::tr("Firmware load"));
}

QList<QWidget*> FirmwarePage::deviceButtons() const {
    return {ui->btnFirmware};
}

void FirmwarePage::setFirmwareFileChooser(FirmwareFileChooser chooser) {
    firmwareFileChooser_ = std::move(chooser);
}

std::optional<QByteArray> FirmwarePage::chooseFirmwareFile() {
    const QString chosen = firmwareFileChooser_ ? firmwareFileChooser_()
                                                : QFileDialog::getOpenFileName(
                                                      window(), QString(), QString(),
                                                      QStringLiteral("Firmware files (*.KTB)"));
    if (chosen.isEmpty()) return std::nullopt;  // cancelled
    ui->pbProgram->setValue(0);
    ui->pbVerify->setValue(0);
    session_->fields.FirmwareFile = chosen;
    SaveFirmwareFile(chosen);
    ui->pnFile->setText(chosen);
    // A file that cannot be read is passed over in silence.
    return ReadFirmwareHeader(chosen);
}

// LoadFirmwareFile with the window's state: the stored file, the family and
// version text Connect found. A family without a loader keeps the image
// (and so the block count) it had.
bool FirmwarePage::loadFirmwareFile() {
    FirmwareFile loaded = LoadFirmwareFile(session_->fields.FirmwareFile,
                                           session_->controllerFamily, session_->versionText());
    if (loaded.image) firmwareImage_ = std::move(*loaded.image);
    if (loaded.ok()) return true;
    session_->runner.showStatus(loaded.errorText());
    session_->runner.setLamp(kLampRed);
    session_->tone.play(kToneErrorHz, kToneMs);
    return false;
}

void FirmwarePage::btnFirmwareClick() {
    if (session_->operationRunning()) return;
    ui->pbProgram->setValue(0);
    ui->pbVerify->setValue(0);
    if (!loadFirmwareFile()) return;
    if (!session_->confirmFirst(
            this, "Firmware upgrade",
            QT_TRANSLATE_NOOP("Messages",
                              "The firmware upgrade rewrites the controller's program. Go on?")))
        return;

    OperationRunner& runner = session_->runner;
    FirmwareObserver observer;
    observer.status = runner.statusShower();
    observer.handshakeFailed = runner.countdownShower("Connecting device ...");
    const auto bar = [this](FirmwareBar which) {
        return which == FirmwareBar::Program ? ui->pbProgram : ui->pbVerify;
    };
    observer.phaseStarted = [&runner, bar](FirmwareBar which, int maximum) {
        runner.onWindow([bar, which, maximum] { bar(which)->setMaximum(maximum); });
    };
    observer.progress = [&runner, bar](FirmwareBar which, int position) {
        runner.onWindow([bar, which, position] { bar(which)->setValue(position); });
    };

    // A family without a loader dialogue (none identified yet, or 7 to 9)
    // is refused before anything is sent, and the run ends as an error.
    // The loader's or the programmer's own words follow the table's text
    // (OperationRunner::reportCause).
    session_->runOperation([&runner, observer, address = session_->deviceAddress,
                            family = session_->controllerFamily,
                            image = firmwareImage_](Link& link) {
        const FirmwareResult result = ProgramFirmware(link, address, family, image, observer);
        if (!result.ok && !result.cause.isEmpty()) runner.reportCause(result.cause);
        return result.ok;
    });
}

}  // namespace kt
