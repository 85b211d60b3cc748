#include "app/window/serial_port_list.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <unistd.h>

#include <algorithm>

namespace kt {
namespace {

bool blankOrControl(QChar c) {
    return c.isSpace() || c.category() == QChar::Other_Control;
}

QString trimmed(const QString& name) {
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && blankOrControl(name.at(begin))) ++begin;
    while (end > begin && blankOrControl(name.at(end - 1))) --end;
    return name.sliced(begin, end - begin);
}

// A device text from udev, cut at the first control character, so no entry
// of the drop-down holds an invisible byte.
QString clean(const QString& text) {
    QString out = trimmed(text);
    for (qsizetype i = 0; i < out.size(); ++i)
        if (out.at(i).category() == QChar::Other_Control) return trimmed(out.first(i));
    return out;
}

bool readWrite(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
}

}  // namespace

QStringList serialPortList(const QStringList& names) {
    QStringList entries;
    entries.reserve(names.size());
    for (const QString& name : names) entries.append(trimmed(name));
    if (entries.isEmpty()) {
        // Where nothing is listed the technician still gets the usual names to
        // pick from, and can type any other.
        for (int n = 1; n <= 16; ++n) entries.append(QStringLiteral("COM%1").arg(n));
    }
    return entries;
}

QList<PortEntry> serialPortEntries(const QList<SerialPortRecord>& ports,
                                   const QString& noAccessMark) {
    QList<PortEntry> entries;
    if (ports.isEmpty()) {
        for (const QString& name : serialPortList({})) entries.append({name, name});
        return entries;
    }
    for (const SerialPortRecord& port : ports) {
        PortEntry entry{trimmed(port.name), trimmed(port.name)};
        for (const QString& about : {port.description, port.manufacturer, port.serialNumber}) {
            const QString text = clean(about);
            // udev often names the maker inside the description already.
            if (!text.isEmpty() && !entry.label.contains(text))
                entry.label += QStringLiteral("  ") + text;
        }
        if (!port.accessible) entry.label += QStringLiteral("  ") + noAccessMark;
        entries.append(entry);
    }
    return entries;
}

QList<SerialPortRecord> presentSerialPorts() {
    QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
    QCollator collator;
    collator.setNumericMode(true);
    std::stable_sort(found.begin(), found.end(),
                     [&](const QSerialPortInfo& a, const QSerialPortInfo& b) {
                         return collator.compare(a.systemLocation(), b.systemLocation()) < 0;
                     });
    QList<SerialPortRecord> ports;
    for (const QSerialPortInfo& info : found)
        ports.append({info.portName(), info.description(), info.manufacturer(), info.serialNumber(),
                      readWrite(info.systemLocation())});
    // The by-id names: each is a link to one of the ports above, and carries
    // the maker, the product and the serial number in its own name.
    const QDir byId(QString::fromLatin1(kSerialByIdFolder));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        const QString target = QFileInfo(link.canonicalFilePath()).fileName();
        SerialPortRecord port{link.absoluteFilePath(), QString(), QString(), QString(),
                              readWrite(link.absoluteFilePath())};
        if (!target.isEmpty()) port.description = QStringLiteral("-> %1").arg(target);
        ports.append(port);
    }
    return ports;
}

}  // namespace kt
