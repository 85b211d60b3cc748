// The window as a Linux program: why an operation failed, the port list,
// a window that stays alive through the fixed pauses, the traffic monitor,
// and the menu bar that keeps its height in every language.
#include "app/settings_store.h"
#include "app/traffic_log.h"
#include "app/window/port_combo_box.h"
#include "app/window/traffic_monitor.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTableView>
#include <QTcpServer>
#include <QTest>
#include <cstdio>

using namespace kttest;
using namespace Qt::StringLiterals;

namespace {

ktsim::DeviceConfig controller(int family, const QByteArray& address) {
    ktsim::DeviceConfig config;
    config.family = family;
    config.address = address;
    return config;
}

class LinuxWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
    void choose(const char* languageAction) { child<QAction>(languageAction)->trigger(); }
    QString tooltip() const { return child<QLabel>("pnMsg")->toolTip(); }
};

// A loopback port on which nothing listens.
quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();  // closed when server goes
}

}  // namespace

TEST_F(LinuxWindow, FailureShowsTheTableTextThenTheCauseInEachLanguage) {
    // A missing port, in English; the tooltip holds the whole line.
    useSerial(u"/dev/kt-missing"_s);
    press("btnConnect");
    EXPECT_EQ(status(), "Connect device error! (/dev/kt-missing: no such port)");
    EXPECT_EQ(tooltip(), status());

    // A converter that refuses, in Simplified Chinese.
    choose("mnuSimplified");
    const quint16 port = closedPort();
    useNetwork(port);
    press("btnConnect");
    EXPECT_EQ(status(), u"连线装置错误! (127.0.0.1:%1: 连线被拒绝)"_s.arg(port));

    // A peer that vanishes in the middle of its reply, in Traditional Chinese.
    choose("mnuTraditional");
    {
        ktsim::SimThread sim(controller(7, "0000"));
        ASSERT_TRUE(sim.addFault(u"AC:drop"_s));
        useNetwork(sim.startTcp());
        press("btnConnect");
        EXPECT_EQ(status(), u"連線裝置錯誤! (127.0.0.1:%1: 連線中斷)"_s.arg(
                                window_->settingsFields().NetPort));
    }

    // A controller that answers with a bad checksum, then one that works:
    // success shows the table's text alone and drops the tooltip.
    choose("mnuEnglish");
    ktsim::SimThread sim(controller(7, "0000"));
    useSerial(sim.startPty());
    press("btnConnect");
    ASSERT_EQ(status(), "Command ok.");
    ASSERT_TRUE(sim.addFault(u"AS:badcrc@1"_s));
    child<QLineEdit>("edCommandSend")->setText(u"AS"_s);
    press("btnCommand");
    EXPECT_EQ(status(), "Command error! (bad checksum in the reply)");
    press("btnCommand");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_TRUE(tooltip().isEmpty());
}

TEST_F(LinuxWindow, PortListDescribesEachPortAndKeepsTheBareName) {
    portRecords_ = {
        {u"ttyS0"_s, {}, {}, {}, false},
        {u"ttyUSB0"_s, u"FT232R USB UART"_s, u"FTDI"_s, u"A50285BI"_s, true},
        {u"ttyACM0"_s, u"Prolific USB-Serial\x01"_s, u"Prolific"_s, {}, true},
        {u"/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0"_s, u"-> ttyUSB0"_s, {}, {}, true}};
    start();
    auto* box = child<QComboBox>("cmbPort");
    ASSERT_EQ(box->count(), 4);
    EXPECT_EQ(box->itemText(0), "ttyS0  (no access)");
    EXPECT_EQ(box->itemText(1), "ttyUSB0  FT232R USB UART  FTDI  A50285BI");
    EXPECT_EQ(box->itemText(2), "ttyACM0  Prolific USB-Serial");  // no control byte, no echo
    EXPECT_EQ(box->itemText(3), "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0  -> ttyUSB0");

    // A choice shows, stores and opens the bare name.
    box->setCurrentIndex(1);
    EXPECT_EQ(box->currentText(), "ttyUSB0");
    box->setCurrentIndex(3);
    EXPECT_EQ(box->currentText(), "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0");

    choose("mnuTraditional");
    EXPECT_EQ(box->itemText(0), u"ttyS0  (沒有權限)"_s);
    EXPECT_EQ(box->currentText(), "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0");

    // An adapter plugged in while the window is up: the watched folder
    // changes, and the list follows without the drop-down being opened.
    QTemporaryDir devices;
    ASSERT_TRUE(devices.isValid());
    qobject_cast<kt::PortComboBox*>(box)->watchFolders({devices.path()});
    portRecords_.append({u"ttyUSB1"_s, {}, {}, {}, true});
    QFile(devices.filePath(u"ttyUSB1"_s)).open(QIODevice::WriteOnly);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->count() == 5; }, 5000));
    EXPECT_EQ(box->itemText(4), "ttyUSB1");
    EXPECT_EQ(box->currentText(), "/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0");
}

TEST(PortEntries, FallBackToComNamesAndTrimEveryName) {
    const QList<kt::PortEntry> none = kt::serialPortEntries({}, u"(no access)"_s);
    ASSERT_EQ(none.size(), 16);
    EXPECT_EQ(none.first(), (kt::PortEntry{u"COM1"_s, u"COM1"_s}));
    const QList<kt::PortEntry> one =
        kt::serialPortEntries({{u" ttyUSB0\t"_s, u"ttyUSB0 FT232R"_s, u"FTDI"_s, {}, true}}, {});
    // The maker already inside the description is not said twice.
    EXPECT_EQ(one, (QList<kt::PortEntry>{{u"ttyUSB0"_s, u"ttyUSB0  ttyUSB0 FT232R  FTDI"_s}}));
}

TEST_F(LinuxWindow, RebootWaitKeepsTheWindowAliveAndItsLength) {
    ktsim::SimThread sim(controller(4, "001"));
    useSerial(sim.startPty());
    press("btnConnect");
    ASSERT_EQ(window_->ControllerFamily(), kt::Family::ThreeDigit);
    sim.clearLog();

    QSet<QString> clock;
    bool closeRefused = true;
    bool disabled = true;
    pressDuring("btnReboot", [&] {
        clock.insert(child<QLabel>("pnSetDate")->text());
        disabled = disabled && !window_->isEnabled();
        if (clock.size() == 2) closeRefused = !window_->close() && window_->isVisible();
        return clock.size() >= 3;  // the clock ticked twice inside the wait
    });
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(closeRefused);
    EXPECT_EQ(status(), "Command ok.");
    const QList<ktsim::LoggedRequest> requests = sim.requestRecords();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].text, "001AJ");
    EXPECT_EQ(requests[1].text, "001AS");
    // The reply to AJ comes within a few milliseconds, then the 3.5 s wait.
    const qint64 gapMs = (requests[1].monotonicNs - requests[0].monotonicNs) / 1000000;
    EXPECT_GE(gapMs, 3500);
    EXPECT_LT(gapMs, 3500 + 400);
}

TEST_F(LinuxWindow, TrafficMonitorListsEveryFrameWithItsVerdictAndSavesIt) {
    const QSize before = window_->size();
    child<QAction>("mnuTraffic")->trigger();
    kt::TrafficMonitor* monitor = window_->trafficMonitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->objectName(), "frmTraffic");
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_FALSE(monitor->isModal());
    EXPECT_EQ(window_->size(), before);

    ktsim::SimThread sim(controller(7, "0000"));
    ASSERT_TRUE(sim.addFault(u"AC:silent@1"_s));
    ASSERT_TRUE(sim.addFault(u"DB:badcrc@1"_s));
    useSerial(sim.startPty());
    press("btnConnect");

    const kt::TrafficLog& log = monitor->log();
    ASSERT_EQ(log.rowCount(), 6);
    const auto cell = [&](int row, int column) {
        return log.data(log.index(row, column), Qt::DisplayRole).toString();
    };
    const QStringList verdicts = {
        cell(0, kt::TrafficLog::VerdictColumn), cell(1, kt::TrafficLog::VerdictColumn),
        cell(3, kt::TrafficLog::VerdictColumn), cell(5, kt::TrafficLog::VerdictColumn)};
    EXPECT_EQ(verdicts, QStringList({"", "timed out", "check good", "check bad"}));
    EXPECT_EQ(cell(2, kt::TrafficLog::DirectionColumn), "Sent");
    EXPECT_EQ(cell(3, kt::TrafficLog::DirectionColumn), "Received");
    EXPECT_EQ(cell(2, kt::TrafficLog::FrameColumn), "CRC");
    EXPECT_EQ(cell(2, kt::TrafficLog::BytesColumn).left(7), u"\u24010000AC"_s);
    EXPECT_EQ(cell(3, kt::TrafficLog::LengthColumn), "17");
    EXPECT_TRUE(cell(2, kt::TrafficLog::ReplyMsColumn).isEmpty());
    EXPECT_GE(log.row(1).sinceRequestMs, 300);  // the silence limit ran out
    EXPECT_LT(log.row(3).sinceRequestMs, 300);

    // Save: one frame a line, as ktcli --trace writes them.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"traffic.txt"_s);
    monitor->setSaveFileChooser([&] { return path; });
    monitor->findChild<QPushButton*>(u"btnTrafficSave"_s)->click();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    const QRegularExpression shape(
        u"^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} (->|<-) \\S*  (CRC|CRC good|CRC bad|nothing)$"_s);
    for (const QString& line : lines)
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(lines[1].endsWith(u" <-   nothing"_s)) << lines[1].toStdString();
    EXPECT_TRUE(lines[5].endsWith(u"CRC bad"_s));

    // Paused, no frame is added, only the pause's marker; closed, the link
    // has no listener at all.
    monitor->findChild<QPushButton*>(u"btnTrafficPause"_s)->click();
    press("btnConnect");
    EXPECT_EQ(log.rowCount(), 7);
    monitor->findChild<QPushButton*>(u"btnTrafficPause"_s)->click();
    monitor->findChild<QPushButton*>(u"btnTrafficClear"_s)->click();
    EXPECT_EQ(log.rowCount(), 0);
    monitor->close();
    press("btnConnect");
    EXPECT_EQ(log.rowCount(), 0);
}

// The monitor has its title; its Time and Verdict columns hold their
// longest texts from the start, in each language; a pause is one marker row
// that counts what it hid, listed and saved; 10,000 rows close with the window.
TEST_F(LinuxWindow, TrafficMonitorSizesItsColumnsMarksAPauseAndClosesFull) {
    child<QAction>("mnuTraffic")->trigger();
    kt::TrafficMonitor* monitor = window_->trafficMonitor();
    ASSERT_NE(monitor, nullptr);
    auto* view = monitor->findChild<QTableView*>(u"tvTraffic"_s);
    ASSERT_NE(view, nullptr);
    const QStringList titles{u"Traffic monitor"_s, u"通讯监视"_s, u"通訊監視"_s};
    const char* menus[] = {"mnuEnglish", "mnuSimplified", "mnuTraditional"};
    for (int language = 0; language < 3; ++language) {
        choose(menus[language]);
        EXPECT_EQ(monitor->windowTitle(), titles[language]);
        const QFontMetrics metrics(view->font());
        const auto fits = [&](int column, const QString& text) {
            return metrics.horizontalAdvance(text) + 6 <= view->columnWidth(column);
        };
        EXPECT_TRUE(fits(kt::TrafficLog::TimeColumn, u"23:59:59.999"_s)) << language;
        // Every verdict in the language now installed.
        for (const QString& verdict : kt::TrafficLog::columnTexts(kt::TrafficLog::VerdictColumn))
            EXPECT_TRUE(fits(kt::TrafficLog::VerdictColumn, verdict))
                << language << ' ' << verdict.toStdString();
    }
    choose("mnuEnglish");

    ktsim::SimThread sim(controller(7, "0000"));
    useSerial(sim.startPty());
    press("btnConnect");
    const kt::TrafficLog& log = monitor->log();
    const int before = log.rowCount();
    ASSERT_GT(before, 0);
    auto* pause = monitor->findChild<QPushButton*>(u"btnTrafficPause"_s);
    pause->click();
    press("btnConnect");
    press("btnConnect");
    pause->click();
    ASSERT_EQ(log.rowCount(), before + 1);
    const QString marker =
        log.data(log.index(before, kt::TrafficLog::DirectionColumn), Qt::DisplayRole).toString();
    EXPECT_EQ(marker, u"paused: %1 frames not shown"_s.arg(2 * before));
    press("btnConnect");  // after the pause: frames again, and a new pause a new marker
    EXPECT_EQ(log.rowCount(), 2 * before + 1);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"traffic.txt"_s);
    monitor->setSaveFileChooser([&] { return path; });
    monitor->findChild<QPushButton*>(u"btnTrafficSave"_s)->click();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2 * before + 1);
    EXPECT_TRUE(
        QRegularExpression(
            u"^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} -- paused: %1 frames not shown$"_s.arg(2 * before))
            .match(lines[before])
            .hasMatch())
        << lines[before].toStdString();

    // A full monitor goes with the window; the time it takes is printed,
    // not asserted (the window's own figures are measured, never tested).
    kt::TraceEvent sent;
    sent.bytes =
        "\x01"
        "0000AC";
    for (int i = 0; i < kt::TrafficLog::kMaxRows; ++i) monitor->log().record(sent, QTime(12, 0), i);
    QElapsedTimer closing;
    closing.start();
    window_->close();
    window_.reset();
    std::printf("closing the window with %d monitor rows: %lld ms\n", kt::TrafficLog::kMaxRows,
                static_cast<long long>(closing.elapsed()));
}

TEST(TrafficLogBound, KeepsTheNewestTenThousandFrames) {
    kt::TrafficLog log;
    kt::TraceEvent sent;
    sent.bytes =
        "\x01"
        "0000AC";
    for (int i = 0; i < kt::TrafficLog::kMaxRows + 5; ++i) {
        sent.bytes[1] = char('0' + i % 10);
        log.record(sent, QTime(12, 0), i);
    }
    EXPECT_EQ(log.rowCount(), kt::TrafficLog::kMaxRows);
    EXPECT_EQ(log.row(0).event.bytes[1], '5');  // the first five went
    kt::TraceEvent refused;
    refused.refused = true;
    log.record(refused, QTime(12, 0), 1);
    EXPECT_EQ(
        log.data(log.index(log.rowCount() - 1, kt::TrafficLog::VerdictColumn), Qt::DisplayRole),
        "refused before sending");
    EXPECT_TRUE(log.text().endsWith(u"  refused\n"_s));
}

TEST_F(LinuxWindow, MenuBarKeepsItsHeightAndTheClientAreaInEveryLanguage) {
    const int height = window_->menuBar()->height();
    const QRect client = window_->centralWidget()->geometry();
    EXPECT_EQ(client.size(), QSize(680, 614));
    for (const char* language : {"mnuSimplified", "mnuTraditional", "mnuEnglish"}) {
        choose(language);
        QApplication::processEvents();
        EXPECT_EQ(window_->menuBar()->height(), height) << language;
        EXPECT_EQ(window_->centralWidget()->geometry(), client) << language;
        // Every title stays on the bar, none pushed into its overflow.
        QMenuBar* bar = window_->menuBar();
        for (QAction* title : bar->actions()) {
            const QRect at = bar->actionGeometry(title);
            EXPECT_TRUE(!at.isEmpty() && bar->rect().contains(at))
                << language << ": " << title->text().toStdString();
        }
    }
}

TEST_F(LinuxWindow, SerialNumberWithAZeroByteShowsWhatReplyTextHolds) {
    ktsim::SimThread sim(controller(7, "0012"));
    useSerial(sim.startPty());
    // The serial number's first character is the zero: nothing of it shows,
    // but the reply was accepted and the panel says so.
    ASSERT_TRUE(sim.addFault(u"AS:zerobyte=8@1"_s));
    press("btnConnect");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(child<QLabel>("pnSN")->text(), "S/N:   ID:0012");
    // Further in, the serial number is cut there.
    ASSERT_TRUE(sim.addFault(u"AS:zerobyte=11@1"_s));
    press("btnConnect");
    EXPECT_EQ(child<QLabel>("pnSN")->text(), "S/N:160   ID:0012");
}

TEST_F(LinuxWindow, TrafficMonitorKeepsItsPlaceOutsideTheStoredValues) {
    kt::StoredSettings stored;
    stored.NetIP = u"127.0.0.3"_s;
    kt::SavePortSettings(stored);
    child<QAction>("mnuTraffic")->trigger();
    window_->trafficMonitor()->setGeometry(60, 70, 520, 310);
    window_->trafficMonitor()->close();

    start();  // the tool started again
    child<QAction>("mnuTraffic")->trigger();
    EXPECT_EQ(window_->trafficMonitor()->size(), QSize(520, 310));
    // The account's file still reads cleanly, with the same seven values.
    testing::internal::CaptureStderr();
    EXPECT_EQ(kt::loadSettings(), stored);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
