// Faults the substitute controller can put into its replies, switched per
// command. Written LETTERS:KIND[=VALUE][#N][@N], for example "DB:silent",
// "AC,AS:badcrc@1", "*:trickle=250@2", "DG:close#5" or "*:stream=1920".
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace ktsim {

enum class FaultKind {
    Silent,       // no reply at all
    BadCrc,       // one checksum digit wrong
    Lowercase,    // checksum digits in lower case
    Noise,        // garbage and a stray CR before the frame
    DoubleLead,   // a lead byte and junk, then the real frame at a second lead byte
    TwoFrames,    // the frame, then a decoy frame of the same length, in one write
    Trickle,      // every byte ms apart
    Gap,          // one pause of ms in the middle of the frame
    Delay,        // whole reply held back ms
    WrongLength,  // one payload character more
    Huge,         // a frame of 1500 bytes or more with a valid checksum
    ZeroByte,     // a zero byte inside the payload, valid checksum
    Drop,         // half the frame, then the connection (or the pty) closes
    Length,       // the payload padded or cut so that the frame has that many bytes
    Escape,       // the payload's last four characters become ESC [2J, valid checksum
    Close,        // no reply: the connection (or the pty) closes at once
    Stream,       // instead of the reply, bytes that never make a frame, at a rate
};

struct Fault {
    // Command letters ("DB"), or a whole command text ("0000ZrC72D"); "*"
    // matches every command.
    QList<QByteArray> letters;
    FaultKind kind = FaultKind::Silent;
    int ms = 0;          // Trickle, Gap, Delay
    int length = 0;      // Length: bytes in the whole frame, lead byte to CR
    int rate = 0;        // Stream: bytes a second
    int skip = 0;        // matching requests passed over before the first one hit
    int remaining = -1;  // requests left to affect; -1 for all of them

    bool matches(const QByteArray& commandLetters, const QByteArray& text = {}) const;
    QString toString() const;

    // nullopt and a one-line reason in *error when the text is not a fault.
    static std::optional<Fault> parse(QStringView faultText, QString* error = nullptr);
};

const char* faultKindName(FaultKind kind);

// The faults switched on, each used up after its count of matching replies.
class FaultSet {
public:
    void add(const Fault& fault) { faults_.append(fault); }
    void clear() { faults_.clear(); }
    const QList<Fault>& faults() const { return faults_; }

    // The faults that apply to one reply to the command (its letters and
    // its whole text), counting each of them down; faults whose count ran
    // out are removed.
    QList<Fault> take(const QByteArray& commandLetters, const QByteArray& text = {});

private:
    QList<Fault> faults_;
};

}  // namespace ktsim
