#include "app/catalogues.h"

#include "app/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QTranslator>

#include <map>
#include <memory>
#include <utility>

namespace kt::Catalogues {

// The three first languages by their catalogues' codes.
constexpr std::pair<LanguageIndex, QStringView> kFirstLanguages[] = {
    {LanguageIndex::English, English},
    {LanguageIndex::SimplifiedChinese, u"zh_CN"},
    {LanguageIndex::TraditionalChinese, u"zh_TW"},
};
namespace {

const QString kFolder = QStringLiteral(":/i18n");
const QString kPrefix = QStringLiteral("kttools_");
const QString kSuffix = QStringLiteral(".qm");

struct Loaded {
    QMutex mutex;
    // A language whose catalogue did not load keeps a null entry, so a
    // broken catalogue is tried once, not at every text.
    std::map<QString, std::unique_ptr<QTranslator>> translators;
    QString installed = English.toString();
};

Loaded& loaded() {
    static Loaded instance;
    return instance;
}

// The language's catalogue, loaded on first use; null for English and for a
// language with no (or no readable) catalogue. Called with the mutex held.
QTranslator* translatorLocked(Loaded& state, QStringView language) {
    if (language == English || language.isEmpty()) return nullptr;
    const QString key = language.toString();
    auto found = state.translators.find(key);
    if (found == state.translators.end()) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(kFolder + u'/' + kPrefix + key + kSuffix)) translator.reset();
        found = state.translators.emplace(key, std::move(translator)).first;
    }
    return found->second.get();
}

}  // namespace

QStringList languages() {
    QStringList codes{English.toString()};
    const QStringList files =
        QDir(kFolder).entryList({kPrefix + u'*' + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString code =
            file.mid(kPrefix.size(), file.size() - kPrefix.size() - kSuffix.size());
        if (!code.isEmpty() && code != English) codes << code;
    }
    return codes;
}

QString translate(QStringView language, const char* context, const char* source) {
    Loaded& state = loaded();
    QMutexLocker lock(&state.mutex);
    if (const QTranslator* translator = translatorLocked(state, language)) {
        const QString text = translator->translate(context, source);
        if (!text.isEmpty()) return text;
    }
    return QString::fromUtf8(source);
}

QString name(QStringView language) {
    return translate(language, "Messages", Messages::source(Messages::LanguageNames));
}

void install(QStringView language) {
    Loaded& state = loaded();
    QTranslator* before = nullptr;
    QTranslator* after = nullptr;
    {
        QMutexLocker lock(&state.mutex);
        before = translatorLocked(state, state.installed);
        after = translatorLocked(state, language);
        state.installed = after ? language.toString() : English.toString();
    }
    if (before == after) return;
    // Outside the lock: both calls send LanguageChange, whose handlers look
    // texts up here.
    if (before) QCoreApplication::removeTranslator(before);
    if (after) QCoreApplication::installTranslator(after);
}

QString installed() {
    Loaded& state = loaded();
    QMutexLocker lock(&state.mutex);
    return state.installed;
}

QString flagFor(QStringView language) {
    for (const auto& [index, code] : kFirstLanguages)
        if (language == code) return languageFlagFor(index);
    return language.toString();
}

QString languageForFlag(QStringView flag) {
    for (const QString& language : languages()) {
        if (flagFor(language) == flag) return language;
    }
    return English.toString();
}

QString languageFor(LanguageIndex index) {
    for (const auto& [first, code] : kFirstLanguages)
        if (first == index) return code.toString();
    return English.toString();
}

LanguageIndex indexFor(QStringView language) {
    for (const auto& [index, code] : kFirstLanguages)
        if (language == code) return index;
    return LanguageIndex::English;
}

}  // namespace kt::Catalogues
