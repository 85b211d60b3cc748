// The tool's one window. It composes the pages (app/window/pages/), each
// with its own form and handlers, the menus (window_menu.h) and the
// operation runner they all run through (operation_runner.h); the pages
// share what they need through one WindowSession. Here are only Connect,
// the controller's panels and the language. The fixed layout is the form
// tfrm_module.ui.
#pragma once

#include "app/languages.h"
#include "app/settings_store.h"
#include "app/tone.h"
#include "app/window/link_worker.h"
#include "app/window/operation_runner.h"
#include "app/window/pages/firmware_page.h"
#include "app/window/serial_port_list.h"
#include "app/window/window_session.h"
#include "link/link.h"

#include <QByteArray>
#include <QMainWindow>
#include <functional>
#include <memory>

class QStyle;

namespace Ui {
class TfrmModule;
}

namespace kt {

class TrafficMonitor;
class WindowMenu;

class TfrmModule : public QMainWindow {
    Q_OBJECT
public:
    // The serial ports present now; the port box asks at start, each time
    // its list opens and when an adapter comes or goes.
    using PortLister = std::function<QList<SerialPortRecord>()>;

    // Creates the controls and runs FormCreate (defaults, stored settings,
    // the serial port list, the port page). The language is applied when the
    // window is first shown. Every operation ends with a tone played on `tone`.
    explicit TfrmModule(std::unique_ptr<Tone> tone, PortLister listPorts = presentSerialPorts,
                        QWidget* parent = nullptr);
    ~TfrmModule() override;

    const QByteArray& DeviceAddress() const { return session_->deviceAddress; }
    Family ControllerFamily() const { return session_->controllerFamily; }
    // The language shown, by its catalogue's code, and the font it takes.
    const QString& language() const { return session_->language; }
    // While a continuous test (DIDO or polling) runs and is not cancelled.
    bool TestRunning() const { return runner_->testRunning(); }
    // The stored values as the window holds them now.
    const StoredSettings& settingsFields() const { return session_->fields; }

    // One operation, on the link's worker: BeginOperation here; there the
    // port opens (if not, AbortOperation) and `body` runs its transactions
    // and says whether they succeeded; FinishOperationOk or
    // FinishOperationError ends it, and then `done` runs here with the
    // verdict. False at once, with nothing done, while another operation
    // runs. An exception from `body` ends it with FinishOperationError and is
    // shown in the standard error box.
    bool runOperation(std::function<bool(Link&)> body, std::function<void(bool ok)> done = {}) {
        return session_->runOperation(std::move(body), std::move(done));
    }
    bool operationRunning() const { return runner_->running(); }
    // The worker's link: read it only while no operation runs.
    Link& link() { return worker_->link(); }
    // The traffic monitor, once the File menu has opened it (else null).
    TrafficMonitor* trafficMonitor() const;

    // The file dialogue of the File menu's "Firmware file" (firmware_page.h).
    void setFirmwareFileChooser(FirmwarePage::FirmwareFileChooser chooser);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void ApplyLanguageFont();
    void btnConnectClick();
    void sbIDChange(int position);
    void attachPages();
    void enterPressed();
    void applyDesignFonts();

    // The form's own fonts: the design face in the font, its pixel height here.
    static constexpr char kPixelHeight[] = "pixelHeight";

    std::unique_ptr<Ui::TfrmModule> ui;
    std::unique_ptr<Tone> tone_;
    PortLister listPorts_;
    // The thread that owns the link, and the window's side of every operation.
    std::unique_ptr<LinkWorker> worker_;
    std::unique_ptr<OperationRunner> runner_;
    std::unique_ptr<WindowSession> session_;
    std::unique_ptr<WindowMenu> menu_;

    bool shownBefore_ = false;
    QStyle* menuBarStyle_ = nullptr;  // English item heights in every language; a child
};

}  // namespace kt
