// The operation bracket against ktsim over TCP on loopback: status line,
// lamp, tones, the port, the window's state, the busy blink, and closing.
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

using namespace kttest;
using Played = ProbeTone::Played;

namespace {

const QColor kRed(Qt::red);
const QColor kYellow(Qt::yellow);

class Lifecycle : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(tcpPort_ = sim_.startTcp(), 0);
        start();
        useNetwork(tcpPort_);
    }

    // A transaction the controller answers as its kind demands.
    static bool identify(kt::Link& link) {
        return link.SendCommand("0000AC") && link.ReplyLength() == 17;
    }
    void expectIdle() {
        EXPECT_TRUE(window_->isEnabled());
        EXPECT_FALSE(window_->operationRunning());
        EXPECT_FALSE(window_->link().isOpen());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    ktsim::SimThread sim_;
    quint16 tcpPort_ = 0;
};

}  // namespace

TEST_F(Lifecycle, SuccessThenFailureSetLampTextAndToneAndClosePortAfterTone) {
    EXPECT_TRUE(runAndWait(identify));
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(lamp(), kYellow);
    EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));
    expectIdle();

    EXPECT_FALSE(runAndWait(
        [](kt::Link& link) { return link.SendCommand("0000AC") && link.ReplyLength() == 16; }));
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(lamp(), kRed);
    EXPECT_EQ(tone_->played.last(), Played({300, 300, true}));
    expectIdle();
    EXPECT_EQ(sim_.requestLog(), QList<QByteArray>({"0000AC", "0000AC"}));
}

TEST_F(Lifecycle, PortThatCannotOpenAbortsWithoutRunningTheOperation) {
    ASSERT_TRUE(runAndWait(identify));  // the lamp is yellow now
    useSerial("/dev/kt-no-such-port");
    bool ran = false;
    EXPECT_FALSE(runAndWait([&](kt::Link&) { return ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(status(), "Connect device error! (/dev/kt-no-such-port: no such port)");
    EXPECT_EQ(lamp(), kRed);
    EXPECT_EQ(tone_->played.size(), 2);
    EXPECT_EQ(tone_->played.last(), Played({300, 300, false}));
    expectIdle();
}

TEST_F(Lifecycle, LampBlinksAndWindowIsLockedWhileBusy) {
    ASSERT_TRUE(sim_.addFault("AC:delay=1100"));
    QList<QColor> seen;
    bool everEnabled = false;
    QString busyStatus;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!window_->operationRunning()) return;
        if (seen.isEmpty() || seen.last() != lamp()) seen << lamp();
        everEnabled = everEnabled || window_->isEnabled();
        busyStatus = status();
    });
    sampler.start(20);
    EXPECT_TRUE(runAndWait(identify));
    sampler.stop();
    // 1.1 s at 200 ms a change: red and yellow in turn, several times.
    EXPECT_GE(seen.size(), 4);
    for (int i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]);
    EXPECT_FALSE(everEnabled);
    EXPECT_EQ(busyStatus, "Connecting device ...");
    EXPECT_EQ(lamp(), kYellow);
}

// A close while busy is neither dropped nor done at once: it waits for the end.
TEST_F(Lifecycle, CloseWaitsForTheOperationToEnd) {
    ASSERT_TRUE(sim_.addFault("AC:delay=600"));
    bool closedWhileBusy = true;
    bool exitWhileBusy = false;
    QTimer::singleShot(150, [&] { closedWhileBusy = window_->close(); });
    QTimer::singleShot(250, [&] {
        window_->findChild<QAction*>("mnuExit")->trigger();
        exitWhileBusy = !window_->isVisible();
    });
    EXPECT_TRUE(runAndWait(identify));
    EXPECT_FALSE(closedWhileBusy);
    EXPECT_FALSE(exitWhileBusy);
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));
    EXPECT_FALSE(window_->isVisible());
    expectIdle();
}

TEST_F(Lifecycle, ExceptionInsideAnOperationEndsItAndGoesOn) {
    QString shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->close();
        }
    });
    closer.start(20);
    EXPECT_FALSE(runAndWait([](kt::Link& link) -> bool {
        link.SendCommand("0000AC");
        throw std::runtime_error("operation failed");
    }));
    EXPECT_EQ(shown, "operation failed");
    EXPECT_EQ(status(), "Command error!");
    expectIdle();
    EXPECT_TRUE(runAndWait(identify));
}
