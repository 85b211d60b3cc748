// The serial ports the port page offers.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kt {

// One port as the system knows it.
struct SerialPortRecord {
    QString name;  // what is stored and opened: "ttyUSB0", or a /dev/serial/by-id path
    QString description;
    QString manufacturer;
    QString serialNumber;
    bool accessible = true;  // the account may open it for reading and writing

    bool operator==(const SerialPortRecord&) const = default;
};

// One entry of the port box: the name stored, shown after a choice and
// opened, and the line the drop-down shows for it.
struct PortEntry {
    QString name;
    QString label;

    bool operator==(const PortEntry&) const = default;
};

// The entries of the port box for these port names: each name trimmed of
// blanks and control characters at both ends, in the given order, equal
// names kept as they come; COM1 to COM16 when there is no name at all.
QStringList serialPortList(const QStringList& names);

// The same for port records, each labelled with what the system knows of it
// ("ttyUSB0  FT232R USB UART  A50285BI") and, when the account cannot open
// it, noAccessMark after it.
QList<PortEntry> serialPortEntries(const QList<SerialPortRecord>& ports,
                                   const QString& noAccessMark);

// The serial ports present now: each port Qt finds ("ttyS0", "ttyUSB0"),
// ordered by device path with numbers compared as numbers (ttyS2 before
// ttyS10), then the names under /dev/serial/by-id, which survive replugging.
QList<SerialPortRecord> presentSerialPorts();

// The folder whose entries come and go with USB serial adapters.
inline constexpr char kSerialByIdFolder[] = "/dev/serial/by-id";

}  // namespace kt
