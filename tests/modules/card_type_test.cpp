// The card-type words and the controls they come from and go back to.
#include "modules/card_type.h"

#include <gtest/gtest.h>

namespace {

using kt::CardTypeBoxes;
using kt::CardTypeSettings;
using kt::CardTypeWords;

constexpr CardTypeBoxes kNoBoxes{false, false, false, false, false, false};
constexpr CardTypeBoxes kAllBoxes{true, true, true, true, true, true};

// One box ticked, with the bit the reader knows it by.
struct BoxBit {
    bool CardTypeBoxes::*box;
    quint16 bit;
};
constexpr BoxBit kBoxBits[] = {
    {&CardTypeBoxes::uidA, 0x01},      {&CardTypeBoxes::block, 0x02},
    {&CardTypeBoxes::sevenByte, 0x04}, {&CardTypeBoxes::iso15693, 0x10},
    {&CardTypeBoxes::uidB, 0x20},      {&CardTypeBoxes::guidB, 0x40},
};

// The page's initial words, all off, 255 and the fallback go out in the V7
// tests with their exact texts; these are the rest.
TEST(CardTypeEncode, PageSettingsGiveTheirWords) {
    // Bit 0x08 has no box and is never written.
    EXPECT_EQ(kt::EncodeCardType({"10", kAllBoxes, true, true}),
              (CardTypeWords{0x0077, 0x000A, 0x0003}));
    EXPECT_EQ(kt::EncodeCardType({"+7", kNoBoxes, false, false}), (CardTypeWords{0, 0x0007, 0}));
    EXPECT_EQ(kt::EncodeCardType({"-0", kNoBoxes, false, false}), (CardTypeWords{0, 0, 0}));
    EXPECT_EQ(kt::EncodeCardType({"65535", kNoBoxes, true, false}),
              (CardTypeWords{0, 0xFFFF, 0x0001}));
    for (const BoxBit& b : kBoxBits) {
        CardTypeSettings one{"0", kNoBoxes, false, false};
        one.boxes.*b.box = true;
        EXPECT_EQ(kt::EncodeCardType(one), (CardTypeWords{b.bit, 0, 0})) << b.bit;
    }
}

TEST(CardTypeEncode, NoNumberSendsTheFallbackWhateverTheBoxesSay) {
    for (const char* text : {"", "abc", "1 0", " 5", "0x1", "-", "1e2"}) {
        const CardTypeSettings settings{text, kAllBoxes, true, true};
        EXPECT_EQ(kt::EncodeCardType(settings), (CardTypeWords{0x0000, 0x000A, 0x0001})) << text;
    }
}

TEST(CardTypeEncode, DelayOutsideSixteenBitsIsRefused) {
    // Its low 16 bits would set a delay nobody typed: -1 would be FFFF.
    for (const char* text : {"-1", "-99", "65536", "99999999999999999999"}) {
        EXPECT_FALSE(kt::EncodeCardType({text, kAllBoxes, true, true})) << text;
    }
}

TEST(CardTypeWordsText, ReadAsFourHexDigitsEach) {
    EXPECT_EQ(kt::CardTypeData({0xFFFF, 0x0000, 0xABCD}), "FFFF0000ABCD0000");
    EXPECT_EQ(kt::ParseCardTypeWords("0041000A0003"), (CardTypeWords{0x0041, 0x000A, 0x0003}));
    EXPECT_EQ(kt::ParseCardTypeWords("00ff00Ff0000"), (CardTypeWords{0x00FF, 0x00FF, 0x0000}));
    // Any one word unreadable, and nothing is taken.
    for (const char* text :
         {"00G1000A0003", "0041000A00G3", "0041 00A0003", "-041000A0003", "0041000A000", ""}) {
        EXPECT_FALSE(kt::ParseCardTypeWords(text)) << text;
    }
}

TEST(CardTypeDecode, ReplyWordsSetTheControls) {
    EXPECT_EQ(kt::DecodeCardType({0, 0xFFFF, 0}).sameCardText, "65535");

    // 0x08 is no box: alone it unticks all six; with the rest it changes nothing.
    EXPECT_EQ(kt::DecodeCardType({0x0008, 0, 0}).boxes, kNoBoxes);
    EXPECT_EQ(kt::DecodeCardType({0xFFFF, 0, 0}).boxes, kAllBoxes);
    for (const BoxBit& b : kBoxBits) {
        CardTypeBoxes one = kNoBoxes;
        one.*b.box = true;
        EXPECT_EQ(kt::DecodeCardType({b.bit, 0, 0}).boxes, one) << b.bit;
    }

    // Green Mode follows bit 0x01 alone; Reset (0x02) is not the reply's to set.
    EXPECT_TRUE(kt::DecodeCardType({0, 0, 0x0001}).greenMode);
    EXPECT_FALSE(kt::DecodeCardType({0, 0, 0xFFFE}).greenMode);
}

}  // namespace
