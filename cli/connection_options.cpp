#include "connection_options.h"

#include <QRegularExpression>

namespace ktcli {
namespace {

// "--name value" or "--name=value"; advances i past what it used.
std::optional<QString> optionValue(const QStringList& args, qsizetype& i, const QString& name,
                                   QString* error) {
    const QString& arg = args[i];
    if (arg.startsWith(name + u'=')) return arg.mid(name.size() + 1);
    if (i + 1 >= args.size()) {
        *error = QStringLiteral("%1 needs a value").arg(name);
        return std::nullopt;
    }
    return args[++i];
}

bool isOption(const QString& arg, const QString& name) {
    return arg == name || arg.startsWith(name + u'=');
}

}  // namespace

std::optional<ConnectionOptions> takeConnectionOptions(QStringList& args, QString* error) {
    ConnectionOptions options;
    bool lineGiven = false;
    qsizetype i = 0;
    for (; i < args.size() && args[i].startsWith(u"--"); ++i) {
        const QString& arg = args[i];
        if (isOption(arg, QStringLiteral("--net"))) {
            const auto value = optionValue(args, i, QStringLiteral("--net"), error);
            if (!value) return std::nullopt;
            const qsizetype colon = value->lastIndexOf(u':');
            if (colon <= 0 || colon == value->size() - 1) {
                *error = QStringLiteral("--net wants IP:PORT, for example --net 127.0.0.1:5003");
                return std::nullopt;
            }
            options.port.kind = kt::PortKind::Network;
            options.port.NetIP = value->left(colon);
            options.port.NetPort = value->mid(colon + 1);
        } else if (isOption(arg, QStringLiteral("--serial"))) {
            const auto value = optionValue(args, i, QStringLiteral("--serial"), error);
            if (!value) return std::nullopt;
            options.port.kind = kt::PortKind::Serial;
            options.port.ComPortName = *value;
        } else if (isOption(arg, QStringLiteral("--line"))) {
            const auto value = optionValue(args, i, QStringLiteral("--line"), error);
            if (!value) return std::nullopt;
            if (!kt::ParseLineSettings(*value)) {
                *error =
                    QStringLiteral("--line wants BAUD,PARITY,DATA,STOP, for example 19200,e,8,1");
                return std::nullopt;
            }
            options.port.ComBaudRate = *value;
            lineGiven = true;
        } else if (arg == u"--json" || arg == u"--trace") {
            (arg == u"--json" ? options.json : options.trace) = true;
            continue;
        } else if (isOption(arg, QStringLiteral("--id")) ||
                   isOption(arg, QStringLiteral("--address"))) {
            const QString name = isOption(arg, QStringLiteral("--id"))
                                     ? QStringLiteral("--id")
                                     : QStringLiteral("--address");
            const auto value = optionValue(args, i, name, error);
            if (!value) return std::nullopt;
            static const QRegularExpression digits(QStringLiteral("^[0-9]{3,4}$"));
            if (!digits.match(*value).hasMatch()) {
                *error =
                    QStringLiteral("%1 wants four digits (three for family 4), for example %1 0001")
                        .arg(name);
                return std::nullopt;
            }
            (name == u"--id" ? options.firstId : options.address) = value->toLatin1();
            continue;
        } else if (isOption(arg, QStringLiteral("--family"))) {
            const auto value = optionValue(args, i, QStringLiteral("--family"), error);
            if (!value) return std::nullopt;
            bool ok = false;
            options.family = value->toInt(&ok);
            if (!ok || options.family < 1 || options.family > 9) {
                *error = QStringLiteral("--family wants a number from 1 to 9");
                return std::nullopt;
            }
            continue;
        } else {
            break;  // an option of the subcommand, or --help
        }
        if (!isOption(arg, QStringLiteral("--line"))) {
            if (options.chosen) {
                *error = QStringLiteral("give one of --net and --serial, once");
                return std::nullopt;
            }
            options.chosen = true;
        }
    }
    if (lineGiven && options.port.kind != kt::PortKind::Serial) {
        *error = QStringLiteral("--line goes with --serial");
        return std::nullopt;
    }
    if (options.address.isEmpty() != (options.family == 0)) {
        *error = QStringLiteral("--address and --family go together");
        return std::nullopt;
    }
    if (!options.address.isEmpty() && options.address.size() != (options.family == 4 ? 3 : 4)) {
        *error = QStringLiteral("--address has four digits, three for family 4");
        return std::nullopt;
    }
    args = args.mid(i);
    return options;
}

}  // namespace ktcli
