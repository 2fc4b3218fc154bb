#include "ui/platform/MemoryUse.h"

// Any C library header says which library this is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kestrel::ui {

void HandLargeBuffersBackWhenFreed() {
#if defined(__GLIBC__)
    // glibc's own starting value; setting it fixes it there.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace kestrel::ui
