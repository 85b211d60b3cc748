#include "cli/connection_options.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace ktcli {

QList<QCommandLineOption> GlobalOptions() {
    return {
        {QStringLiteral("net"), {}, QStringLiteral("[rfc2217://]HOST:PORT")},
        {QStringLiteral("serial"), {}, QStringLiteral("PORT")},
        {QStringLiteral("line"), {}, QStringLiteral("SPEC")},
        {QStringLiteral("id"), {}, QStringLiteral("NNNN")},
        {QStringLiteral("address"), {}, QStringLiteral("NNNN")},
        {QStringLiteral("family"), {}, QStringLiteral("F")},
        {QStringLiteral("json"), {}},
        {QStringLiteral("trace"), {}},
        {{QStringLiteral("h"), QStringLiteral("help")}, {}},
        {QStringLiteral("version"), {}},
    };
}

std::optional<NetTarget> ParseNetTarget(const QString& text, QString* error) {
    const QString usage = QStringLiteral(
        "--net wants HOST:PORT, for example --net 127.0.0.1:5003, --net converter.local:5003 or "
        "--net [::1]:5003");
    QString host;
    QString port;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u"]:");
        if (close < 0) {
            *error = usage;
            return std::nullopt;
        }
        host = text.mid(1, close - 1);
        port = text.mid(close + 2);
        if (QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol) {
            *error = QStringLiteral("--net: \"%1\" is no IPv6 address").arg(host);
            return std::nullopt;
        }
    } else {
        const qsizetype colon = text.lastIndexOf(u':');
        host = text.left(colon);
        port = text.mid(colon + 1);
        if (colon < 0 || host.contains(u':')) {
            *error = colon < 0 ? usage
                               : QStringLiteral(
                                     "--net: put an IPv6 address in brackets, for example "
                                     "[::1]:5003");
            return std::nullopt;
        }
        // A dotted address or a host name; nothing else reaches the resolver.
        static const QRegularExpression name(
            QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]{0,252}[A-Za-z0-9])?$"));
        if (!name.match(host).hasMatch()) {
            *error =
                host.isEmpty()
                    ? usage
                    : QStringLiteral("--net: \"%1\" is no host name or address").arg(host.left(80));
            return std::nullopt;
        }
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const int number = digits.match(port).hasMatch() ? port.toInt() : 0;
    if (number < 1 || number > 65535) {
        *error =
            QStringLiteral("--net: port \"%1\" is not a number from 1 to 65535").arg(port.left(20));
        return std::nullopt;
    }
    return NetTarget{host, quint16(number)};
}

std::optional<ConnectionOptions> ConnectionFromParser(const QCommandLineParser& parser,
                                                      QString* error) {
    ConnectionOptions options;
    auto bad = [error](const QString& message) {
        *error = message;
        return std::nullopt;
    };
    const qsizetype places = parser.values(QStringLiteral("net")).size() +
                             parser.values(QStringLiteral("serial")).size();
    if (places > 1) return bad(QStringLiteral("give one of --net and --serial, once"));
    options.chosen = places == 1;
    if (parser.isSet(QStringLiteral("net"))) {
        // The URL form serial tools use for a converter that takes line
        // settings; a bare HOST:PORT stays raw TCP.
        static const QString scheme = QStringLiteral("rfc2217://");
        QString net = parser.value(QStringLiteral("net"));
        if (net.startsWith(scheme, Qt::CaseInsensitive)) {
            options.port.NetSetLine = true;
            net = net.mid(scheme.size());
            if (net.endsWith(u'/')) net.chop(1);
        }
        if (net.contains(u"://"))
            return bad(QStringLiteral(
                "--net takes HOST:PORT (raw TCP) or rfc2217://HOST:PORT (a converter that takes "
                "line settings)"));
        const auto target = ParseNetTarget(net, error);
        if (!target) return std::nullopt;
        options.port.kind = kt::PortKind::Network;
        options.netHost = target->host;
        options.port.NetIP = target->host;
        options.port.NetPort = QString::number(target->port);
    }
    if (parser.isSet(QStringLiteral("serial"))) {
        options.port.kind = kt::PortKind::Serial;
        options.port.ComPortName = parser.value(QStringLiteral("serial"));
    }
    if (parser.isSet(QStringLiteral("line"))) {
        const QString line = parser.value(QStringLiteral("line"));
        if (!kt::ParseLineSettings(line))
            return bad(
                QStringLiteral("--line wants BAUD,PARITY,DATA,STOP, for example 19200,e,8,1"));
        if (!options.chosen ||
            (options.port.kind == kt::PortKind::Network && !options.port.NetSetLine))
            return bad(QStringLiteral("--line goes with --serial or --net rfc2217://HOST:PORT"));
        (options.port.kind == kt::PortKind::Serial ? options.port.ComBaudRate
                                                   : options.port.NetBaudRate) = line;
    }
    for (const QString& name : {QStringLiteral("id"), QStringLiteral("address")}) {
        if (!parser.isSet(name)) continue;
        const QString value = parser.value(name);
        static const QRegularExpression digits(QStringLiteral("^[0-9]{3,4}$"));
        if (!digits.match(value).hasMatch())
            return bad(
                QStringLiteral("--%1 wants four digits (three for family 4), for example --%1 0001")
                    .arg(name));
        (name == u"id" ? options.firstId : options.address) = value.toLatin1();
    }
    if (parser.isSet(QStringLiteral("family"))) {
        bool ok = false;
        const auto family = kt::FamilyOfCode(parser.value(QStringLiteral("family")).toInt(&ok));
        if (!ok || !family) return bad(QStringLiteral("--family wants a number from 1 to 9"));
        options.family = *family;
    }
    if (options.address.isEmpty() != (options.family == kt::Family::Unknown))
        return bad(QStringLiteral("--address and --family go together"));
    if (!options.address.isEmpty() &&
        options.address.size() != (options.family == kt::Family::ThreeDigit ? 3 : 4))
        return bad(QStringLiteral("--address has four digits, three for family 4"));
    options.json = parser.isSet(QStringLiteral("json"));
    options.trace = parser.isSet(QStringLiteral("trace"));
    return options;
}

}  // namespace ktcli
