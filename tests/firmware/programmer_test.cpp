// ProgramFirmware against ktsim over a pseudo-terminal, with small images:
// the texts each dialogue sends, where a fault stops it, and the pauses
// that must not be left out (as lower bounds: a loaded machine only
// lengthens them). The loader's pauses are real, so the runs that end
// with an acknowledged upgrade command (2 or 7 s more) are few.
#include "tests/firmware/firmware_test_support.h"

#include <gtest/gtest.h>

namespace kt::test {
namespace {

using Texts = QList<QByteArray>;

const QStringList kPhases = {"Programming ...", "Verifying ...", "Upgrading ..."};

QByteArray hexOf(const FirmwareImage& image, int k) {
    return image.blocks[k].toHex().toUpper();
}

TEST(ProgramFirmware, RefusesAFamilyWithoutAKnownDialogueBeforeSendingAnything) {
    const FirmwareImage image = imageFor(3, 1000);
    for (int family : {0, 7, 8, 9, -1, 10}) {
        const ProgramRun run = programAs(family, {.family = 7}, image);
        EXPECT_FALSE(run.ok) << family;
        EXPECT_TRUE(run.sent.isEmpty()) << family;
        EXPECT_TRUE(run.statuses.isEmpty()) << family;
    }
    // Blocks of 512 bytes would run past a 256-byte loader's blocks.
    const ProgramRun mismatch = program({.family = 2}, image);
    EXPECT_FALSE(mismatch.ok);
    EXPECT_TRUE(mismatch.sent.isEmpty());
}

TEST(DialogueB, ErasesBeforeEvenBlocksOnlyAndLeavesTheImageInTheController) {
    const FirmwareImage image = imageFor(2, 700);  // three blocks, the last one part-filled
    const ProgramRun run = program({.family = 2, .address = "0001"}, image);
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.sent,
              (Texts{"0001ZxE7", "0001ZxE7", "0001A", "0001E0000", "0001P0000" + hexOf(image, 0),
                     "0001P0100" + hexOf(image, 1), "0001E0200", "0001P0200" + hexOf(image, 2),
                     "0001R0000", "0001R0100", "0001R0200", "0001X"}));
    for (int i = 0; i < run.records.size(); ++i) {
        EXPECT_EQ(run.records[i].style, i < 2 ? ktsim::RequestStyle::Crc : ktsim::RequestStyle::Xor)
            << i;
    }
    EXPECT_EQ(run.statuses, kPhases);
    EXPECT_TRUE(run.countdown.isEmpty());
    EXPECT_EQ(run.programMaximum, 3);
    EXPECT_EQ(run.programProgress, (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(run.verifyMaximum, 3);
    EXPECT_EQ(run.verifyProgress, (QList<int>{0, 1, 2, 3}));

    EXPECT_TRUE(run.loader.upgradeApplied);
    EXPECT_EQ(run.loader.firmwareBlocks, 3);
    EXPECT_EQ(run.loader.memory.left(3 * 256), joined(image));

    EXPECT_GE(run.msBetween("0001ZxE7", "0001ZxE7"), 20);
    EXPECT_GE(run.msBetween("0001ZxE7", "0001A", 1), 50);
    EXPECT_GE(run.msBetween("0001P0200", "0001R0000"), 50);
    EXPECT_GE(run.msBetween("0001R0200", "0001X"), 100);
    EXPECT_GE(run.upgradingToEndMs, 100 + 2000);
}

TEST(ReadBack, WrongLowerCaseOrShortDataFailsAndTheUpgradeIsNeverSent) {
    struct Case {
        int family;
        int blockSize;
        QByteArray readOfBlock1, upgrade;
        const char* fault;
    };
    const QList<Case> cases = {
        {6, 512, "0000Zv0200", "0000ZrC72D", "lowerdata=1"},
        {6, 512, "0000Zv0200", "0000ZrC72D", "shortdata=1"},
        {6, 512, "0000Zv0200", "0000ZrC72D", "wrongdata=1"},
        {2, 256, "0000R0100", "0000X", "lowerdata=1"},
        {2, 256, "0000R0100", "0000X", "shortdata=1"},
        {4, 64, "R0040", "X", "lowerdata=1"},
        {4, 64, "R0040", "X", "shortdata=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.family << " " << c.fault);
        const ProgramRun run = program({.family = c.family, .loaderFaults = {c.fault}},
                                       imageFor(c.family, 2 * c.blockSize));
        EXPECT_FALSE(run.ok);
        EXPECT_EQ(run.sentStartingWith(c.readOfBlock1).size(), 1) << "a mismatch is not retried";
        EXPECT_FALSE(run.sent.contains(c.upgrade));
        EXPECT_EQ(run.statuses, kPhases.first(2));
        EXPECT_EQ(run.programProgress, (QList<int>{0, 1, 2}));
        EXPECT_EQ(run.verifyProgress, QList<int>{0});
        EXPECT_FALSE(run.loader.upgradeApplied);
    }
}

TEST(Write, SucceedingOnTheFifthAttemptGoesOnAndFiveRefusalsStop) {
    const FirmwareImage image = imageFor(4, 3 * 64);
    const ProgramRun run =
        program({.family = 4, .loaderFaults = {"nowrite=1@4", "nowrite=2@5"}}, image);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.sentStartingWith("P0040").size(), 5);
    EXPECT_EQ(run.sentStartingWith("P0080").size(), 5);
    EXPECT_EQ(run.loader.blocksWritten, (QList<int>{0, 1}));
    EXPECT_EQ(run.programProgress, (QList<int>{0, 1}));
    EXPECT_TRUE(run.sentStartingWith("R").isEmpty());
    EXPECT_FALSE(run.sent.contains("X"));
    EXPECT_EQ(run.statuses, QStringList{"Programming ..."});
    // 300 ms of silence, then the 50 ms pause after a failed attempt.
    EXPECT_GE(run.msBetween("P0040", "P0040"), 300 + 50);
}

TEST(Handshake, WrongLengthCountsDownAndTenFailuresStopDialogueB) {
    const ProgramRun refused = program({.family = 2}, imageFor(2, 256), {"A:length=16"});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.countdown, (QList<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(refused.sentStartingWith("0000A").size(), 10);
    EXPECT_EQ(refused.sent.size(), 12) << "nothing after the tenth attempt";
    EXPECT_TRUE(refused.statuses.isEmpty());

    const ProgramRun late = program({.family = 2}, imageFor(2, 256), {"A:length=16@3"});
    EXPECT_TRUE(late.ok);
    EXPECT_EQ(late.countdown, (QList<int>{10, 9, 8}));
    EXPECT_EQ(late.sent.mid(0, 7),
              (Texts{"0000ZxE7", "0000ZxE7", "0000A", "0000A", "0000A", "0000A", "0000E0000"}));
    EXPECT_EQ(late.sent.back(), "0000X");
}

TEST(DialogueC, GoesAheadWithoutAHandshakeWhenEIsAcknowledgedButNotWithoutE) {
    const FirmwareImage image = imageFor(4, 64);
    const ProgramRun run = program({.family = 4, .address = "012"}, image, {"A:badcrc"});
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.countdown.size(), 10);
    EXPECT_EQ(run.sent.first(2), (Texts{"012Zx", "012Zx"}));
    EXPECT_EQ(run.sent.mid(2, 10), Texts(10, "A"));
    EXPECT_EQ(run.sent.mid(12), (Texts{"E", "P0000" + hexOf(image, 0), "R0000", "X"}));
    EXPECT_TRUE(run.loader.upgradeApplied);
    EXPECT_GE(run.msBetween("A", "E", 9), 50);
    EXPECT_GE(run.msBetween("E", "P"), 200 + 4) << "C pauses 200 ms after \"Programming ...\"";

    const ProgramRun noErase = program({.family = 4, .loaderFaults = {"noerase"}}, image);
    EXPECT_FALSE(noErase.ok);
    EXPECT_EQ(noErase.sent, (Texts{"000Zx", "000Zx", "A", "E"}));
    EXPECT_TRUE(noErase.statuses.isEmpty());
}

TEST(DialogueA, StopsWhenTheStartIsNotAcknowledged) {
    const ProgramRun run = program({.family = 6}, imageFor(6, 512), {"Zx:silent"});
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.sent, Texts{"0000Zx5E9C"});
    EXPECT_TRUE(run.statuses.isEmpty());
}

TEST(DialogueA, AnUnansweredUpgradeStillSucceedsWithoutTheFinalPause) {
    // Family 3 also shows its longer pauses around each block.
    const FirmwareImage image = imageFor(3, 2 * 512);
    const ProgramRun run = program({.family = 3}, image, {"Zr:silent", "Zv:silent@1"});
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.sent.last(), "0000ZrC72D");
    EXPECT_EQ(run.statuses, kPhases);
    EXPECT_LT(run.upgradingToEndMs, 3000) << "the 7000 ms follow an acknowledgement only";
    EXPECT_GE(run.msBetween("0000Zp0000", "0000Zp0200"), 20);
    EXPECT_GE(run.msBetween("0000Zv0000", "0000Zv0000"), 300 + 150);
    EXPECT_GE(run.msBetween("0000Zv0000", "0000Zv0200", 1), 50);
}

TEST(DialogueB, RepeatsARefusedEraseOnceAndStopsAfterTheSecondRefusal) {
    const FirmwareImage image = imageFor(1, 3 * 256);
    const ProgramRun run =
        program({.family = 1, .loaderFaults = {"noerase=0@1", "noerase=2@2"}}, image);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.sent.mid(3), (Texts{"0000E0000", "0000E0000", "0000P0000" + hexOf(image, 0),
                                      "0000P0100" + hexOf(image, 1), "0000E0200", "0000E0200"}));
    EXPECT_EQ(run.programProgress, (QList<int>{0, 1}));
    EXPECT_GE(run.msBetween("0000E0000", "0000E0000"), 300 + 50);
}

// An image without a block would have the loader erase the controller and
// start it into nothing: the run fails before anything is sent.
TEST(ZeroBlocks, NothingIsSentAndTheRunFails) {
    for (int family : {6, 5, 4}) {
        FirmwareImage empty;
        empty.blockSize = family == 6 ? 512 : family == 4 ? 64 : 256;
        const ProgramRun run = program({.family = family}, empty);
        EXPECT_FALSE(run.ok) << family;
        EXPECT_TRUE(run.sent.isEmpty()) << family;
        EXPECT_TRUE(run.statuses.isEmpty()) << family;
        EXPECT_FALSE(run.loader.upgradeApplied) << family;
        EXPECT_EQ(run.loader.memory, QByteArray(run.loader.memory.size(), '\0')) << "untouched";
    }
}

}  // namespace
}  // namespace kt::test
