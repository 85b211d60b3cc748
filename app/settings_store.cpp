#include "settings_store.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

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

// A missing value leaves `field` alone (it holds its default). False for a
// value of the wrong type.
bool readText(const QSettings& store, const QString& name, QString& field) {
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

bool readInteger(const QSettings& store, const QString& name, int& field) {
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

}  // namespace

StoredSettings loadSettings() {
    // Read through the account's scope: with fallbacks QSettings looks in the
    // account's file first and then in the machine-wide one.
    QSettings store(QSettings::IniFormat, QSettings::UserScope, kOrganization, kApplication);
    // QSettings parses a section only when it is first read; parse them all
    // now, so that a damaged file counts as damaged wherever the damage is.
    static_cast<void>(store.allKeys());
    store.beginGroup(kSection);

    StoredSettings loaded;
    // Each reader stops the chain at a value of the wrong type.
    static_cast<void>(readText(store, QStringLiteral("FirmwareFile"), loaded.FirmwareFile) &&
                      readInteger(store, QStringLiteral("TYPE"), loaded.type) &&
                      readText(store, QStringLiteral("ComBaudRate"), loaded.ComBaudRate) &&
                      readText(store, QStringLiteral("ComPortName"), loaded.ComPortName) &&
                      readText(store, QStringLiteral("NetIP"), loaded.NetIP) &&
                      readText(store, QStringLiteral("NetPort"), loaded.NetPort) &&
                      readText(store, QStringLiteral("LanguageFlag"), loaded.LanguageFlag));

    // A file that could not be read or is not clean INI: nothing read from
    // either file is trusted.
    if (store.status() != QSettings::NoError) return {};
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
}

void SaveFirmwareFile(const QString& firmwareFile) {
    save({{QStringLiteral("FirmwareFile"), firmwareFile}});
}

void SaveLanguage(const QString& languageFlag) {
    save({{QStringLiteral("LanguageFlag"), languageFlag}});
}

}  // namespace kt
