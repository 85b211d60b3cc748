// The ktcli commands, one function each; commands.cpp picks one by name.
#pragma once

#include "cli/connection_options.h"
#include "cli/output.h"

#include <QString>
#include <QStringList>

namespace ktcli {

int runConnect(const ConnectionOptions& connection, const QStringList& args, Output& out);
int runSend(const ConnectionOptions& connection, QStringList args, Output& out);
// The Command page's test: the address in front of TEXT, the reply shown.
int runCommandTest(const ConnectionOptions& connection, const QStringList& args, Output& out);
// set-date, alarm, factory-reset, reboot, set-speed
int runBasic(const ConnectionOptions& connection, const QString& command, QStringList args,
             Output& out);
int runGetId(const ConnectionOptions& connection, const QStringList& args, Output& out);
int runFindId(const ConnectionOptions& connection, const QStringList& args, Output& out);
int runSetId(const ConnectionOptions& connection, QStringList args, Output& out);
int runDido(const ConnectionOptions& connection, QStringList args, Output& out);
int runPoll(const ConnectionOptions& connection, QStringList args, Output& out);
int runModule(const ConnectionOptions& connection, QStringList args, Output& out);
int runV5(const ConnectionOptions& connection, QStringList args, Output& out);
int runV7(const ConnectionOptions& connection, QStringList args, Output& out);
int runFirmware(const ConnectionOptions& connection, QStringList args, Output& out);

}  // namespace ktcli
