// The windows beside the main one follow the installed catalogue, a language
// added as nothing but a catalogue included.
#include "app/catalogues.h"
#include "app/window/module_survey_window.h"
#include "tests/app/catalogue_builder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class Application : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override {
        kt::Catalogues::install(kt::Catalogues::English);
        app_.reset();
    }

private:
    int argc_ = 1;
    char arg0_[21] = "test_window_language";
    char* argv_[2] = {arg0_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new Application);

}  // namespace

TEST(WindowLanguage, TheSurveyWindowSwitchesToEachCatalogueAsItIsInstalled) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(kttest::registerCatalogue(dir, u"de"_s,
                                        {{"Messages", "&English", "&Deutsch"},
                                         {"kt::ModuleSurveyWindow", "Module survey", "Modulsuche"},
                                         {"kt::ModuleSurveyWindow", "Copy", "Kopieren"}}),
              QString());
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
}
