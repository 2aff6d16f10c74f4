// The memory factory: makes the machine's physical memory or a memory image
// according to its mode, and keeps one as the process-wide source.
#include "memory/MemoryFactory.h"

#include <string>

#include "memory/MemoryFactoryImpl.h"
#include "memory/MemoryFile.h"
#include "memory/MemoryOsSpecific.h"
#include "smbios/Exception.h"

namespace memory {

IMemory *MemoryFactoryImpl::product = nullptr;

MemoryFactory::~MemoryFactory() = default;

MemoryFactory *MemoryFactory::getFactory() {
    return factory::TFactory<MemoryFactory>::getOrCreate<MemoryFactoryImpl>();
}

MemoryFactoryImpl::MemoryFactoryImpl() {
    setParameter("memFile", std::string("\\Device\\PhysicalMemory"));
}

MemoryFactoryImpl::~MemoryFactoryImpl() {
    delete product;
    product = nullptr;
}

IMemory *MemoryFactoryImpl::getSingleton() {
    if (product == nullptr) {
        product = makeNew();
    }
    return product;
}

IMemory *MemoryFactoryImpl::makeNew() {
    switch (getMode()) {
    case FileMode:
        return new MemoryFile(getParameterString("memFile"));
    case OsSpecificMode:
        return new MemoryOsSpecific(getParameterString("memFile"));
    default:
        throw smbios::NotImplementedImpl("Unknown Memory mode requested.");
    }
}

}  // namespace memory
