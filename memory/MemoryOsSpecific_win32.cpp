// Windows: physical memory through the system's own services.
#include "memory/MemoryOsSpecific.h"

#include <utility>

#include "memory/IPhysicalMemoryPlatform.h"
#include "memory/WindowsPhysicalMemory.h"

namespace memory {

MemoryOsSpecific::MemoryOsSpecific(std::string)
    : platformMemory(std::make_unique<WindowsPhysicalMemory>(windowsPhysicalMemoryPlatform())) {}

}  // namespace memory
