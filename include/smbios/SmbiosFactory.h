// smbios::SmbiosFactory, the one way a client obtains a structure table.
#ifndef TARNWICK_SMBIOS_SMBIOSFACTORY_H
#define TARNWICK_SMBIOS_SMBIOSFACTORY_H

#include <memory>

#include "factory/IFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"

namespace smbios {

// Usage, reading a memory image instead of the machine:
//   memory::MemoryFactory *memory = memory::MemoryFactory::getFactory();
//   memory->setParameter("memFile", std::string("bios.img"));
//   memory->setMode(memory::MemoryFactory::FileMode);
//   SmbiosFactory *factory = SmbiosFactory::getFactory();
//   factory->setMode(SmbiosFactory::MemoryMode);
//   ISmbiosTable *table = factory->getSingleton();
//
// Numeric parameters:
//   "strictValidation"  non-zero: accept only a 2.x entry point that passes
//                       every check
//   "offset"            the address of the entry point; 0: search
//   "smbios3"           non-zero: where physical memory holds no 2.x entry
//                       point, look for the 64-bit SMBIOS 3 one ("_SM3_",
//                       F0000h to FFFFFh) too (Smbios3MemoryStrategy). 0,
//                       the default, reads 2.x entry points alone.
// Mode and parameters are read only when a table is made; reset() destroys
// the factory and its process-wide table together.
//
// A table already in memory (a dump, a raw table, an RSMB buffer):
//   factory->setTableBytes(std::make_shared<SmbiosTableBytes>(bytes));
//   factory->setMode(SmbiosFactory::BufferMode);
class SmbiosFactory : public virtual factory::IFactory {
public:
    // Physical memory, then the firmware-table query (on Linux the tables
    // in /sys/firmware/dmi/tables), then WMI (the default).
    static constexpr int AutoMode = 0;
    // Physical memory only.
    static constexpr int MemoryMode = 1;
    // The bytes given to setTableBytes (SmbiosBufferStrategy). 2 is not a
    // mode: it has always been refused, and stays so.
    static constexpr int BufferMode = 3;

    ~SmbiosFactory() override;

    // The process-wide factory, made on first use.
    static SmbiosFactory *getFactory();

    // The process-wide table, made on first use; owned by the library and
    // valid until the factory is reset.
    virtual ISmbiosTable *getSingleton() = 0;
    // A new table that the caller owns. Throws NotImplemented "Unknown smbios
    // factory mode requested" for another mode, and InternalError "Could not
    // instantiate SMBIOS table." when no strategy delivers a table.
    virtual ISmbiosTable *makeNew() = 0;
    // The table that BufferMode serves; kept until the factory is reset.
    // Without one, BufferMode makes no table ("Could not instantiate SMBIOS
    // table.").
    virtual void setTableBytes(std::shared_ptr<const SmbiosTableBytes> bytes) = 0;
};

// Resets the table, workaround and memory factories to their defaults,
// dropping their singletons: the table first, as it was read through the
// memory source. For a client that reads one source after another.
void resetLibraryFactories();

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSFACTORY_H
