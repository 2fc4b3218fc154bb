#pragma once

namespace kestrel::ui {

// Buffers as large as a copy of the whole list (a sort's new order, a
// permutation's inverse, the bytes of a pair read again) are handed back to
// the system when freed, not kept in the heap for later: glibc otherwise
// raises its threshold for that after the first such buffer is freed, and
// a long session of whole-list commands grows the editor by megabytes it
// no longer uses. Call once, before anything is allocated in earnest.
void HandLargeBuffersBackWhenFreed();

}  // namespace kestrel::ui
