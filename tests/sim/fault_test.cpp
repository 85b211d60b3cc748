#include "sim/faults/fault.h"
#include "sim/faults/reply_plan.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

namespace ktsim {
namespace {

Fault fault(const char* faultText) {
    QString error;
    const auto parsed = Fault::parse(QString::fromLatin1(faultText), &error);
    EXPECT_TRUE(parsed) << faultText << ": " << error.toStdString();
    return parsed.value_or(Fault{});
}

// What the tool's collector makes of the bytes: the frame it takes, whether
// its check passes, and its text up to the first zero byte.
struct Collected {
    bool complete = false;
    bool accepted = false;
    int length = 0;
    QByteArray text;
};

Collected collect(const QByteArray& bytes, kt::FrameStyle style = kt::FrameStyle::Crc) {
    kt::ReplyCollector collector(style);
    collector.feed(bytes);
    return {collector.complete(), collector.accepted(), collector.length(), collector.text()};
}

const Answer kDb{"DB", kt::FrameStyle::Crc, "0001DBKT350B01V7230415"};

QByteArray shaped(const char* faultText, const Answer& answer = kDb) {
    const auto plan = shapeReply(answer, {fault(faultText)});
    return plan ? plan->bytes : QByteArray();
}

TEST(FaultText, ParsesLettersKindTimeAndCount) {
    const Fault trickle = fault("*:trickle=250@2");
    EXPECT_EQ(trickle.kind, FaultKind::Trickle);
    EXPECT_EQ(trickle.ms, 250);
    EXPECT_EQ(trickle.remaining, 2);
    EXPECT_TRUE(trickle.matches("DB"));

    const Fault two = fault("AC,AS:badcrc");
    EXPECT_EQ(two.remaining, -1);
    EXPECT_TRUE(two.matches("AC"));
    EXPECT_TRUE(two.matches("AS"));
    EXPECT_FALSE(two.matches("DB"));

    for (const char* bad : {"", "DB", ":silent", "DB:", "DB:loud", "DB:trickle", "DB:trickle=0",
                            "DB:trickle=x", "DB:silent=5", "DB:silent@0", "DB:silent@", ",DB:drop",
                            "DB:length", "DB:length=3", "DB:length=4001"}) {
        QString error;
        EXPECT_FALSE(Fault::parse(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(FaultText, CountsDownOnlyMatchingReplies) {
    FaultSet set;
    set.add(fault("DB:silent@2"));
    set.add(fault("*:delay=5"));
    EXPECT_EQ(set.take("AC").size(), 1);
    EXPECT_EQ(set.take("DB").size(), 2);
    EXPECT_EQ(set.take("DB").size(), 2);
    EXPECT_EQ(set.take("DB").size(), 1);
    EXPECT_EQ(set.faults().size(), 1);
}

TEST(FaultShapes, ChecksumFaultsAreRejectedByTheTool) {
    const QByteArray clean = kt::BuildCrcReply(kDb.payload);
    const Collected badCrc = collect(shaped("DB:badcrc"));
    EXPECT_TRUE(badCrc.complete);
    EXPECT_FALSE(badCrc.accepted);
    EXPECT_EQ(badCrc.length, clean.size());

    // This payload's CRC holds letter digits, so lower case shows.
    const QByteArray lower = shaped("DB:lowercase");
    ASSERT_NE(lower, clean);
    EXPECT_EQ(lower.toUpper(), clean.toUpper());
    EXPECT_FALSE(collect(lower).accepted);

    const Answer xorAnswer{"A", kt::FrameStyle::EtxReply, "0001A"};
    const Collected badXor = collect(shaped("A:badcrc", xorAnswer), kt::FrameStyle::EtxReply);
    EXPECT_TRUE(badXor.complete);
    EXPECT_FALSE(badXor.accepted);
}

TEST(FaultShapes, FramingFaultsStillLeaveOneGoodFrameFirst) {
    const QByteArray clean = kt::BuildCrcReply(kDb.payload);
    for (const char* faultText : {"DB:noise", "DB:doublelead", "DB:twoframes"}) {
        const QByteArray bytes = shaped(faultText);
        EXPECT_GT(bytes.size(), clean.size()) << faultText;
        const Collected c = collect(bytes);
        EXPECT_TRUE(c.accepted) << faultText;
        EXPECT_EQ(c.text, clean) << faultText;
    }
    EXPECT_EQ(shaped("DB:noise").count(kt::CR), 2);
    EXPECT_EQ(shaped("DB:doublelead").count(kt::ETX), 2);
    const QByteArray two = shaped("DB:twoframes");
    EXPECT_TRUE(two.startsWith(clean));
    EXPECT_EQ(two.size(), 2 * clean.size());
}

TEST(FaultShapes, LengthFaultsKeepAValidChecksum) {
    const Collected wrong = collect(shaped("DB:wronglen"));
    EXPECT_TRUE(wrong.accepted);
    EXPECT_EQ(wrong.length, 30);

    const QByteArray huge = shaped("DB:huge");
    EXPECT_GE(huge.size(), kt::kFrameBufferSize);
    EXPECT_TRUE(kt::CheckCrcReply(huge.constData(), static_cast<int>(huge.size())));
    EXPECT_FALSE(collect(huge).accepted);

    // length=N pads with '0' or cuts the payload, the checksum made anew.
    const Collected padded = collect(shaped("DB:length=40"));
    EXPECT_TRUE(padded.accepted);
    EXPECT_EQ(padded.length, 40);
    EXPECT_TRUE(padded.text.startsWith("\x03" + kDb.payload + "00000000000"));
    const Collected cut = collect(shaped("DB:length=12"));
    EXPECT_TRUE(cut.accepted);
    EXPECT_EQ(cut.text.mid(1, 5), kDb.payload.first(5));
    EXPECT_EQ(fault("DB:length=40@2").toString(), QStringLiteral("DB:length=40@2"));

    const Collected zero = collect(shaped("DB:zerobyte"));
    EXPECT_TRUE(zero.accepted);
    EXPECT_EQ(zero.length, 29);
    EXPECT_LT(zero.text.size(), 29);
    EXPECT_EQ(zero.text.size(), 1 + kDb.payload.size() / 2);
    const Collected zeroAt = collect(shaped("DB:zerobyte=8"));
    EXPECT_TRUE(zeroAt.accepted);
    EXPECT_EQ(zeroAt.length, 29);
    EXPECT_EQ(zeroAt.text.size(), 7);  // cut right before position 8
    EXPECT_EQ(fault("DB:zerobyte=8").toString(), QStringLiteral("DB:zerobyte=8"));
    EXPECT_FALSE(Fault::parse(QStringLiteral("DB:zerobyte=1")));  // the lead byte stays
}

TEST(FaultShapes, TimingFaultsPlanWhenBytesLeave) {
    EXPECT_FALSE(shapeReply(kDb, {fault("DB:silent"), fault("DB:delay=5")}));
    const auto plan =
        shapeReply(kDb, {fault("DB:trickle=7"), fault("DB:gap=40"), fault("DB:drop")});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->bytes, kt::BuildCrcReply(kDb.payload));
    EXPECT_EQ(plan->trickleMs, 7);
    EXPECT_EQ(plan->gapMs, 40);
    EXPECT_EQ(plan->gapAt, 14);
    EXPECT_EQ(plan->dropAfter, 14);
}

// The peers of a technician's worst day: a port that goes away at the Nth
// request or at one exact command, a stream that never makes a frame, and
// a reply carrying a terminal's escape sequence.
TEST(FaultShapes, LostPortsStreamsAndEscapes) {
    FaultSet set;
    set.add(fault("DG:close#3@1"));
    set.add(fault("0000ZrC72D:close"));
    EXPECT_TRUE(set.take("DG", "0000DG0").isEmpty());
    EXPECT_TRUE(set.take("DG", "0000DG0").isEmpty());
    EXPECT_EQ(set.take("DG", "0000DG0").size(), 1) << "the third one";
    EXPECT_TRUE(set.take("DG", "0000DG0").isEmpty()) << "used up";
    EXPECT_TRUE(set.take("Zr", "0001ZrC72D").isEmpty()) << "another address";
    EXPECT_EQ(set.take("Zr", "0000ZrC72D").size(), 1);
    EXPECT_EQ(fault("DG:close#3@1").toString(), QStringLiteral("DG:close#3@1"));

    const auto closed = shapeReply(kDb, {fault("DB:close")});
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->dropAfter, 0) << "not a byte before the close";

    const auto stream = shapeReply(kDb, {fault("DB:stream=1920")});
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->streamRate, 1920);
    EXPECT_FALSE(stream->bytes.contains(kt::CR)) << "no frame ever ends";
    EXPECT_TRUE(stream->bytes.contains(kt::ETX) && stream->bytes.contains(kt::STX));
    EXPECT_FALSE(collect(stream->bytes.repeated(100)).complete);

    const Collected escaped = collect(shaped("DB:escape"));
    EXPECT_TRUE(escaped.accepted);
    EXPECT_EQ(escaped.length, 29);
    EXPECT_TRUE(escaped.text.contains("\x1b[2J"));

    for (const char* bad : {"DB:stream", "DB:stream=0", "DB:stream=20000", "DB:close=5",
                            "DB:close#0", "DB:close#x"}) {
        QString error;
        EXPECT_FALSE(Fault::parse(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

}  // namespace
}  // namespace ktsim
