// One conversation with the tool on one connection: requests parsed from
// the incoming bytes, replies written in order.
#pragma once

#include "sim/transport/reply_writer.h"
#include "sim/transport/request_parser.h"

#include <QByteArrayView>
#include <QObject>

namespace ktsim {

class Simulator;

class Session : public QObject {
    Q_OBJECT
public:
    Session(Simulator& simulator, ByteSink sink, QObject* parent = nullptr);

    void receive(QByteArrayView bytes);
    // Forgets a partial request and every reply not yet written.
    void reset();
    // A reply is being written or waits its turn.
    bool busy() const { return writer_.busy(); }

private:
    Simulator& simulator_;
    RequestParser parser_;
    ReplyWriter writer_;
    quint64 generation_ = 0;
};

}  // namespace ktsim
