// The settings store against real INI files in a temporary folder: both
// QSettings scopes point there, never at /etc/xdg or the home folder.
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace kt;
using namespace Qt::StringLiterals;
using Values = QMap<QString, QString>;

namespace {

// File access as an ordinary account while it lives. CI runs the tests as
// root, where permission bits do not bite; there this thread's filesystem uid
// becomes "nobody", which also drops root's override of them.
struct OrdinaryAccount {
    const bool root = geteuid() == 0;
    OrdinaryAccount() {
        if (root) setfsuid(65534);
    }
    ~OrdinaryAccount() {
        if (root) setfsuid(0);
    }
    bool active() const { return !root || setfsuid(uid_t(-1)) == 65534; }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tool's section of one INI file, as stored texts.
Values section(const QString& path) {
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(u"ControllerTools"_s);
    Values values;
    for (const QString& key : ini.childKeys()) values[key] = ini.value(key).toString();
    return values;
}

void setMode(const QString& path, mode_t mode) {
    ::chmod(QFile::encodeName(path), mode);
}

}  // namespace

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        setMode(temp_.path(), 0755);  // reachable for an ordinary account
        useFolders(u"start"_s);
    }
    void TearDown() override {  // locked folders must be removable without root too
        QDirIterator it(temp_.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) setMode(it.next(), 0755);
    }
    // QSettings caches every file it has read by name: a hand-written file
    // gets folders of its own.
    void useFolders(const QString& name) {
        machineDir_ = temp_.filePath(name + u"/machine"_s);
        accountDir_ = temp_.filePath(name + u"/account"_s);
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, machineDir_);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, accountDir_);
    }
    QString machineFile() const { return machineDir_ + u"/Kestrane/ControllerTools.ini"_s; }
    QString accountFile() const { return accountDir_ + u"/Kestrane/ControllerTools.ini"_s; }

    QTemporaryDir temp_;
    QString machineDir_, accountDir_;
};

TEST_F(SettingsStore, CleanStartGivesDefaultsAndWritesNothing) {
    const StoredSettings s = loadSettings();
    EXPECT_FALSE(s.networkPage());
    EXPECT_EQ(QStringList({s.ComPortName, s.ComBaudRate, s.NetIP, s.NetPort, s.FirmwareFile,
                           s.LanguageFlag}),
              QStringList({u"COM1"_s, u"19200,e,8,1"_s, u"192.168.1.101"_s, u"5003"_s,
                           u"KT320MX.KTB"_s, u"English"_s}));
    EXPECT_EQ(s.languageIndex(), LanguageIndex::English);
    EXPECT_TRUE(QDir(temp_.path()).isEmpty());
}

TEST_F(SettingsStore, EachSaveWritesExactlyItsValuesAsTyped) {
    StoredSettings s;
    s.ComPortName = u" ttyUSB0 "_s;
    s.ComBaudRate = u"9600, n,8,1"_s;
    s.NetIP = u"@127.1.2.3;x=\"y\""_s;
    s.NetPort = u""_s;
    SavePortSettings(s);
    EXPECT_EQ(section(machineFile()), (Values{{u"TYPE"_s, u"0"_s},
                                              {u"NetPort"_s, s.NetPort},
                                              {u"NetIP"_s, s.NetIP},
                                              {u"ComBaudRate"_s, s.ComBaudRate},
                                              {u"ComPortName"_s, s.ComPortName}}));
    EXPECT_TRUE(readFile(machineFile()).contains("[ControllerTools]\n"));
    EXPECT_TRUE(readFile(machineFile()).contains("\nTYPE=0\n"));  // a bare number

    s.FirmwareFile = u"C:\\fw\\韌體 KT460.KTB"_s;
    SaveFirmwareFile(s.FirmwareFile);
    EXPECT_EQ(section(machineFile()).size(), 6);
    s.LanguageFlag = u"ChineseBIG5"_s;
    SaveLanguage(s.LanguageFlag);
    EXPECT_EQ(section(machineFile()).size(), 7);
    EXPECT_FALSE(QFile::exists(accountFile()));
    EXPECT_EQ(loadSettings(), s);
    EXPECT_EQ(loadSettings().languageIndex(), LanguageIndex::TraditionalChinese);
}

TEST_F(SettingsStore, NonZeroTypeSelectsTheNetworkPageAndIsSavedAsOne) {
    StoredSettings s = loadSettings();  // clean start, then connected on the network page
    s.type = 1;
    s.NetIP = u"127.0.0.5"_s;
    SavePortSettings(s);
    EXPECT_EQ(section(machineFile()), (Values{{u"TYPE"_s, u"1"_s},
                                              {u"NetPort"_s, u"5003"_s},
                                              {u"NetIP"_s, u"127.0.0.5"_s},
                                              {u"ComBaudRate"_s, u"19200,e,8,1"_s},
                                              {u"ComPortName"_s, u"COM1"_s}}));

    useFolders(u"two"_s);
    writeFile(machineFile(), "[ControllerTools]\nTYPE=2\n");
    s = loadSettings();
    EXPECT_TRUE(s.networkPage());
    SavePortSettings(s);
    EXPECT_EQ(section(machineFile()).value(u"TYPE"_s), u"1"_s);
}

TEST_F(SettingsStore, TheConvertersLineHasValuesOfItsOwnBesideTheSeven) {
    StoredSettings s;
    s.type = 1;
    SavePortSettings(s);  // never ticked: the seven alone, as ever
    EXPECT_EQ(section(machineFile()).size(), 5);
    EXPECT_FALSE(loadSettings().netLineStored);

    s.NetSetLine = 1;
    s.NetBaudRate = u"115200,n,8,1"_s;
    SavePortSettings(s);
    Values stored = section(machineFile());
    EXPECT_EQ(stored.size(), 7);
    EXPECT_EQ(stored.value(u"NetSetLine"_s), u"1"_s);
    EXPECT_EQ(stored.value(u"NetBaudRate"_s), u"115200,n,8,1"_s);
    EXPECT_EQ(stored.value(u"ComBaudRate"_s), u"19200,e,8,1"_s);
    StoredSettings loaded = loadSettings();
    EXPECT_EQ(loaded.NetSetLine, 1);
    EXPECT_EQ(loaded.NetBaudRate, u"115200,n,8,1"_s);

    loaded.NetSetLine = 0;  // unticked later: remembered as unticked
    SavePortSettings(loaded);
    EXPECT_EQ(section(machineFile()).value(u"NetSetLine"_s), u"0"_s);

    // A damaged value of theirs ends nothing of the seven.
    useFolders(u"damaged"_s);
    writeFile(machineFile(),
              "[ControllerTools]\nNetSetLine=@ByteArray(1)\nNetBaudRate=@Rect(1 2 3 4)\n"
              "ComPortName=ttyS2\nLanguageFlag=ChineseGB\n");
    loaded = loadSettings();
    EXPECT_EQ(loaded.ComPortName, u"ttyS2"_s);
    EXPECT_EQ(loaded.LanguageFlag, u"ChineseGB"_s);
    EXPECT_EQ(loaded.NetSetLine, 0);
    EXPECT_EQ(loaded.NetBaudRate, u"19200,e,8,1"_s);
}

TEST_F(SettingsStore, ValueOfTheWrongTypeEndsTheLoading) {
    // In reading order: a text stored as binary or as an integer, an integer
    // stored as a word.
    const char* const names[] = {"FirmwareFile", "TYPE",    "ComBaudRate", "ComPortName",
                                 "NetIP",        "NetPort", "LanguageFlag"};
    const char* const good[] = {"A.KTB",     "1",    "\"9600,n,8,1\"", "ttyS2",
                                "127.0.0.2", "4001", "ChineseGB"};
    const char* const wrong[] = {"@ByteArray(A.KTB)",
                                 "1x",
                                 "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)",
                                 "@ByteArray(ttyS2)",
                                 "@Rect(1 2 3 4)",
                                 "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)",
                                 "@ByteArray(ChineseGB)"};
    for (int bad = 0; bad < 7; ++bad) {
        useFolders(QString::number(bad));
        QByteArray ini = "[ControllerTools]\n";
        for (int i = 6; i >= 0; --i)  // the order in the file does not matter
            ini += QByteArray(names[i]) + '=' + (i == bad ? wrong[i] : good[i]) + '\n';
        writeFile(machineFile(), ini);
        StoredSettings expected;
        if (bad > 0) expected.FirmwareFile = u"A.KTB"_s;
        if (bad > 1) expected.type = 1;
        if (bad > 2) expected.ComBaudRate = u"9600,n,8,1"_s;
        if (bad > 3) expected.ComPortName = u"ttyS2"_s;
        if (bad > 4) expected.NetIP = u"127.0.0.2"_s;
        if (bad > 5) expected.NetPort = u"4001"_s;
        EXPECT_EQ(loadSettings(), expected) << "wrong " << names[bad];
    }
}

TEST_F(SettingsStore, HandWrittenFileLoadsAndLoadingRewritesNothing) {
    const QByteArray ini =
        "[ControllerTools]\nTYPE = 3\nComBaudRate=38400,e,8,1\nComPortName=\"ttyUSB1\"\n"
        "LanguageFlag=chinesegb\n";
    writeFile(machineFile(), ini);
    StoredSettings expected;
    expected.type = 3;
    expected.ComBaudRate = u"38400,e,8,1"_s;  // unquoted: INI reads a list
    expected.ComPortName = u"ttyUSB1"_s;
    expected.LanguageFlag = u"chinesegb"_s;  // kept, but English
    EXPECT_EQ(loadSettings(), expected);
    EXPECT_EQ(loadSettings().languageIndex(), LanguageIndex::English);
    EXPECT_EQ(readFile(machineFile()), ini);
}

TEST_F(SettingsStore, UnreadableOrCorruptFileIsSkippedAndNamed) {
    const QByteArray values = "[ControllerTools]\nTYPE=1\nNetIP=127.0.0.1\n";
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) garbage += char(i * 7919 % 251);
    const QByteArray cases[] = {garbage, values + "\x01\x02 no equals sign\n", "folder", values};
    const char* said[] = {"line 1 is not INI", "line 4 is not INI", "cannot be read",
                          "cannot be read"};
    for (int i = 0; i < 4; ++i) {
        useFolders(u"bad"_s + QString::number(i));
        // The account's own file is sound and keeps its value; nothing of the
        // damaged machine-wide file counts, and standard error names it.
        writeFile(accountFile(), "[ControllerTools]\nComPortName=ttyS9\n");
        if (cases[i] == "folder")
            QDir().mkpath(machineFile());
        else
            writeFile(machineFile(), cases[i]);
        if (i == 3) setMode(machineFile(), 0);  // no read permission
        OrdinaryAccount account;
        ASSERT_TRUE(account.active()) << "setfsuid refused: cannot act as an ordinary account";
        StoredSettings expected;
        expected.ComPortName = u"ttyS9"_s;
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadSettings(), expected) << "case " << i;
        const std::string error = testing::internal::GetCapturedStderr();
        EXPECT_NE(error.find(QDir::cleanPath(machineFile()).toStdString()), std::string::npos)
            << error;
        EXPECT_NE(error.find(said[i]), std::string::npos) << "case " << i << ": " << error;
    }
    // The other way round: a damaged account file hides nothing of the machine's.
    useFolders(u"badAccount"_s);
    writeFile(accountFile(), "[ControllerTools]\nNetIP=127.0.0.2\n[broken\n");
    writeFile(machineFile(), "[ControllerTools]\nNetPort=6001\n");
    testing::internal::CaptureStderr();
    const StoredSettings loaded = loadSettings();
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded.NetPort, u"6001"_s);
    EXPECT_EQ(loaded.NetIP, StoredSettings().NetIP);
    EXPECT_NE(error.find("line 3 is not INI"), std::string::npos) << error;
}

TEST(IniDamage, FirstDamagedLineIsFound) {
    EXPECT_EQ(FirstDamagedIniLine("; note\n[A]\n\nk=v\r\n# x\n"), 0);
    EXPECT_EQ(FirstDamagedIniLine("[A]\nk=v\nnoequals\n"), 3);
    EXPECT_EQ(FirstDamagedIniLine("[A\nk=v\n"), 1);
    EXPECT_EQ(FirstDamagedIniLine("[A]\nk=v\x01w\n"), 2);
}

TEST_F(SettingsStore, OrdinaryAccountSavesIntoItsOwnFile) {
    writeFile(machineFile(), "[ControllerTools]\nFirmwareFile=M.KTB\nNetIP=127.0.0.1\n");
    setMode(machineFile(), 0444);
    setMode(machineDir_ + u"/Kestrane"_s, 0555);
    QDir().mkpath(accountDir_);
    setMode(accountDir_, 0777);
    StoredSettings s;
    {
        OrdinaryAccount account;
        ASSERT_TRUE(account.active()) << "setfsuid refused: cannot act as an ordinary account";
        s = loadSettings();
        ASSERT_EQ(s.FirmwareFile, u"M.KTB"_s);
        s.type = 1;
        s.NetIP = u"127.0.0.7"_s;
        SavePortSettings(s);
        SaveLanguage(u"ChineseGB"_s);
        s.LanguageFlag = u"ChineseGB"_s;
        EXPECT_EQ(loadSettings(), s);  // its own values over the machine's
    }
    EXPECT_EQ(section(machineFile()).value(u"NetIP"_s), u"127.0.0.1"_s);
    EXPECT_EQ(section(accountFile()).size(), 6);

    // Once the machine-wide file takes a save, the account's old copy goes.
    setMode(machineFile(), 0644);
    setMode(machineDir_ + u"/Kestrane"_s, 0755);
    s.NetIP = u"127.0.0.9"_s;
    SavePortSettings(s);
    EXPECT_EQ(section(accountFile()), (Values{{u"LanguageFlag"_s, u"ChineseGB"_s}}));
    EXPECT_EQ(loadSettings(), s);
}
