#include "app/fonts.h"

#include <QStringList>

#include <algorithm>

namespace kt {

namespace {

const QString SimplifiedSans = QStringLiteral("Noto Sans CJK SC");
const QString TraditionalSans = QStringLiteral("Noto Sans CJK TC");
// The control pictures; FreeSans is the only face installed that has them.
const QString Symbols = QStringLiteral("FreeSans");

struct Face {
    QString design;
    // The family that gives the face its character, then what stands in for
    // it should that one be missing.
    QStringList families;
    QFont::Weight weight;  // the face's own weight when not asked for bold
    // For the Chinese faces, the family their Latin letters and digits come
    // from (see below); empty for the others.
    QString latin = {};
};

// The two Chinese faces are Song/Ming faces whose Latin half is narrow:
// every ASCII character is half an em wide (8 px at 12 pt). Noto Serif CJK
// draws its own Latin 10 to 20 % wider, which clips the English captions the
// design fitted to that half-width ("ISO15693", "Green Mode" on the V7
// page). Liberation Serif comes within a few pixels of the half-width and
// is a serif like the original's, so it draws the Latin, and the CJK face
// everything it lacks.
const QString NarrowSerifLatin = QStringLiteral("Liberation Serif");

const QList<Face>& faces() {
    static const QList<Face> table{
        {QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans")}, QFont::Normal},
        {QStringLiteral("Arial Narrow"), {QStringLiteral("Liberation Sans Narrow")}, QFont::Normal},
        // Liberation has no black weight; its bold is the stand-in.
        {QStringLiteral("Arial Black"),
         {QStringLiteral("Inter"), QStringLiteral("Liberation Sans")},
         QFont::Black},
        {QStringLiteral("宋体"),
         {QStringLiteral("Noto Serif CJK SC"), SimplifiedSans},
         QFont::Normal,
         NarrowSerifLatin},
        {QStringLiteral("細明體"),
         {QStringLiteral("Noto Serif CJK TC"), TraditionalSans},
         QFont::Normal,
         NarrowSerifLatin},
    };
    return table;
}

const Face* findFace(const QString& designFace) {
    for (const Face& face : faces())
        if (face.design.compare(designFace, Qt::CaseInsensitive) == 0) return &face;
    return nullptr;
}

QStringList chineseFallbacks(LanguageIndex language) {
    if (language == LanguageIndex::TraditionalChinese) return {TraditionalSans, SimplifiedSans};
    return {SimplifiedSans, TraditionalSans};
}

// Qt keeps one fallback chain per primary family, size, weight and style
// strategy for the whole process, whatever chain later fonts of the same
// kind ask for: the first one drawn wins. Two of our chains share a primary
// family with different Chinese faces behind it (Liberation Serif before the
// Simplified or the Traditional face; Liberation Sans before the Chinese
// fallbacks in either order), so the chains that put Traditional first also
// carry a strategy of their own, PreferOutline, which changes nothing else
// here: every face we use is an outline face.
QFont withFamilies(QFont font, const QStringList& families) {
    font.setFamilies(families);
    bool traditionalFirst = false;
    for (const QString& family : families) {
        if (family.contains(u"CJK TC")) traditionalFirst = true;
        if (family.contains(u"CJK")) break;
    }
    const auto strategy = font.styleStrategy() & ~QFont::PreferOutline;
    font.setStyleStrategy(
        QFont::StyleStrategy(traditionalFirst ? strategy | QFont::PreferOutline : strategy));
    return font;
}

}  // namespace

QString installedFamily(const QString& designFace) {
    const Face* face = findFace(designFace);
    return face ? face->families.first() : designFace;
}

QFont designFont(const QString& designFace, int pixelHeight, bool bold) {
    const Face* face = findFace(designFace);
    QStringList families = face ? face->families : QStringList{designFace};
    if (face && !face->latin.isEmpty()) families.prepend(face->latin);
    for (const QString& fallback : chineseFallbacks(LanguageIndex::English))
        if (!families.contains(fallback)) families.append(fallback);
    families.append(Symbols);

    QFont font = withFamilies(QFont(), families);
    if (pixelHeight > 0) font.setPixelSize(pixelHeight);
    const QFont::Weight own = face ? face->weight : QFont::Normal;
    font.setWeight(bold ? std::max(own, QFont::Bold) : own);
    return font;
}

QFont languageFont(LanguageIndex language) {
    switch (language) {
        case LanguageIndex::SimplifiedChinese:
            return designFont(QStringLiteral("宋体"), 16);
        case LanguageIndex::TraditionalChinese:
            return designFont(QStringLiteral("細明體"), 16);
        case LanguageIndex::English:
            break;
    }
    return designFont(QStringLiteral("MS Sans Serif"), 13);
}

QFont withLanguageFallbacks(const QFont& font, LanguageIndex language) {
    // The places that hold the two Chinese fallbacks (after the face
    // itself), filled again in the language's order.
    QStringList families = font.families();
    const QStringList order = chineseFallbacks(language);
    QList<qsizetype> places;
    for (qsizetype i = 1; i < families.size(); ++i)
        if (order.contains(families[i])) places.append(i);
    if (places.size() != order.size()) return font;
    for (qsizetype k = 0; k < places.size(); ++k) families[places[k]] = order[k];

    return withFamilies(font, families);
}

}  // namespace kt
