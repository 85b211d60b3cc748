// The settings store against real INI files in a temporary folder: both
// QSettings scopes point there, never at /etc/xdg or the home folder.
#include "settings_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kt;
using namespace Qt::StringLiterals;

namespace {

constexpr uid_t kNobody = 65534;

// File access as an ordinary account for as long as it lives. CI runs the
// tests as root, where permission bits do not bite; there this thread's
// filesystem uid becomes "nobody", which also drops root's override of them.
class OrdinaryAccount {
public:
    OrdinaryAccount() {
        if (geteuid() == 0) {
            setfsuid(kNobody);
            switched_ = true;
        }
    }
    ~OrdinaryAccount() {
        if (switched_) setfsuid(0);
    }
    OrdinaryAccount(const OrdinaryAccount&) = delete;
    OrdinaryAccount& operator=(const OrdinaryAccount&) = delete;

    bool active() const { return !switched_ || setfsuid(static_cast<uid_t>(-1)) == kNobody; }

private:
    bool switched_ = false;
};

void setMode(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The values of the tool's section of one INI file, as stored texts.
QMap<QString, QString> section(const QString& path) {
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(u"ControllerTools"_s);
    QMap<QString, QString> values;
    for (const QString& key : ini.childKeys()) values[key] = ini.value(key).toString();
    return values;
}

StoredSettings someSettings() {
    StoredSettings s;
    s.type = 0;
    s.ComPortName = u"ttyUSB0"_s;
    s.ComBaudRate = u"9600,n,8,1"_s;
    s.NetIP = u"10.1.2.3"_s;
    s.NetPort = u"4001"_s;
    s.FirmwareFile = u"/srv/fw/KT460.KTB"_s;
    s.LanguageFlag = u"ChineseBIG5"_s;
    return s;
}

void saveAll(const StoredSettings& s) {
    SavePortSettings(s);
    SaveFirmwareFile(s.FirmwareFile);
    SaveLanguage(s.LanguageFlag);
}

}  // namespace

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        setMode(temp_.path(), 0755);  // reachable while acting as an ordinary account
        useFolders(u"start"_s);
    }

    void TearDown() override {
        // Locked-down folders must be removable by a non-root runner too.
        QDirIterator it(temp_.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) ::chmod(QFile::encodeName(it.next()).constData(), 0755);
    }

    // Fresh machine-wide and account folders. QSettings caches each file it
    // has read by name, so a hand-written file gets a path of its own.
    void useFolders(const QString& name) {
        machineDir_ = temp_.filePath(name + u"/machine"_s);
        accountDir_ = temp_.filePath(name + u"/account"_s);
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, machineDir_);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, accountDir_);
    }

    QString machineFile() const { return machineDir_ + u"/Kestrane/ControllerTools.ini"_s; }
    QString accountFile() const { return accountDir_ + u"/Kestrane/ControllerTools.ini"_s; }

    // The machine-wide folder readable and not writable for an ordinary
    // account; the account's own folder writable.
    void lockMachineFolder() {
        setMode(machineFile(), 0444);
        setMode(machineDir_ + u"/Kestrane"_s, 0555);
        setMode(machineDir_, 0555);
        ASSERT_TRUE(QDir().mkpath(accountDir_));
        setMode(accountDir_, 0777);
    }

    QTemporaryDir temp_;
    QString machineDir_;
    QString accountDir_;
};

TEST_F(SettingsStore, CleanStartGivesDefaultsAndWritesNothing) {
    const StoredSettings loaded = loadSettings();
    EXPECT_EQ(loaded.type, 0);
    EXPECT_FALSE(loaded.networkPage());
    EXPECT_EQ(loaded.ComPortName, u"COM1"_s);
    EXPECT_EQ(loaded.ComBaudRate, u"19200,e,8,1"_s);
    EXPECT_EQ(loaded.NetIP, u"192.168.1.101"_s);
    EXPECT_EQ(loaded.NetPort, u"5003"_s);
    EXPECT_EQ(loaded.FirmwareFile, u"KT320MX.KTB"_s);
    EXPECT_EQ(loaded.LanguageFlag, u"English"_s);
    EXPECT_EQ(loaded.languageIndex(), LanguageIndex::English);

    EXPECT_TRUE(QDir(temp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty())
        << "loading created something";
}

TEST_F(SettingsStore, EachSaveWritesExactlyItsValues) {
    const StoredSettings s = someSettings();
    SavePortSettings(s);
    using Values = QMap<QString, QString>;
    EXPECT_EQ(section(machineFile()), (Values{{u"TYPE"_s, u"0"_s},
                                              {u"NetPort"_s, u"4001"_s},
                                              {u"NetIP"_s, u"10.1.2.3"_s},
                                              {u"ComBaudRate"_s, u"9600,n,8,1"_s},
                                              {u"ComPortName"_s, u"ttyUSB0"_s}}));
    // TYPE is a bare number in the section named after the key.
    const QByteArray text = readFile(machineFile());
    EXPECT_TRUE(text.startsWith("[ControllerTools]\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nTYPE=0\n")) << text.constData();

    SaveFirmwareFile(s.FirmwareFile);
    EXPECT_EQ(section(machineFile()).size(), 6);
    EXPECT_EQ(section(machineFile()).value(u"FirmwareFile"_s), s.FirmwareFile);
    SaveLanguage(s.LanguageFlag);
    EXPECT_EQ(section(machineFile()).size(), 7);
    EXPECT_EQ(section(machineFile()).value(u"LanguageFlag"_s), s.LanguageFlag);

    EXPECT_FALSE(QFileInfo::exists(accountFile()));
    EXPECT_EQ(loadSettings(), s);
    EXPECT_EQ(loadSettings().languageIndex(), LanguageIndex::TraditionalChinese);
}

TEST_F(SettingsStore, TextsComeBackExactlyAsTyped) {
    StoredSettings s;
    s.ComPortName = u" COM3 "_s;
    s.ComBaudRate = u"19200, e,8,1"_s;
    s.NetIP = u"@192.168.1.1;x=\"y\""_s;
    s.NetPort = u""_s;
    s.FirmwareFile = u"C:\\fw\\韌體 KT350.KTB"_s;
    s.LanguageFlag = u"1"_s;
    saveAll(s);
    EXPECT_EQ(loadSettings(), s);
}

TEST_F(SettingsStore, AnyNonZeroTypeSelectsTheNetworkPage) {
    // A clean start, then a successful connect on the network page: TYPE
    // becomes 1, the serial values are written again as they were.
    StoredSettings fields = loadSettings();
    fields.type = 1;
    fields.NetIP = u"10.0.0.5"_s;
    fields.NetPort = u"4660"_s;
    SavePortSettings(fields);
    EXPECT_EQ(section(machineFile()), (QMap<QString, QString>{{u"TYPE"_s, u"1"_s},
                                                              {u"NetPort"_s, u"4660"_s},
                                                              {u"NetIP"_s, u"10.0.0.5"_s},
                                                              {u"ComBaudRate"_s, u"19200,e,8,1"_s},
                                                              {u"ComPortName"_s, u"COM1"_s}}));

    const struct {
        const char* stored;
        int type;
    } cases[] = {
        {"2", 2}, {"-1", -1}, {"0", 0}, {"1", 1}, {"@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x3)", 3}};
    int folder = 0;
    for (const auto& c : cases) {
        useFolders(u"type%1"_s.arg(++folder));
        writeFile(machineFile(),
                  QByteArray("[ControllerTools]\nTYPE=") + c.stored + "\nNetIP=10.9.9.9\n");
        StoredSettings loaded = loadSettings();
        EXPECT_EQ(loaded.type, c.type) << c.stored;
        EXPECT_EQ(loaded.networkPage(), c.type != 0) << c.stored;
        EXPECT_EQ(loaded.NetIP, u"10.9.9.9"_s) << c.stored;
        // The tool itself writes only 0 and 1.
        SavePortSettings(loaded);
        EXPECT_EQ(section(machineFile()).value(u"TYPE"_s), c.type != 0 ? u"1"_s : u"0"_s)
            << c.stored;
    }
}

TEST_F(SettingsStore, ValueOfTheWrongTypeEndsTheLoading) {
    // In reading order. A text stored as binary or as an integer variant, an
    // integer stored as a word: each is the wrong type for its value.
    const char* const names[] = {"FirmwareFile", "TYPE",    "ComBaudRate", "ComPortName",
                                 "NetIP",        "NetPort", "LanguageFlag"};
    const char* const good[] = {"KT460.KTB", "1",    "\"9600,n,8,1\"", "ttyS2",
                                "10.0.0.2",  "4001", "ChineseGB"};
    const char* const wrong[] = {"@ByteArray(KT460.KTB)",
                                 "net",
                                 "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)",
                                 "@ByteArray(ttyS2)",
                                 "@Rect(1 2 3 4)",
                                 "@Variant(\\0\\0\\0\\x2\\0\\0\\x13\\x8b)",
                                 "@ByteArray(ChineseGB)"};
    StoredSettings all;
    all.FirmwareFile = u"KT460.KTB"_s;
    all.type = 1;
    all.ComBaudRate = u"9600,n,8,1"_s;
    all.ComPortName = u"ttyS2"_s;
    all.NetIP = u"10.0.0.2"_s;
    all.NetPort = u"4001"_s;
    all.LanguageFlag = u"ChineseGB"_s;

    for (int bad = 0; bad < 7; ++bad) {
        useFolders(u"wrong%1"_s.arg(bad));
        QByteArray ini = "[ControllerTools]\n";
        for (int i = 6; i >= 0; --i)  // the file's own order does not matter
            ini += QByteArray(names[i]) + '=' + (i == bad ? wrong[i] : good[i]) + '\n';
        writeFile(machineFile(), ini);

        StoredSettings expected;
        if (bad > 0) expected.FirmwareFile = all.FirmwareFile;
        if (bad > 1) expected.type = all.type;
        if (bad > 2) expected.ComBaudRate = all.ComBaudRate;
        if (bad > 3) expected.ComPortName = all.ComPortName;
        if (bad > 4) expected.NetIP = all.NetIP;
        if (bad > 5) expected.NetPort = all.NetPort;
        EXPECT_EQ(loadSettings(), expected) << "wrong " << names[bad];
    }

    int folder = 0;
    for (const char* type : {"", "1x", "0x1", "2147483648", "1,0", "\"one\""}) {
        useFolders(u"type%1"_s.arg(++folder));
        writeFile(machineFile(), QByteArray("[ControllerTools]\nFirmwareFile=A.KTB\nTYPE=") + type +
                                     "\nComPortName=ttyS3\n");
        const StoredSettings loaded = loadSettings();
        EXPECT_EQ(loaded.FirmwareFile, u"A.KTB"_s) << type;
        EXPECT_EQ(loaded.type, 0) << type;
        EXPECT_EQ(loaded.ComPortName, u"COM1"_s) << type;
    }
}

TEST_F(SettingsStore, HandWrittenFileLoadsSensibly) {
    writeFile(machineFile(),
              "; written by a technician\n"
              "[ControllerTools]\n"
              "TYPE = 1\n"
              "ComBaudRate=38400,e,8,1\n"
              "ComPortName=\"ttyUSB1\"\n"
              "NetIP=192.168.0.7\n"
              "FirmwareFile=/srv/fw/KT350.KTB\n"
              "LanguageFlag=ChineseGB\n");
    StoredSettings expected;
    expected.type = 1;
    expected.ComBaudRate = u"38400,e,8,1"_s;
    expected.ComPortName = u"ttyUSB1"_s;
    expected.NetIP = u"192.168.0.7"_s;  // NetPort left out: its default
    expected.FirmwareFile = u"/srv/fw/KT350.KTB"_s;
    expected.LanguageFlag = u"ChineseGB"_s;
    EXPECT_EQ(loadSettings(), expected);
    EXPECT_EQ(loadSettings().languageIndex(), LanguageIndex::SimplifiedChinese);
}

TEST_F(SettingsStore, UnknownLanguageWordGivesEnglishAndStaysStored) {
    writeFile(machineFile(), "[ControllerTools]\nLanguageFlag=chinesebig5\nNetPort=4001\n");
    const QByteArray before = readFile(machineFile());

    const StoredSettings loaded = loadSettings();
    EXPECT_EQ(loaded.LanguageFlag, u"chinesebig5"_s);
    EXPECT_EQ(loaded.languageIndex(), LanguageIndex::English);
    EXPECT_EQ(loaded.NetPort, u"4001"_s);
    EXPECT_EQ(readFile(machineFile()), before);

    SavePortSettings(loaded);  // a later port save leaves the word alone too
    EXPECT_EQ(section(machineFile()).value(u"LanguageFlag"_s), u"chinesebig5"_s);
}

TEST_F(SettingsStore, UnreadableOrCorruptFileGivesDefaults) {
    const QByteArray values = "[ControllerTools]\nTYPE=1\nNetIP=10.0.0.1\nLanguageFlag=ChineseGB\n";
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) garbage += char((i * 7919 + 13) % 256);

    struct Case {
        const char* what;
        QByteArray machine;  // empty: a folder in place of the file
        bool unreadable;
    };
    const Case cases[] = {
        {"binary garbage", garbage, false},
        {"garbage inside the section", values + "\x01\x02 no equals sign\n" + garbage.left(64),
         false},
        {"unclosed section header", "[ControllerTools\nTYPE=1\nNetIP=10.0.0.1\n", false},
        {"folder in place of the file", QByteArray(), false},
        {"no read permission", values, true},
    };
    int folder = 0;
    for (const Case& c : cases) {
        useFolders(u"bad%1"_s.arg(++folder));
        // The account's own file is fine; the machine-wide one spoils the load.
        writeFile(accountFile(), "[ControllerTools]\nComPortName=ttyS9\n");
        if (c.machine.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(machineFile()));
        } else {
            writeFile(machineFile(), c.machine);
        }
        if (c.unreadable) {
            setMode(machineFile(), 0000);
            setMode(accountDir_, 0755);
            setMode(accountDir_ + u"/Kestrane"_s, 0755);
            setMode(accountFile(), 0644);
            OrdinaryAccount account;
            if (!account.active()) GTEST_SKIP() << "cannot act as an ordinary account here";
            EXPECT_EQ(loadSettings(), StoredSettings()) << c.what;
        } else {
            EXPECT_EQ(loadSettings(), StoredSettings()) << c.what;
        }
    }
}

TEST_F(SettingsStore, OrdinaryAccountSavesIntoItsOwnFile) {
    StoredSettings machine = someSettings();
    machine.LanguageFlag = u"ChineseGB"_s;
    saveAll(machine);
    lockMachineFolder();
    const QByteArray machineBefore = readFile(machineFile());

    {
        OrdinaryAccount account;
        if (!account.active()) GTEST_SKIP() << "cannot act as an ordinary account here";
        StoredSettings fields = loadSettings();
        ASSERT_EQ(fields, machine);
        fields.type = 1;
        fields.NetIP = u"10.0.0.7"_s;
        SavePortSettings(fields);
        SaveLanguage(u"ChineseBIG5"_s);

        // The account's values first, the machine-wide ones for the rest.
        StoredSettings expected = fields;
        expected.LanguageFlag = u"ChineseBIG5"_s;
        EXPECT_EQ(loadSettings(), expected);
    }
    EXPECT_EQ(readFile(machineFile()), machineBefore);
    const QMap<QString, QString> own = section(accountFile());
    EXPECT_EQ(QSet<QString>(own.keyBegin(), own.keyEnd()),
              (QSet<QString>{u"TYPE"_s, u"NetPort"_s, u"NetIP"_s, u"ComBaudRate"_s,
                             u"ComPortName"_s, u"LanguageFlag"_s}));
    EXPECT_EQ(own.value(u"TYPE"_s), u"1"_s);
}

TEST_F(SettingsStore, MachineWideSaveReplacesTheAccountsOlderCopy) {
    writeFile(accountFile(), "[ControllerTools]\nNetIP=10.0.0.7\nLanguageFlag=ChineseBIG5\n");
    StoredSettings fields = loadSettings();
    ASSERT_EQ(fields.NetIP, u"10.0.0.7"_s);
    fields.NetIP = u"10.0.0.9"_s;
    SavePortSettings(fields);

    EXPECT_EQ(section(machineFile()).value(u"NetIP"_s), u"10.0.0.9"_s);
    EXPECT_EQ(section(accountFile()),
              (QMap<QString, QString>{{u"LanguageFlag"_s, u"ChineseBIG5"_s}}));
    const StoredSettings loaded = loadSettings();
    EXPECT_EQ(loaded.NetIP, u"10.0.0.9"_s);
    EXPECT_EQ(loaded.LanguageFlag, u"ChineseBIG5"_s);
}

TEST_F(SettingsStore, SaveThatCannotBeWrittenIsDropped) {
    // Both scopes below a plain file: no folder can be made there.
    const QString blocker = temp_.filePath(u"blocker"_s);
    writeFile(blocker, "not a folder");
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, blocker + u"/machine"_s);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocker + u"/account"_s);

    saveAll(someSettings());
    EXPECT_EQ(loadSettings(), StoredSettings());
    EXPECT_EQ(readFile(blocker), QByteArray("not a folder"));
}
