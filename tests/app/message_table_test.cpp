// The three-language message table and the language words.
#include "app/message_table.h"

#include "app/added_messages.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <string>

using namespace kt;
using namespace Qt::StringLiterals;

namespace {

constexpr LanguageIndex kLanguages[] = {LanguageIndex::English, LanguageIndex::SimplifiedChinese,
                                        LanguageIndex::TraditionalChinese};

// glibc's converter, with no transliteration and nothing skipped.
bool fitsCodePage(const QString& text, const char* codePage) {
    iconv_t cd = iconv_open(codePage, "UTF-8");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 8, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const bool ok =
        cd != iconv_t(-1) && iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
    if (cd != iconv_t(-1)) iconv_close(cd);
    return ok && inLeft == 0;
}

}  // namespace

TEST(MessageTable, EveryEntryCompleteInItsCodePage) {
    ASSERT_EQ(MessageTable::Count, 62);
    ASSERT_FALSE(fitsCodePage(u"設定"_s, "GB2312"));  // the check can fail
    ASSERT_FALSE(fitsCodePage(u"设定"_s, "BIG5"));
    for (int n = 0; n < MessageTable::Count; ++n) {
        const QString texts[] = {MessageTable::text(n, LanguageIndex::English),
                                 MessageTable::text(n, LanguageIndex::SimplifiedChinese),
                                 MessageTable::text(n, LanguageIndex::TraditionalChinese)};
        const std::string at =
            std::to_string(n) + ": " + texts[1].toStdString() + " / " + texts[2].toStdString();
        EXPECT_TRUE(!texts[0].isEmpty() && !texts[1].isEmpty() && !texts[2].isEmpty()) << at;
        EXPECT_TRUE(std::all_of(texts[0].begin(), texts[0].end(), [](QChar c) {
            return c >= u' ' && c <= u'~';
        })) << at;
        EXPECT_TRUE(fitsCodePage(texts[1], "GB2312")) << at;
        EXPECT_TRUE(fitsCodePage(texts[2], "BIG5")) << at;
        // The same accelerator in every language; entry 9's names each have
        // their own letter.
        const int amp = texts[0].indexOf(u'&');
        for (const QString& text : {texts[1], texts[2]}) {
            EXPECT_EQ(text.count(u'&'), texts[0].count(u'&')) << at;
            if (amp >= 0 && n != MessageTable::LanguageNames) {
                EXPECT_EQ(text.mid(text.indexOf(u'&') + 1, 1).toUpper(),
                          texts[0].mid(amp + 1, 1).toUpper())
                    << at;
            }
        }
    }
    EXPECT_EQ(MessageTable::text(9, LanguageIndex::English), u"&English"_s);
    EXPECT_EQ(MessageTable::text(9, LanguageIndex::SimplifiedChinese),
              u"&Simplified chinese(简体)"_s);
    EXPECT_EQ(MessageTable::text(9, LanguageIndex::TraditionalChinese),
              u"&Traditional chinese(繁體)"_s);
    EXPECT_TRUE(MessageTable::text(MessageTable::Count, LanguageIndex::English).isEmpty());
}

TEST(MessageTable, LookupByEnglishWording) {
    // Every wording finds an entry that reads the same in all three languages;
    // for the repeated "Command test" that proves both entries agree.
    for (int n = 0; n < MessageTable::Count; ++n) {
        const QString english = MessageTable::text(n, LanguageIndex::English);
        for (LanguageIndex language : kLanguages)
            EXPECT_EQ(MessageTable::translate(english, language), MessageTable::text(n, language))
                << n;
    }
    // Letter case counts: two entries, the same Chinese.
    EXPECT_EQ(MessageTable::number("Receive data:"), 39);
    EXPECT_EQ(MessageTable::number(u"Receive Data:"_s), 52);
    EXPECT_EQ(MessageTable::text(39, LanguageIndex::TraditionalChinese),
              MessageTable::text(52, LanguageIndex::TraditionalChinese));
    EXPECT_EQ(MessageTable::number("command ok."), -1);
    EXPECT_EQ(MessageTable::translate("No such text", LanguageIndex::SimplifiedChinese),
              u"No such text"_s);
}

TEST(LanguageFlag, OnlyTheExactWordsPickChinese) {
    EXPECT_EQ(languageIndexForFlag(u"ChineseGB"), LanguageIndex::SimplifiedChinese);
    EXPECT_EQ(languageIndexForFlag(u"ChineseBIG5"), LanguageIndex::TraditionalChinese);
    for (const char16_t* word : {u"English", u"chinesegb", u"ChineseBig5", u"ChineseGB ", u""})
        EXPECT_EQ(languageIndexForFlag(word), LanguageIndex::English);
    for (LanguageIndex language : kLanguages)
        EXPECT_EQ(languageIndexForFlag(languageFlagFor(language)), language);
}

TEST(MessageTable, AddedTextsFitTheirCodePagesAndAreFoundByTheirEnglish) {
    ASSERT_GT(AddedMessages::count(), 0);
    for (int n = 0; n < AddedMessages::count(); ++n) {
        const QString english = AddedMessages::text(n, LanguageIndex::English);
        const QString simplified = AddedMessages::text(n, LanguageIndex::SimplifiedChinese);
        const QString traditional = AddedMessages::text(n, LanguageIndex::TraditionalChinese);
        const std::string at = english.toStdString();
        EXPECT_TRUE(fitsCodePage(simplified, "GB2312")) << at;
        EXPECT_TRUE(fitsCodePage(traditional, "BIG5")) << at;
        // Never one of the 62: that one would be found first.
        EXPECT_EQ(MessageTable::number(english), -1) << at;
        EXPECT_EQ(MessageTable::translate(english, LanguageIndex::TraditionalChinese), traditional)
            << at;
        // Placeholders and accelerators survive translation.
        for (const QString& text : {simplified, traditional}) {
            EXPECT_EQ(text.count(u"%1"), english.count(u"%1")) << at;
            EXPECT_EQ(text.count(u'&'), english.count(u'&')) << at;
        }
    }
}
