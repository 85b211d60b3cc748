// The window's font faces, as the design names them, mapped to families
// that are installed here and look right: Liberation Sans for "MS Sans
// Serif" (fontconfig's own pick, DejaVu Sans, is too wide for the bold
// buttons), Liberation Sans Narrow for "Arial Narrow", Inter Black for the
// heavy "Arial Black", and Noto Serif CJK SC and TC for the two Chinese
// faces (both are Song/Ming faces), so that each language gets its own
// glyph forms whatever the locale. The Chinese faces draw their Latin half
// with Liberation Serif, as narrow as the originals' half-width Latin, so
// their first family is Liberation Serif: to reuse such a font at another
// size, copy the QFont and change its size; never rebuild it from family().
//
// Every font carries a fallback chain after its face: Noto Sans CJK for
// Chinese text in a Latin face, and FreeSans for the control pictures
// (U+2400 to U+2421) with which receive fields show control bytes, which
// none of the faces above has.
#pragma once

#include "app/languages.h"

#include <QFont>
#include <QString>

namespace kt {

// The installed family to use for a design face name; unknown names pass
// through for fontconfig to substitute. (scripts/install-deps installs
// these families.)
QString installedFamily(const QString& designFace);

// A font of the design face at a pixel height (the design's "character
// height"), bold or not: what a control with a font of its own uses.
// "Arial Black" is black whatever `bold` says. Chinese text in a Latin face
// takes Simplified glyph forms; see withLanguageFallbacks.
QFont designFont(const QString& designFace, int pixelHeight, bool bold = false);

// The window's base font for a language: "MS Sans Serif" 10 pt, or the
// Simplified or Traditional Chinese face at 12 pt. The sizes are pixel sizes
// of those points at 96 dpi (13 and 16 px), as the fixed pixel layout was
// drawn with, so a screen with another dpi does not overflow the controls.
QFont languageFont(LanguageIndex language);

// The same font with its Chinese fallbacks ordered for `language`: a control
// with a Latin face of its own (a large button, the status line) that shows
// Traditional text should draw it in Traditional forms. Face, size and style
// stay as they are. For example, when the language changes:
//     for (auto* w : findChildren<QWidget*>())
//         if (w->testAttribute(Qt::WA_SetFont))
//             w->setFont(kt::withLanguageFallbacks(w->font(), language));
QFont withLanguageFallbacks(const QFont& font, LanguageIndex language);

}  // namespace kt
