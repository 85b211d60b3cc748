// ktsim's command line: what to serve, which controller to be, which faults
// to make.
#pragma once

#include "sim/device/device_config.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ktsim {

struct SimOptions {
    DeviceConfig config;
    std::optional<quint16> tcpPort;
    bool pty = false;
    QStringList faults;  // checked already
    quint8 inputs = 0;   // bit 0 is input 1
    int events = 0;      // made-up events buffered at start
    int paceBaud = 0;
    int lineBaud = 0;  // --baud: the pty answers only at this speed
    QString logFile;
    bool verbose = false;
    bool console = false;  // read console lines from stdin even when it is no terminal
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    SimOptions options;
    QString error;  // one line; empty when the options are usable
};

// arguments[0] is the program name.
ParsedOptions parseOptions(const QStringList& arguments);
QString helpText();

}  // namespace ktsim
