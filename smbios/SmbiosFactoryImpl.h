// The implementation of the SMBIOS factory family. Private to the library.
#ifndef TARNWICK_SMBIOS_SMBIOSFACTORYIMPL_H
#define TARNWICK_SMBIOS_SMBIOSFACTORYIMPL_H

#include <memory>

#include "factory/TFactory.h"
#include "smbios/SmbiosFactory.h"

namespace smbios {

// The system's own way to the table, second in AutoMode: Windows'
// firmware-table query, or elsewhere the tables Linux publishes in sysfs.
std::unique_ptr<SmbiosStrategy> makeSystemTableStrategy();

class SmbiosFactoryImpl : public factory::TFactory<SmbiosFactory> {
public:
    SmbiosFactoryImpl();
    // Destroys the process-wide table, then (in the TFactory part) the
    // family's process-wide factory if that is another object.
    ~SmbiosFactoryImpl() override;

    ISmbiosTable *getSingleton() override;
    ISmbiosTable *makeNew() override;
    void setTableBytes(std::shared_ptr<const SmbiosTableBytes> bytes) override;

private:
    std::shared_ptr<const SmbiosTableBytes> tableBytes;

    // One per process, not one per factory object.
    static ISmbiosTable *product;
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSFACTORYIMPL_H
