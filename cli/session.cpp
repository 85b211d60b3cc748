#include "cli/session.h"

#include "cli/link_error_text.h"
#include "link/frames.h"
#include "link/trace_line.h"
#include "link/visible_text.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <QTime>
#include <QTimer>

namespace ktcli {

QJsonValue latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

QJsonValue latin1(const std::optional<QByteArray>& bytes) {
    return bytes ? latin1(*bytes) : QJsonValue();
}

// The window's traffic monitor saves the same lines.
void printTrace(const kt::TraceEvent& event) {
    QTextStream(stderr) << kt::TraceLine(QTime::currentTime(), event) << Qt::endl;
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

// A name service on the local network answers well inside this.
constexpr int kHostLookupMs = 5000;

Session::Session(const ConnectionOptions& connection, Output& out)
    : connection_(connection), out_(out) {
    link.setPort(connection.port);
    if (connection.trace) link.setTrace(printTrace);
    out_.setCauseSource([this] { return causeKind(); });
}

Session::~Session() {
    out_.setCauseSource({});
    link.ClosePort();
}

QStringList Session::netAddresses(QString* error) const {
    const QHostAddress literal(connection_.netHost);
    if (!literal.isNull()) return {literal.toString()};
    // The lookup is bounded like every other wait: a resolver that never
    // answers must not hold the command for good.
    QHostInfo info;
    bool answered = false;
    QEventLoop loop;
    const int lookup =
        QHostInfo::lookupHost(connection_.netHost, &loop, [&](const QHostInfo& found) {
            info = found;
            answered = true;
            loop.quit();
        });
    QTimer::singleShot(kHostLookupMs, &loop, &QEventLoop::quit);
    if (!answered) loop.exec();
    if (!answered) {
        QHostInfo::abortHostLookup(lookup);
        *error = QStringLiteral("cannot find the host \"%1\": no answer within %2 ms")
                     .arg(connection_.netHost)
                     .arg(kHostLookupMs);
        return {};
    }
    QStringList addresses;
    // IPv4 first: converters and ktsim listen there.
    for (const auto protocol : {QAbstractSocket::IPv4Protocol, QAbstractSocket::IPv6Protocol}) {
        for (const QHostAddress& address : info.addresses()) {
            if (address.protocol() == protocol) addresses.append(address.toString());
        }
    }
    if (addresses.isEmpty())
        *error = QStringLiteral("cannot find the host \"%1\": %2")
                     .arg(connection_.netHost, info.error() == QHostInfo::NoError
                                                   ? QStringLiteral("no address")
                                                   : info.errorString());
    return addresses;
}

std::optional<int> Session::open() {
    if (connection_.port.kind == kt::PortKind::Network && !connection_.netHost.isEmpty()) {
        QString error;
        const QStringList addresses = netAddresses(&error);
        if (addresses.isEmpty())
            return out_.finish(kPortError, error,
                               QString::fromLatin1(kt::LinkFaultName(kt::LinkFault::Unreachable)));
        kt::PortSettings port = connection_.port;
        port.netAnyAddress = true;
        for (const QString& address : addresses) {
            port.NetIP = address;
            link.setPort(port);
            if (link.OpenPort()) return std::nullopt;
        }
    } else if (link.OpenPort()) {
        return std::nullopt;
    }
    return out_.finish(kPortError, OpenErrorText(link.lastError()), causeKind());
}

std::optional<int> Session::openAndLocate(bool alwaysConnect) {
    if (const auto failed = open()) return failed;
    if (!connection_.address.isEmpty() && !alwaysConnect) {
        address = connection_.address;
        family = connection_.family;
        return std::nullopt;
    }
    connected = kt::Connect(link, connection_.firstId);
    if (connected.outcome == kt::ConnectResult::Outcome::NotFound)
        return out_.finish(
            kRejected, QStringLiteral("no controller answered AC or AS (last: %1)").arg(cause()));
    address = connected.address;
    if (connected.outcome == kt::ConnectResult::Outcome::NotIdentified)
        return out_.finish(kRejected,
                           QStringLiteral("the controller at %1 did not identify "
                                          "itself (%2); give --address and --family")
                               .arg(QString::fromLatin1(address), cause()),
                           QString::fromLatin1(kCauseNotIdentified));
    family = connected.family;
    return std::nullopt;
}

QString Session::cause() const {
    if (link.lastError().failed()) return LinkErrorText(link.lastError());
    if (link.ReplyLength() > 0)
        return QStringLiteral("unexpected reply length %1").arg(link.ReplyLength());
    return QStringLiteral("the controller said no");
}

QString Session::causeKind() const {
    if (link.lastError().failed())
        return QString::fromLatin1(kt::LinkFaultName(link.lastError().kind));
    return QString::fromLatin1(kCauseUnexpectedReply);
}

}  // namespace ktcli
