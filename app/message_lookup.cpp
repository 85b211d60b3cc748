#include "app/message_lookup.h"

#include "app/catalogues.h"

namespace kt {
namespace {

// The texts that the window's files pass to translate() by their wording.
[[maybe_unused]] constexpr const char* kWindowTexts[] = {
    QT_TRANSLATE_NOOP("Messages", "Find line &speed"),
    QT_TRANSLATE_NOOP("Messages", "Finding line speed ..."),
    QT_TRANSLATE_NOOP("Messages", "Module &survey"),
    QT_TRANSLATE_NOOP("Messages", "Set the converter's line (RFC 2217)"),
    QT_TRANSLATE_NOOP("Messages", "&Traffic monitor"),
    QT_TRANSLATE_NOOP("Messages",
                      "Set factory erases the controller's cards and settings. Go on?"),
    QT_TRANSLATE_NOOP("Messages",
                      "The firmware upgrade rewrites the controller's program. Go on?"),
    QT_TRANSLATE_NOOP("Messages", "&Yes"),
    QT_TRANSLATE_NOOP("Messages", "&No"),
    QT_TRANSLATE_NOOP("Messages", "No answer since %1"),
};

}  // namespace

QString MessageTable::text(int number, LanguageIndex language) {
    const char* english = Messages::source(number);
    if (!english) return {};
    return Catalogues::translate(Catalogues::languageFor(language), "Messages", english);
}

QString MessageTable::translate(QAnyStringView english, LanguageIndex language) {
    const QByteArray source = english.toString().toUtf8();
    return Catalogues::translate(Catalogues::languageFor(language), "Messages", source.constData());
}

}  // namespace kt
