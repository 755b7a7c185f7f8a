#include "tests/support/samplefiles.h"

#include "file/outlinewriter.h"
#include "tests/support/outlinerecords.h"
#include "tests/support/testfiles.h"

using namespace Qt::StringLiterals;

namespace samplefiles {

Outline trip()
{
    Outline outline;
    Category *root = outline.addTopLevel(u"C0"_s, u"旅行"_s);
    Category *packing = outline.addChild(root, u"C1"_s, u"荷造り"_s);
    Category *tickets = outline.addChild(root, u"C2"_s, u"切符"_s);
    outline.addChild(packing, u"C3"_s, u"予定表"_s);
    outline.addChild(root, u"C4"_s, u"メモ"_s);
    outline.setChecked(tickets, true);
    outline.TextData[0] = u"金曜日に出発。"_s;
    outline.TextData[1] = u"カメラ\r\n傘"_s;
    outline.TextData[3] = u"①ｱｲｳ"_s;
    outline.TextData[4] = u"x"_s;
    outline.KeyCounter = 5;
    return outline;
}

bool writeTrip(const QString &path)
{
    return files::writeBytes(path, writeOutline(trip()));
}

bool writeFailingPartWay(const QString &path)
{
    using outlinerecords::record;
    return files::writeBytes(path,
                             record("C0", {}, "Root", "False", {"root body"})
                                     + record("C1", "C0", "First", "False", {""})
                                     + record("C2", "C9", "Orphan", "False", {""}));
}

} // namespace samplefiles
