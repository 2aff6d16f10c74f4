// The getByte() body that every IMemory implementation shares. Private to
// the library.
#ifndef TARNWICK_MEMORY_BYTEREAD_H
#define TARNWICK_MEMORY_BYTEREAD_H

#include <cstdint>

#include "memory/IMemory.h"

namespace memory {

// Reads one byte through the object's own fillBuffer(), so a byte read fails
// in exactly the ways a buffer read does.
inline uint8_t readByteThroughFillBuffer(IMemory &memory, uint64_t offset) {
    uint8_t buffer[1] = {0};
    memory.fillBuffer(buffer, offset, 1);
    return buffer[0];
}

}  // namespace memory

#endif  // TARNWICK_MEMORY_BYTEREAD_H
