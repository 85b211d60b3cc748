// The catalogues: every text of the tool translated, current with the code,
// within its language's code page, and found by the program; the numbered
// messages and the language words.
#include "app/catalogues.h"
#include "app/messages.h"
#include "app/traffic_log.h"
#include "tests/app/catalogue_builder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <map>
#include <string>

using namespace kt;
using namespace Qt::StringLiterals;

namespace {

constexpr LanguageIndex kLanguages[] = {LanguageIndex::English, LanguageIndex::SimplifiedChinese,
                                        LanguageIndex::TraditionalChinese};

// Message n, or the window's text with that wording, in a language.
QString message(int number, LanguageIndex language) {
    const char* english = Messages::source(number);
    return english ? Catalogues::translate(Catalogues::languageFor(language), "Messages", english)
                   : QString();
}
QString byWording(const QString& english, LanguageIndex language) {
    return Catalogues::translate(Catalogues::languageFor(language), "Messages",
                                 english.toUtf8().constData());
}

struct Entry {
    QString type;  // "", "unfinished", "vanished", "obsolete"
    QString translation;
};
// context + '\n' + source -> entry
using Catalogue = std::map<QString, Entry>;

Catalogue readTs(const QString& path) {
    Catalogue entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return entries;
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            Entry entry{xml.attributes().value(QLatin1StringView("type")).toString(), {}};
            entry.translation = xml.readElementText();
            entries[context + u'\n' + source] = entry;
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return entries;
}

// The catalogue as lupdate leaves it after reading the sources now: a text
// the code has and the catalogue lacks comes back unfinished, one the code
// no longer has comes back vanished.
Catalogue updatedCatalogue(const QString& language, QTemporaryDir& dir) {
    const QString original =
        QStringLiteral(KT_SOURCE_DIR "/translations/kttools_%1.ts").arg(language);
    const QString copy = dir.filePath(QFileInfo(original).fileName());
    EXPECT_TRUE(QFile::copy(original, copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    const QString error = kttest::runTool(
        QStringLiteral(KT_LUPDATE),
        {u"-locations"_s, u"none"_s, u"-extensions"_s, u"cpp,h"_s,
         QStringLiteral("-I" KT_SOURCE_DIR), QStringLiteral(KT_SOURCE_DIR "/app"), u"-ts"_s, copy});
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return readTs(copy);
}

// Every %N and every '&' of the English survives translation.
void expectSameMarks(const QString& english, const QString& translation, const std::string& at) {
    static const QRegularExpression placeholder(u"%\\d"_s);
    QStringList want, have;
    for (const auto& m : placeholder.globalMatch(english)) want << m.captured();
    for (const auto& m : placeholder.globalMatch(translation)) have << m.captured();
    want.sort();
    have.sort();
    EXPECT_EQ(have, want) << at;
    EXPECT_EQ(translation.count(u'&'), english.count(u'&')) << at;
}

}  // namespace

TEST(Catalogues, EveryTextTranslatedCurrentAndInItsCodePage) {
    ASSERT_FALSE(kttest::fitsCodePage(u"設定"_s, "GB2312"));  // the check can fail
    ASSERT_FALSE(kttest::fitsCodePage(u"设定"_s, "BIG5"));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::pair<const char*, const char*> languages[] = {{"zh_CN", "GB2312"},
                                                             {"zh_TW", "BIG5"}};
    std::map<QString, Catalogue> catalogues;
    for (const auto& [language, codePage] : languages) {
        const Catalogue entries = updatedCatalogue(QString::fromLatin1(language), dir);
        ASSERT_GT(entries.size(), size_t(Messages::Count - 1)) << language;
        for (const auto& [key, entry] : entries) {
            const QString english = key.section(u'\n', 1);
            const std::string at = std::string(language) + ": " + key.toStdString() + " -> " +
                                   entry.translation.toStdString();
            EXPECT_TRUE(entry.type.isEmpty()) << at << " is " << entry.type.toStdString();
            EXPECT_FALSE(entry.translation.isEmpty()) << at;
            EXPECT_TRUE(std::all_of(english.begin(), english.end(), [](QChar c) {
                return c >= u' ' && c <= u'~';
            })) << at;
            EXPECT_TRUE(kttest::fitsCodePage(entry.translation, codePage)) << at;
            expectSameMarks(english, entry.translation, at);
            // An accelerator keeps its letter, behind the Chinese as "(&X)";
            // the language names each have their own.
            const int amp = english.indexOf(u'&');
            if (amp >= 0 && english != u"&English"_s) {
                const QString accelerator = u"(&"_s + english.mid(amp + 1, 1).toUpper() + u')';
                EXPECT_TRUE(entry.translation.contains(accelerator)) << at;
            }
        }
        catalogues[QString::fromLatin1(language)] = entries;
    }
    // Both catalogues hold the same texts.
    const auto keys = [](const Catalogue& c) {
        QStringList list;
        for (const auto& [key, entry] : c) list << key;
        return list;
    };
    EXPECT_EQ(keys(catalogues[u"zh_CN"_s]), keys(catalogues[u"zh_TW"_s]));
}

TEST(Catalogues, TheNumberedMessagesReadAsTheTableHasThem) {
    ASSERT_EQ(Messages::Count, 62);
    EXPECT_EQ(Messages::source(-1), nullptr);
    EXPECT_EQ(Messages::source(Messages::Count), nullptr);
    EXPECT_STREQ(Messages::source(Messages::LanguageNames), "&English");
    EXPECT_TRUE(message(Messages::Count, LanguageIndex::English).isEmpty());
    // Each language's own name, whatever language is installed.
    EXPECT_EQ(Catalogues::name(u"en"), u"&English"_s);
    EXPECT_EQ(Catalogues::name(u"zh_CN"), u"&Simplified chinese(简体)"_s);
    EXPECT_EQ(Catalogues::name(u"zh_TW"), u"&Traditional chinese(繁體)"_s);
    // A few by their bytes, from the compiled catalogues.
    const std::tuple<int, QString, QString> known[] = {
        {2, u"连线装置"_s, u"連線裝置"_s},
        {13, u"连接阜:"_s, u"連接阜:"_s},
        {20, u"指令完成."_s, u"指令完成."_s},
        {58, u"韧体档案格式机型错误!"_s, u"韌體檔案格式機型錯誤!"_s},
        {60,
         u"注意：更新产品韧体会影响产品上的部分资料，为确保资料安全，建议您在更新韧体前先备份您的资料。"_s,
         u"注意：更新產品韌體會影響產品上的部分資料，為確保資料安全，建議您在更新韌體前先備份您的資料。"_s},
        {61, u"本软体支援: KT350/KT460 系列控制器。"_s, u"本軟體支援: KT350/KT460 系列控制器。"_s}};
    for (const auto& [number, simplified, traditional] : known) {
        EXPECT_EQ(message(number, LanguageIndex::SimplifiedChinese), simplified);
        EXPECT_EQ(message(number, LanguageIndex::TraditionalChinese), traditional);
    }
    // Every message is translated and read back by its wording; 24 and 37
    // are the same text, 39 and 52 differ in the letter case of the English.
    for (int n = 0; n < Messages::Count; ++n) {
        const QString english = QString::fromUtf8(Messages::source(n));
        EXPECT_EQ(message(n, LanguageIndex::English), english);
        for (LanguageIndex language : kLanguages)
            EXPECT_EQ(byWording(english, language), message(n, language)) << n;
    }
    EXPECT_EQ(message(24, LanguageIndex::TraditionalChinese),
              message(37, LanguageIndex::TraditionalChinese));
    EXPECT_NE(QString::fromUtf8(Messages::source(39)), QString::fromUtf8(Messages::source(52)));
    EXPECT_EQ(message(39, LanguageIndex::SimplifiedChinese),
              message(52, LanguageIndex::SimplifiedChinese));
    EXPECT_EQ(byWording(QStringLiteral("No such text"), LanguageIndex::SimplifiedChinese),
              u"No such text"_s);
    EXPECT_EQ(byWording(QStringLiteral("&No"), LanguageIndex::TraditionalChinese), u"否(&N)"_s);
}

TEST(Catalogues, InstalledLanguageIsWhatTrAnswersIn) {
    EXPECT_EQ(Catalogues::languages(), (QStringList{u"en"_s, u"zh_CN"_s, u"zh_TW"_s}));
    Catalogues::install(u"zh_TW");
    EXPECT_EQ(Catalogues::installed(), u"zh_TW"_s);
    EXPECT_EQ(Messages::tr("Command error!"), u"指令錯誤!"_s);
    // Another language's text, while this one is installed.
    EXPECT_EQ(Catalogues::translate(u"zh_CN", "Messages", "Command error!"), u"指令错误!"_s);
    Catalogues::install(u"xx");  // no such catalogue: English
    EXPECT_EQ(Catalogues::installed(), u"en"_s);
    EXPECT_EQ(Messages::tr("Command error!"), u"Command error!"_s);
}

TEST(Catalogues, TheTrafficMonitorsWordsFollowTheInstalledLanguage) {
    QStringList english;
    for (int column = 0; column < TrafficLog::ColumnCount; ++column)
        english << TrafficLog::columnTexts(column);
    ASSERT_EQ(english.size(), 14);
    for (const char16_t* language : {u"zh_CN", u"zh_TW"}) {
        Catalogues::install(language);
        QStringList translated;
        for (int column = 0; column < TrafficLog::ColumnCount; ++column)
            translated << TrafficLog::columnTexts(column);
        for (qsizetype i = 0; i < english.size(); ++i)
            EXPECT_NE(translated[i], english[i]) << english[i].toStdString();
    }
    EXPECT_EQ(Catalogues::translate(u"zh_CN", "Messages", "&Traffic monitor"), u"通讯监视(&T)"_s);
    Catalogues::install(u"en");
}

TEST(LanguageFlag, OnlyTheExactWordsPickChinese) {
    EXPECT_EQ(languageIndexForFlag(u"ChineseGB"), LanguageIndex::SimplifiedChinese);
    EXPECT_EQ(languageIndexForFlag(u"ChineseBIG5"), LanguageIndex::TraditionalChinese);
    for (const char16_t* word : {u"English", u"chinesegb", u"ChineseBig5", u"ChineseGB ", u""})
        EXPECT_EQ(languageIndexForFlag(word), LanguageIndex::English);
    for (LanguageIndex language : kLanguages) {
        EXPECT_EQ(languageIndexForFlag(languageFlagFor(language)), language);
        const QString code = Catalogues::languageFor(language);
        EXPECT_EQ(Catalogues::flagFor(code), languageFlagFor(language));
        EXPECT_EQ(Catalogues::languageForFlag(languageFlagFor(language)), code);
        EXPECT_EQ(Catalogues::indexFor(code), language);
    }
    // A catalogue's code is no word for the three.
    for (const char16_t* word : {u"zh_CN", u"zh_TW", u"chinesegb", u""})
        EXPECT_EQ(Catalogues::languageForFlag(word), u"en"_s);
}

// A fourth language is one more catalogue in the resources: here one built
// now, from a .ts written now, registered the way the program's own are.
TEST(Catalogues, AFourthLanguageIsOneMoreCatalogue) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(Catalogues::languageForFlag(u"de"), u"en"_s);  // not yet
    ASSERT_EQ(kttest::registerCatalogue(dir, u"de"_s,
                                        {{"Messages", "&English", "&Deutsch"},
                                         {"Messages", "Command ok.", "Befehl ok."}}),
              QString());

    EXPECT_EQ(Catalogues::languages(), (QStringList{u"en"_s, u"de"_s, u"zh_CN"_s, u"zh_TW"_s}));
    EXPECT_EQ(Catalogues::name(u"de"), u"&Deutsch"_s);
    EXPECT_EQ(Catalogues::flagFor(u"de"), u"de"_s);
    EXPECT_EQ(Catalogues::languageForFlag(u"de"), u"de"_s);
    EXPECT_EQ(Catalogues::indexFor(u"de"), LanguageIndex::English);  // the Latin font
    Catalogues::install(u"de");
    EXPECT_EQ(Catalogues::installed(), u"de"_s);
    EXPECT_EQ(Messages::tr("Command ok."), u"Befehl ok."_s);
    EXPECT_EQ(Messages::tr("Command error!"), u"Command error!"_s);  // not in it: English
    Catalogues::install(u"en");
    EXPECT_EQ(Messages::tr("Command ok."), u"Command ok."_s);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
