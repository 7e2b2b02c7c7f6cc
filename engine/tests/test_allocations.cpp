// The replaced global operator new lives in its own file so that the compiler
// never sees an allocation and its release through different functions.
#include "test_allocations.h"

#include <cstdlib>
#include <new>

thread_local bool fail_next_allocation = false;
thread_local std::size_t bytes_requested = 0;

void* operator new(std::size_t size) {
    if (fail_next_allocation) {
        fail_next_allocation = false;
        throw std::bad_alloc();
    }
    bytes_requested += size;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
