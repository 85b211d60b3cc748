// The three firmware loader dialogues of the substitute controller, spoken
// to directly: reply layouts in the lengths and positions the tool reads,
// what the memory keeps, when an upgrade is applied, and the loader faults.
#include "sim/device/controller.h"
#include "sim/device/loader_commands.h"
#include "sim/faults/loader_fault.h"
#include "sim/program/options.h"
#include "sim/transport/request_parser.h"
#include "tests/sim/sim_test_helpers.h"

#include <gtest/gtest.h>

namespace ktsim {
namespace {

using test::positions;

// The whole reply frame to a CRC or XOR request, or empty for silence.
QByteArray reply(Controller& controller, QByteArrayView text, bool crc) {
    const auto request = crc ? kt::BuildCrcRequest(text) : kt::BuildXorRequest(text);
    const auto answer = controller.answer(RequestParser::classify(*request));
    return answer ? kt::BuildReply(answer->style, answer->payload) : QByteArray();
}

// Block k's data: distinct in every block, with letter digits in every byte
// pair so that a case change shows.
QByteArray blockData(int k, int size) {
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i) data[i] = static_cast<char>(0xA0 + ((k * 7 + i) % 0x50));
    return data;
}

QByteArray hex(const QByteArray& bytes) {
    return bytes.toHex().toUpper();
}

QByteArray digits(int address, bool upper) {
    const QByteArray d = QByteArray::number(address, 16).rightJustified(4, '0');
    return upper ? d.toUpper() : d;
}

// One dialogue as the tool speaks it.
struct Dialogue {
    int family;
    QByteArray address;
    QByteArray start;
    bool crc;           // the requests after the start
    QByteArray prefix;  // in front of the commands after the start
    QByteArray write, read, upgrade;
    bool upper;
    int blockSize;
    int handshakeLength;  // 0: none
    int dataPosition;
    char lead;
};

const Dialogue kA{3,        "0001", "Zx5E9C", true, "0001", "Zp",   "Zv",
                  "ZrC72D", true,   512,      0,    8,      kt::ETX};
const Dialogue kB{2, "0001", "ZxE7", false, "0001", "P", "R", "X", false, 256, 17, 7, kt::ETX};
const Dialogue kC{4, "012", "Zx", false, "", "P", "R", "X", false, 64, 13, 3, kt::STX};

struct Session {
    explicit Session(const Dialogue& d, QStringList faults = {})
        : d(d),
          controller(DeviceConfig{
              .family = d.family, .address = d.address, .loaderFaults = std::move(faults)}) {}

    QByteArray send(const QByteArray& text) { return reply(controller, d.prefix + text, d.crc); }
    QByteArray start() { return reply(controller, d.address + d.start, true); }
    QByteArray handshake() { return send("A"); }
    QByteArray erase(int k) { return send(d.family == 4 ? "E" : "E" + address(k)); }
    QByteArray address(int k) const { return digits(k * d.blockSize, d.upper); }
    QByteArray write(int k) { return send(d.write + address(k) + hex(blockData(k, d.blockSize))); }
    QByteArray read(int k) { return send(d.read + address(k)); }
    QByteArray dataOf(const QByteArray& frame) const {
        return frame.mid(d.dataPosition - 1, 2 * d.blockSize);
    }
    QByteArray upgrade() { return send(d.upgrade); }
    LoaderState state() { return loaderState(controller); }

    // Start, handshake and whatever erase the dialogue needs before blocks 0 and 1.
    void open() {
        ASSERT_FALSE(start().isEmpty());
        if (d.handshakeLength) {
            ASSERT_EQ(handshake().size(), d.handshakeLength);
        }
        if (d.family != 3) {
            ASSERT_FALSE(erase(0).isEmpty());
        }
    }

    Dialogue d;
    Controller controller;
};

class LoaderDialogue : public ::testing::TestWithParam<Dialogue> {};

TEST_P(LoaderDialogue, TakesAnUpgradeOnlyAfterEveryBlockWasWrittenAndReadBack) {
    Session s(GetParam());
    const Dialogue& d = s.d;
    EXPECT_TRUE(s.write(0).isEmpty()) << "no loader session before the start";

    s.open();
    for (int k : {0, 1}) {
        const QByteArray ack = s.write(k);
        ASSERT_FALSE(ack.isEmpty()) << k;
        EXPECT_EQ(ack[0], d.lead);
    }
    EXPECT_TRUE(s.upgrade().isEmpty()) << "nothing was read back yet";

    for (int k : {0, 1}) {
        const QByteArray frame = s.read(k);
        ASSERT_TRUE(kt::CheckXorReply(frame.constData(), int(frame.size())) ||
                    kt::CheckCrcReply(frame.constData(), int(frame.size())));
        EXPECT_EQ(s.dataOf(frame), hex(blockData(k, d.blockSize))) << k;
        EXPECT_EQ(frame.size(), d.dataPosition + 2 * d.blockSize + (d.crc ? 5 : 2));
    }
    // Writing a block again asks for its read-back again.
    ASSERT_FALSE(s.write(1).isEmpty());
    EXPECT_TRUE(s.upgrade().isEmpty());
    ASSERT_FALSE(s.read(1).isEmpty());
    EXPECT_FALSE(s.upgrade().isEmpty());

    const LoaderState state = s.state();
    EXPECT_TRUE(state.upgradeApplied);
    EXPECT_EQ(state.firmwareBlocks, 2);
    EXPECT_EQ(state.blocksWritten, (QList<int>{0, 1, 1}));
    EXPECT_EQ(state.blocksReadBack, (QList<int>{0, 1, 1}));
    EXPECT_EQ(state.block(1), blockData(1, d.blockSize));
    EXPECT_FALSE(state.active);
    EXPECT_TRUE(s.read(0).isEmpty()) << "the session ends with the upgrade";
}

TEST_P(LoaderDialogue, RefusesAddressesDataAndStartsNotInItsForm) {
    Session s(GetParam());
    const Dialogue& d = s.d;
    EXPECT_TRUE(reply(s.controller, d.address + "Zx5E9", true).isEmpty());
    s.open();
    const int k = 0x0A00 / d.blockSize;  // an address with a letter digit
    const QByteArray data = hex(blockData(k, d.blockSize));
    const QByteArray otherCase = digits(k * d.blockSize, !d.upper);
    EXPECT_TRUE(s.send(d.write + otherCase + data).isEmpty()) << otherCase.constData();
    EXPECT_TRUE(s.send(d.write + digits(k * d.blockSize + 1, d.upper) + data).isEmpty());
    EXPECT_TRUE(s.send(d.write + s.address(k) + data.toLower()).isEmpty());
    EXPECT_TRUE(s.send(d.write + s.address(k) + data.chopped(2)).isEmpty());
    EXPECT_TRUE(s.send(d.read + s.address(k) + "0").isEmpty());
    EXPECT_TRUE(s.state().blocksWritten.isEmpty());
    EXPECT_FALSE(s.write(k).isEmpty()) << "the same block in its own form";
}

INSTANTIATE_TEST_SUITE_P(Dialogues, LoaderDialogue, ::testing::Values(kA, kB, kC),
                         [](const auto& info) { return std::string(1, "ABC"[info.index]); });

TEST(LoaderMemory, ProgramsOnlyWhatWasErased) {
    // B erases two blocks ahead of the even one; a block written into old
    // contents keeps their zeros and reads back wrong.
    Session b(kB);
    ASSERT_FALSE(b.start().isEmpty());
    ASSERT_FALSE(b.handshake().isEmpty());
    ASSERT_FALSE(b.write(0).isEmpty());
    EXPECT_EQ(b.dataOf(b.read(0)), QByteArray(512, '0'));
    EXPECT_TRUE(b.erase(1).isEmpty()) << "B erases from even blocks only";
    ASSERT_FALSE(b.erase(0).isEmpty());
    EXPECT_EQ(b.dataOf(b.read(1)), QByteArray(512, 'F'));
    ASSERT_FALSE(b.write(0).isEmpty());
    ASSERT_FALSE(b.write(1).isEmpty());
    EXPECT_EQ(b.dataOf(b.read(1)), hex(blockData(1, 256)));
    EXPECT_EQ(b.dataOf(b.read(0)), hex(blockData(0, 256)));
    EXPECT_EQ(b.state().block(2), QByteArray(256, '\0')) << "the next pair is untouched";

    // C erases everything with one "E"; A erases each block as it writes it.
    Session c(kC);
    ASSERT_FALSE(c.start().isEmpty());
    ASSERT_FALSE(c.erase(0).isEmpty());
    EXPECT_EQ(c.state().memory, QByteArray(LoaderMemory::kSize, '\xFF'));
    Session a(kA);
    ASSERT_FALSE(a.start().isEmpty());
    ASSERT_FALSE(a.write(3).isEmpty());
    EXPECT_EQ(a.state().block(3), blockData(3, 512));
    EXPECT_EQ(a.state().block(2), QByteArray(512, '\0'));
}

TEST(LoaderMemory, RefusesAnUpgradeWithAHoleOrNothingWrittenOrNoLoader) {
    Session nothing(kA);
    nothing.open();
    EXPECT_TRUE(nothing.upgrade().isEmpty());

    Session hole(kA);
    hole.open();
    for (int k : {0, 2}) {
        ASSERT_FALSE(hole.write(k).isEmpty());
        ASSERT_FALSE(hole.read(k).isEmpty());
    }
    EXPECT_TRUE(hole.upgrade().isEmpty());
    EXPECT_FALSE(hole.state().upgradeApplied);

    Controller kt350(DeviceConfig{.family = 7});
    EXPECT_TRUE(reply(kt350, "0000Zx5E9C", true).isEmpty()) << "family 7 has no loader";
    EXPECT_EQ(loaderState(kt350).dialogue, 0);
}

TEST(LoaderFaultText, ParsesKindBlockAndCount) {
    const auto write = LoaderFault::parse(u"nowrite=2@4");
    ASSERT_TRUE(write);
    EXPECT_EQ(write->kind, LoaderFaultKind::NoWrite);
    EXPECT_EQ(write->block, 2);
    EXPECT_EQ(write->remaining, 4);
    EXPECT_EQ(write->toString(), QStringLiteral("nowrite=2@4"));
    const auto handshake = LoaderFault::parse(u"nohandshake");
    ASSERT_TRUE(handshake);
    EXPECT_EQ(handshake->block, -1);
    EXPECT_EQ(handshake->remaining, -1);

    for (const char* bad : {"nowrite=x", "nowrite=2@0", "nohandshake=1", "lowercase=1"}) {
        QString error;
        EXPECT_FALSE(LoaderFault::parse(QString::fromLatin1(bad), &error)) << bad;
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(DeviceConfig{.loaderFaults = {"noerase=x"}}.validate().isEmpty());

    const ParsedOptions parsed = parseOptions({"ktsim", "--pty", "--family", "3", "--loader-fault",
                                               "nowrite=2@4", "--loader-fault", "lowerdata=5"});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.config.loaderFaults, (QStringList{"nowrite=2@4", "lowerdata=5"}));
    EXPECT_FALSE(parseOptions({"ktsim", "--pty", "--loader-fault", "late"}).error.isEmpty());
}

TEST(LoaderFaults, SilenceOrSpoilRepliesAndSpoiledReadBacksDoNotCount) {
    Session s(
        kC, {"nohandshake@1", "wrongdata=0@1", "lowerdata=1@1", "shortdata=2@1", "noreadback=3@1"});
    ASSERT_FALSE(s.start().isEmpty());
    EXPECT_TRUE(s.handshake().isEmpty());
    s.open();
    for (int k = 0; k < 4; ++k) ASSERT_FALSE(s.write(k).isEmpty()) << k;
    auto data = [](int k) { return hex(blockData(k, 64)); };

    const QByteArray wrong = s.dataOf(s.read(0));
    EXPECT_EQ(wrong.size(), data(0).size());
    EXPECT_NE(wrong.left(1), data(0).left(1));
    EXPECT_EQ(wrong.mid(1), data(0).mid(1));
    EXPECT_EQ(s.dataOf(s.read(1)), data(1).toLower());
    const QByteArray shortened = s.read(2);
    EXPECT_TRUE(kt::CheckXorReply(shortened.constData(), int(shortened.size())));
    EXPECT_EQ(shortened.size(), 2 + 64 + 3);
    EXPECT_TRUE(s.read(3).isEmpty());
    EXPECT_TRUE(s.upgrade().isEmpty()) << "no true copy was read back yet";

    for (int k = 0; k < 4; ++k) EXPECT_EQ(s.dataOf(s.read(k)), data(k)) << k;
    EXPECT_FALSE(s.upgrade().isEmpty());
    EXPECT_EQ(s.state().blocksReadBack, (QList<int>{0, 1, 2, 3}));
}

}  // namespace
}  // namespace ktsim
