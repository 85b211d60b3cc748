#include "output.h"

#include "visible_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace ktcli {

Output::Output(const QString& command, bool json) : command_(command), json_(json) {
    result_.insert(QStringLiteral("command"), command);
}

static QString plain(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
        case QJsonValue::Double:
            return QString::number(value.toDouble());
        case QJsonValue::Null:
            return QStringLiteral("-");
        case QJsonValue::Object:
        case QJsonValue::Array:
            return QString::fromUtf8(
                value.isObject() ? QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact)
                                 : QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
        default:
            return value.toString();
    }
}

void Output::field(const QString& name, const QJsonValue& value) {
    if (json_)
        result_.insert(name, value);
    else
        QTextStream(stdout) << name << ' ' << kt::VisibleLine(plain(value)) << Qt::endl;
}

void Output::event(const QJsonObject& object, const QString& text) {
    QTextStream out(stdout);
    if (json_)
        out << QJsonDocument(object).toJson(QJsonDocument::Compact) << Qt::endl;
    else
        out << kt::VisibleLine(text) << Qt::endl;
}

int Output::finish(int code, const QString& error) {
    if (json_) {
        result_.insert(QStringLiteral("ok"), code == kAccepted);
        if (code != kAccepted) result_.insert(QStringLiteral("error"), error);
        QTextStream(stdout) << QJsonDocument(result_).toJson(QJsonDocument::Compact) << Qt::endl;
    }
    if (code != kAccepted) return fail(code, error);
    return code;
}

int fail(int code, const QString& message) {
    QTextStream(stderr) << "ktcli: " << kt::VisibleLine(message) << Qt::endl;
    return code;
}

}  // namespace ktcli
