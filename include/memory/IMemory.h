// memory::IMemory, the library's byte-addressed view of physical memory: the
// running machine's, or a memory image file's.
#ifndef TARNWICK_MEMORY_IMEMORY_H
#define TARNWICK_MEMORY_IMEMORY_H

#include <cstdint>

namespace memory {

class IMemory {
public:
    virtual ~IMemory();

    // The byte at physical address `offset`; fails exactly as fillBuffer()
    // of one byte does.
    virtual uint8_t getByte(uint64_t offset) = 0;
    virtual void putByte(uint64_t offset, uint8_t value) = 0;
    // Copies `length` bytes from physical address `offset` into `buffer`,
    // which must hold `length` bytes. On failure the bytes already copied
    // stay in `buffer`.
    virtual void fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) = 0;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_IMEMORY_H
