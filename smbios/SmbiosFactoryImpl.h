// The implementation of the SMBIOS factory family. Private to the library.
#ifndef TARNWICK_SMBIOS_SMBIOSFACTORYIMPL_H
#define TARNWICK_SMBIOS_SMBIOSFACTORYIMPL_H

#include "factory/TFactory.h"
#include "smbios/SmbiosFactory.h"

namespace smbios {

class SmbiosFactoryImpl : public factory::TFactory<SmbiosFactory> {
public:
    SmbiosFactoryImpl();
    // Destroys the process-wide table, then (in the TFactory part) the
    // family's process-wide factory if that is another object.
    ~SmbiosFactoryImpl() override;

    ISmbiosTable *getSingleton() override;
    ISmbiosTable *makeNew() override;

private:
    // One per process, not one per factory object.
    static ISmbiosTable *product;
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSFACTORYIMPL_H
