// The tool's one window. It reads its controls, runs the operation bracket
// (BeginOperation, the operation, one epilogue) around an operation of
// controller/, and writes the results; the dialogue with the device lives in
// the operations. The fixed layout is the form tfrm_module.ui.
#pragma once

#include "firmware_file.h"
#include "languages.h"
#include "link.h"
#include "operation.h"
#include "serial_port_list.h"
#include "settings_store.h"
#include "tone.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
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
    bool TestRunning() const { return testRunning_; }
    // The stored values as the window holds them now.
    const StoredSettings& settingsFields() const { return fields_; }

    // One operation: BeginOperation; if the port does not open,
    // AbortOperation and false. Otherwise `body` runs its transactions on the
    // open link and says whether they succeeded, and FinishOperationOk or
    // FinishOperationError ends it. False at once, with nothing done, while
    // another operation runs. An exception from `body` ends the operation
    // with FinishOperationError and goes on to the caller.
    bool runOperation(const std::function<bool(Link&)>& body);
    bool operationRunning() const { return operationRunning_; }
    Link& link() { return link_; }
    // The traffic monitor, once the File menu has opened it (else null).
    TrafficMonitor* trafficMonitor() const { return traffic_.get(); }

    // The bracket itself, for operations with an epilogue of their own
    // (Connect closes the port and aborts when no controller answers).
    bool BeginOperation();
    void AbortOperation();
    void FinishOperationOk();
    void FinishOperationError();
    void SetBusy(bool on);

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
    void tmrBusyTimer();
    void tmrClockTimer();
    void mnuEnglishClick();
    void mnuSimplifiedClick();
    void mnuTraditionalClick();
    void mnuExitClick();
    void mnuAboutClick();
    void mnuTrafficClick();
    void mnuFindSpeedClick();
    void mnuModuleSurveyClick();
    void updateFindSpeedEnabled();
    ModuleSurveyWindow& surveyWindow();

    void connectHandlers();
    void chooseLanguage(LanguageIndex language);
    void enterPressed();
    void applyDesignFonts();
    void copyFieldsToPortPage();
    void takeActivePortPage();
    void showStatus(QAnyStringView english);
    void showFailure(QAnyStringView english);
    QString failureCause() const;
    // An operation's title in the status line, painted before it goes on.
    ShowStatus statusShower();
    // The title followed by the seconds left of a restart wait, " ( 12 )".
    std::function<void(int)> countdownShower(const char* title);
    void setLamp(const QColor& colour);
    void endOperation();
    void setWindowEnabled(bool enabled);
    QString text(int number) const;

    void mnuFirmwareFileClick();
    void btnFirmwareClick();
    QString chooseFirmwareFile();
    bool loadFirmwareFile();

    // Runs a handler. An exception that escapes it ends the running
    // operation, is shown in the standard error box, and the tool goes on:
    // Qt lets no exception cross its event loop.
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
    Link link_;

    QTimer tmrBusy;
    QTimer tmrClock;
    int busyBlinkPhase_ = 0;  // not reset when the blink stops

    QByteArray deviceAddress_ = "0000";
    int controllerFamily_ = 0;
    LanguageIndex languageIndex_ = LanguageIndex::English;
    StoredSettings fields_;
    PortKind portKind_ = PortKind::Serial;

    // The continuous tests (DIDO, polling): one at a time, started and
    // cancelled by their own button. TestRunning is what the loop asks before
    // each pass; runningTest_ stays set until the wind-down is over, so that a
    // press during the wind-down starts nothing.
    enum class ContinuousTest { None, Dido, Polling };
    void runContinuousTest(ContinuousTest kind, const std::function<bool(Link&)>& loop);
    // The running test's line in the status panel (test_status.cpp): its
    // title and, while the controller is silent, since when. False when no
    // test runs.
    ShowStatus testStatusShower();
    void showSilence(bool silent, const QDateTime& since);
    bool showTestStatus();
    const char* testStatus_ = nullptr;
    QDateTime silentSince_;
    QPushButton* testButton(ContinuousTest kind) const;
    int testCaption(ContinuousTest kind) const;
    void blockOtherOperations(QPushButton* running);
    void unblockOperations();
    bool testRunning_ = false;
    ContinuousTest runningTest_ = ContinuousTest::None;
    // The device buttons a continuous test disabled, each with whether it
    // was enabled before, so that they come back as they were.
    QList<std::pair<QPointer<QWidget>, bool>> blockedButtons_;
    bool closeAfterTest_ = false;

    bool operationRunning_ = false;
    // The running operation ended because the technician cancelled it: its
    // failure shows no cause from the link.
    bool cancelledByUser_ = false;
    bool waitCursor_ = false;
    bool shownBefore_ = false;
    QStyle* menuBarStyle_ = nullptr;  // English item heights in every language; a child
    QPointer<QWidget> focusBeforeBusy_;

    // FirmwareImage and FirmwareBlockCount, as the last firmware run loaded them.
    FirmwareImage firmwareImage_;
    FirmwareFileChooser firmwareFileChooser_;

    // Made on first use; destroyed before the link it listens on.
    std::unique_ptr<TrafficMonitor> traffic_;
    // frmModuleSurvey, made the first time the survey runs.
    std::unique_ptr<ModuleSurveyWindow> surveyWindow_;
};

}  // namespace kt
