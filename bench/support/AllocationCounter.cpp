#include "support/AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> gCurrent{0};
std::atomic<size_t> gPeak{0};

void *countedAllocation(size_t size)
{
    void *memory = std::malloc(size == 0 ? 1 : size);
    if (!memory)
        throw std::bad_alloc();
    const size_t now = gCurrent.fetch_add(malloc_usable_size(memory)) + malloc_usable_size(memory);
    size_t peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
    return memory;
}

void countedRelease(void *memory)
{
    if (!memory)
        return;
    gCurrent.fetch_sub(malloc_usable_size(memory));
    std::free(memory);
}

} // namespace

void *operator new(size_t size) { return countedAllocation(size); }
void *operator new[](size_t size) { return countedAllocation(size); }
void operator delete(void *memory) noexcept { countedRelease(memory); }
void operator delete[](void *memory) noexcept { countedRelease(memory); }
void operator delete(void *memory, size_t) noexcept { countedRelease(memory); }
void operator delete[](void *memory, size_t) noexcept { countedRelease(memory); }

namespace velmarith::bench {

size_t AllocationCounter::current() { return gCurrent.load(); }
size_t AllocationCounter::peak() { return gPeak.load(); }
void AllocationCounter::resetPeak() { gPeak.store(gCurrent.load()); }

} // namespace velmarith::bench
