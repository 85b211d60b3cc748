#include "app/languages.h"

namespace kt {

LanguageIndex languageIndexForFlag(QStringView flag) {
    if (flag == u"ChineseGB") return LanguageIndex::SimplifiedChinese;
    if (flag == u"ChineseBIG5") return LanguageIndex::TraditionalChinese;
    return LanguageIndex::English;
}

QString languageFlagFor(LanguageIndex language) {
    switch (language) {
        case LanguageIndex::SimplifiedChinese:
            return QStringLiteral("ChineseGB");
        case LanguageIndex::TraditionalChinese:
            return QStringLiteral("ChineseBIG5");
        case LanguageIndex::English:
            break;
    }
    return QStringLiteral("English");
}

}  // namespace kt
