// smbios::SmbiosFactory, the one way a client obtains a structure table.
#ifndef TARNWICK_SMBIOS_SMBIOSFACTORY_H
#define TARNWICK_SMBIOS_SMBIOSFACTORY_H

#include "factory/IFactory.h"
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
// Numeric parameters: "strictValidation" (non-zero: accept only an entry
// point that passes every check) and "offset" (the address of the entry
// point; 0: search). Mode and parameters are read only when a table is
// made; reset() destroys the factory and its process-wide table together.
class SmbiosFactory : public virtual factory::IFactory {
public:
    // Physical memory, then the firmware-table query, then WMI (the default).
    static constexpr int AutoMode = 0;
    // Physical memory only.
    static constexpr int MemoryMode = 1;

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
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSFACTORY_H
