#include "app/window/operation_runner.h"

#include "app/fault_causes.h"
#include "app/messages.h"
#include "app/tone.h"
#include "app/window/lamp.h"
#include "app/window/link_worker.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>

namespace kt {
namespace {

const QColor kLampRed(0xff, 0x00, 0x00);
const QColor kLampYellow(0xff, 0xff, 0x00);

constexpr int kToneMs = 300;
constexpr int kToneOkHz = 1000;
constexpr int kToneErrorHz = 300;

}  // namespace

OperationRunner::OperationRunner(Window window, LinkWorker& worker)
    : w_(std::move(window)), worker_(worker) {
    tmrBusy.setInterval(200);
    connect(&tmrBusy, &QTimer::timeout, this, &OperationRunner::tmrBusyTimer);
}

OperationRunner::~OperationRunner() {
    if (waitCursor_) QApplication::restoreOverrideCursor();
}

bool OperationRunner::startSimple(std::function<bool(Link&)> body, Done done) {
    return start(
        [body = std::move(body)](Link& link) { return body(link) ? Ending::Ok : Ending::Error; },
        std::move(done));
}

bool OperationRunner::start(Body body, Done done) {
    if (running_) return false;
    running_ = true;
    cancelled_ = false;
    ownCause_.clear();
    worker_.clear();
    BeginOperation();
    runOnWorker(w_.takePort(), std::move(body), std::move(done));
    return true;
}

// Everything from the port's opening to its closing happens on the worker;
// what the window shows meanwhile is queued to it in order.
void OperationRunner::runOnWorker(const PortSettings& port, Body body, Done done) {
    worker_.post([this, port, body = std::move(body), done = std::move(done)](Link& link) {
        link.setPort(port);
        const bool opened = link.OpenPort();
        Ending ending = Ending::Error;
        QString thrown;
        if (opened) {
            try {
                ending = body(link);
            } catch (const std::exception& e) {
                thrown = QString::fromLocal8Bit(e.what());
            } catch (...) {
                thrown = QStringLiteral("Unknown error");
            }
        }
        if (ending == Ending::NotFound) link.ClosePort();
        const bool abort = !opened || ending == Ending::NotFound;
        const LinkOutcome outcome{link.lastError(), link.portLost()};
        onWindow([this, outcome, ending, abort] {
            outcome_ = outcome;
            cancelled_ = ending == Ending::Cancelled;
            if (abort)
                AbortOperation();
            else if (ending == Ending::Ok)
                FinishOperationOk();
            else
                FinishOperationError();
        });
        // The tone is synchronous: the port closes after it.
        const bool ok = !abort && ending == Ending::Ok;
        w_.tone->play(ok ? kToneOkHz : kToneErrorHz, kToneMs);
        if (!abort) link.ClosePort();
        onWindow([this, ok, thrown, done] { finished(ok, thrown, done); });
    });
}

void OperationRunner::finished(bool ok, const QString& exceptionText, const Done& done) {
    endOperation();
    if (done) done(ok);
    // Qt lets no exception cross its event loop: it is shown, and the tool goes on.
    if (!exceptionText.isEmpty())
        QMessageBox::critical(w_.form, QGuiApplication::applicationDisplayName(), exceptionText);
    if (closeAfter_ && !running_) {
        closeAfter_ = false;
        w_.form->close();
    }
}

void OperationRunner::onWindow(std::function<void()> f) {
    QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

bool OperationRunner::deferClose() {
    if (!running_) return false;
    closeAfter_ = true;
    stopTest();
    return true;
}

bool OperationRunner::startTest(ContinuousTest test, Body loop) {
    if (running_) return false;
    test_ = std::move(test);
    keepRunning_.store(true);
    blockForTest();
    const auto freeWindow = [this] {
        // The lamp keeps blinking; the cursor and the window are free again,
        // so that the test can be cancelled.
        if (waitCursor_) {
            QApplication::restoreOverrideCursor();
            waitCursor_ = false;
        }
        setWindowEnabled(true);
    };
    return start(
        [this, loop = std::move(loop), freeWindow](Link& link) {
            onWindow(freeWindow);
            return loop(link);
        },
        [this](bool ok) {
            keepRunning_.store(false);
            // A lost port ends the test as a failure, with its cause.
            if (!ok && outcome_.portLost) showFailure("Connect device error!");
            unblockAfterTest();
            testStatus_ = nullptr;
            silentSince_ = QDateTime();
            const ContinuousTest ended = std::exchange(test_, {});
            if (ended.windDown) ended.windDown();
        });
}

// The port is the test's until it ends: no other control may reach the
// device. The port page, the boxes of the test and the menus stay usable.
void OperationRunner::blockForTest() {
    blockedWidgets_.clear();
    blockedActions_.clear();
    for (QWidget* widget : std::as_const(test_.blocked)) {
        blockedWidgets_.append({widget, widget->isEnabledTo(w_.form)});
        widget->setEnabled(false);
    }
    for (QAction* action : std::as_const(test_.blockedActions)) {
        blockedActions_.append({action, action->isEnabled()});
        action->setEnabled(false);
    }
}

void OperationRunner::unblockAfterTest() {
    for (const auto& [widget, wasEnabled] : std::as_const(blockedWidgets_))
        if (widget) widget->setEnabled(wasEnabled);
    for (const auto& [action, wasEnabled] : std::as_const(blockedActions_))
        if (action) action->setEnabled(wasEnabled);
    blockedWidgets_.clear();
    blockedActions_.clear();
}

void OperationRunner::BeginOperation() {
    if (!waitCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
    }
    setWindowEnabled(false);
    SetBusy(true);
    showStatus("Connecting device ...");
}

// The port was never opened, or Connect closed it: nothing to close.
void OperationRunner::AbortOperation() {
    SetBusy(false);
    setLamp(kLampRed);
    showFailure("Connect device error!");
}

void OperationRunner::FinishOperationOk() {
    showStatus("Command ok.");
    SetBusy(false);
    setLamp(kLampYellow);
}

void OperationRunner::FinishOperationError() {
    showFailure("Command error!");
    SetBusy(false);
    setLamp(kLampRed);
}

void OperationRunner::endOperation() {
    cancelled_ = false;
    ownCause_.clear();
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    setWindowEnabled(true);
    running_ = false;
}

// On: the blink starts and the window is disabled. Off stops the blink
// only: the window stays disabled until the tone has sounded and the port
// is closed, so that nothing reaches it in between.
void OperationRunner::SetBusy(bool on) {
    if (on) {
        tmrBusy.start();
        setWindowEnabled(false);
    } else {
        tmrBusy.stop();
    }
}

// Disabling the window drops the keyboard focus; it comes back afterwards
// to where the technician left it, so Enter connects again.
void OperationRunner::setWindowEnabled(bool enabled) {
    QWidget* form = w_.form;
    if (enabled == form->isEnabled()) return;
    if (!enabled) {
        QWidget* focus = QApplication::focusWidget();
        focusBeforeBusy_ = focus && form->isAncestorOf(focus) ? focus : nullptr;
        form->setEnabled(false);
        return;
    }
    form->setEnabled(true);
    if (focusBeforeBusy_ && focusBeforeBusy_->isEnabled() && focusBeforeBusy_->isVisible())
        focusBeforeBusy_->setFocus();
}

void OperationRunner::tmrBusyTimer() {
    if (busyBlinkPhase_ == 1) {
        busyBlinkPhase_ = 0;
        setLamp(kLampYellow);
    } else {
        busyBlinkPhase_ = 1;
        setLamp(kLampRed);
    }
}

void OperationRunner::setLamp(const QColor& colour) {
    w_.lamp->setFillColor(colour);
}

void OperationRunner::showStatus(const char* english) {
    w_.status->setText(Messages::tr(english));
    w_.status->setToolTip(QString());
    paintStatus();
}

// Each text of an operation is painted before the next one replaces it,
// however quickly the worker reports.
void OperationRunner::paintStatus() {
    if (w_.status->isVisible()) w_.status->repaint();
}

// The window's text first, then why the link failed; the panel is
// narrow, so the whole line is its tooltip too.
void OperationRunner::showFailure(const char* english) {
    QString line = Messages::tr(english);
    // A cancel is no fault of the link, whatever its last transaction met.
    // The operation's own words stand in for the link's, which they already
    // name where it counts; a lost port keeps the link's cause.
    const QString cause = cancelled_                                   ? QString()
                          : !ownCause_.isEmpty() && !outcome_.portLost ? ownCause_
                                                                       : failureCause();
    if (!cause.isEmpty()) line += QStringLiteral(" (%1)").arg(cause);
    w_.status->setText(line);
    w_.status->setToolTip(line);
    paintStatus();
}

QString OperationRunner::failureCause() const {
    return FaultCause(outcome_.error);
}

void OperationRunner::reportCause(const QString& cause) {
    onWindow([this, cause] { ownCause_ = cause; });
}

ShowStatus OperationRunner::testStatusShower() {
    return [this](const char* english) {
        onWindow([this, english] {
            testStatus_ = english;
            silentSince_ = QDateTime();
            showTestStatus();
        });
    };
}

void OperationRunner::showSilence(bool silent, const QDateTime& since) {
    silentSince_ = silent ? since : QDateTime();
    showTestStatus();
}

bool OperationRunner::showTestStatus() {
    if (test_.kind == 0 || !testStatus_) return false;
    QString line = Messages::tr(testStatus_);
    if (silentSince_.isValid())
        line += QStringLiteral(": ") + Messages::tr("No answer since %1")
                                           .arg(silentSince_.toString(QStringLiteral("hh:mm:ss")));
    w_.status->setText(line);
    w_.status->setToolTip(silentSince_.isValid() ? line : QString());
    paintStatus();
    return true;
}

ShowStatus OperationRunner::statusShower() {
    return [this](const char* english) { onWindow([this, english] { showStatus(english); }); };
}

std::function<void(int)> OperationRunner::countdownShower(const char* title) {
    return
        [this, title](int left) { onWindow([this, title, left] { showCountdown(title, left); }); };
}

void OperationRunner::showCountdown(const char* title, int left, const QString& middle) {
    QString line = Messages::tr(title);
    if (!middle.isEmpty()) line += u' ' + middle;
    w_.status->setText(line + QString::asprintf(" ( %d )", left));
    paintStatus();
}

}  // namespace kt
