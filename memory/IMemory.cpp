// Anchors IMemory's type information in the library.
#include "memory/IMemory.h"

namespace memory {

IMemory::~IMemory() = default;

}  // namespace memory
