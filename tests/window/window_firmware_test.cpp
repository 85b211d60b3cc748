// The hidden firmware upgrade through the window: the File menu's
// "Firmware file" (its dialogue replaced by the test's chooser) and the
// Firmware page's "Firmware load" button, end to end against ktsim over the
// pseudo-terminal. Small images of family 1 keep the runs short; the
// full-size runs of every dialogue are in tests/firmware.
#include "app/settings_store.h"
#include "sim/program/sim_thread.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <algorithm>

using namespace kttest;
using Played = ProbeTone::Played;
using Texts = QList<QByteArray>;

namespace {

const QColor kRed(0xff, 0x00, 0x00);

// What ktsim's family-1 controller puts into the version panel begins with
// the 11 characters its firmware file must carry.
constexpr char kFamily1Header[] = "KT300B01-V3";

QByteArray header16(const QByteArray& text) {
    QByteArray header = text.left(16);
    header.append(16 - header.size(), '\0');
    return header;
}

// Bytes with letter digits in hex, different in every block.
QByteArray data(int size, int seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char((i * 7 + seed * 31 + i / 256) & 0xff);
    return bytes;
}

// How many of the texts begin with head.
qsizetype startingWith(const Texts& texts, const QByteArray& head) {
    return std::count_if(texts.begin(), texts.end(),
                         [&](const QByteArray& text) { return text.startsWith(head); });
}

class Firmware : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(files_.isValid());
        start();
        window_->setFirmwareFileChooser([this] {
            ++dialogs_;
            return chosen_;
        });
        const QString pty = sim_.startPty();
        ASSERT_FALSE(pty.isEmpty());
        useSerial(pty);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = files_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    // The File menu's "Firmware file", the dialogue answering `path`.
    void chooseFile(const QString& path) {
        chosen_ = path;
        child<QAction>("mnuFirmwareFile")->trigger();
    }
    void connectTo(const ktsim::DeviceConfig& config) {
        ASSERT_TRUE(sim_.setConfig(config));
        press("btnConnect");
        ASSERT_EQ(status(), "Command ok.");
        sim_.clearLog();
        tone_->played.clear();
    }
    void pressFirmwareLoad() {
        answerQuestion(Answer::Yes);
        press("btnFirmware");
    }
    QProgressBar* bar(const char* name) const { return child<QProgressBar>(name); }
    QString panel(const char* name) const { return child<QLabel>(name)->text(); }

    QTemporaryDir files_;
    QString chosen_;
    int dialogs_ = 0;
    ktsim::SimThread sim_;  // family 7: no firmware loader
};

TEST_F(Firmware, TheMenuItemAndThePageStayHidden) {
    EXPECT_FALSE(child<QAction>("mnuFirmwareFile")->isVisible());
    auto* pages = child<QTabWidget>("pcMain");
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(child("tsFirmware"))));
}

TEST_F(Firmware, ACancelledDialogueChangesNothing) {
    bar("pbProgram")->setValue(40);
    bar("pbVerify")->setValue(30);
    const QString status = this->status();
    chooseFile(QString());
    EXPECT_EQ(dialogs_, 1);
    EXPECT_EQ(window_->settingsFields().FirmwareFile, "KT320MX.KTB");
    EXPECT_EQ(kt::loadSettings().FirmwareFile, "KT320MX.KTB");
    EXPECT_EQ(panel("pnFile"), "KT320MX.KTB");
    EXPECT_EQ(bar("pbProgram")->value(), 40);
    EXPECT_EQ(bar("pbVerify")->value(), 30);
    EXPECT_EQ(this->status(), status);
    EXPECT_TRUE(tone_->played.isEmpty());
}

TEST_F(Firmware, AChosenFileIsStoredAndItsHeaderShown) {
    bar("pbProgram")->setValue(40);
    bar("pbVerify")->setValue(30);
    // The header text ends at its first zero byte; what follows is ignored.
    const QString path = writeFile("KT320.KTB", QByteArray("KT320MX-V5\0junk!", 16) + data(100, 1));
    chooseFile(path);
    EXPECT_EQ(dialogs_, 1);
    EXPECT_EQ(window_->settingsFields().FirmwareFile, path);
    EXPECT_EQ(kt::loadSettings().FirmwareFile, path);
    EXPECT_EQ(panel("pnFile"), path);
    EXPECT_EQ(status(), "KT320MX-V5");
    EXPECT_EQ(bar("pbProgram")->value(), 0);
    EXPECT_EQ(bar("pbVerify")->value(), 0);

    // Sixteen characters without a zero byte are the whole header.
    chooseFile(writeFile("long.KTB", "ABCDEFGHIJKLMNOP" + data(10, 2)));
    EXPECT_EQ(status(), "ABCDEFGHIJKLMNOP");

    // A file that cannot be read is stored and shown all the same, in silence.
    const QString missing = files_.filePath("missing.KTB");
    chooseFile(missing);
    EXPECT_EQ(kt::loadSettings().FirmwareFile, missing);
    EXPECT_EQ(panel("pnFile"), missing);
    EXPECT_EQ(status(), "ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(tone_->played.isEmpty());
    EXPECT_TRUE(sim_.requestLog().isEmpty());
}

TEST_F(Firmware, AMissingFileOrAnotherModelIsRefusedBeforeThePortOpens) {
    connectTo({.family = 1});
    ASSERT_TRUE(panel("pnVER").startsWith(kFamily1Header)) << panel("pnVER").toStdString();

    chooseFile(files_.filePath("missing.KTB"));
    bar("pbProgram")->setValue(40);
    pressFirmwareLoad();
    EXPECT_EQ(status(), "Load firmware file error!");
    EXPECT_EQ(lamp(), kRed);
    EXPECT_EQ(tone_->played, QList<Played>({{300, 300, false}}));
    EXPECT_EQ(bar("pbProgram")->value(), 0);
    EXPECT_TRUE(window_->isEnabled());
    EXPECT_FALSE(window_->operationRunning());

    // Made for family 3: the family-1 controller refuses it.
    chooseFile(writeFile("KT320.KTB", header16("KT320MX-V5") + data(600, 1)));
    pressFirmwareLoad();
    EXPECT_EQ(status(), "Firmware file format model error!");
    EXPECT_EQ(lamp(), kRed);
    EXPECT_EQ(tone_->played, QList<Played>({{300, 300, false}, {300, 300, false}}));
    EXPECT_TRUE(window_->isEnabled());

    EXPECT_TRUE(sim_.requestLog().isEmpty());
    EXPECT_EQ(sim_.loaderState().starts, 0);
}

TEST_F(Firmware, ACleanUpgradeLeavesTheFileInTheControllerAndEndsOk) {
    connectTo({.family = 1, .address = "0012"});
    ASSERT_EQ(window_->DeviceAddress(), "0012");
    ASSERT_TRUE(panel("pnVER").startsWith(kFamily1Header)) << panel("pnVER").toStdString();

    const QString path = writeFile("KT300.KTB", header16("stale") + data(300, 9));
    chooseFile(path);
    // Every run reads the file afresh: what it holds now is what goes out.
    const QByteArray firmware = data(600, 1);  // three blocks of 256, the last part-filled
    writeFile("KT300.KTB", header16(kFamily1Header) + firmware);
    StatusPainted shown(child<QLabel>("pnMsg"));

    pressFirmwareLoad();

    EXPECT_EQ(status(), "Command ok.");
    EXPECT_EQ(tone_->played, QList<Played>({{1000, 300, true}}));
    EXPECT_FALSE(window_->link().isOpen());
    EXPECT_TRUE(window_->isEnabled());
    EXPECT_EQ(bar("pbProgram")->maximum(), 3);
    EXPECT_EQ(bar("pbProgram")->value(), 3);
    EXPECT_EQ(bar("pbVerify")->maximum(), 3);
    EXPECT_EQ(bar("pbVerify")->value(), 3);
    // The phases' titles are painted as they come.
    EXPECT_EQ(shown.texts.filter(QRegularExpression("ing \\.\\.\\.$")),
              (QStringList{"Programming ...", "Verifying ...", "Upgrading ..."}));

    const ktsim::LoaderState loader = sim_.loaderState();
    EXPECT_TRUE(loader.upgradeApplied);
    EXPECT_EQ(loader.firmwareBlocks, 3);
    EXPECT_EQ(loader.blocksWritten, (QList<int>{0, 1, 2}));
    EXPECT_EQ(loader.blocksReadBack, (QList<int>{0, 1, 2}));
    const QByteArray expected = firmware + QByteArray(3 * 256 - 600, '\xff');
    EXPECT_EQ(loader.memory.left(3 * 256), expected);

    // At the controller's own address, each command.
    for (const QByteArray& text : sim_.requestLog())
        EXPECT_TRUE(text.startsWith("0012")) << text.constData();
}

TEST_F(Firmware, TheLoadAsksFirstAndNoSendsNothing) {
    connectTo({.family = 1});
    chooseFile(writeFile("KT300.KTB", header16(kFamily1Header) + data(1000, 3)));
    const QStringList questions{"The firmware upgrade rewrites the controller's program. Go on?",
                                "韧体更新会改写控制器的程式. 要继续吗?",
                                "韌體更新會改寫控制器的程式. 要繼續嗎?"};
    const char* menus[] = {"mnuEnglish", "mnuSimplified", "mnuTraditional"};
    for (int language = 0; language < 3; ++language) {
        child<QAction>(menus[language])->trigger();
        QString asked;
        answerQuestion(language == 0 ? Answer::Enter : Answer::No, &asked);
        press("btnFirmware");
        EXPECT_EQ(asked, questions[language]);
        EXPECT_FALSE(portOpenAsked_);
    }
    EXPECT_TRUE(sim_.requestLog().isEmpty());
    EXPECT_TRUE(tone_->played.isEmpty());
    EXPECT_EQ(sim_.loaderState().starts, 0);
}

TEST_F(Firmware, AFailedWriteStopsTheBarAtTheLastAcknowledgedBlockAndEndsInError) {
    // The first two handshakes and every write of block 2 go unanswered.
    connectTo({.family = 1, .loaderFaults = {"nohandshake@2", "nowrite=2"}});
    chooseFile(writeFile("KT300.KTB", header16(kFamily1Header) + data(1000, 3)));  // 4 blocks
    StatusPainted shown(child<QLabel>("pnMsg"));

    pressFirmwareLoad();

    // The programmer's own cause after the table's text.
    EXPECT_EQ(status(),
              "Command error! (the write of block 2 was not acknowledged in 5 attempts (no "
              "complete reply within 300 ms))");
    EXPECT_EQ(child<QLabel>("pnMsg")->toolTip(), status());
    EXPECT_EQ(lamp(), kRed);
    EXPECT_EQ(tone_->played, QList<Played>({{300, 300, true}}));
    EXPECT_FALSE(window_->link().isOpen());
    EXPECT_TRUE(window_->isEnabled());
    EXPECT_EQ(bar("pbProgram")->maximum(), 4);
    EXPECT_EQ(bar("pbProgram")->value(), 1);
    EXPECT_EQ(bar("pbVerify")->value(), 0);
    EXPECT_TRUE(shown.texts.contains("Connecting device ... ( 10 )"));
    EXPECT_TRUE(shown.texts.contains("Connecting device ... ( 9 )"));
    EXPECT_FALSE(shown.texts.contains("Connecting device ... ( 8 )"));
    EXPECT_FALSE(shown.texts.contains("Verifying ..."));

    const ktsim::LoaderState loader = sim_.loaderState();
    EXPECT_EQ(loader.blocksWritten, (QList<int>{0, 1}));
    EXPECT_TRUE(loader.blocksReadBack.isEmpty());
    EXPECT_FALSE(loader.upgradeApplied);
    EXPECT_EQ(startingWith(sim_.requestLog(), "0000P0200"), 5);  // five attempts
    EXPECT_EQ(startingWith(sim_.requestLog(), "0000X"), 0);
}

TEST_F(Firmware, WithoutALoaderDialogueNothingIsSentAndTheRunEndsInError) {
    chooseFile(writeFile("any.KTB", header16("KT350") + data(600, 1)));

    // Before any Connect, and on a family-7 controller: the port opens and
    // closes, and nothing goes out.
    for (const bool connected : {false, true}) {
        if (connected) connectTo({});
        ASSERT_EQ(window_->ControllerFamily(), connected ? kt::Family::KT350 : kt::Family::Unknown);
        tone_->played.clear();
        pressFirmwareLoad();
        EXPECT_EQ(status(), QStringLiteral("Command error! (family %1 has no firmware loader)")
                                .arg(connected ? 7 : 0));
        EXPECT_EQ(lamp(), kRed);
        EXPECT_EQ(tone_->played, QList<Played>({{300, 300, true}}));
        EXPECT_FALSE(window_->link().isOpen());
        EXPECT_TRUE(window_->isEnabled());
        EXPECT_FALSE(window_->operationRunning());
        EXPECT_TRUE(sim_.requestLog().isEmpty());
        EXPECT_EQ(bar("pbProgram")->value(), 0);
        EXPECT_EQ(bar("pbVerify")->value(), 0);
    }
    EXPECT_EQ(sim_.loaderState().starts, 0);
}

}  // namespace
