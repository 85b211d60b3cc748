// Splits the byte stream from the tool into request frames, SOH to CR.
// Bytes outside a frame are dropped; an SOH always starts a new frame,
// as the controller firmware does when the tool restarts a transaction.
#pragma once

#include "sim/transport/request.h"

#include <QByteArrayView>
#include <QList>

namespace ktsim {

class RequestParser {
public:
    // Feeds bytes in any split; returns the frames they completed, in order.
    QList<Request> feed(QByteArrayView bytes);
    void reset();

    // Classifies one complete frame (SOH through CR) and checks its checksum.
    static Request classify(QByteArray frame);

private:
    QByteArray frame_;
    bool inFrame_ = false;
};

}  // namespace ktsim
