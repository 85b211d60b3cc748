// The window's font faces, as the design names them, mapped to families
// that are installed here and look right: Liberation Sans for "MS Sans
// Serif" (fontconfig's own pick, DejaVu Sans, is too wide for the bold
// buttons), Liberation Sans Narrow for "Arial Narrow", and Noto Sans CJK SC
// and TC for the two Chinese faces, so that each language gets its own
// glyph forms whatever the locale.
#pragma once

#include "languages.h"

#include <QFont>
#include <QString>

namespace kt {

// The installed family to use for a design face name; unknown names pass
// through for fontconfig to substitute.
QString installedFamily(const QString& designFace);

// A font of the design face at a pixel height (the design's "character
// height"), bold or not: what a control with a font of its own uses.
QFont designFont(const QString& designFace, int pixelHeight, bool bold = false);

// The window's base font for a language: "MS Sans Serif" 10 pt, or the
// Simplified or Traditional Chinese face at 12 pt.
QFont languageFont(LanguageIndex language);

}  // namespace kt
