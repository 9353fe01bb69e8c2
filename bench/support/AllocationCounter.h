#pragma once

#include <cstddef>

namespace velmarith::bench {

/// Bytes currently allocated on the heap (malloc and operator new alike), and the highest value
/// since the last reset.
struct AllocationCounter {
    static size_t current();
    static size_t peak();
    /// Starts a new peak measurement from the current level.
    static void resetPeak();
};

} // namespace velmarith::bench
