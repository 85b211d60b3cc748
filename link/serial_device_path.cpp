#include "link/serial_device_path.h"

namespace kt {

QString SerialDevicePath(const QString& name) {
    const QString bare = name.trimmed();
    if (bare.contains(QLatin1Char('/'))) return bare;
    if (bare.size() > 3 && bare.first(3).compare(QLatin1String("COM"), Qt::CaseInsensitive) == 0) {
        const QStringView digits = QStringView(bare).sliced(3);
        bool allDigits = digits.size() <= 4;
        for (QChar c : digits) allDigits = allDigits && c >= u'0' && c <= u'9';
        const int number = allDigits ? digits.toInt() : 0;
        if (number >= 1) return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    }
    return QStringLiteral("/dev/") + bare;
}

QString SerialPortLabel(const QString& name) {
    const QString bare = name.trimmed();
    const QString path = SerialDevicePath(bare);
    if (path == bare || path == QStringLiteral("/dev/") + bare) return bare;
    return QStringLiteral("%1 (%2)").arg(bare, path);
}

}  // namespace kt
