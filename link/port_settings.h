// What the port page hands to the Link, and the conversions of its texts:
// the serial line settings text ("19200,e,8,1"), the network port number
// and the converter's dotted-decimal address.
#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace kt {

enum class PortKind : std::uint8_t { Serial = 0, Network = 1 };

struct PortSettings {
    PortKind kind = PortKind::Serial;
    QString ComPortName = QStringLiteral("COM1");
    QString ComBaudRate = QStringLiteral("19200,e,8,1");
    QString NetIP = QStringLiteral("192.168.1.101");
    QString NetPort = QStringLiteral("5003");
    // The window converts NetIP as a strict dotted-decimal IPv4 address;
    // ktcli has looked its host up already and hands over any IPv4 or IPv6
    // address.
    bool netAnyAddress = false;
    // The converter takes line settings (RFC 2217): every open sets its
    // serial line to NetBaudRate, a text of the same form as ComBaudRate.
    bool NetSetLine = false;
    QString NetBaudRate = QStringLiteral("19200,e,8,1");
};

// Parsed line settings. A field the text leaves out keeps the port's current
// value (nullopt here).
struct LineSettings {
    qint32 baud = 0;
    std::optional<QSerialPort::Parity> parity;
    std::optional<QSerialPort::DataBits> dataBits;
    std::optional<QSerialPort::StopBits> stopBits;
};

// "baud[,parity[,data[,stop]]]" as the classic mode parser reads it: parity
// n/e/o/m/s (either case), data bits 5 to 8, stop bits 1, 1.5 or 2, blanks
// around fields allowed, and the two-digit baud abbreviations 11, 15, 30,
// 60, 12, 24, 48, 96 and 19. nullopt for a text it refuses; the port then
// keeps its current settings.
std::optional<LineSettings> ParseLineSettings(QStringView text);

// The network port text as a C decimal conversion reads it: leading blanks
// and a sign allowed, stops at the first non-digit, no digits gives 0; the
// value is then cut to 16 bits ("70000" gives 4464).
std::uint16_t ConvertNetPort(QStringView text);

// A strict dotted-decimal IPv4 address (four fields 0 to 255), host order.
// No host-name lookup: anything else is nullopt.
std::optional<std::uint32_t> ParseDottedIPv4(QStringView text);

}  // namespace kt
