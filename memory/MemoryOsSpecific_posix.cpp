// POSIX systems: physical memory through the /dev/mem device.
#include "memory/MemoryOsSpecific.h"

#include "memory/PhysicalMemoryDevice.h"

namespace memory {

MemoryOsSpecific::MemoryOsSpecific(std::string)
    : platformMemory(std::make_unique<PhysicalMemoryDevice>(PhysicalMemoryDevice::kDefaultPath)) {}

}  // namespace memory
