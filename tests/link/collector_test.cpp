// The byte-by-byte reply collector: where a frame starts and ends, what is
// kept of it, and frames too long for the buffer.
#include "link/reply_collector.h"

#include "tests/link/print_helpers.h"

#include <gtest/gtest.h>

using namespace kt;

namespace {

const QByteArray kCrcAbc = Hex("03 41 42 43 04 44 42 43 30 0D");
const QByteArray kStxAbc = Hex("02 41 42 43 34 32 0D");
const QByteArray kEtxAbc = Hex("03 41 42 43 34 33 0D");

QByteArray Collected(const ReplyCollector& c) {
    return QByteArray(c.buffer(), c.length());
}

}  // namespace

TEST(ReplyCollector, NoiseBeforeTheLeadByteIsDiscarded) {
    ReplyCollector c(FrameStyle::Crc);
    // A CR before any lead byte completes nothing.
    EXPECT_EQ(c.feed(Hex("0D 58 0D 04 02 0D")), 6);
    EXPECT_FALSE(c.complete());
    EXPECT_EQ(c.length(), 6);
    EXPECT_TRUE(c.text().isEmpty());

    EXPECT_EQ(c.feed(kCrcAbc), kCrcAbc.size());
    EXPECT_TRUE(c.complete());
    EXPECT_TRUE(c.accepted());
    EXPECT_EQ(c.length(), kCrcAbc.size());
    EXPECT_EQ(c.text(), kCrcAbc);
}

TEST(ReplyCollector, LeadByteRestartsTheFrame) {
    // A longer partial frame first: its stale tail must not show in the text.
    ReplyCollector c(FrameStyle::Crc);
    const QByteArray chunk = Hex("03 30 30 30 31 41 43 58 58 58 58 58 58 58") + kCrcAbc;
    EXPECT_EQ(c.feed(chunk), chunk.size());
    EXPECT_TRUE(c.accepted());
    EXPECT_EQ(c.text(), kCrcAbc);
    EXPECT_EQ(Collected(c), kCrcAbc);
    EXPECT_EQ(c.buffer()[c.length()], 0);

    ReplyCollector stx(FrameStyle::StxReply);
    EXPECT_EQ(stx.feed(Hex("02 41 02") + kStxAbc), kStxAbc.size() + 3);
    EXPECT_TRUE(stx.accepted());
    EXPECT_EQ(stx.text(), kStxAbc);
}

TEST(ReplyCollector, FirstFrameOfAChunkIsTakenAndTheRestIgnored) {
    ReplyCollector c(FrameStyle::EtxReply);
    const QByteArray second = BuildXorReply(ETX, "XYZ");
    EXPECT_EQ(c.feed(kEtxAbc + second), kEtxAbc.size());
    EXPECT_TRUE(c.accepted());
    EXPECT_EQ(c.text(), kEtxAbc);

    // Bytes behind the completed frame change nothing.
    EXPECT_FALSE(c.feed(ETX));
    EXPECT_EQ(c.feed(second), second.size());
    EXPECT_EQ(c.length(), kEtxAbc.size());
    EXPECT_EQ(c.text(), kEtxAbc);

    c.reset(FrameStyle::StxReply);
    EXPECT_FALSE(c.complete());
    EXPECT_FALSE(c.accepted());
    EXPECT_EQ(c.length(), 0);
    EXPECT_EQ(c.style(), FrameStyle::StxReply);
    EXPECT_TRUE(c.text().isEmpty());
    EXPECT_EQ(QByteArray(c.buffer(), kFrameBufferSize), QByteArray(kFrameBufferSize, '\0'));
    EXPECT_EQ(c.feed(kStxAbc), kStxAbc.size());
    EXPECT_TRUE(c.accepted());
}

TEST(ReplyCollector, LeadByteFollowsTheStyle) {
    // A reply behind the wrong lead byte never completes: its CR finds no
    // lead byte at the buffer's start.
    for (auto [style, reply] : {std::pair{FrameStyle::Crc, kStxAbc},
                                {FrameStyle::EtxReply, kStxAbc},
                                {FrameStyle::StxReply, kEtxAbc},
                                {FrameStyle::StxReply, kCrcAbc}}) {
        ReplyCollector c(style);
        EXPECT_EQ(c.feed(reply), reply.size());
        EXPECT_FALSE(c.complete()) << reply.toHex(' ').constData();
    }
    // The other lead byte inside a payload is plain data.
    ReplyCollector etx(FrameStyle::EtxReply);
    const QByteArray withStx = BuildXorReply(ETX, Hex("41 02 42"));
    EXPECT_EQ(etx.feed(withStx), withStx.size());
    EXPECT_TRUE(etx.accepted());

    // The CRC style shares ETX with the ETX reply but checks for the CRC.
    ReplyCollector crc(FrameStyle::Crc);
    crc.feed(kEtxAbc);
    EXPECT_TRUE(crc.complete());
    EXPECT_FALSE(crc.accepted());
    EXPECT_EQ(crc.text(), kEtxAbc);
}

TEST(ReplyCollector, FramesOfTheBufferSizeOrLongerAreNeverAccepted) {
    for (FrameStyle style : {FrameStyle::Crc, FrameStyle::StxReply, FrameStyle::EtxReply}) {
        const int overhead = style == FrameStyle::Crc ? 7 : 4;
        const auto reply = [&](int size) {
            return BuildReply(style, QByteArray(size - overhead, 'A'));
        };
        ReplyCollector c(style);

        c.feed(reply(1499));
        EXPECT_TRUE(c.accepted());
        EXPECT_EQ(c.length(), 1499);
        EXPECT_EQ(c.text().size(), 1499);

        // At 1500 bytes the position has wrapped to the start when the CR
        // arrives, and the zero behind the frame lands on the lead byte.
        c.reset(style);
        EXPECT_EQ(c.feed(reply(1500)), 1500);
        EXPECT_FALSE(c.accepted());
        EXPECT_EQ(c.length(), 0);
        EXPECT_TRUE(c.text().isEmpty());

        for (int size : {1501, 1502, 2999, 3000, 3001, 4500}) {
            c.reset(style);
            const QByteArray frame = reply(size);
            EXPECT_EQ(c.feed(frame), frame.size());
            EXPECT_FALSE(c.complete()) << size;
            EXPECT_EQ(c.length(), size % kFrameBufferSize) << size;
            // A later frame is collected normally.
            c.feed(reply(20));
            EXPECT_TRUE(c.accepted()) << size;
            EXPECT_EQ(c.length(), 20);
        }
    }
}

TEST(ReplyCollector, ZeroByteInThePayloadEndsTheText) {
    const QByteArray reply = BuildCrcReply(Hex("31 32 00 33 34"));
    ReplyCollector c(FrameStyle::Crc);
    EXPECT_EQ(c.feed(reply), reply.size());
    EXPECT_TRUE(c.accepted());
    EXPECT_EQ(c.length(), 12);
    EXPECT_EQ(Collected(c), reply);
    EXPECT_EQ(c.text(), Hex("03 31 32"));
}
