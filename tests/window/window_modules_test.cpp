// The module buttons end to end against ktsim over the pseudo-terminal: the
// module command test of the Command page, the V5 Module page and the V7
// Module page. Each test checks a handler's wiring: the controls it reads,
// the exact text ktsim received, and the controls it writes. The encodings
// themselves are covered in tests/modules/.
#include "link/visible_text.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

using namespace kttest;
using Texts = QList<QByteArray>;
using ktsim::V5Module;
using ktsim::V7Module;

namespace {

V7Module reader(quint16 id, const char* serial, quint16 flags = 0x0041, quint16 delay = 0x000A,
                quint16 mode = 0x0003) {
    V7Module m;
    m.id = id;
    m.serial = serial;
    m.flags = flags;
    m.delay = delay;
    m.mode = mode;
    return m;
}

// The six card-type boxes in the order of kt::CardTypeBoxes.
constexpr std::array<const char*, 6> kBoxes{"chkCardTypeA",     "chkCardTypeABlock",
                                            "chkCardType7Byte", "chkCardType15693",
                                            "chkCardTypeB",     "chkCardTypeBG"};

class Modules : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
        const QString pty = sim_.startPty();
        ASSERT_FALSE(pty.isEmpty());
        useSerial(pty);
        // Connect takes the controller's address 0001 for every later command.
        press("btnConnect");
        ASSERT_EQ(status(), "Command ok.");
        ASSERT_EQ(window_->DeviceAddress(), "0001");
        sim_.clearLog();
    }
    void setBus(const QList<V5Module>& v5, const QList<V7Module>& v7) {
        QString error;
        ASSERT_TRUE(sim_.setModules({v5, v7}, &error)) << error.toStdString();
    }
    // Presses the button and returns the one text ktsim received.
    QByteArray sentBy(const char* button) {
        sim_.clearLog();
        press(button);
        const Texts log = sim_.requestLog();
        return log.size() == 1 ? log.front() : "<" + QByteArray::number(log.size()) + " texts>";
    }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return child<QComboBox>(name); }
    QCheckBox* box(const char* name) const { return child<QCheckBox>(name); }
    // The last accepted reply as a receive field shows it.
    QString lastReply() const { return kt::VisibleText(window_->link().ReplyText()); }
    QList<bool> boxes() const {
        QList<bool> ticks;
        for (const char* name : kBoxes) ticks << box(name)->isChecked();
        return ticks;
    }
    void tickBoxes(const QList<bool>& ticks) {
        for (int i = 0; i < int(kBoxes.size()); ++i) box(kBoxes[i])->setChecked(ticks[i]);
    }

    ktsim::SimThread sim_{ktsim::DeviceConfig{.family = 7, .address = "0001"}};
};

TEST_F(Modules, ModuleCommandTestSendsTypeIdAndCommandAsTypedAndShowsTheReplyVisibly) {
    setBus({{'H', '1', "15030001"}, {'E', '2', "15039999"}}, {});
    QLineEdit* recv = edit("edModuleCommandRecv");
    EXPECT_EQ(sentBy("btnModuleCommand"), "0001DDH1B");  // the page as it starts
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_TRUE(recv->text().startsWith(QStringLiteral("\u24030001DDH1BKTRB5")))
        << recv->text().toStdString();
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(recv->text().back(), QChar(0x240D));

    combo("cmbModuleType")->setCurrentIndex(5);  // KTPRINT
    combo("cmbModuleId")->setCurrentIndex(1);    // "2"
    EXPECT_EQ(sentBy("btnModuleCommand"), "0001DDE2B");
    EXPECT_EQ(status(), "Command ok.");
    const QString printer = recv->text();
    EXPECT_EQ(printer, lastReply());

    // Nothing typed: no module answers, the field keeps the last reply.
    edit("edModuleCommandSend")->clear();
    EXPECT_EQ(sentBy("btnModuleCommand"), "0001DDE2");
    EXPECT_EQ(status(), "Command error! (no answer from the device)");
    EXPECT_EQ(recv->text(), printer);
}

TEST_F(Modules, V5PageReadsTheSerialNumberAndGivesItsModuleANewId) {
    setBus({{'H', '3', "15030003"}, {'H', '0', "15030000"}, {'E', '1', "15039999"}}, {});
    QLineEdit* serial = edit("edV5Sn");
    QLineEdit* recv = edit("edV5Recv");
    combo("cmbV5Id")->setCurrentIndex(3);
    EXPECT_EQ(sentBy("btnV5GetSn"), "0001DDH3S");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(serial->text(), "15030003");
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_TRUE(recv->text().startsWith(QChar(0x2403)));

    combo("cmbV5Id")->setCurrentIndex(0);  // ID 0 is offered and sent as "0"
    EXPECT_EQ(sentBy("btnV5GetSn"), "0001DDH0S");
    EXPECT_EQ(serial->text(), "15030000");
    combo("cmbV5Type")->setCurrentIndex(5);  // KTPRINT
    combo("cmbV5Id")->setCurrentIndex(1);
    EXPECT_EQ(sentBy("btnV5GetSn"), "0001DDE1S");
    EXPECT_EQ(serial->text(), "15039999");

    // An accepted reply of 25 bytes: shown, the serial number stays.
    serial->setText("16030001");
    ASSERT_TRUE(sim_.addFault("DD:wronglen@1"));
    EXPECT_EQ(sentBy("btnV5GetSn"), "0001DDE1S");
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(window_->link().ReplyLength(), 25);
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(serial->text(), "16030001");

    // The ID setting sends "0" in the ID place and the new ID item.
    setBus({{'H', '1', "16030001"}}, {});
    combo("cmbV5Type")->setCurrentIndex(2);
    combo("cmbV5SetId")->setCurrentIndex(4);  // "5"
    recv->clear();
    EXPECT_EQ(sentBy("btnV5SetId"), "0001DDH0C160300015");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(sim_.modules().v5, (QList<V5Module>{{'H', '5', "16030001"}}));
    combo("cmbV5Id")->setCurrentIndex(5);
    serial->clear();
    EXPECT_EQ(sentBy("btnV5GetSn"), "0001DDH5S");
    EXPECT_EQ(serial->text(), "16030001");
}

TEST_F(Modules, V7PageReadsSerialByIdAndIdBySerialAndMovesAModule) {
    setBus({}, {reader(0, "17030000"), reader(8, "17030008"), reader(9, "17030009")});
    QLineEdit* serial = edit("edV7Sn");
    QComboBox* id = combo("cmbV7Id");
    QLineEdit* recv = edit("edV7Recv");
    id->setCurrentIndex(0);
    EXPECT_EQ(sentBy("btnV7SnId"), "0001DR050006880000010000");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(serial->text(), "17030000");
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(id->currentIndex(), 0);

    child<QRadioButton>("rbSN")->setChecked(true);
    serial->setText("17030008");
    id->setCurrentIndex(3);
    EXPECT_EQ(sentBy("btnV7SnId"), "0001DR0500088400000217030008");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(id->currentText(), "8");
    EXPECT_EQ(serial->text(), "17030008");

    // ID 9 answers a 9 at position 41, which is no item: shown, nothing selected.
    serial->setText("17030009");
    EXPECT_EQ(sentBy("btnV7SnId"), "0001DR0500088400000217030009");
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(window_->link().ReplyLength(), 51);
    EXPECT_EQ(window_->link().ReplyText().at(40), '9');
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(id->currentText(), "8");

    // The ID setting repeats the serial number; the module answers at its new ID.
    setBus({}, {reader(1, "16030001")});
    serial->setText("16030001");
    combo("cmbV7SetId")->setCurrentIndex(1);  // "2"
    recv->clear();
    EXPECT_EQ(sentBy("btnV7SetId"),
              "0001DR050010840000021603000116030001"
              "00020000");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(sim_.modules().v7.front().id, 2);
    EXPECT_EQ(sentBy("btnV7SnId"), "0001DR0500088400000216030001");
    EXPECT_EQ(id->currentText(), "2");
    child<QRadioButton>("rbID")->setChecked(true);
    serial->clear();
    EXPECT_EQ(sentBy("btnV7SnId"), "0001DR050006880000010002");
    EXPECT_EQ(serial->text(), "16030001");

    combo("cmbV7SetId")->setCurrentIndex(7);  // "8" goes as 0008
    EXPECT_EQ(sentBy("btnV7SetId"),
              "0001DR050010840000021603000116030001"
              "00080000");
    EXPECT_EQ(sim_.modules().v7.front().id, 8);
}

TEST_F(Modules, CardTypeWriteSendsThePageAndShowsTheReply) {
    setBus({}, {reader(1, "17030001")});
    QLineEdit* delay = edit("edSameCard");
    QCheckBox* green = box("chkGreenMode");
    QCheckBox* reset = box("chkResetMode");
    QLineEdit* recv = edit("edV7Recv");
    const QList<bool> none(6, false);
    const QList<bool> all(6, true);

    // The page as it starts: the example words.
    EXPECT_EQ(sentBy("btnV7SetCardType"),
              "0001DR05000E880002030001"
              "0041000A00030000");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(delay->text(), "10");
    EXPECT_EQ(boxes(), (QList<bool>{true, false, false, false, false, true}));

    // Everything off and no delay.
    tickBoxes(none);
    green->setChecked(false);
    reset->setChecked(false);
    delay->setText("0");
    EXPECT_EQ(sentBy("btnV7SetCardType"),
              "0001DR05000E880002030001"
              "0000000000000000");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(boxes(), none);
    EXPECT_FALSE(green->isChecked());
    EXPECT_FALSE(reset->isChecked());
    EXPECT_EQ(delay->text(), "0");

    // Each box alone: its bit goes out and comes back to that box only.
    const std::array<const char*, 6> bits{"0001", "0002", "0004", "0010", "0020", "0040"};
    for (int i = 0; i < int(kBoxes.size()); ++i) {
        QList<bool> one = none;
        one[i] = true;
        tickBoxes(one);
        EXPECT_EQ(sentBy("btnV7SetCardType"),
                  QByteArray("0001DR05000E880002030001") + bits[i] + "000000000000")
            << kBoxes[i];
        EXPECT_EQ(boxes(), one) << kBoxes[i];
    }

    // 255 as 00FF and back as 255, to ID 0.
    tickBoxes(all);
    green->setChecked(true);
    delay->setText("255");
    combo("cmbV7Id")->setCurrentIndex(0);
    setBus({}, {reader(0, "17030000")});
    EXPECT_EQ(sentBy("btnV7SetCardType"),
              "0001DR05000E880002030000"
              "007700FF00010000");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(delay->text(), "255");
    EXPECT_EQ(boxes(), all);
    EXPECT_TRUE(green->isChecked());
    EXPECT_FALSE(reset->isChecked());  // no reply changes Reset
    const V7Module stored = sim_.modules().v7.front();
    EXPECT_EQ(stored.flags, 0x0077);
    EXPECT_EQ(stored.delay, 0x00FF);
    EXPECT_EQ(stored.mode, 0x0001);

    // An empty delay sends the fallback words; the reply then sets the boxes.
    delay->clear();
    EXPECT_EQ(sentBy("btnV7SetCardType"),
              "0001DR05000E880002030000"
              "0000000A00010000");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(delay->text(), "10");
    EXPECT_EQ(boxes(), none);
    EXPECT_TRUE(green->isChecked());

    // A negative delay is refused: nothing sent, nothing changed.
    tickBoxes(all);
    delay->setText("-1");
    const QString shown = recv->text();
    EXPECT_EQ(sentBy("btnV7SetCardType"), "<0 texts>");
    EXPECT_EQ(status(), "Command error!");
    EXPECT_EQ(recv->text(), shown);
    EXPECT_EQ(delay->text(), "-1");
    EXPECT_EQ(boxes(), all);
    EXPECT_EQ(sim_.modules().v7.front().flags, 0x0000);
}

TEST_F(Modules, CardTypeReadShowsTheRegistersNeverResetAndRefusesUnreadableWords) {
    setBus({}, {reader(1, "17030001", 0x0008, 0x00FF, 0x0002)});
    QLineEdit* delay = edit("edSameCard");
    QCheckBox* green = box("chkGreenMode");
    QCheckBox* reset = box("chkResetMode");
    QLineEdit* recv = edit("edV7Recv");
    const QList<bool> none(6, false);
    const QList<bool> all(6, true);

    // Flags 0008 has no box: all six go off; mode 0002 unticks Green Mode only.
    tickBoxes(all);
    EXPECT_EQ(sentBy("btnV7GetCardType"), "0001DR050006880002030001");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(recv->text(), lastReply());
    EXPECT_EQ(boxes(), none);
    EXPECT_EQ(delay->text(), "255");
    EXPECT_FALSE(green->isChecked());
    EXPECT_TRUE(reset->isChecked());

    // Mode 0003 leaves an unticked Reset unticked. edSameCard keeps its three
    // characters: delay 1000 shows cut, the receive field has the whole word.
    setBus({}, {reader(1, "17030001", 0x0041, 0x03E8, 0x0003)});
    reset->setChecked(false);
    EXPECT_EQ(sentBy("btnV7GetCardType"), "0001DR050006880002030001");
    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(boxes(), (QList<bool>{true, false, false, false, false, true}));
    EXPECT_TRUE(green->isChecked());
    EXPECT_FALSE(reset->isChecked());
    EXPECT_EQ(delay->text(), "100");
    EXPECT_TRUE(recv->text().contains("004103E80003")) << recv->text().toStdString();

    // Words that are no hexadecimal numbers, and a reply of another length:
    // shown, nothing else changes.
    V7Module noisy = reader(1, "17030001", 0x0000, 0x0001, 0x0000);
    noisy.noisyWords = true;
    setBus({}, {noisy});
    for (const char* fault : {"", "DR:wronglen@1"}) {
        if (*fault) {
            setBus({}, {reader(1, "17030001", 0x0000, 0x0001, 0x0000)});
            ASSERT_TRUE(sim_.addFault(fault));
        }
        EXPECT_EQ(sentBy("btnV7GetCardType"), "0001DR050006880002030001") << fault;
        EXPECT_EQ(status(), "Command error!") << fault;
        EXPECT_EQ(recv->text(), lastReply()) << fault;
        EXPECT_EQ(boxes(), (QList<bool>{true, false, false, false, false, true})) << fault;
        EXPECT_TRUE(green->isChecked()) << fault;
        EXPECT_EQ(delay->text(), "100") << fault;
    }
    EXPECT_EQ(window_->link().ReplyLength(), 48);
}

}  // namespace
