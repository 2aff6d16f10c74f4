// Reading physical memory from /dev/mem.
#include "memory/PhysicalMemoryDevice_posix.h"

#include <utility>

#include "smbios/Exception.h"

namespace memory {
namespace {

constexpr uint64_t kHighestDeviceOffset = 0xFFFFFFFFFFFFull;  // 48-bit physical addresses

// The build names the system (CMAKE_SYSTEM_NAME: "Linux", "FreeBSD", ...).
constexpr const char *kPlatformName = TARNWICK_SYSTEM_NAME;

}  // namespace

PhysicalMemoryDevice::PhysicalMemoryDevice(std::string devicePath)
    : MemoryFile(std::move(devicePath), kHighestDeviceOffset, true) {}

void PhysicalMemoryDevice::putByte(uint64_t, uint8_t) {
    throw smbios::NotImplementedImpl(std::string("writing to physical memory is not implemented on ") + kPlatformName +
                                     " yet.");
}

}  // namespace memory
