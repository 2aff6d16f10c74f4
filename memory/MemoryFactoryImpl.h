// The implementation of the memory factory family. Private to the library.
#ifndef TARNWICK_MEMORY_MEMORYFACTORYIMPL_H
#define TARNWICK_MEMORY_MEMORYFACTORYIMPL_H

#include "factory/TFactory.h"
#include "memory/MemoryFactory.h"

namespace memory {

class MemoryFactoryImpl : public factory::TFactory<MemoryFactory> {
public:
    MemoryFactoryImpl();
    // Destroys the process-wide memory source, then (in the TFactory part)
    // the family's process-wide factory if that is another object.
    ~MemoryFactoryImpl() override;

    IMemory *getSingleton() override;
    IMemory *makeNew() override;

private:
    // One per process, not one per factory object.
    static IMemory *product;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_MEMORYFACTORYIMPL_H
