// The link against a peer that streams without ever ending a frame, and
// against callers that hand it framing bytes inside a command text.
#include "link/command_text.h"
#include "tests/safety/safety_sim.h"

#include <gtest/gtest.h>

namespace kt::safety {
namespace {

class StreamingPeer : public ::testing::TestWithParam<PortKind> {
protected:
    SimLink s{GetParam()};
};

// A GPS or a console on the wrong port: bytes without end, lead bytes among
// them, never a CR. On serial every byte restarts the silence limit, so only
// the byte budget ends the transaction; on the network the 1200 ms total
// limit comes first.
TEST_P(StreamingPeer, TransactionEndsWithinTwoSeconds) {
    s.fault("*:stream=1920@1");
    bool ok = true;
    const qint64 ms = timed([&] { ok = s.link.SendCommand("0000AC"); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(s.link.lastError().kind, LinkFault::NoAnswer);
    if (GetParam() == PortKind::Serial) {
        // 3000 bytes at 1920 a second.
        EXPECT_GT(ms, 1300) << "ended by something other than the budget";
        EXPECT_LT(ms, 2600);
        EXPECT_TRUE(s.link.lastError().text.contains(QString::number(kReplyByteBudget)))
            << s.link.lastError().text.toStdString();
    } else {
        EXPECT_GE(ms, 1195);
        EXPECT_LT(ms, 2000);
    }
    EXPECT_FALSE(s.link.portLost());

    // The peer stops when spoken to again; the link is usable as before.
    ASSERT_TRUE(s.link.SendCommand("0000AC")) << s.link.lastError().text.toStdString();
    EXPECT_EQ(s.link.ReplyLength(), 17);
}

// The budget leaves room for every real reply: a 1037-byte read-back at
// 9600 bit/s, and a controller that trickles a byte every 250 ms.
TEST(StreamingPeerSerial, SlowRealRepliesStillComplete) {
    SimLink s(PortKind::Serial);
    s.sim.setPace(9600);
    s.fault("AS:length=1037@1");
    bool ok = false;
    const qint64 ms = timed([&] { ok = s.link.SendCommand("0000AS"); });
    EXPECT_TRUE(ok) << s.link.lastError().text.toStdString();
    EXPECT_EQ(s.link.ReplyLength(), 1037);
    EXPECT_GT(ms, 1000) << "paced at the wire's speed";
    s.sim.setPace(0);

    s.fault("AC:trickle=250@1");
    EXPECT_TRUE(s.link.SendCommand("0000AC")) << s.link.lastError().text.toStdString();
    EXPECT_EQ(s.link.ReplyLength(), 17);
}

INSTANTIATE_TEST_SUITE_P(Channels, StreamingPeer,
                         ::testing::Values(PortKind::Network, PortKind::Serial), channelName);

class FramingBytes : public ::testing::TestWithParam<PortKind> {
protected:
    SimLink s{GetParam()};
};

// A CR and an SOH inside the text would end the frame and start a second,
// valid request behind it: here the fire alarm.
TEST_P(FramingBytes, CommandTextWithControlBytesIsNeverWritten) {
    const QList<QByteArray> texts = {
        QByteArray("0000AV\r\x01"
                   "0000JF3"),
        QByteArray("0000JF3\x02"),
        QByteArray("0000JF\x7F"),
        QByteArray("0000JF3\0", 8),
        CommandTextBytes(QStringLiteral("0000JF3") + QChar(0x4E2D)),
    };
    for (const QByteArray& text : texts) {
        for (FrameStyle style : {FrameStyle::Crc, FrameStyle::StxReply, FrameStyle::EtxReply}) {
            SCOPED_TRACE(text.toHex().toStdString());
            bool ok = true;
            const qint64 ms = timed([&] { ok = s.link.transact(style, text); });
            EXPECT_FALSE(ok);
            EXPECT_EQ(s.link.lastError().kind, LinkFault::BadRequest);
            EXPECT_TRUE(s.link.lastError().text.contains(u"nothing was sent"))
                << s.link.lastError().text.toStdString();
            EXPECT_LT(ms, 100) << "refused without waiting for a reply";
        }
    }
    EXPECT_TRUE(s.sent().isEmpty()) << "nothing reached the controller";
    EXPECT_EQ(s.sim.state().alarm, 0);

    // The port is still good, and Latin-1 letters beyond ASCII are sent as
    // they are (nobody answers this one).
    EXPECT_TRUE(s.link.SendCommand("0000AC")) << s.link.lastError().text.toStdString();
    EXPECT_FALSE(s.link.SendCommand(CommandTextBytes(QStringLiteral("0000A\u00E9"))));
    EXPECT_NE(s.link.lastError().kind, LinkFault::BadRequest);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000AC", "0000A\xE9"}));
}

INSTANTIATE_TEST_SUITE_P(Channels, FramingBytes,
                         ::testing::Values(PortKind::Network, PortKind::Serial), channelName);

TEST(TypedCommandText, NamesTheCharacterThatCannotBeSent) {
    EXPECT_TRUE(TypedCommandTextProblem(QStringLiteral("0000AC\u00E9")).isEmpty());
    const QString control = TypedCommandTextProblem(QStringLiteral("0000AV\r"));
    EXPECT_TRUE(control.contains(u"0x0D") && control.contains(u"position 7"))
        << control.toStdString();
    const QString wide = TypedCommandTextProblem(QStringLiteral("00") + QChar(0x4E2D));
    EXPECT_TRUE(wide.contains(u"U+4E2D") && wide.contains(u"position 3")) << wide.toStdString();
    EXPECT_EQ(CommandTextBytes(QStringLiteral("A") + QChar(0x4E2D) + QChar(0xE9)),
              QByteArray("A\x1A\xE9"));
}

}  // namespace
}  // namespace kt::safety
