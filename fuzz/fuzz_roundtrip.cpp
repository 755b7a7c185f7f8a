// Whatever the reader accepts must read back the same after writing it:
// tree, keys, titles, check marks, icons, bodies and KeyCounter. Inputs holding
// text the file cannot store as it stands are skipped; the writer's own report
// (findUnstorableText) says which.
#include "file/outlinereader.h"
#include "file/outlinewriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void mismatch(const char *what, const Category *category)
{
    std::fprintf(stderr, "round trip changed the %s of category \"%s\"\n", what,
                 category ? category->key().toUtf8().constData() : "");
    std::abort();
}

bool storable(const Outline &outline)
{
    return findUnstorableText(outline).isEmpty();
}

void compare(const Outline &first, const Outline &second)
{
    if (first.count() != second.count())
        mismatch("number", nullptr);
    if (first.KeyCounter != second.KeyCounter)
        mismatch("KeyCounter", nullptr);
    if (first.topLevel().size() != second.topLevel().size())
        mismatch("top level", nullptr);
    for (int i = 1; i <= first.count(); ++i) {
        const Category *a = first.item(i);
        const Category *b = second.item(i);
        if (a->key() != b->key())
            mismatch("key", a);
        if ((a->parent() == nullptr) != (b->parent() == nullptr)
            || (a->parent() && a->parent()->key() != b->parent()->key()))
            mismatch("parent", a);
        if (a->row() != b->row() || a->childCount() != b->childCount())
            mismatch("place in the tree", a);
        if (a->title() != b->title())
            mismatch("title", a);
        if (a->checked() != b->checked())
            mismatch("check mark", a);
        if (a->image() != b->image() || a->expanded() != b->expanded())
            mismatch("icon", a);
        if (first.TextData[size_t(a->keyNumber())] != second.TextData[size_t(b->keyNumber())])
            mismatch("body", a);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReadResult first = readOutline(QByteArrayView(data, qsizetype(size)));
    if (!first.ok() || !storable(first.outline))
        return 0;
    const QByteArray written = writeOutline(first.outline);
    const ReadResult second = readOutline(written);
    if (!second.ok()) {
        std::fprintf(stderr, "written outline does not read back: line %d: %s\n",
                     second.error->line, second.error->message.toUtf8().constData());
        std::abort();
    }
    compare(first.outline, second.outline);
    // Writing again must give the same bytes: nothing drifts from save to save.
    if (writeOutline(second.outline) != written)
        mismatch("bytes of the second save", nullptr);
    return 0;
}
