#include "link/command_text.h"

namespace kt {
namespace {

bool forbidden(unsigned code) {
    return code < 0x20 || code == 0x7F;
}

QString hex(unsigned value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QByteArray CommandTextBytes(const QString& typed) {
    QByteArray bytes(typed.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const char16_t c = typed[i].unicode();
        bytes[i] = c > 0xFF ? kNotLatin1 : static_cast<char>(c);
    }
    return bytes;
}

qsizetype ForbiddenByteAt(QByteArrayView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (forbidden(static_cast<unsigned char>(text[i]))) return i;
    }
    return -1;
}

QString TypedCommandTextProblem(const QString& typed) {
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const char16_t c = typed[i].unicode();
        if (forbidden(c))
            return QStringLiteral(
                       "the command text holds control byte 0x%1 at position %2; "
                       "framing bytes are never sent inside a text")
                .arg(hex(c, 2))
                .arg(i + 1);
        if (c > 0xFF)
            return QStringLiteral(
                       "the command text holds U+%1 at position %2, which is not Latin-1")
                .arg(hex(c, 4))
                .arg(i + 1);
    }
    return {};
}

}  // namespace kt
