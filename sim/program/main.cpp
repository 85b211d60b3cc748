// ktsim: the substitute controller as a program. See --help.
#include "sim/program/console.h"
#include "sim/program/options.h"
#include "sim/program/signal_watcher.h"
#include "sim/program/simulator.h"
#include "version/version.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

void printLine(const QString& line, FILE* stream = stdout) {
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const ktsim::ParsedOptions parsed = ktsim::parseOptions(app.arguments());
    if (!parsed.error.isEmpty()) {
        printLine(QStringLiteral("ktsim: ") + parsed.error, stderr);
        return 2;
    }
    const ktsim::SimOptions& options = parsed.options;
    if (options.help) {
        std::fputs(qPrintable(ktsim::helpText()), stdout);
        return 0;
    }
    if (options.version) {
        printLine(kt::VersionLine(QStringLiteral("ktsim")));
        return 0;
    }

    ktsim::SignalWatcher signalWatcher;
    if (!signalWatcher.isValid()) {
        printLine(QStringLiteral("ktsim: cannot set up signal handling"), stderr);
        return 1;
    }
    QObject::connect(&signalWatcher, &ktsim::SignalWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);

    ktsim::Simulator simulator(options.config);
    simulator.setVerbose(options.verbose);
    simulator.setPace(options.paceBaud);
    simulator.setLineBaud(options.lineBaud);
    for (const QString& faultText : options.faults) simulator.addFault(faultText);
    simulator.controller().state().setInputs(options.inputs);
    ktsim::bufferSampleEvents(simulator.controller().state(), options.events);
    QString error;
    if (!options.logFile.isEmpty() && !simulator.openLogFile(options.logFile, &error)) {
        printLine(QStringLiteral("ktsim: ") + error, stderr);
        return 1;
    }

    // Scripts wait for these lines; a drop fault on the pty prints a new one.
    QObject::connect(&simulator, &ktsim::Simulator::ptyOpened,
                     [](const QString& path) { printLine(QStringLiteral("pty ") + path); });
    if (options.tcpPort) {
        const quint16 port = simulator.startTcp(*options.tcpPort);
        if (port == 0) {
            printLine(QStringLiteral("ktsim: ") + simulator.lastError(), stderr);
            return 1;
        }
        printLine(QStringLiteral("tcp 127.0.0.1:%1").arg(port));
    }
    if (options.pty && simulator.startPty().isEmpty()) {
        printLine(QStringLiteral("ktsim: ") + simulator.lastError(), stderr);
        return 1;
    }
    // A trainer at a terminal changes faults, inputs and events as it runs.
    // Started in the background ("ktsim --tcp 5003 &") it leaves the
    // terminal to the shell: a read there would stop it (SIGTTIN).
    const bool foregroundTerminal =
        ::isatty(STDIN_FILENO) && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
    std::unique_ptr<ktsim::Console> console;
    if (options.console || foregroundTerminal) {
        std::signal(SIGTTIN, SIG_IGN);  // moved to the background later: the read fails instead
        console = std::make_unique<ktsim::Console>(simulator, STDIN_FILENO,
                                                   [](const QString& text) { printLine(text); });
    }
    return app.exec();
}
