#include "cli/poll_record.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>

namespace ktcli {

QJsonValue IsoTime(const QByteArray& text, const QString& format) {
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(text), format);
    return time.isValid() ? QJsonValue(time.toString(Qt::ISODate)) : QJsonValue();
}

QJsonObject PollRecordFields(const QByteArray& text) {
    const QString record = QString::fromLatin1(text);
    QJsonObject fields{{QStringLiteral("record"), record},
                       {QStringLiteral("code"), QJsonValue()},
                       {QStringLiteral("record-time"), QJsonValue()},
                       {QStringLiteral("numbers"), QJsonValue()}};
    // Most families: "[c] yyyy/mm/dd  hh:nn:ss (NNNN) [NNNNN]".
    static const QRegularExpression common(
        QStringLiteral("^\\[(.)\\] (.{20}) \\((.{4})\\) \\[(.{5})\\]$"),
        QRegularExpression::DotMatchesEverythingOption);
    // Family 4: "yyyymmddhhnnss (NNNN) (NN)".
    static const QRegularExpression familyFour(
        QStringLiteral("^(.{14}) \\((.{4})\\) \\((.{2})\\)$"),
        QRegularExpression::DotMatchesEverythingOption);
    if (const auto m = common.match(record); m.hasMatch()) {
        fields[QStringLiteral("code")] = m.captured(1);
        fields[QStringLiteral("record-time")] =
            IsoTime(m.captured(2).toLatin1(), QStringLiteral("yyyy/MM/dd  HH:mm:ss"));
        fields[QStringLiteral("numbers")] = QJsonArray{m.captured(3), m.captured(4)};
    } else if (const auto m4 = familyFour.match(record); m4.hasMatch()) {
        fields[QStringLiteral("record-time")] =
            IsoTime(m4.captured(1).toLatin1(), QStringLiteral("yyyyMMddHHmmss"));
        fields[QStringLiteral("numbers")] = QJsonArray{m4.captured(2), m4.captured(3)};
    }
    return fields;
}

}  // namespace ktcli
