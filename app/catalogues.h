// The languages the tool speaks. English is the language of the source texts
// and needs no catalogue; every other language is one compiled catalogue built
// into the program as ":/i18n/kttools_<code>.qm" (from translations/, by
// qt_add_translations). A language is named by its catalogue's code ("en",
// "zh_CN", "zh_TW"), so a language added as a catalogue is known here without
// a line of code.
#pragma once

#include "app/languages.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace kt::Catalogues {

inline constexpr QStringView English = u"en";

// "en", then the code of every catalogue built in, in the order of their names.
QStringList languages();

// The text with that context and source in `language`, whatever language is
// installed: what the Language menu needs for each language's own name. A
// text the catalogue lacks, or an unknown language, gives the source.
QString translate(QStringView language, const char* context, const char* source);

// The language's own name, as its item of the Language menu shows it.
QString name(QStringView language);

// Makes `language` the one tr() answers in, replacing the catalogue before;
// Qt then sends every window a LanguageChange. An unknown language installs
// English (no catalogue).
void install(QStringView language);
QString installed();

// The word the settings keep for a language: "English", "ChineseGB" and
// "ChineseBIG5" for the three the tool has always had, the catalogue's code
// for any other. A word that is none of these means English.
QString flagFor(QStringView language);
QString languageForFlag(QStringView flag);

// The three languages as the settings and the fonts know them; any other
// language takes the English font.
QString languageFor(LanguageIndex index);
LanguageIndex indexFor(QStringView language);

}  // namespace kt::Catalogues
