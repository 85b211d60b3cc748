// The window's side of every device operation, and the only holder of its
// state: what runs, the continuous test and its cancel, the wait cursor, the
// busy blink, what is disabled, and a close that waits for the end.
//
// The bracket: BeginOperation (hourglass, window disabled, blink, "Connecting
// device ...") runs here; the operation itself runs on the link's worker
// thread, opening the port, running its transactions, and reporting back
// through queued calls (onWindow); the epilogue shows the outcome in the
// status line and the lamp here, while the worker sounds the tone and then
// closes the port, in that order; only then is the window enabled again.
// Input that reaches the window meanwhile meets disabled controls, or a
// runner that says no: it starts nothing and is not kept for later.
#pragma once

#include "controller/operation.h"
#include "link/link.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>

class QAction;
class QLabel;
class QWidget;

namespace kt {

class Lamp;
class LinkWorker;
class Tone;

class OperationRunner : public QObject {
    Q_OBJECT
public:
    // What the bracket shows on, and where it reads the port from.
    struct Window {
        QWidget* form = nullptr;
        QLabel* status = nullptr;  // pnMsg
        Lamp* lamp = nullptr;      // shComm
        Tone* tone = nullptr;
        std::function<PortSettings()> takePort;  // the active port page, as the fields
    };

    // How an operation's body ended.
    enum class Ending {
        Ok,         // FinishOperationOk
        Error,      // FinishOperationError
        Cancelled,  // FinishOperationError, without the link's cause
        NotFound,   // ClosePort, then AbortOperation (Connect found no controller)
    };
    using Body = std::function<Ending(Link&)>;
    // On the window's thread once the epilogue is over: whether the
    // operation ended with FinishOperationOk.
    using Done = std::function<void(bool ok)>;

    OperationRunner(Window window, LinkWorker& worker);
    ~OperationRunner() override;

    // Starts an operation; false, with nothing done, while another runs.
    bool start(Body body, Done done = {});
    bool startSimple(std::function<bool(Link&)> body, Done done = {});
    bool running() const { return running_; }

    // The continuous tests: one at a time, started by their button, told to
    // stop by its second press or by a close. keepRunning() is what the loop
    // asks before each pass, from the worker. The kinds are the window's.
    // `blocked` are the device controls the test's port must keep from any
    // other use; they come back as they were.
    struct ContinuousTest {
        int kind = 0;
        QList<QWidget*> blocked;
        QList<QAction*> blockedActions;
        std::function<void()> windDown;  // on the window's thread, at the very end
    };
    bool startTest(ContinuousTest test, Body loop);
    int testKind() const { return test_.kind; }
    void stopTest() { keepRunning_.store(false); }
    std::function<bool()> keepRunning() {
        return [this] { return keepRunning_.load(); };
    }
    bool testRunning() const { return test_.kind != 0 && keepRunning_.load(); }
    // The running test's line in the status panel: its title, and, while the
    // controller is silent, since when. Kept as English texts of the tables,
    // so that a change of language shows the same line in the new one.
    // The shower is for the worker; the rest runs on the window's thread.
    ShowStatus testStatusShower();
    void showSilence(bool silent, const QDateTime& since);
    // False, with nothing shown, when no test runs or it showed no line yet.
    bool showTestStatus();

    // A close of the window: true when it must wait for the running
    // operation (a continuous test is told to stop); the window is closed
    // once the operation has ended.
    bool deferClose();

    // From the worker: runs f on the window's thread, in order with
    // everything else the operation reports.
    void onWindow(std::function<void()> f);
    // A status text, by its English wording, shown from the worker.
    ShowStatus statusShower();
    // The title followed by a count, " ( 12 )": seconds left, attempts left.
    std::function<void(int)> countdownShower(const char* title);
    // On the window's thread: the title, a word of the operation's own, the count.
    void showCountdown(const char* title, int left, const QString& middle = {});

    // From the worker: the operation's own words on why it failed. They
    // follow the table's text in place of the link's cause, except when the
    // port was lost, which keeps the link's cause.
    void reportCause(const QString& cause);

    // The status line, on the window's thread.
    // The window's text with that English source (Messages), in the
    // installed language.
    void showStatus(const char* english);
    void showFailure(const char* english);
    void setLamp(const QColor& colour);

    // The bracket, on the window's thread. The worker sounds the tone and
    // closes the port between the epilogue and endOperation.
    void BeginOperation();
    void AbortOperation();
    void FinishOperationOk();
    void FinishOperationError();
    void SetBusy(bool on);

private:
    // What the link said about the failure, taken on the worker.
    struct LinkOutcome {
        LinkError error;
        bool portLost = false;
    };
    void runOnWorker(const PortSettings& port, Body body, Done done);
    void finished(bool ok, const QString& exceptionText, const Done& done);
    void endOperation();
    void setWindowEnabled(bool enabled);
    void paintStatus();
    void tmrBusyTimer();
    QString failureCause() const;
    void blockForTest();
    void unblockAfterTest();

    Window w_;
    LinkWorker& worker_;
    QTimer tmrBusy;
    int busyBlinkPhase_ = 0;  // not reset when the blink stops

    bool running_ = false;
    bool waitCursor_ = false;
    bool closeAfter_ = false;
    bool cancelled_ = false;  // the failure shows no cause from the link
    LinkOutcome outcome_;
    QString ownCause_;  // reportCause
    QPointer<QWidget> focusBeforeBusy_;

    ContinuousTest test_;
    std::atomic<bool> keepRunning_{false};
    const char* testStatus_ = nullptr;
    QDateTime silentSince_;
    QList<std::pair<QPointer<QWidget>, bool>> blockedWidgets_;
    QList<std::pair<QPointer<QAction>, bool>> blockedActions_;
};

}  // namespace kt
