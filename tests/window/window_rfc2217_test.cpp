// The network page behind a converter that takes line settings: ser2net's
// RFC 2217 accepter in front of the in-process ktsim's pty.
#include "app/settings_store.h"
#include "sim/program/sim_thread.h"
#include "sim/program/simulator.h"
#include "tests/cli/ser2net_process.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>

using namespace kttest;

namespace {

class ConverterLine : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
    }
};

TEST_F(ConverterLine, FindsTheLineConnectsAndFollowsASpeedChangeWithoutTouchingTheSeven) {
    ktsim::SimThread sim;
    sim.call([](ktsim::Simulator& s) { s.setLineBaud(115200); });
    Ser2net converter(QStringLiteral("telnet(rfc2217),tcp"), sim.startPty(),
                      QStringLiteral("9600n81"));
    ASSERT_TRUE(converter.ready());
    auto* find = child<QAction>("mnuFindSpeed");
    auto* setLine = child<QCheckBox>("chkNetSetLine");
    auto* netSpeed = child<QComboBox>("cmbNetBaudrate");
    useNetwork(converter.port());
    EXPECT_FALSE(find->isEnabled());  // a raw converter's line is not ours
    setLine->setChecked(true);
    EXPECT_TRUE(find->isEnabled());

    find->trigger();
    waitIdle();
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(netSpeed->currentText(), "115200,n,8,1");
    EXPECT_EQ(netSpeed->currentIndex(), 10);
    EXPECT_EQ(child<QComboBox>("cmbBaudrate")->currentText(), "19200,e,8,1");

    press("btnConnect");
    EXPECT_EQ(status(), "Command ok.");
    press("btnSet19200");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(netSpeed->currentText(), "19200,e,8,1");
    EXPECT_EQ(netSpeed->currentIndex(), 5);

    // The controller hears only 19200 now: the next operation gets there.
    sim.clearLog();
    press("btnConnect");
    EXPECT_EQ(status(), "Command ok.");
    ASSERT_FALSE(sim.requestLog().isEmpty());
    EXPECT_EQ(sim.requestLog().first(), "0000AC");

    // Stored under values of their own; the seven keep their meaning.
    const kt::StoredSettings stored = kt::loadSettings();
    EXPECT_EQ(stored.NetSetLine, 1);
    EXPECT_EQ(stored.NetBaudRate, "19200,e,8,1");
    EXPECT_EQ(stored.type, 1);
    EXPECT_EQ(stored.NetPort, QString::number(converter.port()));
    EXPECT_EQ(stored.ComBaudRate, "19200,e,8,1");

    // Off again: the page is as it always was.
    setLine->setChecked(false);
    EXPECT_FALSE(find->isEnabled());
}

}  // namespace
