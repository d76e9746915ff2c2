#pragma once
// The bytes the program holds on the heap right now: what a memory-growth
// check compares, free of the allocator's caching and of the sanitizer's
// quarantine, which make the resident size a poor measure.
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define PHONOLITH_HEAP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PHONOLITH_HEAP_ASAN 1
#endif
#endif

#if defined(PHONOLITH_HEAP_ASAN)
// The sanitizer runtime's own count (declared here: g++ ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace robust {

// Live heap bytes, or 0 where the allocator cannot say (under valgrind, whose
// allocator glibc's statistics do not see).
inline std::size_t liveHeapBytes()
{
#if defined(PHONOLITH_HEAP_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

} // namespace robust
