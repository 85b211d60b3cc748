// The TCP side: a listener on loopback that takes a new connection for every
// operation, as the tool connects anew for each button press.
#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>

namespace ktsim {

class Simulator;

class TcpTransport : public QObject {
    Q_OBJECT
public:
    explicit TcpTransport(Simulator& simulator, QObject* parent = nullptr);

    // Listens on 127.0.0.1; port 0 picks a free one. Returns the port, or 0
    // with the reason in *error.
    quint16 listen(quint16 port, QString* error);
    quint16 port() const { return server_.serverPort(); }

private:
    void acceptConnections();

    Simulator& simulator_;
    QTcpServer server_;
};

}  // namespace ktsim
