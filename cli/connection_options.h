// The options every ktcli command shares, accepted before or after the
// command: --net HOST:PORT, --net rfc2217://HOST:PORT or --serial PORT
// (both with --line SPEC); --id,
// --address with --family, --json and --trace.
#pragma once

#include "controller/family.h"
#include "link/port_settings.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <optional>

namespace ktcli {

struct ConnectionOptions {
    kt::PortSettings port;
    bool chosen = false;  // --net or --serial was given
    // --net: the host as given (a name, a dotted IPv4 or an IPv6 address);
    // Session looks it up and puts the address into port.NetIP.
    QString netHost;
    QByteArray firstId = "0000";  // --id: the first address Connect tries
    // --address with --family: the controller's, so that no Connect runs.
    QByteArray address;
    kt::Family family = kt::Family::Unknown;
    bool json = false;   // --json: machine-readable output
    bool trace = false;  // --trace: every frame on stderr
};

// The shared options, for every command's parser; --help and --version too.
QList<QCommandLineOption> GlobalOptions();

struct NetTarget {
    QString host;  // without the brackets of an IPv6 address
    quint16 port = 0;
};

// "HOST:PORT" or "[IPV6]:PORT", port 1 to 65535; nullopt with a reason.
std::optional<NetTarget> ParseNetTarget(const QString& text, QString* error);

// Reads the shared options from a parser that has parsed them; nullopt,
// with error set, for a malformed one.
std::optional<ConnectionOptions> ConnectionFromParser(const QCommandLineParser& parser,
                                                      QString* error);

}  // namespace ktcli
