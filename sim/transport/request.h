// One request frame as the controller received it: its command text, the
// checksum style it came in and whether that checksum was right.
#pragma once

#include <QByteArray>

namespace ktsim {

// The tool sends CRC requests for every controller command; the firmware
// loader dialogue of some families uses XOR requests.
enum class RequestStyle { Crc, Xor };

struct Request {
    QByteArray text;  // between SOH and the checksum, nothing else
    RequestStyle style = RequestStyle::Crc;
    bool checksumOk = false;
    QByteArray frame;  // SOH through CR, as received
};

const char* styleName(RequestStyle style);

}  // namespace ktsim
