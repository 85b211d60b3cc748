// Builds a catalogue now, the way the build does for the program's own: a
// .ts written from the entries, lrelease, and rcc into a resource registered
// under :/i18n, where the program looks for its languages.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <tuple>
#include <vector>

namespace kttest {

// context, source, translation
using CatalogueEntry = std::tuple<const char*, const char*, const char*>;

// Runs program with arguments; empty when it ran and succeeded, else what
// went wrong with its output.
QString runTool(const QString& program, const QStringList& arguments);

// Whether text converts to codePage ("GB2312", "BIG5") whole: glibc's
// converter, with no transliteration and nothing skipped.
bool fitsCodePage(const QString& text, const char* codePage);

// Registers ":/i18n/kttools_<language>.qm" made from the entries, its files
// in dir; empty on success, else what went wrong.
QString registerCatalogue(QTemporaryDir& dir, const QString& language,
                          const std::vector<CatalogueEntry>& entries);

}  // namespace kttest
