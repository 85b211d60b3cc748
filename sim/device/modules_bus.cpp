#include "sim/device/modules_bus.h"

#include <algorithm>
#include <cstring>

namespace ktsim {
namespace {

constexpr char kV5Letters[] = "ABHIJE";

bool isSerial(const QByteArray& serial) {
    return serial.size() == 8 &&
           std::all_of(serial.begin(), serial.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

template <typename Module, typename Pred>
QList<int> indexesOf(const QList<Module>& modules, Pred pred) {
    QList<int> found;
    for (int i = 0; i < modules.size(); ++i) {
        if (pred(modules[i])) found.append(i);
    }
    return found;
}

}  // namespace

bool isV5Letter(char letter) {
    return letter != '\0' && std::strchr(kV5Letters, letter) != nullptr;
}

QByteArray v5ModelName(char letter) {
    switch (letter) {
        case 'A':
            return "KTRA1";
        case 'B':
            return "KTIOM";
        case 'H':
            return "KTRB5";
        case 'I':
            return "KTRC5";
        case 'J':
            return "KTRD5";
        default:
            return "KTPRT";
    }
}

std::optional<V5Module> parseV5Module(QStringView text, QString* error) {
    const QList<QStringView> parts = text.split(QLatin1Char(':'));
    if (parts.size() == 3 && parts[0].size() == 1 && parts[1].size() == 1) {
        const V5Module module{parts[0][0].toLatin1(), parts[1][0].toLatin1(), parts[2].toLatin1()};
        const QString problem = ModuleBus{{module}, {}}.validate();
        if (problem.isEmpty()) return module;
        if (error) *error = QStringLiteral("--v5 %1: %2").arg(text, problem);
        return std::nullopt;
    }
    if (error)
        *error =
            QStringLiteral("--v5 needs LETTER:ID:SERIAL, e.g. H:1:15030001, got \"%1\"").arg(text);
    return std::nullopt;
}

std::optional<V7Module> parseV7Module(QStringView text, QString* error) {
    const QList<QStringView> parts = text.split(QLatin1Char(':'));
    bool numeric = false;
    const uint id = parts.size() == 2 ? parts[0].toUInt(&numeric) : 0;
    if (numeric && id <= 0xFFFF) {
        V7Module module;
        module.id = static_cast<quint16>(id);
        module.serial = parts[1].toLatin1();
        const QString problem = ModuleBus{{}, {module}}.validate();
        if (problem.isEmpty()) return module;
        if (error) *error = QStringLiteral("--v7 %1: %2").arg(text, problem);
        return std::nullopt;
    }
    if (error)
        *error = QStringLiteral("--v7 needs ID:SERIAL, ID 0 to 65535, e.g. 1:17030001, got \"%1\"")
                     .arg(text);
    return std::nullopt;
}

ModuleBus ModuleBus::demo() {
    return {{V5Module{}}, {V7Module{}}};
}

QString ModuleBus::validate() const {
    for (const V5Module& m : v5) {
        if (!isV5Letter(m.letter))
            return QStringLiteral("V5 module type letter must be one of %1, got \"%2\"")
                .arg(QLatin1String(kV5Letters), QChar::fromLatin1(m.letter));
        if (m.id < '0' || m.id > '9')
            return QStringLiteral("V5 module ID must be one digit, got \"%1\"")
                .arg(QChar::fromLatin1(m.id));
        if (!isSerial(m.serial))
            return QStringLiteral(
                       "V5 module serial number must be 8 printable characters, got "
                       "\"%1\"")
                .arg(QString::fromLatin1(m.serial));
    }
    for (const V7Module& m : v7) {
        if (!isSerial(m.serial))
            return QStringLiteral(
                       "V7 module serial number must be 8 printable characters, got "
                       "\"%1\"")
                .arg(QString::fromLatin1(m.serial));
    }
    return {};
}

QList<int> ModuleBus::v5At(char letter, char id) const {
    return indexesOf(v5, [&](const V5Module& m) { return m.letter == letter && m.id == id; });
}

QList<int> ModuleBus::v5BySerial(char letter, QByteArrayView serial) const {
    return indexesOf(v5,
                     [&](const V5Module& m) { return m.letter == letter && m.serial == serial; });
}

QList<int> ModuleBus::v7At(quint16 id) const {
    return indexesOf(v7, [&](const V7Module& m) { return m.id == id; });
}

QList<int> ModuleBus::v7BySerial(QByteArrayView serial) const {
    return indexesOf(v7, [&](const V7Module& m) { return m.serial == serial; });
}

}  // namespace ktsim
