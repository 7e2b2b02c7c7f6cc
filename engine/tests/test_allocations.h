// The test binary's global operator new: it can fail on request and counts
// the bytes each thread asks for.
#pragma once

#include <cstddef>

// The next allocation of this thread throws std::bad_alloc.
extern thread_local bool fail_next_allocation;
// Bytes this thread has asked for so far.
extern thread_local std::size_t bytes_requested;
