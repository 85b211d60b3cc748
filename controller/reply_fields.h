// Small helpers the operations share for judging a reply and cutting its
// fields. Positions count from 1 at the reply's lead byte.
#pragma once

#include "link/link.h"
#include "link/pause.h"

#include <QByteArray>
#include <initializer_list>

namespace kt::detail {

// The fixed pause before an operation's first command and between the
// steps of most dialogues.
inline constexpr int kCommandPauseMs = 100;

// The window's events run meanwhile; what goes on the wire and when does not
// change.
inline void pause(int ms) {
    Pause(ms);
}

// Sends the text; true when the reply passed its check and has one of the
// lengths the command may answer with.
inline bool accepted(Link& link, QByteArrayView text, std::initializer_list<int> lengths) {
    if (!link.SendCommand(text)) return false;
    for (int length : lengths) {
        if (link.ReplyLength() == length) return true;
    }
    return false;
}

// Positions from..to of the last reply, both included.
inline QByteArray positions(const Link& link, int from, int to) {
    return link.ReplyText().mid(from - 1, to - from + 1);
}

// count characters from position p of the last reply.
inline QByteArray field(const Link& link, int p, int count) {
    return link.ReplyText().mid(p - 1, count);
}

}  // namespace kt::detail
