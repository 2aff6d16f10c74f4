// memory::MemoryOsSpecific, the physical memory of the running machine.
#ifndef TARNWICK_MEMORY_MEMORYOSSPECIFIC_H
#define TARNWICK_MEMORY_MEMORYOSSPECIFIC_H

#include <cstdint>
#include <memory>
#include <string>

#include "memory/IMemory.h"

namespace memory {

// On Windows the memory is read through the firmware tables, the kernel's
// physical-memory section or the debug-control call, whichever the system
// offers. Elsewhere it is read from /dev/mem, which needs root (and a kernel
// that permits it). Physical memory is never written: putByte() throws
// smbios::NotImplemented.
class MemoryOsSpecific : public IMemory {
public:
    // The memory factory passes its "memFile" parameter; it is not used.
    explicit MemoryOsSpecific(std::string name);
    ~MemoryOsSpecific() override;

    MemoryOsSpecific(const MemoryOsSpecific &) = delete;
    MemoryOsSpecific &operator=(const MemoryOsSpecific &) = delete;

    uint8_t getByte(uint64_t offset) override;
    void putByte(uint64_t offset, uint8_t value) override;
    void fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) override;

private:
    // The platform's own reader.
    std::unique_ptr<IMemory> platformMemory;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_MEMORYOSSPECIFIC_H
