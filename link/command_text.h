// What a command text may carry. The frame around it is built of control
// bytes (SOH, STX, CR), so a text holding any of them would end its own frame
// early and smuggle a second request past it: such texts are refused before
// anything is written. Typed texts become bytes one character per byte.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kt {

// The byte every character outside Latin-1 becomes: SUB, itself a control
// byte, so the link refuses the text instead of sending '?' in its place.
inline constexpr char kNotLatin1 = 0x1A;

// A typed text as the bytes of a command: Latin-1, one byte per character.
QByteArray CommandTextBytes(const QString& typed);

// Index of the first byte a command text must not carry (below 0x20, or
// DEL); -1 when there is none.
qsizetype ForbiddenByteAt(QByteArrayView text);

// Why the typed text cannot be sent, in one line for a person; empty when it
// can. Names the character and its position (counted from 1).
QString TypedCommandTextProblem(const QString& typed);

}  // namespace kt
