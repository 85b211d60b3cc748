#include "sim/transport/request_parser.h"

#include "link/frames.h"

#include <cstdint>

namespace ktsim {
namespace {

bool matchesHex(const char* at, std::uint8_t value) {
    const auto digits = kt::ByteToHex(value);
    return at[0] == digits[0] && at[1] == digits[1];
}

}  // namespace

const char* styleName(RequestStyle style) {
    return style == RequestStyle::Crc ? "CRC" : "XOR";
}

QList<Request> RequestParser::feed(QByteArrayView bytes) {
    QList<Request> complete;
    for (const char c : bytes) {
        if (c == kt::SOH) {
            frame_.clear();
            inFrame_ = true;
        }
        if (!inFrame_) continue;
        frame_.append(c);
        if (c == kt::CR) {
            complete.append(classify(frame_));
            frame_.clear();
            inFrame_ = false;
        } else if (frame_.size() >= kt::kFrameBufferSize) {
            // Longer than any request the tool can build: wait for the next SOH.
            frame_.clear();
            inFrame_ = false;
        }
    }
    return complete;
}

void RequestParser::reset() {
    frame_.clear();
    inFrame_ = false;
}

Request RequestParser::classify(QByteArray frame) {
    Request request;
    const auto length = frame.size();
    const char* data = frame.constData();
    // Command texts are ASCII, so an STX six bytes from the end can only be
    // the separator in front of the four CRC digits.
    if (length >= 7 && data[length - 6] == kt::STX) {
        request.style = RequestStyle::Crc;
        request.text = frame.mid(1, length - 7);
        const std::uint16_t crc = kt::Crc16Update(data, static_cast<int>(length - 5));
        request.checksumOk = matchesHex(data + length - 5, static_cast<std::uint8_t>(crc >> 8)) &&
                             matchesHex(data + length - 3, static_cast<std::uint8_t>(crc & 0xFF));
    } else {
        request.style = RequestStyle::Xor;
        if (length >= 4) {
            request.text = frame.mid(1, length - 4);
            request.checksumOk =
                matchesHex(data + length - 3, kt::XorChecksum(data, static_cast<int>(length - 3)));
        } else {
            request.text = frame.mid(1, length - 2);  // too short to hold a checksum
        }
    }
    request.frame = std::move(frame);
    return request;
}

}  // namespace ktsim
