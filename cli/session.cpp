#include "session.h"

#include "frames.h"
#include "visible_text.h"

#include <QRegularExpression>
#include <QTextStream>
#include <QTime>

namespace ktcli {
namespace {

QString checkName(kt::FrameStyle style) {
    return style == kt::FrameStyle::Crc ? QStringLiteral("CRC") : QStringLiteral("XOR");
}

}  // namespace

QJsonValue latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

QJsonValue latin1(const std::optional<QByteArray>& bytes) {
    return bytes ? latin1(*bytes) : QJsonValue();
}

QJsonValue visible(const std::optional<QByteArray>& bytes) {
    return bytes ? QJsonValue(kt::VisibleText(*bytes)) : QJsonValue();
}

void printTrace(const kt::TraceEvent& event) {
    QTextStream err(stderr);
    err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    if (event.direction == kt::TraceEvent::Direction::Sent) {
        err << " -> " << kt::VisibleText(event.bytes) << "  " << checkName(event.style) << Qt::endl;
        return;
    }
    err << " <- " << kt::VisibleText(event.bytes) << "  ";
    if (!event.complete)
        err << (event.bytes.isEmpty() ? "nothing" : "partial") << Qt::endl;
    else
        err << checkName(event.style) << (event.checkOk ? " good" : " bad") << Qt::endl;
}

int badArguments(const QString& command, const QString& message) {
    return fail(kBadArguments,
                QStringLiteral("%1: %2 (see ktcli %1 --help)").arg(command, message));
}

std::optional<int> number(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

bool isSerial(const QString& text) {
    static const QRegularExpression serial(QStringLiteral("^[0-9A-Za-z]{8}$"));
    return serial.match(text).hasMatch();
}

bool isControllerId(const QString& text) {
    static const QRegularExpression id(QStringLiteral("^[0-9]{4}$"));
    return id.match(text).hasMatch();
}

bool takeOption(QStringList& args, const QString& name, QString* value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0) return true;
    if (at + 1 >= args.size()) return false;
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

}  // namespace ktcli
