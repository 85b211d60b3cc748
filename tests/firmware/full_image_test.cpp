// Whole images in each dialogue, from the file to the controller's memory:
// every block written, read back and taken by the upgrade, the last block at
// the top of the family's range, and the command texts the loaders document
// for the controller at 0001.
#include "tests/firmware/firmware_test_support.h"

#include <gtest/gtest.h>

namespace kt::test {
namespace {

QByteArray hexOf(const FirmwareImage& image, int k) {
    return image.blocks[k].toHex().toUpper();
}

void expectTaken(const ProgramRun& run, const FirmwareImage& image, int blocks) {
    ASSERT_TRUE(run.ok);
    ASSERT_EQ(image.blockCount(), blocks);
    EXPECT_TRUE(run.loader.upgradeApplied);
    EXPECT_EQ(run.loader.firmwareBlocks, blocks);
    EXPECT_EQ(run.loader.memory.left(blocks * image.blockSize), joined(image));
    EXPECT_EQ(run.programMaximum, blocks);
    EXPECT_EQ(run.programProgress.size(), blocks + 1);
    EXPECT_EQ(run.verifyProgress.last(), blocks);
}

TEST(FullImage, DialogueA) {
    const FirmwareImage image = imageFor(6, 63488);
    const ProgramRun run = program({.family = 6, .address = "0001"}, image);
    expectTaken(run, image, 124);
    EXPECT_EQ(run.sent[2], "0001Zp0200" + hexOf(image, 1));
    EXPECT_EQ(run.sentStartingWith("0001Zp").last(), "0001ZpF600" + hexOf(image, 123));
    EXPECT_EQ(run.sentStartingWith("0001Zv").last(), "0001ZvF600");
    EXPECT_EQ(run.sent.last(), "0001ZrC72D");
    EXPECT_GE(run.upgradingToEndMs, 100 + 7000);
}

TEST(FullImage, DialogueBFromAFileLargerThanTheLimit) {
    const FirmwareImage image = imageFor(1, 70000);
    const ProgramRun run = program({.family = 1, .address = "0001"}, image);
    expectTaken(run, image, 248);
    const int block10 = static_cast<int>(run.sent.indexOf("0001E0a00"));
    ASSERT_GT(block10, 0);
    EXPECT_EQ(run.sent[block10 + 1], "0001P0a00" + hexOf(image, 10));
    EXPECT_EQ(run.sentStartingWith("0001E").size(), 124);
    EXPECT_EQ(run.sentStartingWith("0001P").last(), "0001Pf700" + hexOf(image, 247));
    EXPECT_EQ(run.sent.last(), "0001X");
}

TEST(FullImage, DialogueC) {
    const FirmwareImage image = imageFor(4, 62976);
    const ProgramRun run = program({.family = 4, .address = "001"}, image);
    expectTaken(run, image, 984);
    EXPECT_EQ(run.sentStartingWith("E"), QList<QByteArray>{"E"});
    EXPECT_TRUE(run.sent.contains("R00c0"));
    EXPECT_EQ(run.sentStartingWith("P").last(), "Pf5c0" + hexOf(image, 983));
    EXPECT_EQ(run.sent.last(), "X");
}

}  // namespace
}  // namespace kt::test
