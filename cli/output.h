// What a ktcli subcommand prints: "name value" lines for a person, or one
// JSON object for a script (with --json), and one line on stderr for every
// failure. Continuous subcommands also print one line (or one compact JSON
// object) per thing that happens, as it happens. Controller and file bytes
// in a line for a person show their control bytes as visible symbols, so
// none can move the cursor or clear the screen; JSON escapes them itself.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace ktcli {

enum Exit { kAccepted = 0, kRejected = 1, kBadArguments = 2, kPortError = 3 };

class Output {
public:
    Output(const QString& command, bool json);

    // A field of the result: "name value" at once, or a key of the object.
    void field(const QString& name, const QJsonValue& value);
    // Something that happened during a continuous subcommand.
    void event(const QJsonObject& object, const QString& text);
    // Ends the subcommand: prints the object (with "ok" and "error") and the
    // failure line on stderr; returns code.
    int finish(int code, const QString& error = {});

private:
    QString command_;
    bool json_;
    QJsonObject result_;
};

// One line on stderr, "ktcli: " first; returns code.
int fail(int code, const QString& message);

}  // namespace ktcli
