// ktcli: the controller tool's operations from a shell.
#include "connection_options.h"
#include "link.h"
#include "visible_text.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

enum Exit { kAccepted = 0, kRejected = 1, kBadArguments = 2, kPortError = 3 };

const char kUsage[] = R"(Usage: ktcli CONNECTION COMMAND [OPTIONS]

Connection (one of):
  --net IP:PORT         TCP to a serial-to-network converter, e.g. --net 127.0.0.1:5003
  --serial PORT         a serial port by name (ttyUSB0) or path (/dev/serial/by-id/...)
  --line SPEC           serial line settings, default 19200,e,8,1

Commands:
  send [--xor | --xor-etx] TEXT
                        send one command text and print the reply frame.
                        Default frame: CRC request, ETX reply. --xor: XOR request,
                        STX reply. --xor-etx: XOR request, ETX reply.

Output of send: the reply frame with control bytes shown as symbols
(U+2401 for SOH, U+240D for CR, ...), "length N", and "accepted" or
"rejected". Exit status: 0 accepted, 1 rejected or no reply, 2 bad
arguments, 3 the port cannot be opened.

Examples:
  ktcli --net 127.0.0.1:5003 send 0000AC
  ktcli --serial ttyUSB0 --line 9600,n,8,1 send 0000DB
)";

int fail(int code, const QString& message)
{
    QTextStream(stderr) << "ktcli: " << message << Qt::endl;
    return code;
}

int runSend(const ktcli::ConnectionOptions& connection, QStringList args)
{
    kt::FrameStyle style = kt::FrameStyle::Crc;
    if (!args.isEmpty() && (args.front() == u"--xor" || args.front() == u"--xor-etx")) {
        style = args.front() == u"--xor" ? kt::FrameStyle::StxReply : kt::FrameStyle::EtxReply;
        args.removeFirst();
    }
    if (!args.isEmpty() && args.front() == u"--")
        args.removeFirst();
    if (args.size() != 1)
        return fail(kBadArguments, QStringLiteral("send takes one command text (see ktcli --help)"));
    const QByteArray text = args.front().toLatin1();
    const int limit = style == kt::FrameStyle::Crc ? kt::kMaxCrcCommandText : kt::kMaxXorCommandText;
    if (text.size() > limit)
        return fail(kBadArguments, QStringLiteral("command text too long: %1 characters, at most %2").arg(text.size()).arg(limit));

    kt::Link link;
    link.setPort(connection.port);
    if (!link.OpenPort())
        return fail(kPortError, link.lastError());
    const bool accepted = link.transact(style, text);
    const QString why = link.lastError();
    link.ClosePort();

    QTextStream out(stdout);
    out << "reply " << kt::VisibleText(QByteArrayView(link.ReplyBuffer(), link.ReplyLength())) << '\n'
        << "length " << link.ReplyLength() << '\n'
        << (accepted ? "accepted" : "rejected") << Qt::endl;
    return accepted ? kAccepted : fail(kRejected, why);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kBadArguments : kAccepted;
    }
    QString error;
    const auto connection = ktcli::takeConnectionOptions(args, &error);
    if (!connection)
        return fail(kBadArguments, error);
    if (!connection->chosen)
        return fail(kBadArguments, QStringLiteral("say where the controller is: --net IP:PORT or --serial PORT"));
    if (args.isEmpty())
        return fail(kBadArguments, QStringLiteral("no command given (see ktcli --help)"));
    const QString command = args.takeFirst();
    if (command == u"send")
        return runSend(*connection, args);
    return fail(kBadArguments, QStringLiteral("unknown command \"%1\" (see ktcli --help)").arg(command));
}
