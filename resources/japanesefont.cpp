#include "resources/japanesefont.h"

#include <QStringList>

using namespace Qt::StringLiterals;

QFont japaneseGothicFont(qreal pointSize, int weight)
{
    QFont font;
    // Both spellings of the original face: its Japanese name is the one the
    // font itself registers, the Latin one is what some systems alias.
    font.setFamilies({u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s,
                      u"Noto Sans CJK JP"_s});
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}
