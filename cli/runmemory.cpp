#include "cli/runmemory.h"

#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace qv {

void prepareHeapForOneRun()
{
#if defined(__GLIBC__)
    // Freed blocks stay in the heap, large ones too, rather than going back to the system and
    // being faulted in again by the next part of the run; the heap is never trimmed, which
    // would also give back the reserve below.
    ::mallopt(M_MMAP_THRESHOLD, 256 << 20);
    ::mallopt(M_TRIM_THRESHOLD, INT_MAX);
#if defined(MADV_HUGEPAGE)
    // One growth of the heap with a reserve of a quarter of the memory (at most 1 GiB), marked
    // for large pages. The reserve is address space only: a page costs memory once touched.
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return;
    const std::size_t reserve =
        std::size_t(std::min<quint64>(quint64(pages) * quint64(pageSize) / 4, quint64(1) << 30));
    constexpr std::uintptr_t largePage = std::uintptr_t(2) << 20;
    ::mallopt(M_TOP_PAD, int(reserve));
    void* block = std::malloc(1 << 20);
    const auto from = reinterpret_cast<std::uintptr_t>(block);
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    // Only where the block came from the heap's end that was just grown: otherwise the heap is
    // not where this expects it, and it is left as it is.
    const std::uintptr_t start = (from + largePage - 1) & ~(largePage - 1);
    if (block && from < end && end - from <= reserve + (std::uintptr_t(2) << 20) && start < end)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    std::free(block);
    ::mallopt(M_TOP_PAD, 128 << 10);
#endif
#endif
}

} // namespace qv
