// The three-language message table and the language words.
#include "message_table.h"

#include <gtest/gtest.h>

#include <QList>
#include <QRegularExpression>

#include <iconv.h>
#include <cerrno>

using namespace kt;
using namespace Qt::StringLiterals;

namespace {

constexpr LanguageIndex kLanguages[] = {LanguageIndex::English, LanguageIndex::SimplifiedChinese,
                                        LanguageIndex::TraditionalChinese};

// True when glibc converts the whole text into the code page, with no
// transliteration and nothing skipped.
bool fitsCodePage(const QString& text, const char* codePage) {
    iconv_t cd = iconv_open(codePage, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 8, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = static_cast<size_t>(in.size());
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    return result != static_cast<size_t>(-1) && inLeft == 0;
}

QStringList digitRuns(const QString& text) {
    static const QRegularExpression digits(u"[0-9]+"_s);
    QStringList runs;
    for (const QRegularExpressionMatch& m : digits.globalMatch(text)) runs << m.captured();
    return runs;
}

}  // namespace

TEST(MessageTable, EveryEntryHasItsThreeTexts) {
    ASSERT_EQ(MessageTable::Count, 62);
    for (int n = 0; n < MessageTable::Count; ++n) {
        for (LanguageIndex language : kLanguages)
            EXPECT_FALSE(MessageTable::text(n, language).isEmpty()) << n;
    }
    EXPECT_TRUE(MessageTable::text(-1, LanguageIndex::English).isEmpty());
    EXPECT_TRUE(MessageTable::text(MessageTable::Count, LanguageIndex::English).isEmpty());
}

TEST(MessageTable, EachColumnKeepsToItsCodePage) {
    for (int n = 0; n < MessageTable::Count; ++n) {
        const QString english = MessageTable::text(n, LanguageIndex::English);
        for (QChar c : english)
            EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() < 0x7f)
                << n << ": " << qPrintable(english);
        const QString simplified = MessageTable::text(n, LanguageIndex::SimplifiedChinese);
        EXPECT_TRUE(fitsCodePage(simplified, "GB2312")) << n << ": " << qPrintable(simplified);
        const QString traditional = MessageTable::text(n, LanguageIndex::TraditionalChinese);
        EXPECT_TRUE(fitsCodePage(traditional, "BIG5")) << n << ": " << qPrintable(traditional);
    }
    // The check itself must refuse what the code page lacks.
    EXPECT_FALSE(fitsCodePage(u"設定"_s, "GB2312"));
    EXPECT_FALSE(fitsCodePage(u"设定"_s, "BIG5"));
}

TEST(MessageTable, TranslationsKeepAcceleratorsAndNumbers) {
    for (int n = 0; n < MessageTable::Count; ++n) {
        const QString english = MessageTable::text(n, LanguageIndex::English);
        const int amp = english.indexOf(u'&');
        for (LanguageIndex language :
             {LanguageIndex::SimplifiedChinese, LanguageIndex::TraditionalChinese}) {
            const QString text = MessageTable::text(n, language);
            ASSERT_EQ(text.count(u'&'), english.count(u'&')) << n << ": " << qPrintable(text);
            // Entry 9 is three names, each with its own letter.
            if (amp >= 0 && n != MessageTable::LanguageNames) {
                const int at = text.indexOf(u'&');
                ASSERT_LT(at + 1, text.size()) << n;
                EXPECT_EQ(text[at + 1].toUpper(), english[amp + 1].toUpper())
                    << n << ": " << qPrintable(text);
            }
            EXPECT_EQ(digitRuns(text), digitRuns(english)) << n << ": " << qPrintable(text);
        }
    }
}

TEST(MessageTable, LanguageNamesEachInTheirOwnLanguage) {
    EXPECT_EQ(MessageTable::text(MessageTable::LanguageNames, LanguageIndex::English),
              u"&English"_s);
    EXPECT_EQ(MessageTable::text(MessageTable::LanguageNames, LanguageIndex::SimplifiedChinese),
              u"&Simplified chinese(简体)"_s);
    EXPECT_EQ(MessageTable::text(MessageTable::LanguageNames, LanguageIndex::TraditionalChinese),
              u"&Traditional chinese(繁體)"_s);
}

TEST(MessageTable, LookupByEnglishWording) {
    // Every wording finds an entry that reads the same in all three languages;
    // for the repeated "Command test" that proves both entries agree.
    for (int n = 0; n < MessageTable::Count; ++n) {
        const QString english = MessageTable::text(n, LanguageIndex::English);
        const int found = MessageTable::number(english);
        ASSERT_GE(found, 0) << n;
        for (LanguageIndex language : kLanguages) {
            EXPECT_EQ(MessageTable::translate(english, language), MessageTable::text(n, language))
                << n;
            EXPECT_EQ(MessageTable::text(found, language), MessageTable::text(n, language)) << n;
        }
    }
    EXPECT_EQ(MessageTable::number("Command test"), 24);
    // Letter case counts: "Receive data:" and "Receive Data:" are two entries
    // with the same Chinese.
    EXPECT_EQ(MessageTable::number("Receive data:"), 39);
    EXPECT_EQ(MessageTable::number(u"Receive Data:"), 52);
    for (LanguageIndex language :
         {LanguageIndex::SimplifiedChinese, LanguageIndex::TraditionalChinese})
        EXPECT_EQ(MessageTable::text(39, language), MessageTable::text(52, language));

    EXPECT_EQ(MessageTable::translate("Command ok.", LanguageIndex::TraditionalChinese),
              u"指令完成."_s);
    EXPECT_EQ(MessageTable::number("command ok."), -1);
    EXPECT_EQ(MessageTable::translate("No such text", LanguageIndex::SimplifiedChinese),
              u"No such text"_s);
}

TEST(LanguageFlag, OnlyTheExactWordsPickChinese) {
    EXPECT_EQ(languageIndexForFlag(u"English"), LanguageIndex::English);
    EXPECT_EQ(languageIndexForFlag(u"ChineseGB"), LanguageIndex::SimplifiedChinese);
    EXPECT_EQ(languageIndexForFlag(u"ChineseBIG5"), LanguageIndex::TraditionalChinese);
    for (const char16_t* word : {u"chinesegb", u"CHINESEBIG5", u"ChineseBig5", u"ChineseGB ",
                                 u" ChineseGB", u"Chinese", u"", u"ChineseGB2312"})
        EXPECT_EQ(languageIndexForFlag(word), LanguageIndex::English)
            << QString::fromUtf16(word).toStdString();

    for (LanguageIndex language : kLanguages)
        EXPECT_EQ(languageIndexForFlag(languageFlagFor(language)), language);
}
