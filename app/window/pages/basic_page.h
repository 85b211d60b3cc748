// The Basic test page: the clock and Set date, the alarm test, the speed
// changes, Reboot and Set factory, and the two continuous tests (DIDO and
// polling) with their lamps, output boxes and panels.
#pragma once

#include "app/window/operation_runner.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <atomic>
#include <memory>

class QPushButton;

namespace Ui {
class BasicPage;
}

namespace kt {

enum class LineSpeed;
struct SpeedBoxSetting;
struct WindowSession;

class BasicPage : public QWidget {
    Q_OBJECT
public:
    explicit BasicPage(QWidget* parent = nullptr);
    ~BasicPage() override;

    void attach(WindowSession& session);
    void retranslate();
    // Every input and output, or two inputs and one output fewer: the
    // controllers of family 4 have no more.
    void showInputsAndOutputs(bool familyFour);
    QList<QWidget*> deviceButtons() const;

signals:
    // A speed change the controller took: the port page shows it.
    void lineSpeedChanged(const kt::SpeedBoxSetting& speed);
    // A continuous test starts holding the port, and ends.
    void testStarted();
    void testEnded();

private:
    void btnSetDateClick();
    void btnAlarmClick();
    void btnInitialClick();
    void btnRebootClick();
    void btnSet19200Click();
    void btnSet115200Click();
    void changeSpeed(LineSpeed speed);
    void btnDIDOClick();
    void btnPoolingClick();
    void tmrClockTimer();

    // The continuous tests (DIDO, polling): one at a time, started and
    // cancelled by their own button; the runner keeps which one runs.
    enum class ContinuousTest { None, Dido, Polling };
    void runContinuousTest(ContinuousTest kind, OperationRunner::Body loop);
    ContinuousTest runningTest() const;
    QPushButton* testButton(ContinuousTest kind) const;

    std::unique_ptr<Ui::BasicPage> ui;
    WindowSession* session_ = nullptr;
    QTimer tmrClock;
    // The output boxes as the DIDO loop reads them on the worker, each pass.
    std::array<std::atomic<bool>, 4> outputChecked_{};
};

}  // namespace kt
