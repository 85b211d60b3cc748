#include "sim/transport/request_parser.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

namespace ktsim {
namespace {

using test::crcRequest;

TEST(RequestParser, TellsCrcFromXorAndChecksBoth) {
    // Worked frames for "0000AV": CRC 4E55, XOR 16.
    const Request crc = RequestParser::classify(QByteArray::fromHex("0130303030415602344535350d"));
    EXPECT_EQ(crc.style, RequestStyle::Crc);
    EXPECT_TRUE(crc.checksumOk);
    EXPECT_EQ(crc.text, "0000AV");

    const Request xorRequest = RequestParser::classify(QByteArray::fromHex("0130303030415631360d"));
    EXPECT_EQ(xorRequest.style, RequestStyle::Xor);
    EXPECT_TRUE(xorRequest.checksumOk);
    EXPECT_EQ(xorRequest.text, "0000AV");

    // Empty command texts: SOH STX CRC CR, and SOH "01" CR.
    const Request emptyCrc = RequestParser::classify(crcRequest(""));
    EXPECT_EQ(emptyCrc.style, RequestStyle::Crc);
    EXPECT_TRUE(emptyCrc.checksumOk);
    EXPECT_TRUE(emptyCrc.text.isEmpty());
    EXPECT_TRUE(RequestParser::classify(*kt::BuildXorRequest("")).checksumOk);
}

TEST(RequestParser, RejectsWrongAndLowerCaseChecksums) {
    QByteArray frame = crcRequest("0001DB");
    QByteArray wrong = frame;
    wrong[wrong.size() - 2] = wrong[wrong.size() - 2] == '0' ? '1' : '0';
    EXPECT_FALSE(RequestParser::classify(wrong).checksumOk);
    EXPECT_EQ(RequestParser::classify(wrong).text, "0001DB");

    const Request lower =
        RequestParser::classify(QByteArray::fromHex("0130303030415602346535350d"));
    EXPECT_EQ(lower.style, RequestStyle::Crc);
    EXPECT_FALSE(lower.checksumOk);

    QByteArray xorFrame = *kt::BuildXorRequest("0001A");
    xorFrame[xorFrame.size() - 3] = xorFrame[xorFrame.size() - 3] == 'F' ? '0' : 'F';
    EXPECT_EQ(RequestParser::classify(xorFrame).style, RequestStyle::Xor);
    EXPECT_FALSE(RequestParser::classify(xorFrame).checksumOk);

    EXPECT_FALSE(RequestParser::classify(QByteArray("\x01\r")).checksumOk);
}

TEST(RequestParser, SplitsAStreamInAnyChunking) {
    const QByteArray stream = "junk\r" + crcRequest("0001AC") + *kt::BuildXorRequest("E0000") +
                              "\x01half-a-frame" + crcRequest("0001DB");
    const QList<QByteArray> expected = {"0001AC", "E0000", "0001DB"};
    for (int chunk : {1, 2, 7, static_cast<int>(stream.size())}) {
        RequestParser parser;
        QList<QByteArray> texts;
        for (qsizetype i = 0; i < stream.size(); i += chunk) {
            for (const Request& r : parser.feed(QByteArrayView(stream).sliced(i).first(
                     std::min<qsizetype>(chunk, stream.size() - i))))
                texts.append(r.text);
        }
        EXPECT_EQ(texts, expected) << "chunk " << chunk;
    }
}

TEST(RequestParser, GivesUpOnFramesLongerThanTheToolCanSend) {
    RequestParser parser;
    EXPECT_TRUE(parser.feed("\x01" + QByteArray(kt::kFrameBufferSize, 'A') + "\r").isEmpty());
    const auto after = parser.feed(crcRequest("0001AS"));
    ASSERT_EQ(after.size(), 1);
    EXPECT_EQ(after.front().text, "0001AS");
}

}  // namespace
}  // namespace ktsim
