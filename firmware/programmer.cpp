#include "firmware/programmer.h"

#include "controller/continuous_test.h"
#include "controller/reply_fields.h"
#include "firmware/firmware_family.h"

#include <optional>

namespace kt {
namespace {

using detail::letPendingEventsRun;
using detail::pause;

constexpr int kAttempts = 5;            // per block write and per read-back
constexpr int kHandshakeAttempts = 10;  // dialogues B and C

// Milliseconds. Where the dialogues differ, the value is set by dialogueOf().
struct Pauses {
    int beforeStart = 100;
    int betweenStarts = 20;
    int beforeHandshake = 50;
    int beforeErase = 50;  // C's single "E"
    int afterProgrammingShown = 50;
    int beforeBlockErase = 4;    // B's "E" before an even block
    int beforeEraseRepeat = 50;  // and before its one repeat
    int beforeWrite = 4;
    int afterFailedWrite = 50;
    int afterVerifyingShown = 50;
    int beforeReadBack = 4;
    int afterFailedReadBack = 50;
    int beforeUpgrade = 100;
    int afterUpgrade = 2000;  // the loader starts the new firmware meanwhile
};

enum class Kind { A, B, C };

struct Dialogue {
    Kind kind = Kind::A;
    // The transaction after the start (the start always goes by SendCommand).
    FrameStyle style = FrameStyle::Crc;
    bool addressEveryCommand = true;  // C puts it in front of the start only
    QByteArray start;                 // behind the address
    int handshakeLength = 0;          // reply length the handshake wants; 0: none
    QByteArray write, readBack, upgrade;
    bool upperCaseAddress = false;  // A writes "%04X", B and C "%04x"
    int dataPosition = 0;           // of the read-back data in ReplyText, from 1
    Pauses pauses;
};

std::optional<Dialogue> dialogueOf(Family family) {
    Dialogue d;
    switch (family) {
        case Family::V5:
        case Family::KT740:
            d.kind = Kind::A;
            d.style = FrameStyle::Crc;
            d.start = "Zx5E9C";
            d.write = "Zp";
            d.readBack = "Zv";
            d.upgrade = "ZrC72D";
            d.upperCaseAddress = true;
            d.dataPosition = 8;
            d.pauses.afterUpgrade = 7000;
            if (family == Family::V5) {
                // Family 3 (the KT320) is given more time per block.
                d.pauses.beforeWrite = 20;
                d.pauses.beforeReadBack = 50;
                d.pauses.afterFailedReadBack = 150;
            }
            return d;
        case Family::V3:
        case Family::V4:
        case Family::V2:
            d.kind = Kind::B;
            d.style = FrameStyle::EtxReply;
            d.start = "ZxE7";
            d.handshakeLength = 17;
            d.write = "P";
            d.readBack = "R";
            d.upgrade = "X";
            d.dataPosition = 7;
            return d;
        case Family::ThreeDigit:
            d.kind = Kind::C;
            d.style = FrameStyle::StxReply;
            d.addressEveryCommand = false;
            d.start = "Zx";
            d.handshakeLength = 13;
            d.write = "P";
            d.readBack = "R";
            d.upgrade = "X";
            d.dataPosition = 3;
            d.pauses.afterProgrammingShown = 200;
            return d;
        default:
            return std::nullopt;
    }
}

// Whether the image was cut for this family: the loader would otherwise be
// asked for addresses and lengths it does not have.
bool cutFor(const FirmwareImage& image, Family family) {
    const auto layout = FirmwareLayoutOf(family);
    if (!layout || image.blockSize != layout->blockSize || image.blockCount() > layout->maxBlocks)
        return false;
    for (const QByteArray& block : image.blocks) {
        if (block.size() != image.blockSize) return false;
    }
    return true;
}

class Run {
public:
    Run(Link& link, const QByteArray& address, const Dialogue& dialogue, const FirmwareImage& image,
        const FirmwareObserver& observer)
        : link_(link),
          address_(address),
          prefix_(dialogue.addressEveryCommand ? address : QByteArray()),
          d_(dialogue),
          p_(dialogue.pauses),
          image_(image),
          observer_(observer) {}

    bool start() {
        pause(p_.beforeStart);
        if (d_.kind == Kind::A)
            return judged(link_.SendCommand(address_ + d_.start), "the start command");
        // The first may still reach the running firmware: neither reply is
        // judged, the handshake tells whether the loader is there. A lost
        // port is judged all the same, here and at every later step.
        link_.SendCommand(address_ + d_.start);
        if (lost()) return false;
        pause(p_.betweenStarts);
        link_.SendCommand(address_ + d_.start);
        if (lost()) return false;
        const bool loaderAnswered = handshake();
        if (lost()) return false;
        if (d_.kind == Kind::B) {
            if (!loaderAnswered)
                cause_ = QStringLiteral("the loader did not answer the handshake in %1 attempts")
                             .arg(kHandshakeAttempts);
            return loaderAnswered;
        }
        // C's loader may not know the handshake; its "E" decides.
        letPendingEventsRun();
        pause(p_.beforeErase);
        return judged(send("E"), "the erase command");
    }

    bool writePhase() {
        show("Programming ...");
        pause(p_.afterProgrammingShown);
        begin(FirmwareBar::Program);
        for (int k = 0; k < image_.blockCount(); ++k) {
            if (d_.kind == Kind::B && k % 2 == 0 && !erase(k)) return false;
            const QByteArray text = prefix_ + d_.write + blockAddress(k) + hexOf(k);
            pause(p_.beforeWrite);
            if (!attempt(text, p_.afterFailedWrite, "the write of block", k)) return false;
            progress(FirmwareBar::Program, k);
        }
        progress(FirmwareBar::Program, image_.blockCount());
        return true;
    }

    bool readBackPhase() {
        show("Verifying ...");
        pause(p_.afterVerifyingShown);
        begin(FirmwareBar::Verify);
        for (int k = 0; k < image_.blockCount(); ++k) {
            const QByteArray text = prefix_ + d_.readBack + blockAddress(k);
            const QByteArray expected = hexOf(k);
            pause(p_.beforeReadBack);
            if (!attempt(text, p_.afterFailedReadBack, "the read-back of block", k)) return false;
            // Case counts, and a reply too short for the data cannot match.
            const QByteArray data = link_.ReplyText().mid(d_.dataPosition - 1, expected.size());
            if (data != expected) {
                cause_ =
                    data.size() < expected.size()
                        ? QStringLiteral("block %1 read back short: %2 of %3 data characters")
                              .arg(k)
                              .arg(data.size())
                              .arg(expected.size())
                        : QStringLiteral("block %1 read back differs from what was written").arg(k);
                return false;
            }
            progress(FirmwareBar::Verify, k);
        }
        progress(FirmwareBar::Verify, image_.blockCount());
        return true;
    }

    // Whether the loader acknowledges or not, the firmware was written and
    // verified: the run has succeeded either way, unless the port was lost,
    // when nobody can tell whether the command arrived.
    bool upgrade() {
        show("Upgrading ...");
        pause(p_.beforeUpgrade);
        const bool acknowledged = send(prefix_ + d_.upgrade);
        if (lost()) return false;
        if (acknowledged) pause(p_.afterUpgrade);
        return true;
    }

    // Why the run failed, for a person; empty while it has not.
    const QString& cause() const { return cause_; }

private:
    bool send(const QByteArray& text) { return link_.transact(d_.style, text); }

    bool handshake() {
        for (int n = 0; n < kHandshakeAttempts; ++n) {
            pause(p_.beforeHandshake);
            if (send(prefix_ + "A") && link_.ReplyLength() == d_.handshakeLength) return true;
            if (lost()) return false;
            if (observer_.handshakeFailed) observer_.handshakeFailed(kHandshakeAttempts - n);
        }
        return false;
    }

    // B erases two blocks at a time, ahead of the even one.
    bool erase(int k) {
        const QByteArray text = prefix_ + "E" + blockAddress(k);
        pause(p_.beforeBlockErase);
        if (send(text)) return true;
        if (lost()) return false;
        pause(p_.beforeEraseRepeat);
        return judged(send(text), QStringLiteral("the erase before block %1").arg(k));
    }

    bool attempt(const QByteArray& text, int pauseAfterFailure, const char* what, int k) {
        for (int i = 0; i < kAttempts; ++i) {
            letPendingEventsRun();
            if (send(text)) return true;
            if (lost()) return false;
            pause(pauseAfterFailure);
        }
        cause_ = QStringLiteral("%1 %2 was not acknowledged in %3 attempts (%4)")
                     .arg(QLatin1String(what))
                     .arg(k)
                     .arg(kAttempts)
                     .arg(link_.lastError().text);
        return false;
    }

    // The port went away: the run fails whatever the step, with the link's
    // own words for the cause.
    bool lost() {
        if (!link_.portLost()) return false;
        cause_ = link_.lastError().text.isEmpty() ? QStringLiteral("the port was lost")
                                                  : link_.lastError().text;
        return true;
    }

    // A step that must be acknowledged.
    bool judged(bool acknowledged, const QString& what) {
        if (lost()) return false;
        if (!acknowledged)
            cause_ =
                QStringLiteral("%1 was not acknowledged (%2)").arg(what, link_.lastError().text);
        return acknowledged;
    }

    // Block k's controller address as four hex digits, in the case the
    // dialogue's loader reads.
    QByteArray blockAddress(int k) const {
        QByteArray digits = QByteArray::number(k * image_.blockSize, 16).rightJustified(4, '0');
        return d_.upperCaseAddress ? digits.toUpper() : digits;
    }

    // The block's bytes as upper-case hex digits in every dialogue.
    QByteArray hexOf(int k) const { return image_.blocks[k].toHex().toUpper(); }

    void show(const char* english) {
        if (observer_.status) observer_.status(english);
    }
    void begin(FirmwareBar bar) {
        if (observer_.phaseStarted) observer_.phaseStarted(bar, image_.blockCount());
    }
    void progress(FirmwareBar bar, int position) {
        if (observer_.progress) observer_.progress(bar, position);
    }

    Link& link_;
    const QByteArray address_;
    const QByteArray prefix_;  // in front of the commands after the start
    const Dialogue& d_;
    const Pauses& p_;
    const FirmwareImage& image_;
    const FirmwareObserver& observer_;
    QString cause_;
};

}  // namespace

FirmwareResult ProgramFirmware(Link& link, const QByteArray& address, Family family,
                               const FirmwareImage& image, const FirmwareObserver& observer) {
    // Without a known dialogue nothing may go out: a guessed one could leave
    // the controller in a loader that nothing here knows how to finish.
    const auto dialogue = dialogueOf(family);
    if (!dialogue)
        return {{false}, QStringLiteral("family %1 has no firmware loader").arg(CodeOf(family))};
    if (!cutFor(image, family))
        return {{false}, QStringLiteral("the image was not cut for family %1").arg(CodeOf(family))};
    // Nothing to write: the loader would erase the controller and start
    // into nothing.
    if (image.blockCount() == 0) return {{false}, QStringLiteral("the file holds no firmware")};
    Run run(link, address, *dialogue, image, observer);
    const bool ok = run.start() && run.writePhase() && run.readBackPhase() && run.upgrade();
    return {{ok}, ok ? QString() : run.cause()};
}

}  // namespace kt
