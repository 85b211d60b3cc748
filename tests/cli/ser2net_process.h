// ser2net as the converter in front of ktsim's pty, for the tests of the
// RFC 2217 channel: a real server nobody here wrote. scripts/install-deps
// installs it.
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

namespace kttest {

// ser2net in the foreground on a free loopback port, with one connection
// from accepter to the pty; stopped by its own process id.
class Ser2net {
public:
    // accepter: "telnet(rfc2217),tcp" or "tcp" (raw).
    Ser2net(const QString& accepter, const QString& pty, const QString& line) {
        const QString program = QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (program.isEmpty()) {
            ADD_FAILURE() << "ser2net is missing: run scripts/install-deps";
            return;
        }
        {
            QTcpServer probe;  // a free port, given back at once
            probe.listen(QHostAddress::LocalHost);
            port_ = probe.serverPort();
        }
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("connection: &kt\n"
                                    "  accepter: %1,127.0.0.1,%2\n"
                                    "  connector: serialdev,%3,%4,local\n"
                                    "  options:\n"
                                    "    kickolduser: true\n"
                                    "    mdns: false\n")
                         .arg(accepter)
                         .arg(port_)
                         .arg(pty, line)
                         .toUtf8());
        config.close();
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(program, {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"),
                                 config.fileName(), QStringLiteral("-P"),
                                 dir_.filePath(QStringLiteral("pid"))});
        // Ready once it accepts a connection; that connection goes at once.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000 && process_.state() != QProcess::NotRunning) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port_);
            if (socket.waitForConnected(200)) {
                ready_ = true;
                socket.abort();
                QThread::msleep(50);  // lets ser2net close the pty again
                break;
            }
            QThread::msleep(20);
        }
    }
    ~Ser2net() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
    }
    bool ready() const { return ready_; }
    quint16 port() const { return port_; }
    QString target(bool rfc2217) const {
        return (rfc2217 ? QStringLiteral("rfc2217://127.0.0.1:%1") : QStringLiteral("127.0.0.1:%1"))
            .arg(port_);
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    bool ready_ = false;
};

}  // namespace kttest
