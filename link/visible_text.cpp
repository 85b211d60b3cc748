#include "link/visible_text.h"

namespace kt {

QString VisibleText(QByteArrayView bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20)
            out.append(QChar(0x2400 + b));
        else if (b == 0x7F)
            out.append(QChar(0x2421));
        else if (b < 0x80)
            out.append(QLatin1Char(static_cast<char>(b)));
        else
            out.append(u"\\x").append(QLatin1Char(kHex[b >> 4])).append(QLatin1Char(kHex[b & 0xF]));
    }
    return out;
}

QString VisibleLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            out.append(VisibleText(QByteArray(1, static_cast<char>(u))));
        else
            out.append(c);
    }
    return out;
}

}  // namespace kt
