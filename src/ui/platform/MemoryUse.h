#pragma once

namespace kestrel::ui {

// Buffers as large as a copy of the whole list (a sort's new order, the
// records of a pair just read, a clipboard text) are kept in the heap when
// freed and used again, instead of being handed back to the system and
// taken anew page by page: on the machines we measure, a page taken from
// the system costs about 15 microseconds, and the largest list's commands
// spent most of their time on it (a load 73 ms instead of 14). All threads
// share one heap, so that a buffer freed by one is there for the others
// rather than held by an arena of its own. Call once, before anything is
// allocated in earnest.
void KeepLargeBuffersForReuse();

}  // namespace kestrel::ui
