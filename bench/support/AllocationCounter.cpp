#include "support/AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

// Every allocation of the process — operator new, Qt's and SQLite's malloc alike — goes through
// these definitions, which take the place of the C library's and count what they hand out.
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *memory, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *memory);
}

namespace {

std::atomic<size_t> gCurrent{0};
std::atomic<size_t> gPeak{0};

void *counted(void *memory)
{
    if (!memory)
        return memory;
    const size_t size = malloc_usable_size(memory);
    const size_t now = gCurrent.fetch_add(size, std::memory_order_relaxed) + size;
    size_t peak = gPeak.load(std::memory_order_relaxed);
    while (now > peak && !gPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return memory;
}

void uncount(void *memory)
{
    if (memory)
        gCurrent.fetch_sub(malloc_usable_size(memory), std::memory_order_relaxed);
}

} // namespace

extern "C" {

void *malloc(size_t size)
{
    return counted(__libc_malloc(size));
}

void *calloc(size_t count, size_t size)
{
    return counted(__libc_calloc(count, size));
}

void *realloc(void *memory, size_t size)
{
    uncount(memory);
    void *moved = __libc_realloc(memory, size);
    if (!moved && size != 0) {
        counted(memory); // the old block is still there
        return nullptr;
    }
    return counted(moved);
}

void free(void *memory)
{
    uncount(memory);
    __libc_free(memory);
}

void *memalign(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}

void *aligned_alloc(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}

int posix_memalign(void **result, size_t alignment, size_t size)
{
    void *memory = counted(__libc_memalign(alignment, size));
    if (!memory)
        return ENOMEM;
    *result = memory;
    return 0;
}

} // extern "C"

namespace velmarith::bench {

size_t AllocationCounter::current() { return gCurrent.load(); }
size_t AllocationCounter::peak() { return gPeak.load(); }
void AllocationCounter::resetPeak() { gPeak.store(gCurrent.load()); }

} // namespace velmarith::bench
