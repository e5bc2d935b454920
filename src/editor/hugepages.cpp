#include "editor/hugepages.h"

#include <sys/mman.h>

void preferHugePages(void *data, qsizetype size)
{
#ifdef MADV_HUGEPAGE
    constexpr quintptr HugePage = quintptr(2) << 20;
    const quintptr start = (reinterpret_cast<quintptr>(data) + HugePage - 1) & ~(HugePage - 1);
    const quintptr end = (reinterpret_cast<quintptr>(data) + quintptr(size)) & ~(HugePage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}
