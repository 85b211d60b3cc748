// Every text of the window that follows the language, in English, Simplified
// Chinese and Traditional Chinese. Entries are numbered 0 to 61; other code
// names a text by its number or by its English wording.
#pragma once

#include "app/languages.h"

#include <QAnyStringView>
#include <QString>

namespace kt {

class MessageTable {
public:
    static constexpr int Count = 62;

    // Entry 9 is no translation: its columns are the three language names,
    // each in its own language, one for each item of the Language menu.
    static constexpr int LanguageNames = 9;

    // The text of entry `number` in `language`; empty for a number outside
    // 0..Count-1.
    static QString text(int number, LanguageIndex language);

    // The text whose English wording is `english` (exact, letter case
    // included), in `language`; the tool's added texts (added_messages.h)
    // are found the same way. A wording that is not in the table comes back
    // as it is, so a slip shows English rather than an empty control.
    static QString translate(QAnyStringView english, LanguageIndex language);

    // The number of the first entry with that English wording, or -1.
    static int number(QAnyStringView english);
};

}  // namespace kt
