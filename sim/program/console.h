// ktsim's console: a trainer changes the controller while it runs, one line
// at a time ("fault AS:silent", "fault clear", "inputs 10100001", "event",
// "status", "help"), and reads back what changed.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace ktsim {

class Simulator;

// Carries out one console line; the text to print (one or more lines, no
// trailing newline), empty for an empty line.
QString RunConsoleLine(Simulator& simulator, const QString& line);

QString ConsoleHelp();

// Reads lines from a file descriptor (standard input) while the event loop
// runs, and hands each answer to print.
class Console : public QObject {
    Q_OBJECT
public:
    Console(Simulator& simulator, int fd, std::function<void(const QString&)> print,
            QObject* parent = nullptr);
    ~Console() override;

private:
    void readAvailable();

    Simulator& simulator_;
    int fd_;
    std::function<void(const QString&)> print_;
    QSocketNotifier* notifier_;
    QByteArray pending_;
    bool discarding_ = false;  // inside a line that was too long
};

}  // namespace ktsim
