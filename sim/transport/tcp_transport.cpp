#include "sim/transport/tcp_transport.h"

#include "sim/transport/session.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace ktsim {

TcpTransport::TcpTransport(Simulator& simulator, QObject* parent)
    : QObject(parent), simulator_(simulator) {
    connect(&server_, &QTcpServer::newConnection, this, &TcpTransport::acceptConnections);
}

quint16 TcpTransport::listen(quint16 port, QString* error) {
    if (server_.isListening()) return server_.serverPort();
    if (server_.listen(QHostAddress::LocalHost, port)) return server_.serverPort();
    if (error)
        *error = QStringLiteral("cannot listen on 127.0.0.1:%1: %2")
                     .arg(port)
                     .arg(server_.errorString());
    return 0;
}

void TcpTransport::acceptConnections() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        // Replies trickled byte by byte must leave byte by byte.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        ByteSink sink{[socket](const QByteArray& bytes) { socket->write(bytes); },
                      [socket] { socket->disconnectFromHost(); }};
        auto* session = new Session(simulator_, std::move(sink), socket);
        connect(socket, &QTcpSocket::readyRead, session,
                [socket, session] { session->receive(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace ktsim
