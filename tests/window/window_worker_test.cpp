// The wire does not wait for the window: a modal dialog held open during an
// operation leaves the request timing as it is without it, and input that
// reaches the window while an operation runs starts nothing, then or later.
#include "app/window/traffic_monitor.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kttest;

namespace {

// The longest gap between two requests the controller received while
// `during` was true of the first one's time (ns on the monotonic clock).
qint64 longestGapMs(const QList<ktsim::LoggedRequest>& log, qint64 fromNs, qint64 toNs) {
    qint64 longest = 0;
    for (qsizetype i = 1; i < log.size(); ++i)
        if (log[i].monotonicNs > fromNs && log[i - 1].monotonicNs < toNs)
            longest = std::max(longest, (log[i].monotonicNs - log[i - 1].monotonicNs) / 1000000);
    return longest;
}

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Holds a modal message box open for ms, as a technician reading it would.
void holdModalBox(QWidget* parent, int ms) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("held"), QStringLiteral("held"),
                    QMessageBox::Ok, parent);
    QTimer::singleShot(ms, &box, &QDialog::accept);
    box.exec();
}

class WorkerWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
};

}  // namespace

TEST_F(WorkerWindow, AModalDialogDuringTheDidoTestLeavesItsPassesPaced) {
    ktsim::SimThread sim;
    useSerial(sim.startPty());
    qint64 from = 0, to = 0;
    pressDuring("btnDIDO", [&] {
        if (sim.requestLog().count("0000DG0") < 3) return false;
        from = nowNs();
        holdModalBox(window_.get(), 5000);
        to = nowNs();
        QTest::mouseClick(child<QPushButton>("btnDIDO"), Qt::LeftButton);
        return true;
    });
    const QList<ktsim::LoggedRequest> log = sim.requestRecords();
    qsizetype during = 0;
    for (const auto& request : log)
        during += request.monotonicNs > from && request.monotonicNs < to;
    EXPECT_GT(during, 20) << "the test stood still while the dialog was open";
    // A pass is one DG0 and a 20 ms pause: far below this on a loaded machine.
    EXPECT_LT(longestGapMs(log, from, to), 20 + 250);
    EXPECT_EQ(log.last().text, "0000JD");
    EXPECT_EQ(status(), "Command ok.");
}

TEST_F(WorkerWindow, TheTrafficMonitorsSaveDialogDuringAFirmwareRunLeavesTheBlocksPaced) {
    // Family 3, the KT320: two pauses a block, 20 ms before each write and
    // 50 ms before each read-back.
    ktsim::SimThread sim({.family = 3, .address = "0012"});
    useSerial(sim.startPty());
    press("btnConnect");
    ASSERT_EQ(status(), "Command ok.");
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("KT320.KTB"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray header("KT320MX-V5");
    header.append(16 - header.size(), '\0');
    file.write(header + QByteArray(60 * 512, '\x5a'));
    file.close();
    window_->setFirmwareFileChooser([&] { return path; });
    child<QAction>("mnuFirmwareFile")->trigger();
    child<QAction>("mnuTraffic")->trigger();
    kt::TrafficMonitor* monitor = window_->trafficMonitor();
    qint64 from = 0, to = 0;
    monitor->setSaveFileChooser([&] {
        from = nowNs();
        holdModalBox(monitor, 5000);
        to = nowNs();
        return QString();
    });
    sim.clearLog();
    QTimer::singleShot(400, monitor, [this, monitor] {
        // The run holds the window: these clicks start nothing, now or later.
        for (const char* other : {"btnConnect", "btnSetDate", "btnFirmware", "btnDIDO"})
            QTest::mouseClick(child<QPushButton>(other), Qt::LeftButton);
        QTest::mouseClick(monitor->findChild<QPushButton*>(QStringLiteral("btnTrafficSave")),
                          Qt::LeftButton);
    });
    answerQuestion(Answer::Yes);
    press("btnFirmware");
    EXPECT_EQ(status(), "Command ok.");
    ASSERT_GT(to, from);
    const QList<ktsim::LoggedRequest> log = sim.requestRecords();
    qsizetype during = 0;
    for (const auto& request : log)
        during += request.monotonicNs > from && request.monotonicNs < to;
    EXPECT_GT(during, 10) << "the run stood still while the dialog was open";
    // The longest fixed pause between two blocks' requests is 50 ms.
    EXPECT_LT(longestGapMs(log, from, to), 50 + 200);
    EXPECT_GT(monitor->log().rowCount(), 2 * during) << "the monitor listed the traffic meanwhile";
    QTest::qWait(300);
    for (const auto& request : sim.requestRecords())
        EXPECT_TRUE(request.text.startsWith("0012Z"))
            << "not of the run: " << request.text.toStdString();
}

// A converter that does not accept: it listens, but its queue is full and it
// never accepts, so a connect to it waits until the link gives up.
class FullConverter {
public:
    FullConverter() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port = ntohs(address.sin_port);
        // These fill the queue; the kernel drops every later handshake.
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
        QTest::qWait(100);
    }
    ~FullConverter() {
        for (const int filler : fillers_) ::close(filler);
        ::close(listener_);
    }
    quint16 port = 0;

private:
    int listener_ = -1;
    int fillers_[3] = {-1, -1, -1};
};

// A converter that does not answer the connect: the window stays alive
// meanwhile, a click on another button then starts nothing, and the
// connect's failure is what the status line shows.
TEST_F(WorkerWindow, ClicksDuringABlockedConnectStartNothingAfterTheFailure) {
    ktsim::SimThread sim;
    FullConverter converter;
    ASSERT_NE(converter.port, 0);
    useNetwork(converter.port);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(child<QPushButton>("btnConnect"), Qt::LeftButton);
    for (const char* other : {"btnInitial", "btnSetDate", "btnConnect"})
        QTest::mouseClick(child<QPushButton>(other), Qt::LeftButton);
    QTest::keyClick(window_.get(), Qt::Key_Return);
    waitIdle();
    ticker.stop();
    EXPECT_GE(clock.elapsed(), 1000) << "the connect was not held up: nothing was tried";
    EXPECT_TRUE(status().startsWith("Connect device error!")) << status().toStdString();
    EXPECT_EQ(tone_->played.size(), 1);
    // Nothing left over starts once the window is free again.
    QTest::qWait(300);
    EXPECT_FALSE(window_->operationRunning());
    EXPECT_EQ(tone_->played.size(), 1);
    EXPECT_GE(ticks, clock.elapsed() / 50 / 3) << "the window froze during the connect";

    // The same clicks during a one-shot operation against a controller.
    useSerial(sim.startPty());
    ASSERT_TRUE(sim.addFault(QStringLiteral("AC:delay=250")));
    QTest::mouseClick(child<QPushButton>("btnConnect"), Qt::LeftButton);
    for (const char* other : {"btnInitial", "btnSetDate", "btnDIDO", "btnConnect"})
        QTest::mouseClick(child<QPushButton>(other), Qt::LeftButton);
    QTest::keyClick(window_.get(), Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    waitIdle();
    QTest::qWait(300);
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(sim.requestLog(), (QList<QByteArray>{"0000AC", "0000DB", "0000AS"}));
}

// The 16 s a family-4 controller is given after a factory reset end at 16 s
// with a modal dialog open for 5 s of them, and the countdown goes on.
TEST_F(WorkerWindow, AModalDialogDuringTheFactoryResetWaitLeavesItAt16Seconds) {
    ktsim::DeviceConfig config;
    config.family = 4;
    config.address = "012";
    config.factoryResetMs = 1000;
    ktsim::SimThread sim(config);
    useSerial(sim.startPty());
    press("btnConnect");
    ASSERT_EQ(window_->ControllerFamily(), kt::Family::ThreeDigit);
    sim.clearLog();

    QStringList countdown;
    QTimer::singleShot(3000, window_.get(), [&] {
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (countdown.isEmpty() || countdown.last() != status()) countdown << status();
        });
        sampler.start(100);
        holdModalBox(window_.get(), 5000);
    });
    answerQuestion(Answer::Yes);
    press("btnInitial");
    EXPECT_EQ(status(), "Command ok.");
    const QList<ktsim::LoggedRequest> log = sim.requestRecords();
    ASSERT_EQ(sim.requestLog(), (QList<QByteArray>{"012AI", "012AS"}));
    const double waitedMs = double(log[1].monotonicNs - log[0].monotonicNs) / 1e6;
    EXPECT_GE(waitedMs, 16000);
    EXPECT_LT(waitedMs, 16000 + 300);  // the reply to AI and the request of AS
    // The countdown ran on while the dialog was open: about five seconds of it.
    EXPECT_GE(countdown.size(), 4) << countdown.join(QStringLiteral(", ")).toStdString();
}
