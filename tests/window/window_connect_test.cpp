// Connect end to end against ktsim, over the pseudo-terminal and over TCP:
// what the window shows, keeps and stores, started by Enter in an edit.
#include "app/settings_store.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace kttest;
using Played = ProbeTone::Played;

namespace {

ktsim::DeviceConfig controller(int family, const QByteArray& address) {
    ktsim::DeviceConfig config;
    config.family = family;
    config.address = address;
    return config;
}

class Connect : public WindowTest, public ::testing::WithParamInterface<kt::PortKind> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
    bool serial() const { return GetParam() == kt::PortKind::Serial; }

    // Aims the port page at the simulator; the edit that takes the focus.
    QWidget* aimAt(ktsim::SimThread& sim) {
        if (serial()) {
            const QString path = sim.startPty();
            EXPECT_FALSE(path.isEmpty());
            useSerial(path);
            return child<QComboBox>("cmbPort")->lineEdit();
        }
        const quint16 port = sim.startTcp();
        EXPECT_NE(port, 0);
        useNetwork(port);
        return child<QLineEdit>("edIP");
    }
    // Presses Enter with the focus in the edit; where the focus was.
    QWidget* pressEnterIn(QWidget* edit) {
        window_->activateWindow();
        edit->setFocus();
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(edit, Qt::Key_Return);
        waitIdle();
        return focused;
    }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
};

}  // namespace

TEST_P(Connect, EnterInAnEditFindsAndIdentifiesTheControllerAndStoresThePort) {
    ktsim::SimThread sim(controller(7, "0012"));
    QWidget* focused = pressEnterIn(aimAt(sim));

    EXPECT_EQ(sim.requestLog(), QList<QByteArray>({"0000AC", "0012DB", "0012AS"}));
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(window_->DeviceAddress(), "0012");
    EXPECT_EQ(window_->ControllerFamily(), kt::Family::KT350);
    EXPECT_EQ(text("pnVER"), "KT350B01V723  0415");
    EXPECT_EQ(text("pnSN"), "S/N:16030001   ID:0012");
    EXPECT_EQ(child<QScrollBar>("sbID")->value(), 12);
    EXPECT_EQ(text("pnID"), "0012");
    EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));
    EXPECT_FALSE(window_->link().isOpen());
    EXPECT_EQ(QApplication::focusWidget(), focused);  // Enter connects again

    const kt::StoredSettings stored = kt::loadSettings();
    EXPECT_EQ(stored.type, serial() ? 0 : 1);
    if (serial()) {
        EXPECT_EQ(stored.ComPortName, sim.ptyPath());
        EXPECT_EQ(stored.NetIP, "192.168.1.101");
    } else {
        EXPECT_EQ(stored.NetIP, "127.0.0.1");
        EXPECT_EQ(stored.NetPort, window_->settingsFields().NetPort);
        EXPECT_EQ(stored.ComPortName, "COM1");
    }
}

INSTANTIATE_TEST_SUITE_P(BothPorts, Connect,
                         ::testing::Values(kt::PortKind::Serial, kt::PortKind::Network),
                         [](const auto& info) {
                             return info.param == kt::PortKind::Serial ? "Pty" : "Tcp";
                         });

class ConnectSerial : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
};

TEST_F(ConnectSerial, SilentControllerCountsDownAndStoresNothing) {
    ktsim::SimThread sim(controller(7, "0000"));
    ASSERT_TRUE(sim.addFault("*:silent"));
    useSerial(sim.startPty());
    StatusPainted shown(child<QLabel>("pnMsg"));
    press("btnConnect");

    QStringList countdown;
    for (const QString& text : shown.texts)
        if (text.startsWith("Connecting device ... (")) countdown << text;
    EXPECT_EQ(countdown,
              QStringList({"Connecting device ... ( 6 )", "Connecting device ... ( 5 )",
                           "Connecting device ... ( 4 )", "Connecting device ... ( 3 )",
                           "Connecting device ... ( 2 )", "Connecting device ... ( 1 )"}));
    EXPECT_EQ(status(), "Connect device error! (no answer from the device)");
    EXPECT_EQ(tone_->played, QList<Played>({{300, 300, false}}));
    EXPECT_EQ(window_->DeviceAddress(), "0000");
    EXPECT_EQ(window_->ControllerFamily(), kt::Family::Unknown);
    EXPECT_TRUE(window_->isEnabled());
    EXPECT_EQ(kt::loadSettings(), kt::StoredSettings());
}

TEST_F(ConnectSerial, FamilyFourHidesTwoInputsAndAnOutputUntilTheNextConnect) {
    ktsim::SimThread sim(controller(4, "012"));
    useSerial(sim.startPty());
    press("btnConnect");

    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(window_->DeviceAddress(), "012");
    EXPECT_EQ(window_->ControllerFamily(), kt::Family::ThreeDigit);
    EXPECT_EQ(child<QLabel>("pnID")->text(), "0012");
    EXPECT_EQ(child<QLabel>("pnVER")->text(), "KT410XB V2.13.08");
    for (const char* name : {"shDI5", "shDI6", "lblDI5", "lblDI6", "chkDO4"})
        EXPECT_TRUE(child(name)->isHidden()) << name;
    EXPECT_FALSE(child("shDI7")->isHidden());

    ASSERT_TRUE(sim.setConfig(controller(7, "0012")));
    sim.clearLog();
    press("btnConnect");
    EXPECT_EQ(sim.requestLog().first(), "0012AC");
    EXPECT_EQ(window_->ControllerFamily(), kt::Family::KT350);
    for (const char* name : {"shDI5", "shDI6", "lblDI5", "lblDI6", "chkDO4"})
        EXPECT_FALSE(child(name)->isHidden()) << name;
}
