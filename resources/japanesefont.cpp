#include "resources/japanesefont.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The original face first, in both spellings: its Japanese name is the one
// the font itself registers, the Latin one is what some systems alias. Then
// the free gothics that ship with Debian.
QString gothicFamily()
{
    const QStringList preference{u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s,
                                 u"Noto Sans CJK JP"_s};
    // Only the first installed one is named. Qt searches every font on the
    // system once per script for each family named that is not installed, and
    // for each further family named, the first time text is laid out; the
    // gothics cover code page 932 but for a sign or two and the user-defined
    // area, and those, like any other character, fall back to the system's
    // choice.
    const auto installed =
            std::find_if(preference.begin(), preference.end(),
                         [](const QString &family) { return QFontDatabase::hasFamily(family); });
    return installed != preference.end() ? *installed : preference.front();
}

} // namespace

QFont japaneseGothicFont(qreal pointSize, int weight)
{
    static const QString family = gothicFamily();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    // As the original face is drawn on its home system. Drawing each glyph
    // once saved about 4 ms of starting with a long body shown.
    return gridFitted(font);
}

QFont gridFitted(QFont font)
{
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
