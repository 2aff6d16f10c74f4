// The test program's own operator new (every form the program uses, so that
// all memory comes from one allocator), which counts while asked to. In a
// file of its own so that no caller sees (and inlines) its body.
#include "tests/smbios/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void *allocate(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void *memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

void *operator new(std::size_t size) {
    return allocate(size);
}

void *operator new[](std::size_t size) {
    return allocate(size);
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void *memory) noexcept {
    std::free(memory);
}

void operator delete[](void *memory) noexcept {
    std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void *memory, std::size_t) noexcept {
    std::free(memory);
}

namespace tarnwick_test {

AllocationCounter::AllocationCounter() {
    allocations = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() {
    counting = false;
}

long AllocationCounter::count() const {
    return allocations.load();
}

}  // namespace tarnwick_test
