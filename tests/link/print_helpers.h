// GoogleTest shows a QByteArray as hex and a QString as UTF-8 in failure
// messages, instead of dumping the objects' raw bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << "hex[" << bytes.toHex(' ').constData() << "]";
}

inline std::ostream& operator<<(std::ostream& os, const QString& text) {
    return os << '"' << text.toStdString() << '"';
}

// Frames are written as hex in the tests; blanks between bytes are skipped.
inline QByteArray Hex(const char* digits) {
    return QByteArray::fromHex(digits);
}
