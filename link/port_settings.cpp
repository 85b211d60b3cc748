#include "link/port_settings.h"

#include <QList>

#include <algorithm>

namespace kt {
namespace {

std::optional<qint32> parseBaud(QStringView field) {
    bool ok = false;
    const qint32 value = field.toInt(&ok);
    if (!ok || value <= 0 ||
        !std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    // The mode command's abbreviations: the first two digits of a rate.
    switch (value) {
        case 11:
            return 110;
        case 15:
            return 150;
        case 30:
            return 300;
        case 60:
            return 600;
        case 12:
            return 1200;
        case 24:
            return 2400;
        case 48:
            return 4800;
        case 96:
            return 9600;
        case 19:
            return 19200;
        default:
            return value;
    }
}

std::optional<QSerialPort::Parity> parseParity(QStringView field) {
    if (field.size() != 1) return std::nullopt;
    switch (field[0].toLower().toLatin1()) {
        case 'n':
            return QSerialPort::NoParity;
        case 'e':
            return QSerialPort::EvenParity;
        case 'o':
            return QSerialPort::OddParity;
        case 'm':
            return QSerialPort::MarkParity;
        case 's':
            return QSerialPort::SpaceParity;
        default:
            return std::nullopt;
    }
}

std::optional<QSerialPort::DataBits> parseDataBits(QStringView field) {
    if (field == u"5") return QSerialPort::Data5;
    if (field == u"6") return QSerialPort::Data6;
    if (field == u"7") return QSerialPort::Data7;
    if (field == u"8") return QSerialPort::Data8;
    return std::nullopt;
}

std::optional<QSerialPort::StopBits> parseStopBits(QStringView field) {
    if (field == u"1") return QSerialPort::OneStop;
    if (field == u"1.5") return QSerialPort::OneAndHalfStop;
    if (field == u"2") return QSerialPort::TwoStop;
    return std::nullopt;
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(QStringView text) {
    const QList<QStringView> fields = text.split(u',');
    if (fields.isEmpty() || fields.size() > 4) return std::nullopt;
    LineSettings settings;
    const auto baud = parseBaud(fields[0].trimmed());
    if (!baud) return std::nullopt;
    settings.baud = *baud;
    if (fields.size() > 1 && !(settings.parity = parseParity(fields[1].trimmed())))
        return std::nullopt;
    if (fields.size() > 2 && !(settings.dataBits = parseDataBits(fields[2].trimmed())))
        return std::nullopt;
    if (fields.size() > 3 && !(settings.stopBits = parseStopBits(fields[3].trimmed())))
        return std::nullopt;
    return settings;
}

std::uint16_t ConvertNetPort(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' ||
                               text[i] == u'\r' || text[i] == u'\v' || text[i] == u'\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    // Only the low 16 bits survive, so accumulate modulo 2^16: no overflow
    // however many digits follow.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = (value * 10 + static_cast<std::uint32_t>(text[i].unicode() - u'0')) & 0xFFFF;
    if (negative) value = (0x10000 - value) & 0xFFFF;
    return static_cast<std::uint16_t>(value);
}

std::optional<std::uint32_t> ParseDottedIPv4(QStringView text) {
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 4) return std::nullopt;
    std::uint32_t address = 0;
    for (QStringView part : parts) {
        if (part.isEmpty() || part.size() > 3) return std::nullopt;
        std::uint32_t value = 0;
        for (QChar c : part) {
            if (c < u'0' || c > u'9') return std::nullopt;
            value = value * 10 + static_cast<std::uint32_t>(c.unicode() - u'0');
        }
        if (value > 255) return std::nullopt;
        address = (address << 8) | value;
    }
    return address;
}

}  // namespace kt
