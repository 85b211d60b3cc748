// The tool's one window. It reads its controls, runs the operation bracket
// (BeginOperation, the operation, one epilogue) around an operation of
// controller/, and writes the results; the dialogue with the device lives in
// the operations. The fixed layout is the form tfrm_module.ui.
#pragma once

#include "app/languages.h"
#include "app/settings_store.h"
#include "app/tone.h"
#include "app/window/link_worker.h"
#include "app/window/operation_runner.h"
#include "app/window/serial_port_list.h"
#include "controller/operation.h"
#include "firmware/firmware_file.h"
#include "link/link.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>

class QPushButton;
class QStyle;

namespace kt {
enum class LineSpeed;
struct CardTypeResult;
class ModuleSurveyWindow;
}  // namespace kt

namespace Ui {
class TfrmModule;
}

namespace kt {

class TrafficMonitor;

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

    // What every operation puts in front of a controller command: "0000"
    // until a Connect finds a controller, then its address.
    const QByteArray& DeviceAddress() const { return deviceAddress_; }
    // 0 until a Connect has identified the controller (codes: controller/connect.h).
    int ControllerFamily() const { return controllerFamily_; }
    LanguageIndex languageIndex() const { return languageIndex_; }
    // While a continuous test (DIDO or polling) runs and is not cancelled.
    bool TestRunning() const;
    // The stored values as the window holds them now.
    const StoredSettings& settingsFields() const { return fields_; }

    // One operation, on the link's worker: BeginOperation here; there the
    // port opens (if not, AbortOperation) and `body` runs its transactions
    // and says whether they succeeded; FinishOperationOk or
    // FinishOperationError ends it, and then `done` runs here with the
    // verdict. False at once, with nothing done, while another operation
    // runs. An exception from `body` ends it with FinishOperationError and is
    // shown in the standard error box.
    bool runOperation(std::function<bool(Link&)> body, std::function<void(bool ok)> done = {});
    bool operationRunning() const;
    // The worker's link: read it only while no operation runs.
    Link& link();
    // The traffic monitor, once the File menu has opened it (else null).
    TrafficMonitor* trafficMonitor() const { return traffic_.get(); }

    // Takes the active port page into the fields and stores the port values.
    void SavePortSettings();

    // The file dialogue of the File menu's "Firmware file": the chosen path,
    // empty when cancelled. By default the open dialogue with the firmware
    // files' filter; tests put their own in its place.
    using FirmwareFileChooser = std::function<QString()>;
    void setFirmwareFileChooser(FirmwareFileChooser chooser);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void ApplyLanguageFont();

    void btnConnectClick();
    void btnSetDateClick();
    void btnAlarmClick();
    void btnInitialClick();
    // Asks `question` (an English text of the tables) under `title`, Yes or
    // No, No the default; true for Yes.
    bool confirmFirst(const char* title, const char* question);
    void btnRebootClick();
    void btnSet19200Click();
    void btnSet115200Click();
    void changeSpeed(LineSpeed speed);
    void btn19200Click();
    void btn115200Click();
    void btnCommandClick();
    void btnGetCtrlIDClick();
    void btnSetCtrlBySNClick();
    void btnDIDOClick();
    void btnPoolingClick();
    void btnModuleCommandClick();
    void btnV5GetSnClick();
    void btnV5SetIdClick();
    void btnV7SnIdClick();
    void btnV7SetIdClick();
    void btnV7SetCardTypeClick();
    void btnV7GetCardTypeClick();
    void showCardType(const CardTypeResult& result);
    void sbIDChange(int position);
    void tmrClockTimer();
    void mnuEnglishClick();
    void mnuSimplifiedClick();
    void mnuTraditionalClick();
    void mnuExitClick();
    void mnuAboutClick();
    void mnuTrafficClick();
    void mnuFindSpeedClick();
    void mnuModuleSurveyClick();
    bool findSpeedApplies() const;
    void updateFindSpeedEnabled();
    ModuleSurveyWindow& surveyWindow();

    void connectHandlers();
    void chooseLanguage(LanguageIndex language);
    void enterPressed();
    void applyDesignFonts();
    void copyFieldsToPortPage();
    PortSettings takeActivePortPage();
    QString text(int number) const;

    void mnuFirmwareFileClick();
    void btnFirmwareClick();
    QString chooseFirmwareFile();
    bool loadFirmwareFile();

    // Runs a handler. An exception that escapes it is shown in the standard
    // error box, and the tool goes on: Qt lets no exception cross its event loop.
    void runHandler(const std::function<void()>& body);
    template <typename... Args>
    auto handler(void (TfrmModule::*method)(Args...)) {
        return [this, method](Args... args) { runHandler([&] { (this->*method)(args...); }); };
    }

    // The form's own fonts: the design face in the font, its pixel height here.
    static constexpr char kPixelHeight[] = "pixelHeight";

    std::unique_ptr<Ui::TfrmModule> ui;
    std::unique_ptr<Tone> tone_;
    PortLister listPorts_;
    // The thread that owns the link, and the window's side of every operation.
    std::unique_ptr<LinkWorker> worker_;
    std::unique_ptr<OperationRunner> runner_;

    QTimer tmrClock;

    QByteArray deviceAddress_ = "0000";
    int controllerFamily_ = 0;
    LanguageIndex languageIndex_ = LanguageIndex::English;
    StoredSettings fields_;
    PortKind portKind_ = PortKind::Serial;

    // The continuous tests (DIDO, polling): one at a time, started and
    // cancelled by their own button; the runner keeps which one runs.
    enum class ContinuousTest { None, Dido, Polling };
    void runContinuousTest(ContinuousTest kind, OperationRunner::Body loop);
    ContinuousTest runningTest() const;
    QPushButton* testButton(ContinuousTest kind) const;
    int testCaption(ContinuousTest kind) const;
    // The output boxes as the DIDO loop reads them on the worker, each pass.
    std::array<std::atomic<bool>, 4> outputChecked_{};

    bool shownBefore_ = false;
    QStyle* menuBarStyle_ = nullptr;  // English item heights in every language; a child

    // FirmwareImage and FirmwareBlockCount, as the last firmware run loaded them.
    FirmwareImage firmwareImage_;
    FirmwareFileChooser firmwareFileChooser_;

    // Made on first use; destroyed before the link it listens on.
    std::unique_ptr<TrafficMonitor> traffic_;
    // frmModuleSurvey, made the first time the survey runs.
    std::unique_ptr<ModuleSurveyWindow> surveyWindow_;
};

}  // namespace kt
