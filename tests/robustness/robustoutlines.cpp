#include "robustoutlines.h"

#include "file/outlinewriter.h"

using namespace Qt::StringLiterals;

namespace robustoutlines {

Outline loopVariant(int which)
{
    Outline outline;
    const QString name = which == 0 ? u"前"_s : u"後"_s;
    Category *root = outline.addTopLevel(u"C0"_s, name + u"の版"_s);
    const int children = which == 0 ? 40 : 57;
    for (int i = 1; i <= children; ++i) {
        outline.addChild(root, u"C%1"_s.arg(i), u"%1 %2"_s.arg(name).arg(i));
        // About 1.5 and 2.3 MB in all: several write calls each.
        outline.TextData[size_t(i)] =
                QString(5000, which == 0 ? u'あ' : u'い') + u"\r\n"_s + QString::number(i);
    }
    outline.KeyCounter = children + 1;
    return outline;
}

QByteArray loopVariantBytes(int which)
{
    return writeOutline(loopVariant(which));
}

Outline wide(int count)
{
    Outline outline;
    Category *root = outline.addTopLevel(u"C0"_s, u"root"_s);
    for (int i = 1; i < count; ++i) {
        outline.addChild(root, u"C%1"_s.arg(i), u"item %1"_s.arg(i));
        outline.TextData[size_t(i)] = QString::number(i);
    }
    outline.KeyCounter = count;
    return outline;
}

Outline chain(int depth)
{
    Outline outline;
    Category *parent = outline.addTopLevel(u"C0"_s, u"level 0"_s);
    for (int i = 1; i <= depth; ++i)
        parent = outline.addChild(parent, u"C%1"_s.arg(i), u"level %1"_s.arg(i));
    outline.KeyCounter = depth + 1;
    return outline;
}

} // namespace robustoutlines
