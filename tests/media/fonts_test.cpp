// The fonts as Qt draws them here: every face lands on the family we chose
// (not on a fontconfig substitute), every numbered message has its
// glyphs, and Chinese text takes the glyph forms of its language.
#include "app/fonts.h"
#include "app/catalogues.h"
#include "app/messages.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QTextLayout>

using namespace kt;
using namespace Qt::StringLiterals;

// Family names in failure messages, not UTF-16 bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

class Fonts : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_media";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }
};

QList<QGlyphRun> runs(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return layout.glyphRuns();
}

// The families that draw `text` in `font`, fallbacks included.
QStringList families(const QString& text, const QFont& font) {
    QStringList names;
    for (const QGlyphRun& run : runs(text, font))
        if (!names.contains(run.rawFont().familyName())) names.append(run.rawFont().familyName());
    return names;
}

// The glyphs that draw `text`; 0 is the box of a missing glyph.
QList<quint32> glyphs(const QString& text, const QFont& font) {
    QList<quint32> indexes;
    for (const QGlyphRun& run : runs(text, font)) indexes += run.glyphIndexes();
    return indexes;
}

QFont alone(const QString& family, int pixels, bool bold = false) {
    QFont font;
    font.setFamilies({family});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString han(const QString& text) {
    QString only;
    for (QChar c : text)
        if (c.script() == QChar::Script_Han) only.append(c);
    return only;
}

}  // namespace

TEST_F(Fonts, EveryFaceDrawsWithItsInstalledFamilyAtItsHeightAndWeight) {
    for (const QString& face :
         {u"MS Sans Serif"_s, u"Arial Narrow"_s, u"Arial Black"_s, u"宋体"_s, u"細明體"_s}) {
        SCOPED_TRACE(face.toStdString());
        const QString family = installedFamily(face);
        EXPECT_TRUE(QFontDatabase::families().contains(family))
            << family.toStdString() << " is not installed: run scripts/install-deps";
        const QString sample = family.contains(u"CJK") ? u"中文"_s : u"DI1 Connect"_s;
        for (const bool bold : {false, true}) {
            const QFont font = designFont(face, bold ? 35 : 19, bold);
            EXPECT_EQ(families(sample, font), QStringList{family});
            EXPECT_EQ(QFontInfo(font).pixelSize(), bold ? 35 : 19);
            // Arial Black is heavy whatever the caller says about bold.
            EXPECT_EQ(QFontInfo(font).weight(), face == u"Arial Black"_s ? QFont::Black
                                                : bold                   ? QFont::Bold
                                                                         : QFont::Normal);
        }
    }
    EXPECT_EQ(installedFamily(u"Courier New"_s), u"Courier New"_s);
}

// The language fonts at 10 and 12 points (13 and 16 px at 96 dpi). Every
// text of the table has its glyphs, and the Chinese ones are drawn by the
// language's own face in its own forms, even after the other Chinese font
// was used (the order 0, 1, 2, 1 checks that).
TEST_F(Fonts, EveryTextOfTheTableIsDrawnInItsLanguagesFace) {
    for (const int language : {0, 1, 2, 1, 7}) {
        const auto index = LanguageIndex(language);
        SCOPED_TRACE(language);
        const QFont font = languageFont(index);
        EXPECT_EQ(QFontInfo(font).pixelSize(),
                  index == LanguageIndex::English || language == 7 ? 13 : 16);
        EXPECT_FALSE(font.bold() || font.italic() || font.underline() || font.strikeOut());
        const QString face = index == LanguageIndex::SimplifiedChinese    ? u"宋体"_s
                             : index == LanguageIndex::TraditionalChinese ? u"細明體"_s
                                                                          : u"MS Sans Serif"_s;
        for (int number = 0; number < Messages::Count; ++number) {
            const QString text = Catalogues::translate(Catalogues::languageFor(index), "Messages",
                                                       Messages::source(number));
            SCOPED_TRACE(text.toStdString());
            EXPECT_FALSE(glyphs(text, font).contains(0u));
            if (face != u"MS Sans Serif"_s && number != Messages::LanguageNames) {
                EXPECT_EQ(glyphs(han(text), font),
                          glyphs(han(text), alone(installedFamily(face), 16)));
            }
        }
    }
}

// The Chinese faces' Latin half is narrow (half an em a character, 8 px at
// 12 pt), and the window's English captions were fitted to it: they must
// not come out much wider in the Chinese languages, or they are clipped.
TEST_F(Fonts, LatinInTheChineseFacesKeepsCloseToHalfWidth) {
    for (const auto language :
         {LanguageIndex::SimplifiedChinese, LanguageIndex::TraditionalChinese}) {
        const QFontMetrics metrics(languageFont(language));
        for (const QString& caption : {u"ISO15693"_s, u"GUID(B)"_s, u"Green Mode"_s, u"x100ms"_s,
                                       u"Same Card Delay:"_s, u"Receive Data:"_s})
            EXPECT_LE(metrics.horizontalAdvance(caption), 8 * caption.size() * 112 / 100)
                << caption.toStdString();
    }
}

// A control with a Latin face of its own (a large button) that shows
// Chinese. The same character can have a different glyph in the Simplified
// and the Traditional face (體 does), so glyph indexes tell the forms apart.
TEST_F(Fonts, ChineseInALatinFaceTakesTheFormsOfItsLanguage) {
    const QString traditional =
        han(Catalogues::translate(Catalogues::languageFor(LanguageIndex::TraditionalChinese),
                                  "Messages", Messages::source(Messages::LanguageNames)));
    const QString simplified =
        han(Catalogues::translate(Catalogues::languageFor(LanguageIndex::SimplifiedChinese),
                                  "Messages", Messages::source(Messages::LanguageNames)));
    const QFont sc = alone(u"Noto Sans CJK SC"_s, 19, true),
                tc = alone(u"Noto Sans CJK TC"_s, 19, true);
    ASSERT_NE(glyphs(traditional, sc), glyphs(traditional, tc)) << "no glyph differs by region";

    // By default (English) Simplified forms. Drawn first, so that the
    // Traditional font below must not reuse its fallbacks.
    const QFont button = designFont(u"MS Sans Serif"_s, 19, true);
    EXPECT_EQ(glyphs(simplified, button), glyphs(simplified, sc));
    EXPECT_EQ(glyphs(traditional, button), glyphs(traditional, sc));

    const QFont forTraditional = withLanguageFallbacks(button, LanguageIndex::TraditionalChinese);
    EXPECT_EQ(glyphs(traditional, forTraditional), glyphs(traditional, tc));
    EXPECT_EQ(families(u"Connect"_s, forTraditional), QStringList{u"Liberation Sans"_s});
    EXPECT_EQ(QFontInfo(forTraditional).pixelSize(), 19);
    EXPECT_TRUE(QFontInfo(forTraditional).bold());

    const QFont back = withLanguageFallbacks(forTraditional, LanguageIndex::SimplifiedChinese);
    EXPECT_EQ(glyphs(traditional, back), glyphs(traditional, sc));
}

// Receive fields show control bytes as the control pictures (SOH as U+2401,
// CR as U+240D, DEL as U+2421), which none of the faces has.
TEST_F(Fonts, ControlPicturesAreDrawnNotBoxed) {
    QString pictures = u"0000AC"_s;
    for (char16_t c = 0x2400; c <= 0x2421; ++c) pictures.append(QChar(c));
    for (const int language : {0, 1, 2})
        EXPECT_FALSE(glyphs(pictures, languageFont(LanguageIndex(language))).contains(0u))
            << language;
}
