// The failure causes: complete in the three languages, within the code pages
// of the catalogues, and naming what they say.
#include "app/catalogues.h"
#include "app/fault_causes.h"
#include "tests/app/catalogue_builder.h"

#include <gtest/gtest.h>

using namespace kt;
using namespace Qt::StringLiterals;

namespace {

void expectThreeLanguages(const QString texts[3], const std::string& what) {
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(texts[i].isEmpty()) << what;
    EXPECT_TRUE(kttest::fitsCodePage(texts[1], "GB2312")) << what;
    EXPECT_TRUE(kttest::fitsCodePage(texts[2], "BIG5")) << what;
    EXPECT_NE(texts[0], texts[1]) << what << ": not translated";
}

// What the window shows with that language's catalogue installed.
template <typename Render>
QString in(LanguageIndex language, Render render) {
    Catalogues::install(Catalogues::languageFor(language));
    const QString text = render();
    Catalogues::install(Catalogues::English);
    return text;
}

}  // namespace

TEST(LinuxTexts, EveryCauseInEveryLanguageNamesItsPortAndGroup) {
    LinkError context;
    context.port = u"ttyUSB7"_s;
    context.group = u"uucp"_s;
    context.text = u"the system's words"_s;
    for (int f = int(LinkFault::NoSuchPort); f <= int(LinkFault::NotOpen); ++f) {
        context.kind = LinkFault(f);
        const QString texts[3] = {
            in(LanguageIndex::English, [&] { return FaultCause(context); }),
            in(LanguageIndex::SimplifiedChinese, [&] { return FaultCause(context); }),
            in(LanguageIndex::TraditionalChinese, [&] { return FaultCause(context); })};
        expectThreeLanguages(texts, LinkFaultName(context.kind));
        // Whatever names the port, names it in every language.
        for (const QString& text : texts) {
            EXPECT_FALSE(text.contains(u'%')) << text.toStdString();
            EXPECT_EQ(text.contains(u"ttyUSB7"_s), texts[0].contains(u"ttyUSB7"_s));
        }
    }
    context.kind = LinkFault::NoAccess;
    EXPECT_EQ(in(LanguageIndex::English, [&] { return FaultCause(context); }),
              "ttyUSB7: permission denied; add your account to the uucp group");
    context.logInAgain = true;
    EXPECT_TRUE(in(LanguageIndex::TraditionalChinese, [&] {
                    return FaultCause(context);
                }).contains(u"uucp"_s));
    context.group.clear();  // no group may open it
    EXPECT_EQ(in(LanguageIndex::English, [&] { return FaultCause(context); }),
              "ttyUSB7: permission denied; ask your administrator");
    context.kind = LinkFault::Other;
    EXPECT_EQ(in(LanguageIndex::SimplifiedChinese, [&] { return FaultCause(context); }),
              "the system's words");
    context.kind = LinkFault::None;
    EXPECT_TRUE(in(LanguageIndex::English, [&] { return FaultCause(context); }).isEmpty());
    const QString marks[3] = {in(LanguageIndex::English, [] { return NoAccessMark(); }),
                              in(LanguageIndex::SimplifiedChinese, [] { return NoAccessMark(); }),
                              in(LanguageIndex::TraditionalChinese, [] { return NoAccessMark(); })};
    expectThreeLanguages(marks, "no-access mark");
}
