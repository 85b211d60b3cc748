// The tool's three first languages: the index that picks their font, and the
// word under which the settings keep the choice (app/catalogues.h names every
// language by its catalogue).
#pragma once

#include <QString>
#include <QStringView>

namespace kt {

// English, Simplified or Traditional Chinese. Nothing outside these three values is ever
// produced here; code handed an out-of-range value treats it as English.
enum class LanguageIndex : int { English = 0, SimplifiedChinese = 1, TraditionalChinese = 2 };

inline constexpr int LanguageCount = 3;

// The stored word: "ChineseGB" and "ChineseBIG5" pick the Chinese columns when
// they match exactly (letter case and all); any other word, an empty one
// included, means English. The caller keeps the word it read as it is, so an
// unknown word survives in the settings until the user picks a language.
LanguageIndex languageIndexForFlag(QStringView flag);

// "English", "ChineseGB" or "ChineseBIG5": what choosing a language stores.
QString languageFlagFor(LanguageIndex language);

}  // namespace kt
