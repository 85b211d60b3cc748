#include "sim/transport/session.h"

#include "sim/program/simulator.h"

namespace ktsim {

Session::Session(Simulator& simulator, ByteSink sink, QObject* parent)
    : QObject(parent), simulator_(simulator), writer_(std::move(sink)) {}

void Session::receive(QByteArrayView bytes) {
    const quint64 generation = generation_;
    for (const Request& request : parser_.feed(bytes)) {
        // A streaming peer stops streaming when it is spoken to.
        writer_.endStream();
        auto plan = simulator_.respond(request);
        if (plan) writer_.enqueue(std::move(*plan));
        // A dropped connection takes the rest of the batch with it.
        if (generation_ != generation) return;
    }
}

void Session::reset() {
    ++generation_;
    parser_.reset();
    writer_.reset();
}

}  // namespace ktsim
