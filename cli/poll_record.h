// The fields of a polling test's record, read back from the text the window
// shows, for ktcli's JSON: the text stays as the controller sent it, the
// parsed fields stand beside it.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace ktcli {

// The controller's date-time text in ISO 8601 ("2026-12-07T14:05:09"), or
// null when it is no valid time in that format.
QJsonValue IsoTime(const QByteArray& text, const QString& format);

// {"record": text, "code": "1" or null, "record-time": ISO or null,
//  "numbers": [the four-character field, the five- (family 4: two-)
//  character field]}. A record of neither shape keeps its text and gets
// null fields.
QJsonObject PollRecordFields(const QByteArray& text);

}  // namespace ktcli
