// Physical memory read from a device laid out like a memory image, such as
// /dev/mem. Private to the library.
#ifndef TARNWICK_MEMORY_PHYSICALMEMORYDEVICE_POSIX_H
#define TARNWICK_MEMORY_PHYSICALMEMORYDEVICE_POSIX_H

#include <cstdint>
#include <string>

#include "memory/MemoryFile.h"

namespace memory {

// Reads like MemoryFile, with two differences that a device needs: offsets
// may go past 2 GiB (firmware often keeps the SMBIOS table above it), and
// reads are unbuffered, so that only the bytes asked for are touched. The
// device is opened read-only and never written.
class PhysicalMemoryDevice : public MemoryFile {
public:
    static constexpr const char *kDefaultPath = "/dev/mem";

    // Throws AccessError with the image open message when the device cannot
    // be opened (no root, no device, kernel lockdown).
    explicit PhysicalMemoryDevice(std::string devicePath);

    // Always throws smbios::NotImplemented.
    void putByte(uint64_t offset, uint8_t value) override;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_PHYSICALMEMORYDEVICE_POSIX_H
