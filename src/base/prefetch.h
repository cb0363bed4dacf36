// Asks the processor to start loading a cache line that will be read soon.
#pragma once

#if defined(_MSC_VER)
#include <xmmintrin.h>
#endif

namespace base {

inline void prefetch(const void *address) {
#if defined(_MSC_VER)
    _mm_prefetch(static_cast<const char *>(address), _MM_HINT_T0);
#else
    __builtin_prefetch(address);
#endif
}

} // namespace base
