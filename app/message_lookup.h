// The lookups of the window's own files that still name a text by its number
// or by its English wording in a given language. They find the text in the
// catalogues; they go once those files call tr() themselves.
#pragma once

#include "app/languages.h"
#include "app/messages.h"

#include <QAnyStringView>
#include <QString>

namespace kt {

class MessageTable {
public:
    static constexpr int Count = Messages::Count;
    static constexpr int LanguageNames = Messages::LanguageNames;

    // Message `number` in `language`; empty outside 0..Count-1.
    static QString text(int number, LanguageIndex language);

    // The window's text with that English wording in `language`: a numbered
    // message, or one of the window's other texts. A wording not in the
    // catalogues comes back as it is.
    static QString translate(QAnyStringView english, LanguageIndex language);
};

}  // namespace kt
