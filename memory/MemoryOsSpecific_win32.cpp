// Windows: physical memory through the system's own services.
#include "memory/MemoryOsSpecific.h"

#include <utility>

#include "memory/IPhysicalMemoryPlatform.h"
#include "memory/WindowsPhysicalMemory.h"

namespace memory {

// The name is the memory factory's "memFile", passed by value like every
// factory parameter; the section's name is fixed.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
MemoryOsSpecific::MemoryOsSpecific(std::string)
    : platformMemory(std::make_unique<WindowsPhysicalMemory>(windowsPhysicalMemoryPlatform())) {}

}  // namespace memory
