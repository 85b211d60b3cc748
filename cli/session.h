// The open link and the controller on it, shared by every ktcli command;
// and the small helpers their argument checks use.
#pragma once

#include "connect.h"
#include "connection_options.h"
#include "link.h"
#include "output.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

namespace ktcli {

QJsonValue latin1(const QByteArray& bytes);
QJsonValue latin1(const std::optional<QByteArray>& bytes);
QJsonValue visible(const std::optional<QByteArray>& bytes);
void printTrace(const kt::TraceEvent& event);

// The open link and the controller on it.
class Session {
public:
    Session(const ConnectionOptions& connection, Output& out) : connection_(connection), out_(out) {
        link.setPort(connection.port);
        if (connection.trace) link.setTrace(printTrace);
    }
    ~Session() { link.ClosePort(); }

    // nullopt once the port is open; else the exit status, reported.
    std::optional<int> open() {
        if (link.OpenPort()) return std::nullopt;
        QString why = link.lastError();
        if (why.contains(QStringLiteral("ermission")))
            why += QStringLiteral(
                " (join the dialout group: sudo usermod -aG dialout $USER, then log in again)");
        return out_.finish(kPortError, why);
    }

    // Opens the port and learns the address and family: from --address and
    // --family, or by Connect. nullopt on success; else the exit status.
    std::optional<int> openAndLocate(bool alwaysConnect = false) {
        if (const auto failed = open()) return failed;
        if (!connection_.address.isEmpty() && !alwaysConnect) {
            address = connection_.address;
            family = connection_.family;
            return std::nullopt;
        }
        connected = kt::Connect(link, connection_.firstId);
        if (connected.outcome == kt::ConnectResult::Outcome::NotFound)
            return out_.finish(
                kRejected,
                QStringLiteral("no controller answered AC or AS (last: %1)").arg(cause()));
        address = connected.address;
        if (connected.outcome == kt::ConnectResult::Outcome::NotIdentified)
            return out_.finish(kRejected, QStringLiteral("the controller at %1 did not identify "
                                                         "itself (%2); give --address and --family")
                                              .arg(QString::fromLatin1(address), cause()));
        family = connected.family;
        return std::nullopt;
    }

    // Why the last operation failed, as far as the link knows.
    QString cause() const {
        if (!link.lastError().isEmpty()) return link.lastError();
        if (link.ReplyLength() > 0)
            return QStringLiteral("unexpected reply length %1").arg(link.ReplyLength());
        return QStringLiteral("the controller said no");
    }

    int verdict(bool ok) { return ok ? out_.finish(kAccepted) : out_.finish(kRejected, cause()); }

    kt::Link link;
    QByteArray address = "0000";
    int family = 0;
    kt::ConnectResult connected;

private:
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
