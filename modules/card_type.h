// A V7 reader's card-type settings: three 16-bit words as the module keeps
// them (flags, same-card delay, mode), and the V7 page's controls they are
// built from and shown in. Pure code, no link.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <optional>

namespace kt {

// Flags word: one bit per card-type box. 0x08 has no box; it is never
// written and ignored when read.
inline constexpr quint16 kFlagUidA = 0x01;   // chkCardTypeA "UID(A)"
inline constexpr quint16 kFlagBlock = 0x02;  // chkCardTypeABlock "Block"
inline constexpr quint16 kFlag7Byte = 0x04;  // chkCardType7Byte "7 Byte"
inline constexpr quint16 kFlag15693 = 0x10;  // chkCardType15693 "ISO15693"
inline constexpr quint16 kFlagUidB = 0x20;   // chkCardTypeB "UID(B)"
inline constexpr quint16 kFlagGuidB = 0x40;  // chkCardTypeBG "GUID(B)"
// Mode word.
inline constexpr quint16 kModeGreen = 0x01;  // chkGreenMode "Green Mode"
inline constexpr quint16 kModeReset = 0x02;  // chkResetMode "Reset"

struct CardTypeWords {
    quint16 flags = 0;
    quint16 delay = 0;  // same-card delay in 100 ms
    quint16 mode = 0;
    bool operator==(const CardTypeWords&) const = default;
};

// The six card-type boxes; the defaults are the page's initial ticks.
struct CardTypeBoxes {
    bool uidA = true;        // chkCardTypeA
    bool block = false;      // chkCardTypeABlock
    bool sevenByte = false;  // chkCardType7Byte
    bool iso15693 = false;   // chkCardType15693
    bool uidB = false;       // chkCardTypeB
    bool guidB = true;       // chkCardTypeBG
    bool operator==(const CardTypeBoxes&) const = default;
};

// What the "Set Card Type by ID" group holds when Set Card Type is pressed;
// the defaults are its initial state.
struct CardTypeSettings {
    QByteArray sameCardText = "10";  // edSameCard as typed
    CardTypeBoxes boxes;
    bool greenMode = true;  // chkGreenMode
    bool resetMode = true;  // chkResetMode
};

// What a card-type reply puts into the group. There is no Reset here: no
// reply changes chkResetMode.
struct CardTypeShown {
    QByteArray sameCardText;  // the delay word in decimal, without leading zeros
    CardTypeBoxes boxes;
    bool greenMode = false;
    bool operator==(const CardTypeShown&) const = default;
};

// Sent, whatever the boxes say, when edSameCard holds no decimal integer.
inline constexpr CardTypeWords kFallbackWords{0x0000, 0x000A, 0x0001};

// The words of a card-type write. edSameCard must hold a decimal integer
// (an optional sign and digits, nothing else), else the fallback words go
// out. A delay outside 0 to 65535 (from the window: "-1" to "-99") gives
// nullopt and nothing is written: its low 16 bits would set a reader to
// wait up to 109 minutes between two reads of the same card.
std::optional<CardTypeWords> EncodeCardType(const CardTypeSettings& settings);

// "%04X%04X%04X0000": the 16 characters behind the module ID.
QByteArray CardTypeData(const CardTypeWords& words);

// Three words of four hexadecimal digits each, one after the other (the
// reply's positions 26 to 37); nullopt when any of them is not one, so that
// none of the controls changes.
std::optional<CardTypeWords> ParseCardTypeWords(QByteArrayView text);

CardTypeShown DecodeCardType(const CardTypeWords& words);

}  // namespace kt
