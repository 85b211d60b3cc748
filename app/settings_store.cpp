#include "app/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <initializer_list>

namespace kt {
namespace {

const QString kOrganization = QStringLiteral("Kestrane");
const QString kApplication = QStringLiteral("ControllerTools");
const QString kSection = QStringLiteral("ControllerTools");

struct StoreValue {
    QString name;
    QVariant data;
};

// The values of the files read, the first file holding a name giving its value.
using Values = QVariantMap;

// A missing value leaves `field` alone (it holds its default). False for a
// value of the wrong type.
bool readText(const Values& store, const QString& name, QString& field) {
    if (!store.contains(name)) return true;
    const QVariant value = store.value(name);
    switch (value.typeId()) {
        case QMetaType::QString:
            field = value.toString();
            return true;
        // INI splits an unquoted line at its commas; a technician who typed
        // 9600,n,8,1 meant the text.
        case QMetaType::QStringList:
            field = value.toStringList().join(u',');
            return true;
        default:
            return false;
    }
}

bool readInteger(const Values& store, const QString& name, int& field) {
    if (!store.contains(name)) return true;
    const QVariant value = store.value(name);
    if (value.typeId() == QMetaType::Int) {
        field = value.toInt();
        return true;
    }
    if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        const int number = value.toString().toInt(&ok, 10);
        if (ok) {
            field = number;
            return true;
        }
    }
    return false;
}

bool writeTo(QSettings::Scope scope, std::initializer_list<StoreValue> values) {
    QSettings store(QSettings::IniFormat, scope, kOrganization, kApplication);
    // Ask first: values set but never written stay queued in QSettings'
    // per-process file cache, where later reads would see them and every
    // later QSettings would try (and fail) to write them again.
    if (!store.isWritable()) return false;
    store.beginGroup(kSection);
    for (const StoreValue& value : values) store.setValue(value.name, value.data);
    store.endGroup();
    store.sync();
    return store.status() != QSettings::AccessError;
}

// Without this an account that once had to save into its own file would go on
// reading those old values over every later machine-wide save.
void dropAccountCopies(std::initializer_list<StoreValue> values) {
    QSettings account(QSettings::IniFormat, QSettings::UserScope, kOrganization, kApplication);
    account.setFallbacksEnabled(false);
    account.beginGroup(kSection);
    QStringList stale;
    for (const StoreValue& value : values) {
        if (account.contains(value.name)) stale << value.name;
    }
    // Only an account file that holds copies is touched, and only when it
    // can be written (see writeTo).
    if (stale.isEmpty() || !account.isWritable()) return;
    for (const QString& name : stale) account.remove(name);
}

void save(std::initializer_list<StoreValue> values) {
    if (writeTo(QSettings::SystemScope, values))
        dropAccountCopies(values);
    else
        writeTo(QSettings::UserScope, values);
}

// The files QSettings reads for the account, most important first: the
// account's application and organisation files, then the machine-wide ones.
QStringList settingsFiles() {
    QStringList files;
    for (const auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
        const QString application =
            QSettings(QSettings::IniFormat, scope, kOrganization, kApplication).fileName();
        files << application
              << QDir::cleanPath(QFileInfo(application)
                                     .dir()
                                     .absoluteFilePath(QStringLiteral("../") + kOrganization +
                                                       QStringLiteral(".ini")));
    }
    return files;
}

// Reads one file's section into values where no earlier file gave the name.
// A file that cannot be read or is not clean INI gives nothing, and standard
// error says which and where: the other files' values still count.
void readFile(const QString& path, Values& values) {
    QSettings file(path, QSettings::IniFormat);
    // QSettings parses a section only when it is first read; parse them all
    // now, so that a damaged file counts as damaged wherever the damage is.
    static_cast<void>(file.allKeys());
    QFile raw(path);
    // QSettings lets some damage pass (a section header without "]"): the
    // lines are checked here as well.
    const int line = raw.open(QIODevice::ReadOnly) ? FirstDamagedIniLine(raw.read(1 << 20)) : 0;
    if (file.status() != QSettings::NoError || line > 0) {
        const QByteArray name = QFile::encodeName(QDir::cleanPath(path));
        if (line > 0)
            std::fprintf(stderr, "settings: %s line %d is not INI; the file is skipped\n",
                         name.constData(), line);
        else
            std::fprintf(stderr, "settings: %s cannot be read; it is skipped\n", name.constData());
        return;
    }
    file.beginGroup(kSection);
    for (const QString& key : file.childKeys())
        if (!values.contains(key)) values.insert(key, file.value(key));
}

}  // namespace

int FirstDamagedIniLine(const QByteArray& bytes) {
    int number = 0;
    for (const QByteArray& raw : bytes.split('\n')) {
        ++number;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') ? !line.contains(']') : !line.contains('=')) return number;
        for (const char c : line)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return number;
    }
    return 0;
}

StoredSettings loadSettings() {
    Values values;
    for (const QString& path : settingsFiles()) readFile(path, values);

    StoredSettings loaded;
    // Each reader stops the chain at a value of the wrong type.
    static_cast<void>(readText(values, QStringLiteral("FirmwareFile"), loaded.FirmwareFile) &&
                      readInteger(values, QStringLiteral("TYPE"), loaded.type) &&
                      readText(values, QStringLiteral("ComBaudRate"), loaded.ComBaudRate) &&
                      readText(values, QStringLiteral("ComPortName"), loaded.ComPortName) &&
                      readText(values, QStringLiteral("NetIP"), loaded.NetIP) &&
                      readText(values, QStringLiteral("NetPort"), loaded.NetPort) &&
                      readText(values, QStringLiteral("LanguageFlag"), loaded.LanguageFlag));
    // The converter's line is read on its own: a damaged value of it never
    // touches the seven.
    loaded.netLineStored = values.contains(QStringLiteral("NetSetLine")) ||
                           values.contains(QStringLiteral("NetBaudRate"));
    if (!readInteger(values, QStringLiteral("NetSetLine"), loaded.NetSetLine))
        loaded.NetSetLine = 0;
    readText(values, QStringLiteral("NetBaudRate"), loaded.NetBaudRate);
    return loaded;
}

void SavePortSettings(const StoredSettings& fields) {
    save({
        {QStringLiteral("TYPE"), fields.type != 0 ? 1 : 0},
        {QStringLiteral("NetPort"), fields.NetPort},
        {QStringLiteral("NetIP"), fields.NetIP},
        {QStringLiteral("ComBaudRate"), fields.ComBaudRate},
        {QStringLiteral("ComPortName"), fields.ComPortName},
    });
    if (fields.NetSetLine != 0 || fields.netLineStored)
        save({
            {QStringLiteral("NetSetLine"), fields.NetSetLine != 0 ? 1 : 0},
            {QStringLiteral("NetBaudRate"), fields.NetBaudRate},
        });
}

void SaveFirmwareFile(const QString& firmwareFile) {
    save({{QStringLiteral("FirmwareFile"), firmwareFile}});
}

void SaveLanguage(const QString& languageFlag) {
    save({{QStringLiteral("LanguageFlag"), languageFlag}});
}

}  // namespace kt
