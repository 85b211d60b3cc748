#include "link/reply_collector.h"

#include <cstring>

namespace kt {

void ReplyCollector::reset(FrameStyle style) {
    buffer_.fill(0);
    length_ = 0;
    style_ = style;
    lead_ = ReplyLead(style);
    complete_ = false;
    accepted_ = false;
}

bool ReplyCollector::feed(char c) {
    if (complete_) return false;
    if (c == lead_) length_ = 0;
    buffer_[static_cast<size_t>(length_)] = c;
    if (++length_ == kFrameBufferSize)
        length_ = 0;  // an overlong frame wraps to the start and is never accepted
    if (c != CR || buffer_[0] != lead_) return false;
    buffer_[static_cast<size_t>(length_)] = 0;
    complete_ = true;
    accepted_ = CheckReply(style_, buffer_.data(), length_);
    return true;
}

qsizetype ReplyCollector::feed(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (feed(bytes[i])) return i + 1;
    }
    return bytes.size();
}

QByteArray ReplyCollector::text() const {
    if (!complete_) return {};
    return QByteArray(buffer_.data(),
                      static_cast<qsizetype>(strnlen(buffer_.data(), buffer_.size())));
}

}  // namespace kt
