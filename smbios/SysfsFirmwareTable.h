// The firmware-table query answered from the files in which Linux publishes
// the SMBIOS table (/sys/firmware/dmi/tables), so that the firmware-table
// strategy reads them the same way as Windows' 'RSMB' buffer. Private to the
// library.
#ifndef TARNWICK_SMBIOS_SYSFSFIRMWARETABLE_H
#define TARNWICK_SMBIOS_SYSFSFIRMWARETABLE_H

#include <string>

#include "smbios/IFirmwareTablePlatform.h"

namespace smbios {

class SysfsFirmwareTable : public IFirmwareTablePlatform {
public:
    static constexpr const char *kDefaultDirectory = "/sys/firmware/dmi/tables";

    // `directory` holds smbios_entry_point and DMI.
    explicit SysfsFirmwareTable(std::string directory = kDefaultDirectory);
    ~SysfsFirmwareTable() override;

    Module getModuleHandle(const char16_t *moduleName) override;
    Function getProcAddress(Module module, const char *functionName) override;
    // For 'RSMB' table 0: a RawSMBIOSData buffer of the version in
    // smbios_entry_point (a _SM_ or _SM3_ record) and the table in DMI.
    // Throws ParseException naming the file when one cannot be read.
    uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                    uint32_t bufferSize) override;
    std::unique_ptr<uint8_t[]> allocate(std::size_t size) override;

private:
    std::string directory;
    char moduleToken = 0;
    char functionToken = 0;
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SYSFSFIRMWARETABLE_H
