// What a ktcli command prints: "name value" lines for a person, or one
// JSON object for a script (with --json), and one line on stderr for every
// failure. Continuous commands also print one line (or one compact JSON
// object) per thing that happens, as it happens. Controller and file bytes
// in a line for a person show their control bytes as visible symbols, so
// none can move the cursor or clear the screen; JSON escapes them itself.
// With --json every failure, bad arguments included, is also one object on
// stdout: {"command":...,"ok":false,"error":...,"cause":...}. docs/json.md
// holds the fields of every command.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <functional>
#include <optional>

namespace ktcli {

enum Exit { kAccepted = 0, kRejected = 1, kBadArguments = 2, kPortError = 3 };

// The "cause" of a failure that is not the link's (those are LinkFaultName's).
inline constexpr const char* kCauseBadArguments = "bad-arguments";
inline constexpr const char* kCauseUnexpectedReply = "unexpected-reply";
inline constexpr const char* kCauseNotIdentified = "not-identified";

class Output {
public:
    Output(const QString& command, bool json);

    // A field of the result: "name value" at once, or a key of the object.
    void field(const QString& name, const QJsonValue& value);
    // A frame as bytes: its visible text for a person; {"hex","text"} in
    // JSON; "-" and null when there is none.
    void frame(const QString& name, const std::optional<QByteArray>& bytes);
    // Something that happened during a continuous command.
    void event(const QJsonObject& object, const QString& text);
    // Where the cause of a failure comes from when finish() is given none:
    // the open Session sets it to the link's last fault.
    void setCauseSource(std::function<QString()> source) { causeSource_ = std::move(source); }
    // Ends the command: prints the object (with "ok", and "error" and
    // "cause" on failure) and the failure line on stderr; returns code.
    int finish(int code, const QString& error = {}, const QString& cause = {});

private:
    QString command_;
    bool json_;
    QJsonObject result_;
    std::function<QString()> causeSource_;
};

// {"hex": "01303030...", "text": "␁0000AC..."}
QJsonObject frameJson(const QByteArray& bytes);

// Which command the failures of fail() belong to and whether they are also
// reported as a JSON object on stdout.
void setErrorReport(const QString& command, bool json);

// One line on stderr, "ktcli: " first (and with --json the failure object
// on stdout, unless an Output printed its own); returns code.
int fail(int code, const QString& message, const QString& cause = {});

}  // namespace ktcli
