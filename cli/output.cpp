#include "cli/output.h"

#include "link/visible_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace ktcli {
namespace {

struct ErrorReport {
    QString command;
    bool json = false;
    bool printed = false;  // the one JSON object of this run is out
};

ErrorReport& errorReport() {
    static ErrorReport report;
    return report;
}

QString plain(const QJsonValue& value) {
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

QString defaultCause(int code) {
    return code == kBadArguments ? QString::fromLatin1(kCauseBadArguments)
           : code == kPortError  ? QStringLiteral("other")
                                 : QStringLiteral("rejected");
}

void printObject(const QJsonObject& object) {
    QTextStream(stdout) << QJsonDocument(object).toJson(QJsonDocument::Compact) << Qt::endl;
    errorReport().printed = true;
}

void printErrorLine(const QString& message) {
    QTextStream(stderr) << "ktcli: " << kt::VisibleLine(message) << Qt::endl;
}

}  // namespace

QJsonObject frameJson(const QByteArray& bytes) {
    return {{QStringLiteral("hex"), QString::fromLatin1(bytes.toHex().toUpper())},
            {QStringLiteral("text"), kt::VisibleText(bytes)}};
}

Output::Output(const QString& command, bool json) : command_(command), json_(json) {
    result_.insert(QStringLiteral("command"), command);
}

void Output::field(const QString& name, const QJsonValue& value) {
    if (json_)
        result_.insert(name, value);
    else
        QTextStream(stdout) << name << ' ' << kt::VisibleLine(plain(value)) << Qt::endl;
}

void Output::frame(const QString& name, const std::optional<QByteArray>& bytes) {
    if (json_)
        result_.insert(name, bytes ? QJsonValue(frameJson(*bytes)) : QJsonValue());
    else
        QTextStream(stdout) << name << ' '
                            << (bytes ? kt::VisibleText(*bytes) : QStringLiteral("-")) << Qt::endl;
}

void Output::event(const QJsonObject& object, const QString& text) {
    QTextStream out(stdout);
    if (json_)
        out << QJsonDocument(object).toJson(QJsonDocument::Compact) << Qt::endl;
    else
        out << kt::VisibleLine(text) << Qt::endl;
}

int Output::finish(int code, const QString& error, const QString& cause) {
    QString why = cause;
    if (why.isEmpty() && code != kAccepted) {
        if (causeSource_ && code != kBadArguments) why = causeSource_();
        if (why.isEmpty()) why = defaultCause(code);
    }
    if (json_) {
        result_.insert(QStringLiteral("ok"), code == kAccepted);
        if (code != kAccepted) {
            result_.insert(QStringLiteral("error"), error);
            result_.insert(QStringLiteral("cause"), why);
        }
        printObject(result_);
    }
    if (code != kAccepted) printErrorLine(error);
    return code;
}

void setErrorReport(const QString& command, bool json) {
    errorReport() = {command, json, false};
}

int fail(int code, const QString& message, const QString& cause) {
    ErrorReport& report = errorReport();
    if (report.json && !report.printed) {
        printObject({{QStringLiteral("command"),
                      report.command.isEmpty() ? QJsonValue() : QJsonValue(report.command)},
                     {QStringLiteral("ok"), false},
                     {QStringLiteral("error"), message},
                     {QStringLiteral("cause"), cause.isEmpty() ? defaultCause(code) : cause}});
    }
    printErrorLine(message);
    return code;
}

}  // namespace ktcli
