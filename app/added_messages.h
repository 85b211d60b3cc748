// Texts of what the tool has beyond the original window (the line-speed
// scan, the module survey), kept apart from the 62 entries of the message
// table in the same three columns. MessageTable::translate finds them by
// their English wording as it finds its own.
#pragma once

#include "app/languages.h"

#include <QAnyStringView>
#include <QString>

namespace kt::AddedMessages {

int count();
// The text of added entry `number` in `language`; empty outside 0..count()-1.
QString text(int number, LanguageIndex language);
// The number of the added entry with that English wording, or -1.
int number(QAnyStringView english);

}  // namespace kt::AddedMessages
