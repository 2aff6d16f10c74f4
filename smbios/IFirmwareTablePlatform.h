// The services the firmware-table strategy relies on: Windows' firmware-table
// query, or its stand-in on systems that publish the table in sysfs. Tests
// substitute a fake. Private to the library.
#ifndef TARNWICK_SMBIOS_IFIRMWARETABLEPLATFORM_H
#define TARNWICK_SMBIOS_IFIRMWARETABLEPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace smbios {

class IFirmwareTablePlatform {
public:
    using Module = void *;
    using Function = void *;

    // Provider signature 'RSMB': the raw SMBIOS table.
    static constexpr uint32_t kRsmbProvider = 0x52534D42;

    virtual ~IFirmwareTablePlatform();

    // An already loaded module (never loads one), or null.
    virtual Module getModuleHandle(const char16_t *moduleName) = 0;
    virtual Function getProcAddress(Module module, const char *functionName) = 0;
    // GetSystemFirmwareTable through the looked-up entry point: the size of
    // the table in bytes (0 on failure); fills `buffer` when it is large
    // enough. For 'RSMB' the table is a RawSMBIOSData buffer.
    virtual uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                            uint32_t bufferSize) = 0;
    // An array of `size` bytes, or null when memory runs out.
    virtual std::unique_ptr<uint8_t[]> allocate(std::size_t size) = 0;
};

// This system's services: Windows itself, or the sysfs tables elsewhere.
IFirmwareTablePlatform &systemFirmwareTablePlatform();

// Makes firmware-table strategies made from now on use `platform` instead
// of the system's services (null: the system's again), and forgets the
// looked-up function. Lets tests run the strategy and the factories over
// fakes and sysfs copies; `platform` must outlive those strategies.
void useFirmwareTablePlatform(IFirmwareTablePlatform *platform);

// Forgets the process-wide address of GetSystemFirmwareTable, so that the
// next strategy looks it up again. For tests, which change platforms.
void forgetFirmwareTableFunction();

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_IFIRMWARETABLEPLATFORM_H
