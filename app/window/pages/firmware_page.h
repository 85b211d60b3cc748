// The Firmware upgrade page, hidden in this configuration: the chosen file,
// the note, the two progress bars and "Firmware load", which reloads the
// file, checks it against the connected controller and runs the programmer.
#pragma once

#include "firmware/firmware_file.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class FirmwarePage;
}

namespace kt {

struct WindowSession;

class FirmwarePage : public QWidget {
    Q_OBJECT
public:
    explicit FirmwarePage(QWidget* parent = nullptr);
    ~FirmwarePage() override;

    void attach(WindowSession& session);
    void retranslate();
    QList<QWidget*> deviceButtons() const;

    // The file dialogue of the File menu's "Firmware file": the chosen path,
    // empty when cancelled. By default the open dialogue with the firmware
    // files' filter; tests put their own in its place.
    using FirmwareFileChooser = std::function<QString()>;
    void setFirmwareFileChooser(FirmwareFileChooser chooser);
    // The File menu's "Firmware file": asks for the file, stores it and
    // gives its header, when it has one that can be read.
    std::optional<QByteArray> chooseFirmwareFile();

private:
    void btnFirmwareClick();
    bool loadFirmwareFile();

    std::unique_ptr<Ui::FirmwarePage> ui;
    WindowSession* session_ = nullptr;
    // FirmwareImage and FirmwareBlockCount, as the last firmware run loaded them.
    FirmwareImage firmwareImage_;
    FirmwareFileChooser firmwareFileChooser_;
};

}  // namespace kt
