// ktcli and ktsim as processes, for the tests that run them as a
// technician or a script would.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace kttest {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliRun runKtcli(const QStringList& args, const QString& workingDirectory = {}) {
    QProcess p;
    if (!workingDirectory.isEmpty()) p.setWorkingDirectory(workingDirectory);
    p.start(QStringLiteral(KTCLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));  // a module scan asks 63 times
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A ktsim process, with the endpoint it printed.
class KtsimProcess {
public:
    explicit KtsimProcess(const QStringList& args) {
        process_.start(QStringLiteral(KTSIM_PATH), args);
        const QRegularExpression line(QStringLiteral("^(tcp|pty) (\\S+)$"),
                                      QRegularExpression::MultilineOption);
        while (process_.waitForReadyRead(5000)) {
            output_ += QString::fromUtf8(process_.readAllStandardOutput());
            if (args.contains(u"--tcp") && !tcp_.isEmpty()) break;
            for (auto it = line.globalMatch(output_); it.hasNext();) {
                const auto m = it.next();
                (m.captured(1) == u"tcp" ? tcp_ : pty_) = m.captured(2);
            }
            if ((!args.contains(u"--tcp") || !tcp_.isEmpty()) &&
                (!args.contains(u"--pty") || !pty_.isEmpty()))
                break;
        }
    }
    ~KtsimProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
    }
    QString tcp() const { return tcp_; }
    QString pty() const { return pty_; }
    QProcess& process() { return process_; }
    // Reads its standard output until wanted shows (true) or ms pass.
    bool waitForOutput(const QString& wanted, int ms = 5000) {
        while (!output_.contains(wanted)) {
            if (!process_.waitForReadyRead(ms)) return false;
            output_ += QString::fromUtf8(process_.readAllStandardOutput());
        }
        return true;
    }
    QString output() const { return output_; }

private:
    QProcess process_;
    QString output_;
    QString tcp_;
    QString pty_;
};

}  // namespace kttest
