#include "app/message_lookup.h"

#include "app/catalogues.h"

namespace kt {
namespace {

// The contexts of the window's texts, searched in this order.
constexpr const char* kContexts[] = {"Messages", "kt::TfrmModule", "kt::OperationRunner"};

// The texts that the window's files pass to translate() by their wording.
[[maybe_unused]] constexpr const char* kWindowTexts[] = {
    QT_TRANSLATE_NOOP("kt::TfrmModule", "Find line &speed"),
    QT_TRANSLATE_NOOP("kt::TfrmModule", "Finding line speed ..."),
    QT_TRANSLATE_NOOP("kt::TfrmModule", "Module &survey"),
    QT_TRANSLATE_NOOP("kt::TfrmModule", "Set the converter's line (RFC 2217)"),
    QT_TRANSLATE_NOOP("kt::TfrmModule", "&Traffic monitor"),
    QT_TRANSLATE_NOOP("kt::TfrmModule",
                      "Set factory erases the controller's cards and settings. Go on?"),
    QT_TRANSLATE_NOOP("kt::TfrmModule",
                      "The firmware upgrade rewrites the controller's program. Go on?"),
    QT_TRANSLATE_NOOP("kt::TfrmModule", "&Yes"),
    QT_TRANSLATE_NOOP("kt::TfrmModule", "&No"),
    QT_TRANSLATE_NOOP("kt::OperationRunner", "No answer since %1"),
};

}  // namespace

QString MessageTable::text(int number, LanguageIndex language) {
    const char* english = Messages::source(number);
    if (!english) return {};
    return Catalogues::translate(Catalogues::languageFor(language), "Messages", english);
}

QString MessageTable::translate(QAnyStringView english, LanguageIndex language) {
    const QByteArray source = english.toString().toUtf8();
    const QString code = Catalogues::languageFor(language);
    for (const char* context : kContexts) {
        const QString text = Catalogues::translate(code, context, source.constData());
        if (QAnyStringView::compare(text, english) != 0) return text;
    }
    return english.toString();
}

}  // namespace kt
