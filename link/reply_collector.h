// The byte-by-byte reply collector: a small state machine fed with every byte
// the channel delivers. A lead byte always restarts the frame, the position
// wraps at the buffer's end, and a CR completes the frame only when the
// buffer starts with the lead byte. Pure: no I/O, no clock.
#pragma once

#include "link/frames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>

namespace kt {

class ReplyCollector {
public:
    explicit ReplyCollector(FrameStyle style = FrameStyle::Crc) { reset(style); }

    // Zeroes the buffer and the length for a new transaction.
    void reset(FrameStyle style);

    // Feeds one byte; true when it completed the frame. Bytes fed after
    // completion are ignored (they came behind the frame's CR).
    bool feed(char c);
    // Feeds bytes in order until a frame completes; returns how many were used.
    qsizetype feed(QByteArrayView bytes);

    bool complete() const { return complete_; }
    // The check's verdict on a completed frame; false while collecting.
    bool accepted() const { return accepted_; }

    FrameStyle style() const { return style_; }
    // The buffer: the frame, and after completion one zero byte behind it.
    const char* buffer() const { return buffer_.data(); }
    // Bytes collected for the current frame (lead byte through CR when complete).
    int length() const { return length_; }
    // The completed frame up to its first zero byte; empty while collecting.
    QByteArray text() const;

private:
    std::array<char, kFrameBufferSize> buffer_{};
    int length_ = 0;
    FrameStyle style_ = FrameStyle::Crc;
    char lead_ = ETX;
    bool complete_ = false;
    bool accepted_ = false;
};

}  // namespace kt
