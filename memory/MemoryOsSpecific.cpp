// The platform-independent half of MemoryOsSpecific: every operation goes to
// the platform's reader, made by the constructor in the platform's file.
#include "memory/MemoryOsSpecific.h"

#include "memory/ByteRead.h"

namespace memory {

MemoryOsSpecific::~MemoryOsSpecific() = default;

uint8_t MemoryOsSpecific::getByte(uint64_t offset) {
    return readByteThroughFillBuffer(*this, offset);
}

void MemoryOsSpecific::putByte(uint64_t offset, uint8_t value) {
    platformMemory->putByte(offset, value);
}

void MemoryOsSpecific::fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) {
    platformMemory->fillBuffer(buffer, offset, length);
}

}  // namespace memory
