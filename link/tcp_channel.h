// The network channel: a TCP connection to a serial-to-network converter.
#pragma once

#include "link/channel.h"

#include <QTcpSocket>

namespace kt {

class TcpChannel : public Channel {
    Q_OBJECT
public:
    static constexpr int kTotalLimitMs = 1200;
    // Left alone, a connect to an absent converter freezes the caller for
    // minutes; a converter on the local network answers well inside this.
    static constexpr int kConnectTimeoutMs = 3000;

    explicit TcpChannel(QObject* parent = nullptr);

    // ip in dotted decimal, port as typed on the port page; with
    // anyAddress, ip may also be an IPv6 address.
    void configure(const QString& ip, const QString& port, bool anyAddress = false);

    bool open(LinkError* error) override;
    void close() override;
    bool isOpen() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    QIODevice* device() override { return &socket_; }
    void send(const QByteArray& bytes) override {
        socket_.write(bytes);
        socket_.flush();
    }
    int replyLimitMs() const override { return kTotalLimitMs; }
    bool limitRestartsOnByte() const override { return false; }

private:
    void onDisconnected();

    QTcpSocket socket_;
    QString ip_;
    QString port_;
    bool anyAddress_ = false;
    bool closing_ = false;
};

}  // namespace kt
