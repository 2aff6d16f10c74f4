// memory::MemoryFactory, the one way the library obtains a memory source:
// the running machine's physical memory or a memory image file.
#ifndef TARNWICK_MEMORY_MEMORYFACTORY_H
#define TARNWICK_MEMORY_MEMORYFACTORY_H

#include "factory/IFactory.h"
#include "memory/IMemory.h"

namespace memory {

// Usage, reading an image instead of the machine:
//   MemoryFactory *factory = MemoryFactory::getFactory();
//   factory->setParameter("memFile", std::string("bios.img"));
//   factory->setMode(MemoryFactory::FileMode);
//   IMemory *memory = factory->getSingleton();
//
// The mode and "memFile" are read only when a source is made; reset()
// destroys the factory and its process-wide source together.
class MemoryFactory : public virtual factory::IFactory {
public:
    static constexpr int OsSpecificMode = 0;  // MemoryOsSpecific (the default)
    static constexpr int FileMode = 1;        // MemoryFile of "memFile"

    ~MemoryFactory() override;

    // The process-wide factory, made on first use.
    static MemoryFactory *getFactory();

    // The process-wide memory source, made on first use; owned by the
    // library and valid until the factory is reset.
    virtual IMemory *getSingleton() = 0;
    // A new memory source that the caller owns. Throws NotImplemented
    // "Unknown Memory mode requested." for a mode other than the two above.
    virtual IMemory *makeNew() = 0;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_MEMORYFACTORY_H
