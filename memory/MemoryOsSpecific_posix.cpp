// POSIX systems: physical memory through the /dev/mem device.
#include "memory/MemoryOsSpecific.h"

#include "memory/PhysicalMemoryDevice_posix.h"

namespace memory {

// The name is the memory factory's "memFile", passed by value like every
// factory parameter; the device path is fixed.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
MemoryOsSpecific::MemoryOsSpecific(std::string)
    : platformMemory(std::make_unique<PhysicalMemoryDevice>(PhysicalMemoryDevice::kDefaultPath)) {}

}  // namespace memory
