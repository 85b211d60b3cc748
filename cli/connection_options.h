// The connection options every ktcli subcommand shares:
// --net IP:PORT, or --serial PORT with --line SPEC.
#pragma once

#include "port_settings.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ktcli {

struct ConnectionOptions {
    kt::PortSettings port;
    bool chosen = false;  // --net or --serial was given
};

// Takes the connection options off the front of args (up to the subcommand)
// and leaves the rest. nullopt, with error set, for a malformed option.
std::optional<ConnectionOptions> takeConnectionOptions(QStringList& args, QString* error);

}  // namespace ktcli
