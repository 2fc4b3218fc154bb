#include "ui/platform/MemoryUse.h"

// Any C library header says which library this is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kestrel::ui {

void KeepLargeBuffersForReuse() {
#if defined(__GLIBC__)
    // glibc's largest threshold: below it buffers come from the heap.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    // What is free at the heap's top is kept up to twice that before it
    // goes back to the system; the peak with the largest list and a full
    // undo stack stays under 60 MB.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace kestrel::ui
