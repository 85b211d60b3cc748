// Request building, checksums and the two reply checks, byte for byte.
#include "link/frames.h"
#include "link/visible_text.h"

#include "tests/link/print_helpers.h"

#include <gtest/gtest.h>

using namespace kt;

namespace {

bool Check(FrameStyle style, const QByteArray& frame) {
    return CheckReply(style, frame.constData(), static_cast<int>(frame.size()));
}

}  // namespace

TEST(Frames, WorkedExamples) {
    EXPECT_EQ(BuildXorRequest("0000AV"), Hex("01 30 30 30 30 41 56 31 36 0D"));
    EXPECT_EQ(BuildCrcRequest("0000AV"), Hex("01 30 30 30 30 41 56 02 34 45 35 35 0D"));

    const QByteArray stxReply = Hex("02 41 42 43 34 32 0D");
    const QByteArray etxReply = Hex("03 41 42 43 34 33 0D");
    const QByteArray crcReply = Hex("03 41 42 43 04 44 42 43 30 0D");
    EXPECT_EQ(BuildReply(FrameStyle::StxReply, "ABC"), stxReply);
    EXPECT_EQ(BuildReply(FrameStyle::EtxReply, "ABC"), etxReply);
    EXPECT_EQ(BuildReply(FrameStyle::Crc, "ABC"), crcReply);
    EXPECT_TRUE(Check(FrameStyle::StxReply, stxReply));
    EXPECT_TRUE(Check(FrameStyle::EtxReply, etxReply));
    EXPECT_TRUE(Check(FrameStyle::Crc, crcReply));

    // The lead byte is covered: each XOR reply fails with the other's digits.
    EXPECT_FALSE(Check(FrameStyle::StxReply, Hex("02 41 42 43 34 33 0D")));
    EXPECT_FALSE(Check(FrameStyle::EtxReply, Hex("03 41 42 43 34 32 0D")));
    // An XOR reply has no EOT, so the CRC check refuses it.
    EXPECT_FALSE(Check(FrameStyle::Crc, etxReply));
}

TEST(Frames, EmptyCommandText) {
    EXPECT_EQ(BuildRequest(FrameStyle::StxReply, ""), Hex("01 30 31 0D"));
    EXPECT_EQ(BuildRequest(FrameStyle::EtxReply, ""), Hex("01 30 31 0D"));
    EXPECT_EQ(BuildRequest(FrameStyle::Crc, ""), Hex("01 02 35 31 38 30 0D"));
}

TEST(Frames, Checksums) {
    EXPECT_EQ(Crc16Update("123456789", 9), 0xBB3D);
    const QByteArray crcRequestHead = Hex("01 30 30 30 30 41 56 02");
    EXPECT_EQ(Crc16Update(crcRequestHead.constData(), 8), 0x4E55);
    EXPECT_EQ(Crc16Update("ignored", 0), 0);
    EXPECT_EQ(XorChecksum(crcRequestHead.constData(), 7), 0x16);
    EXPECT_EQ(XorChecksum("ignored", 0), 0);
    // Bytes above 0x7F are unsigned in both sums.
    EXPECT_EQ(XorChecksum("\xFF\x80", 2), 0x7F);
    EXPECT_EQ(Crc16Update("\xFF", 1), 0x4040);

    for (int v = 0; v < 256; ++v) {
        const auto digits = ByteToHex(static_cast<std::uint8_t>(v));
        EXPECT_EQ(QByteArray(digits.data(), 2),
                  QByteArray::number(v, 16).toUpper().rightJustified(2, '0'))
            << "value " << v;
    }
}

TEST(Frames, ChecksumDigitsMustBeUpperCase) {
    // STX "Kb" sums to 0x2B, the CRC reply "ABC" to 0xDBC0.
    EXPECT_TRUE(Check(FrameStyle::StxReply, Hex("02 4B 62 32 42 0D")));
    EXPECT_FALSE(Check(FrameStyle::StxReply, Hex("02 4B 62 32 62 0D")));
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("03 41 42 43 04 64 62 63 30 0D")));
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("03 41 42 43 04 44 62 43 30 0D")));
}

TEST(Frames, CrcReplyCheck) {
    // Anything between the four digits and the CR is not examined.
    EXPECT_TRUE(Check(FrameStyle::Crc, Hex("03 41 42 43 04 44 42 43 30 58 59 5A 0D")));
    EXPECT_TRUE(Check(FrameStyle::Crc, Hex("03 41 42 43 04 44 42 43 30 04 31 32 33 34 0D")));
    // One digit off, and the frame without its EOT.
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("03 41 42 43 04 44 42 43 31 0D")));
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("03 41 42 43 44 42 43 30 0D")));
    // The first EOT ends the covered region, so a payload holding an EOT fails
    // even though the digits behind the second EOT are right.
    EXPECT_FALSE(Check(FrameStyle::Crc, BuildCrcReply(Hex("41 04 42 43"))));
    // EOT too near the end for four digits: refused, nothing read beyond.
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("03 41 04 44 42 43")));
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("03 04 0D")));
    EXPECT_FALSE(Check(FrameStyle::Crc, Hex("04")));
    EXPECT_FALSE(Check(FrameStyle::Crc, QByteArray()));
    // The digits may end at the frame's last byte (the check ignores the CR).
    const QByteArray crcOfEtxEot = BuildCrcReply("").first(6);
    EXPECT_TRUE(Check(FrameStyle::Crc, crcOfEtxEot)) << crcOfEtxEot.toHex(' ').constData();
}

TEST(Frames, XorReplyCheck) {
    // Shortest acceptable reply: lead, two digits, CR (empty payload).
    EXPECT_TRUE(Check(FrameStyle::StxReply, Hex("02 30 32 0D")));
    EXPECT_TRUE(Check(FrameStyle::EtxReply, Hex("03 30 33 0D")));
    // With three bytes the XOR of nothing (00) would match "00": refused.
    EXPECT_FALSE(Check(FrameStyle::StxReply, Hex("30 30 0D")));
    EXPECT_FALSE(Check(FrameStyle::StxReply, Hex("30 30")));
    EXPECT_FALSE(Check(FrameStyle::StxReply, QByteArray()));
    // The digits sit right before the last byte, whatever that byte is.
    EXPECT_FALSE(Check(FrameStyle::StxReply, Hex("02 41 42 43 34 32 0D 0D")));
}

TEST(Frames, RequestLengthLimits) {
    const QByteArray longest(kMaxXorCommandText, 'A');
    ASSERT_EQ(kMaxCrcCommandText, 1493);
    ASSERT_EQ(kMaxXorCommandText, 1496);

    const auto crc = BuildCrcRequest(QByteArrayView(longest).first(1493));
    ASSERT_TRUE(crc);
    EXPECT_EQ(crc->size(), 1500);
    EXPECT_EQ(crc->at(crc->size() - 6), STX);
    EXPECT_FALSE(BuildCrcRequest(QByteArray(1494, 'A')));

    const auto xorRequest = BuildXorRequest(longest);
    ASSERT_TRUE(xorRequest);
    EXPECT_EQ(xorRequest->size(), 1500);
    EXPECT_EQ(xorRequest->back(), CR);
    EXPECT_FALSE(BuildXorRequest(QByteArray(1497, 'A')));
    EXPECT_FALSE(BuildRequest(FrameStyle::EtxReply, QByteArray(1497, 'A')));
    EXPECT_FALSE(BuildRequest(FrameStyle::Crc, QByteArray(1494, 'A')));
}

TEST(VisibleText, ControlAndHighBytesStayVisible) {
    EXPECT_EQ(VisibleText(Hex("01 30 41 56 02 34 45 35 35 0D")),
              QString::fromUtf16(u"\u24010AV\u24024E55\u240D"));
    EXPECT_EQ(VisibleText(Hex("03 04 00 20 7E 7F 80 FF")),
              QString::fromUtf16(u"\u2403\u2404\u2400 ~\u2421\\x80\\xFF"));
    EXPECT_EQ(VisibleText(" !Az{}~"), QStringLiteral(" !Az{}~"));
    EXPECT_EQ(VisibleText(""), QString());
}
