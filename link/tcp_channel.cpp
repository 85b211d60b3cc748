#include "link/tcp_channel.h"

#include "link/port_settings.h"

#include <QHostAddress>

namespace kt {

TcpChannel::TcpChannel(QObject* parent) : Channel(parent) {
    connect(&socket_, &QTcpSocket::disconnected, this, &TcpChannel::onDisconnected);
}

void TcpChannel::configure(const QString& ip, const QString& port, bool anyAddress) {
    ip_ = ip;
    port_ = port;
    anyAddress_ = anyAddress;
}

bool TcpChannel::open(LinkError* error) {
    close();
    const auto address = ParseDottedIPv4(ip_);
    const QHostAddress host = address       ? QHostAddress(*address)
                              : anyAddress_ ? QHostAddress(ip_)
                                            : QHostAddress();
    if (host.isNull()) {
        *error = LinkError::of(
            LinkFault::Other,
            anyAddress_ ? QStringLiteral("not an IP address: \"%1\"").arg(ip_)
                        : QStringLiteral("not a dotted-decimal IPv4 address: \"%1\"").arg(ip_));
        return false;
    }
    const quint16 port = ConvertNetPort(port_);
    if (port == 0) {
        *error =
            LinkError::of(LinkFault::Other,
                          QStringLiteral("cannot connect to %1: port \"%2\" is not a port number")
                              .arg(host.toString(), port_));
        return false;
    }
    socket_.connectToHost(host, port);
    if (!socket_.waitForConnected(kConnectTimeoutMs)) {
        const QString target =
            (host.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]:%2")
                                                              : QStringLiteral("%1:%2"))
                .arg(host.toString())
                .arg(port);
        *error = LinkError::of(
            socket_.error() == QAbstractSocket::ConnectionRefusedError ? LinkFault::Refused
            : socket_.error() == QAbstractSocket::SocketTimeoutError ||
                    socket_.error() == QAbstractSocket::NetworkError ||
                    socket_.error() == QAbstractSocket::HostNotFoundError
                ? LinkFault::Unreachable
                : LinkFault::Other,
            socket_.error() == QAbstractSocket::SocketTimeoutError
                ? QStringLiteral("cannot connect to %1: no answer within %2 ms")
                      .arg(target)
                      .arg(kConnectTimeoutMs)
                : QStringLiteral("cannot connect to %1: %2").arg(target, socket_.errorString()));
        socket_.abort();
        return false;
    }
    // Requests are small and answered at once: never hold one back.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

void TcpChannel::close() {
    closing_ = true;
    socket_.abort();
    closing_ = false;
}

void TcpChannel::onDisconnected() {
    if (!closing_) emit lost(QStringLiteral("the converter closed the connection"));
}

}  // namespace kt
