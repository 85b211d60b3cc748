// One open path to the controller: a serial port, a TCP connection, or a
// converter that also takes line settings (RFC 2217). A
// channel knows bytes and its own time-limit rule, nothing of frames.
#pragma once

#include "link/link_error.h"

#include <QIODevice>
#include <QObject>
#include <QString>

namespace kt {

class Channel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Blocks until open or failed; on failure error says which kind of
    // failure it was and what the system said (the Link adds the port).
    virtual bool open(LinkError* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QIODevice* device() = 0;

    // Called right before a request is written: the serial port drops stale
    // input and output, the network keeps what it has.
    virtual void discardPending() {}
    // Puts a request on the wire now, not on a later pass of the event loop.
    virtual void send(const QByteArray& bytes) = 0;

    // The reply's time limit in milliseconds, and whether every received
    // byte restarts it (a silence limit) or it runs from the request on.
    virtual int replyLimitMs() const = 0;
    virtual bool limitRestartsOnByte() const = 0;

    // Moves the serial line behind a converter that takes line settings
    // (RFC 2217). A serial port and raw TCP have no such line here: true.
    virtual bool setLine(const QString& /*lineSettings*/, LinkError* /*error*/) { return true; }

signals:
    // The far end went away (adapter pulled out, pty closed, peer closed the
    // connection). Whatever was received before is still readable on
    // device() while this is emitted; the channel is closed afterwards.
    void lost(const QString& why);
};

}  // namespace kt
