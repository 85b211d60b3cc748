// The connection options every ktcli subcommand shares:
// --net IP:PORT, or --serial PORT with --line SPEC; --id, --address with
// --family, --json and --trace.
#pragma once

#include "port_settings.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ktcli {

struct ConnectionOptions {
    kt::PortSettings port;
    bool chosen = false;          // --net or --serial was given
    QByteArray firstId = "0000";  // --id: the first address Connect tries
    // --address with --family: the controller's, so that no Connect runs.
    QByteArray address;
    int family = 0;
    bool json = false;   // --json: machine-readable output
    bool trace = false;  // --trace: every frame on stderr
};

// Takes the connection options off the front of args (up to the subcommand)
// and leaves the rest. nullopt, with error set, for a malformed option.
std::optional<ConnectionOptions> takeConnectionOptions(QStringList& args, QString* error);

}  // namespace ktcli
