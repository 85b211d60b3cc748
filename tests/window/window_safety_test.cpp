// The window against a lost port, hostile controller data, an empty firmware
// file and command texts carrying framing bytes, end to end against ktsim.
#include "app/window/lamp.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

using namespace kttest;
using Played = ProbeTone::Played;

namespace {

const QColor kRed(0xff, 0x00, 0x00);

class WindowSafety : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
    void useSim(bool serial) {
        if (serial)
            useSerial(sim_.startPty());
        else
            useNetwork(sim_.startTcp());
    }
    int count(const QByteArray& text) const {
        return static_cast<int>(sim_.requestLog().count(text));
    }
    ktsim::SimThread sim_;  // family 7 at 0000
};

// The adapter pulled (the converter gone) during the DIDO test: no more
// empty passes and no "Command ok.", but the cause, a red lamp, and the
// controls back as after a cancel.
TEST_F(WindowSafety, ALostPortEndsTheContinuousTestWithItsCause) {
    for (bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "pty" : "tcp");
        sim_.clearLog();
        tone_->played.clear();
        useSim(serial);
        ASSERT_TRUE(sim_.addFault(QStringLiteral("DG:close#3@1")));
        auto* box = child<QCheckBox>("chkDO1");
        box->setChecked(true);
        pressDuring("btnDIDO", [] { return true; });
        const QList<QByteArray> log = sim_.requestLog();
        EXPECT_EQ(count("0000DG0"), 3) << log.join(' ').constData();
        ASSERT_FALSE(log.isEmpty());
        EXPECT_EQ(log.back(), "0000DG0") << "no end-of-test command on a lost port";
        EXPECT_TRUE(status().startsWith(QStringLiteral("Connect device error! (")))
            << status().toStdString();
        EXPECT_GT(status().size(), QStringLiteral("Connect device error! ()").size());
        EXPECT_EQ(lamp(), kRed);
        EXPECT_EQ(tone_->played.size(), 1);
        EXPECT_EQ(tone_->played.value(0).frequencyHz, 300);
        EXPECT_FALSE(window_->link().isOpen());
        EXPECT_FALSE(window_->TestRunning());
        EXPECT_FALSE(window_->operationRunning());
        EXPECT_EQ(child<QPushButton>("btnDIDO")->text(), "DIDO test");
        EXPECT_FALSE(box->isChecked());
        for (const char* name : {"btnConnect", "btnPooling", "btnCommand", "btnDIDO"})
            EXPECT_TRUE(child(name)->isEnabled()) << name;
    }
}

// A poll record with "<b>" was rendered as HTML, and the two spaces the
// record holds collapsed to one.
TEST_F(WindowSafety, ControllerDataIsShownAsPlainText) {
    useSim(true);
    ASSERT_TRUE(sim_.pushEvent({"20261207140509", '1', "<b>1", "</b>!"}));
    auto* data = child<QLabel>("pnPoolingData");
    pressDuring("btnPooling", [&] {
        if (count("0000IB") < 1) return false;
        QTest::mouseClick(child<QPushButton>("btnPooling"), Qt::LeftButton);
        return true;
    });
    EXPECT_EQ(data->text(), "[1] 2026/12/07  14:05:09 (<b>1) [</b>!]");
    EXPECT_EQ(data->textFormat(), Qt::PlainText);
    // Laid out as plain text, the second space takes room of its own.
    const int twoSpaces = data->sizeHint().width();
    data->setText(QString(data->text()).replace(QStringLiteral("  "), QStringLiteral(" ")));
    EXPECT_GT(twoSpaces, data->sizeHint().width());
    for (const char* name : {"pnMsg", "pnVER", "pnSN", "pnPoolingDate", "pnFile"})
        EXPECT_EQ(child<QLabel>(name)->textFormat(), Qt::PlainText) << name;
}

// A header with nothing behind it: refused by the loader, nothing sent, the
// controller's memory untouched.
TEST_F(WindowSafety, AnEmptyFirmwareFileIsRefusedBeforeAnythingIsSent) {
    ktsim::DeviceConfig config;
    config.family = 6;
    ASSERT_TRUE(sim_.setConfig(config));
    useSim(true);
    press("btnConnect");
    ASSERT_EQ(status(), "Command ok.");
    sim_.clearLog();
    tone_->played.clear();
    const QByteArray memory = sim_.loaderState().memory;

    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("empty.KTB"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("KT740MX-V6").leftJustified(16, '\0'));
    file.close();
    window_->setFirmwareFileChooser([&] { return path; });
    child<QAction>("mnuFirmwareFile")->trigger();
    press("btnFirmware");

    EXPECT_EQ(status(), "Load firmware file error!");
    EXPECT_EQ(lamp(), kRed);
    EXPECT_EQ(tone_->played, (QList<Played>{{300, 300, false}}));
    EXPECT_TRUE(sim_.requestLog().isEmpty());
    EXPECT_EQ(sim_.loaderState().memory, memory);
    EXPECT_FALSE(sim_.loaderState().upgradeApplied);
}

// A CR and an SOH typed into the command field would smuggle a second,
// valid request (the fire alarm) past the frame.
TEST_F(WindowSafety, CommandTextsWithFramingBytesAreNeverSent) {
    useSim(false);
    child<QLineEdit>("edCommandSend")
        ->setText(QStringLiteral("AV\r\x01"
                                 "0000JF3"));
    press("btnCommand");
    EXPECT_EQ(status(), "Command error! (the command cannot be sent)");
    child<QLineEdit>("edCommandSend")->setText(QStringLiteral("JF") + QChar(0x4E2D));
    press("btnCommand");
    EXPECT_EQ(status(), "Command error! (the command cannot be sent)");
    child<QLineEdit>("edModuleCommandSend")
        ->setText(QStringLiteral("S\r\x01"
                                 "0000JF3"));
    press("btnModuleCommand");
    EXPECT_EQ(status(), "Command error! (the command cannot be sent)");
    EXPECT_TRUE(sim_.requestLog().isEmpty()) << sim_.requestLog().join(' ').constData();
    EXPECT_EQ(sim_.state().alarm, 0);
}

// The other attacks from the window: a peer streaming without a frame, the
// port lost while the upgrade command goes out, a FIFO named as the
// firmware file. Each ends within its limit as a failure.
TEST_F(WindowSafety, StreamsLostUpgradesAndFifosEndAsFailures) {
    auto elapsed = [](const std::function<void()>& call) {
        QElapsedTimer clock;
        clock.start();
        call();
        return clock.elapsed();
    };
    useSim(true);
    ASSERT_TRUE(sim_.addFault(QStringLiteral("*:stream=1920@1")));
    child<QLineEdit>("edCommandSend")->setText(QStringLiteral("AC"));
    qint64 ms = elapsed([&] { press("btnCommand"); });
    EXPECT_EQ(status(), "Command error! (no answer from the device)");
    EXPECT_LT(ms, 3000);

    ktsim::DeviceConfig config;
    config.family = 6;
    ASSERT_TRUE(sim_.setConfig(config));
    press("btnConnect");
    ASSERT_EQ(status(), "Command ok.");
    QTemporaryDir files;
    QString chosen = files.filePath(QStringLiteral("one.KTB"));
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("KT740MX-V6").leftJustified(16, '\0') + "x");
    file.close();
    window_->setFirmwareFileChooser([&] { return chosen; });
    child<QAction>("mnuFirmwareFile")->trigger();
    ASSERT_TRUE(sim_.addFault(QStringLiteral("Zr:close@1")));
    answerQuestion(Answer::Yes);
    ms = elapsed([&] { press("btnFirmware"); });
    EXPECT_TRUE(status().startsWith("Command error! (") && status().endsWith(": connection lost)"))
        << status().toStdString();
    EXPECT_EQ(lamp(), kRed);
    EXPECT_LT(ms, 5000) << "no 7 s pause after a lost upgrade command";
    EXPECT_EQ(sim_.requestLog().last(), "0000ZrC72D");

    chosen = files.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(chosen).constData(), 0600), 0);
    ms = elapsed([&] {
        child<QAction>("mnuFirmwareFile")->trigger();
        press("btnFirmware");
    });
    EXPECT_EQ(status(), "Load firmware file error!");
    EXPECT_LT(ms, 2000) << "a FIFO without a writer must not block the window";
}

}  // namespace
