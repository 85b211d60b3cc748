// A language added as nothing but a catalogue: the Language menu offers it,
// the window and the windows beside it switch to it, and the choice is kept.
#include "app/catalogues.h"
#include "app/window/module_survey_window.h"
#include "tests/app/catalogue_builder.h"
#include "tests/window/window_test_support.h"

#include <QAction>
#include <QPushButton>
#include <QTabWidget>

using namespace kttest;
using namespace Qt::StringLiterals;

namespace {

// German, built from a .ts the way the build makes the program's own, once
// for the whole program (the catalogues are read once).
void registerGerman() {
    static QTemporaryDir dir;
    static const QString error = kttest::registerCatalogue(
        dir, u"de"_s,
        {{"Messages", "&English", "&Deutsch"},
         {"Messages", "KT350 KT460 Tools V0505", "KT350 KT460 Werkzeuge V0505"},
         {"Messages", "Start connect device", "Gerät verbinden"},
         {"Messages", "Basic test", "Grundtest"},
         {"kt::ModuleSurveyWindow", "Module survey", "Modulsuche"},
         {"kt::ModuleSurveyWindow", "Copy", "Kopieren"}});
    ASSERT_EQ(error, QString());
}

}  // namespace

TEST_F(WindowTest, AFourthLanguageIsACatalogueAndAMenuItem) {
    registerGerman();
    start();
    auto* german = child<QAction>("mnuLanguage_de");
    EXPECT_EQ(german->text(), u"&Deutsch"_s);
    // The three keep their items and names.
    EXPECT_EQ(child<QAction>("mnuSimplified")->text(), u"&Simplified chinese(简体)"_s);
    EXPECT_TRUE(child<QAction>("mnuEnglish")->isChecked());

    german->trigger();
    EXPECT_EQ(window_->windowTitle(), u"KT350 KT460 Werkzeuge V0505"_s);
    EXPECT_EQ(status(), u"Gerät verbinden"_s);
    auto* pages = child<QTabWidget>("pcMain");
    EXPECT_EQ(pages->tabText(pages->indexOf(child("tsTest"))), u"Grundtest"_s);
    // What the catalogue lacks reads in English.
    EXPECT_EQ(child<QPushButton>("btnConnect")->text(), u"Connect device"_s);
    EXPECT_TRUE(german->isChecked());
    EXPECT_FALSE(child<QAction>("mnuEnglish")->isChecked());
    EXPECT_EQ(child<QAction>("mnuTraditional")->text(), u"&Traditional chinese(繁體)"_s);
    EXPECT_EQ(window_->settingsFields().LanguageFlag, u"de"_s);

    // It is kept: the tool comes up in it again.
    start();
    EXPECT_EQ(window_->windowTitle(), u"KT350 KT460 Werkzeuge V0505"_s);
    EXPECT_TRUE(child<QAction>("mnuLanguage_de")->isChecked());
    child<QAction>("mnuEnglish")->trigger();
    EXPECT_EQ(window_->windowTitle(), u"KT350 KT460 Tools V0505"_s);
    EXPECT_EQ(window_->settingsFields().LanguageFlag, u"English"_s);
}

TEST(WindowLanguage, TheSurveyWindowFollowsEachCatalogueInstalled) {
    registerGerman();
    kt::ModuleSurveyWindow survey;
    auto* copy = survey.findChild<QPushButton*>(u"btnSurveyCopy"_s);
    ASSERT_NE(copy, nullptr);
    const std::tuple<const char16_t*, QString, QString> languages[] = {
        {u"zh_TW", u"掃描模組"_s, u"複製"_s},
        {u"de", u"Modulsuche"_s, u"Kopieren"_s},
        {u"zh_CN", u"扫描模组"_s, u"复制"_s},
        {u"en", u"Module survey"_s, u"Copy"_s}};
    for (const auto& [language, title, button] : languages) {
        kt::Catalogues::install(language);
        QCoreApplication::processEvents();  // the LanguageChange Qt posts
        EXPECT_EQ(survey.windowTitle(), title);
        EXPECT_EQ(copy->text(), button);
    }
    // A text the new catalogue lacks shows its English.
    kt::Catalogues::install(u"de");
    QCoreApplication::processEvents();
    EXPECT_EQ(survey.tableText().section(u'\t', 0, 0), u"Kind"_s);
    kt::Catalogues::install(u"en");
}
