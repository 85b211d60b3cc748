// The open link and the controller on it, shared by every ktcli command;
// and the small helpers their argument checks use.
#pragma once

#include "cli/connection_options.h"
#include "cli/output.h"
#include "controller/connect.h"
#include "link/link.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

namespace ktcli {

QJsonValue latin1(const QByteArray& bytes);
QJsonValue latin1(const std::optional<QByteArray>& bytes);
void printTrace(const kt::TraceEvent& event);

// The open link and the controller on it.
class Session {
public:
    Session(const ConnectionOptions& connection, Output& out);
    ~Session();

    // nullopt once the port is open; else the exit status, reported. Exit 3
    // says which: no such port, no access, in use, refused, unreachable.
    std::optional<int> open();

    // Opens the port and learns the address and family: from --address and
    // --family, or by Connect. Connect counts as found once the controller
    // identified itself, with or without the serial number of its last "AS".
    // nullopt on success; else the exit status.
    std::optional<int> openAndLocate(bool alwaysConnect = false);

    // Why the last operation failed, as far as the link knows.
    QString cause() const;
    // The same as a kind for JSON's "cause": the link's fault name, else
    // "unexpected-reply".
    QString causeKind() const;

    int verdict(bool ok) { return ok ? out_.finish(kAccepted) : out_.finish(kRejected, cause()); }

    kt::Link link;
    QByteArray address = "0000";
    kt::Family family = kt::Family::Unknown;
    kt::ConnectResult connected;

private:
    // The addresses --net's host stands for; empty with *error set when
    // the name is unknown.
    QStringList netAddresses(QString* error) const;

    const ConnectionOptions& connection_;
    Output& out_;
};

int badArguments(const QString& command, const QString& message);
std::optional<int> number(const QString& text, int low, int high);
bool isSerial(const QString& text);
bool isControllerId(const QString& text);
// "--seconds N" style option taken out of args; false when malformed.
bool takeOption(QStringList& args, const QString& name, QString* value);
bool takeFlag(QStringList& args, const QString& name);

}  // namespace ktcli
