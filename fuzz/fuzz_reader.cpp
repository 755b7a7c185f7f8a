// Arbitrary bytes as an outline file: the reader must either build an outline
// or name a failure with its line, never touch memory it does not own.
#include "file/outlinereader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReadResult result = readOutline(QByteArrayView(data, qsizetype(size)));
    if (result.error) {
        if (result.error->line < 1 || result.error->message.isEmpty())
            std::abort();
        return 0;
    }
    const Outline &outline = result.outline;
    if (!outline.root() || outline.count() < 1 || outline.KeyCounter > Outline::TextSlots)
        std::abort();
    for (int i = 1; i <= outline.count(); ++i) {
        const Category *category = outline.item(i);
        if (category->index() != i || outline.item(category->key()) != category
            || category->keyNumber() >= outline.KeyCounter)
            std::abort();
    }
    return 0;
}
