// Shared by the ktsim tests: request frames, the tool's 1-based reply
// positions, and a reader that collects a reply the way the tool does.
#pragma once

#include "link/frames.h"
#include "link/reply_collector.h"
#include "sim/device/controller.h"
#include "sim/transport/request_parser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpSocket>

namespace ktsim::test {

inline QByteArray crcRequest(QByteArrayView text) {
    return *kt::BuildCrcRequest(text);
}

// Characters from..to of a reply, counted from 1 at its lead byte.
inline QByteArray positions(const QByteArray& frame, int from, int to) {
    return frame.mid(from - 1, to - from + 1);
}

// The controller's whole reply frame to a CRC request, or empty for silence.
inline QByteArray replyTo(Controller& controller, QByteArrayView text) {
    const auto answer = controller.answer(RequestParser::classify(crcRequest(text)));
    return answer ? kt::BuildReply(answer->style, answer->payload) : QByteArray();
}

struct Received {
    QByteArray bytes;       // everything that arrived, in order
    QByteArray frame;       // the collected frame (lead byte through CR)
    bool accepted = false;  // complete and its checksum right
    bool closed = false;    // the other side closed the connection
    int reads = 0;          // how many reads the bytes came in
    qint64 firstByteMs = -1;
    qint64 elapsedMs = 0;
};

// Sends the request on a fresh connection and reads until a frame completes,
// the connection closes or limitMs pass.
inline Received tcpExchange(quint16 port, const QByteArray& request, int limitMs = 2000) {
    Received r;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(limitMs)) return r;
    kt::ReplyCollector collector;
    QElapsedTimer clock;
    clock.start();
    socket.write(request);
    socket.flush();
    while (!collector.complete() && clock.elapsed() < limitMs) {
        if (!socket.bytesAvailable() && !socket.waitForReadyRead(limitMs - clock.elapsed())) {
            r.closed = socket.state() != QAbstractSocket::ConnectedState;
            if (r.closed) break;
            continue;
        }
        const QByteArray chunk = socket.readAll();
        if (r.firstByteMs < 0) r.firstByteMs = clock.elapsed();
        ++r.reads;
        r.bytes += chunk;
        collector.feed(chunk);
    }
    r.elapsedMs = clock.elapsed();
    if (collector.complete()) {
        r.frame = QByteArray(collector.buffer(), collector.length());
        r.accepted = collector.accepted();
    }
    return r;
}

}  // namespace ktsim::test
