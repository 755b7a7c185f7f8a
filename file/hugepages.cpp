#include "file/hugepages.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

void preferHugePages(void *begin, qsizetype bytes)
{
#ifdef Q_OS_LINUX
    constexpr quintptr hugePage = 2 << 20;
    const quintptr from = (quintptr(begin) + hugePage - 1) & ~(hugePage - 1);
    const quintptr to = (quintptr(begin) + quintptr(bytes)) & ~(hugePage - 1);
    if (to > from) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes the page-aligned address
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
    }
#else
    Q_UNUSED(begin);
    Q_UNUSED(bytes);
#endif
}
