// What the window costs while a continuous test holds the port.
//
// The real window (offscreen, a silent tone, settings in a temporary folder)
// runs its DIDO test against ktsim for a while, all four output boxes
// ticked, and is cancelled by its own button; then its polling test. Beside it, the very command
// texts ktsim received during that test are sent again over the same channel
// in a tight loop through a bare Link. Both figures are the CPU time of the
// tool's thread; ktsim runs in a thread of its own and is not counted.
//
// The test paces itself (20 ms after each command) and waits for every
// reply; neither the pauses nor the waits may cost CPU. A third run sends
// the same texts through a bare Link with the same pauses: a thread that
// slept wakes with cold caches, so a paced transaction costs more than one
// in a tight loop whoever sends it; the ratio against this run is what the
// window adds (the waiting in its event loop, the blinking lamp, the clock,
// the repaints); the target is at most 1.3x, over a pty and over TCP. Exits 1
// when a target is missed.
#include "app/tone.h"
#include "app/window/tfrm_module.h"
#include "link/link.h"
#include "sim/program/sim_thread.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

constexpr double kTargetRatio = 1.3;  // the test's CPU / paced bare Link, at most

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

template <typename T>
T* child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

struct Run {
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

// A continuous test of the window: its button, and whether it ticks the
// output boxes first.
struct ContinuousTest {
    const char* name;
    const char* button;
    bool tickBoxes;
};

// The window's test for `seconds`, cancelled by a second press.
Run fromTheWindow(kt::TfrmModule& window, const ContinuousTest& test, double seconds) {
    if (test.tickBoxes) {
        for (const char* box : {"chkDO1", "chkDO2", "chkDO3", "chkDO4"})
            child<QCheckBox>(&window, box)->setChecked(true);
    }
    auto* button = child<QPushButton>(&window, test.button);
    QTimer::singleShot(static_cast<int>(seconds * 1000), button, [button] { button->click(); });
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = threadCpuSeconds();
    button->click();  // returns when the test has wound down
    return {threadCpuSeconds() - cpu0, static_cast<double>(wall.nsecsElapsed()) / 1e9};
}

// The same command texts through a bare Link, back to back or with the
// test's own 20 ms pause after each (a sleeping thread wakes with cold
// caches: that, not the window, is most of what a paced transaction costs).
Run bareLink(const kt::PortSettings& port, const QList<QByteArray>& texts, int pauseMs,
             int* failed) {
    kt::Link link;
    link.setPort(port);
    if (!link.OpenPort()) {
        std::printf("cannot open: %s\n", qPrintable(link.lastError().text));
        return {};
    }
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = threadCpuSeconds();
    for (const QByteArray& text : texts) {
        if (!link.SendCommand(text)) ++*failed;
        if (pauseMs > 0) QThread::msleep(static_cast<unsigned long>(pauseMs));
    }
    Run run{threadCpuSeconds() - cpu0, static_cast<double>(wall.nsecsElapsed()) / 1e9};
    link.ClosePort();
    return run;
}

// True when the test kept its target against the paced bare Link.
bool compare(const ContinuousTest& test, const char* name, ktsim::SimThread& sim,
             const kt::PortSettings& port, double seconds) {
    auto window = std::make_unique<kt::TfrmModule>(std::make_unique<kt::RecordingTone>(),
                                                   [] { return QList<kt::SerialPortRecord>(); });
    window->show();
    if (port.kind == kt::PortKind::Network) {
        child<QTabWidget>(window.get(), "pcPort")->setCurrentIndex(1);
        child<QLineEdit>(window.get(), "edIP")->setText(port.NetIP);
        child<QLineEdit>(window.get(), "edPort")->setText(port.NetPort);
    } else {
        child<QTabWidget>(window.get(), "pcPort")->setCurrentIndex(0);
        child<QComboBox>(window.get(), "cmbPort")->setEditText(port.ComPortName);
    }
    QCoreApplication::processEvents();

    sim.clearLog();
    const Run dido = fromTheWindow(*window, test, seconds);
    const QList<QByteArray> texts = sim.requestLog();
    window.reset();
    int failed = 0;
    const Run tight = bareLink(port, texts, 0, &failed);
    const Run paced = bareLink(port, texts, 20, &failed);

    const auto n = static_cast<double>(texts.size());
    const auto line = [n](const char* what, const Run& run) {
        std::printf(
            "  %-26s %6.2f s wall %7.1f ms CPU  %6.1f us a transaction  %5.2f %% of one core\n",
            what, run.wallSeconds, run.cpuSeconds * 1e3, run.cpuSeconds * 1e6 / n,
            100.0 * run.cpuSeconds / run.wallSeconds);
    };
    std::printf("%s test over %s, %lld transactions%s\n", test.name, name,
                static_cast<long long>(texts.size()), failed ? " (SOME BARE ONES FAILED)" : "");
    line("window", dido);
    line("bare Link, tight loop", tight);
    line("bare Link, 20 ms pauses", paced);
    const double ratio = dido.cpuSeconds / paced.cpuSeconds;
    const bool met = ratio <= kTargetRatio && failed == 0 && !texts.isEmpty();
    std::printf(
        "  window / tight loop: %.1fx CPU;  window / paced bare Link: %.2fx CPU "
        "(target <= %.1fx: %s)\n",
        dido.cpuSeconds / tight.cpuSeconds, ratio, kTargetRatio, met ? "met" : "MISSED");
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, atof(argv[1])) : 10.0;

    // Never the machine's or the account's own settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, settings.filePath("machine"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.filePath("account"));

    ktsim::SimThread sim;
    sim.setInputs(0b10100101);

    kt::PortSettings serial;
    serial.ComPortName = sim.startPty();
    serial.ComBaudRate = QStringLiteral("19200,e,8,1");
    kt::PortSettings net;
    net.kind = kt::PortKind::Network;
    net.NetIP = QStringLiteral("127.0.0.1");
    net.NetPort = QString::number(sim.startTcp());

    bool met = true;
    for (const ContinuousTest& test : {ContinuousTest{"DIDO", "btnDIDO", true},
                                       ContinuousTest{"polling", "btnPooling", false}}) {
        met = compare(test, "pty", sim, serial, seconds) && met;
        met = compare(test, "tcp", sim, net, seconds) && met;
    }
    return met ? 0 : 1;
}
