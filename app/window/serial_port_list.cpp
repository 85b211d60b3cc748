#include "serial_port_list.h"

#include <QCollator>
#include <QSerialPortInfo>

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

QStringList presentSerialPorts() {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    QCollator collator;
    collator.setNumericMode(true);
    std::stable_sort(ports.begin(), ports.end(),
                     [&](const QSerialPortInfo& a, const QSerialPortInfo& b) {
                         return collator.compare(a.systemLocation(), b.systemLocation()) < 0;
                     });
    QStringList names;
    names.reserve(ports.size());
    for (const QSerialPortInfo& port : ports) names.append(port.portName());
    return names;
}

}  // namespace kt
