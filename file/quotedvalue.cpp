#include "file/quotedvalue.h"

QString quotedValue(QStringView value)
{
    constexpr qsizetype shown = 40;
    if (value.size() <= shown)
        return value.toString();
    // Never between the two halves of a surrogate pair.
    const qsizetype cut = value[shown - 1].isHighSurrogate() ? shown - 1 : shown;
    return value.first(cut) + u'…';
}
