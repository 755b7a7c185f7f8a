#include "resources/japanesefont.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Both spellings of the original face: its Japanese name is the one the font
// itself registers, the Latin one is what some systems alias.
QStringList installedGothicFamilies()
{
    const QStringList candidates{u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s,
                                 u"Noto Sans CJK JP"_s};
    // Each family that is not installed costs a search through every font on
    // the system for each script the text uses, the first time text is laid out.
    QStringList installed;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(installed),
                 [](const QString &family) { return QFontDatabase::hasFamily(family); });
    return installed.isEmpty() ? candidates : installed;
}

} // namespace

QFont japaneseGothicFont(qreal pointSize, int weight)
{
    static const QStringList families = installedGothicFamilies();
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    // Kanji at this size keep crisp strokes only when snapped to the pixel
    // grid both ways, as the original face is drawn on its home system. It
    // also draws each glyph once instead of once per fraction of a pixel it
    // lands on, which took about 4 ms of starting with a long body shown.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
