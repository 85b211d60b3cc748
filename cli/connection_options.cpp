#include "connection_options.h"

namespace ktcli {
namespace {

// "--name value" or "--name=value"; advances i past what it used.
std::optional<QString> optionValue(const QStringList& args, qsizetype& i, const QString& name, QString* error)
{
    const QString& arg = args[i];
    if (arg.startsWith(name + u'='))
        return arg.mid(name.size() + 1);
    if (i + 1 >= args.size()) {
        *error = QStringLiteral("%1 needs a value").arg(name);
        return std::nullopt;
    }
    return args[++i];
}

bool isOption(const QString& arg, const QString& name)
{
    return arg == name || arg.startsWith(name + u'=');
}

}  // namespace

std::optional<ConnectionOptions> takeConnectionOptions(QStringList& args, QString* error)
{
    ConnectionOptions options;
    bool lineGiven = false;
    qsizetype i = 0;
    for (; i < args.size() && args[i].startsWith(u"--"); ++i) {
        const QString& arg = args[i];
        if (isOption(arg, QStringLiteral("--net"))) {
            const auto value = optionValue(args, i, QStringLiteral("--net"), error);
            if (!value)
                return std::nullopt;
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
            if (!value)
                return std::nullopt;
            options.port.kind = kt::PortKind::Serial;
            options.port.ComPortName = *value;
        } else if (isOption(arg, QStringLiteral("--line"))) {
            const auto value = optionValue(args, i, QStringLiteral("--line"), error);
            if (!value)
                return std::nullopt;
            if (!kt::ParseLineSettings(*value)) {
                *error = QStringLiteral("--line wants BAUD,PARITY,DATA,STOP, for example 19200,e,8,1");
                return std::nullopt;
            }
            options.port.ComBaudRate = *value;
            lineGiven = true;
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
    args = args.mid(i);
    return options;
}

}  // namespace ktcli
