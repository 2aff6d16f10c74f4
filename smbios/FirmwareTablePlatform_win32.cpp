// Windows: the firmware-table query of kernel32, looked up by name.
#include "smbios/IFirmwareTablePlatform.h"

#include <new>

#include "platform/WindowsApi.h"
#include "smbios/SmbiosFactoryImpl.h"
#include "smbios/SmbiosStrategy.h"

namespace smbios {
namespace {

using GetSystemFirmwareTableFn = UINT(WINAPI *)(DWORD, DWORD, PVOID, DWORD);

class FirmwareTablePlatformImpl final : public IFirmwareTablePlatform {
public:
    Module getModuleHandle(const char16_t *moduleName) override {
        return GetModuleHandleW(reinterpret_cast<const wchar_t *>(moduleName));
    }

    Function getProcAddress(Module module, const char *functionName) override {
        return reinterpret_cast<Function>(GetProcAddress(static_cast<HMODULE>(module), functionName));
    }

    uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                    uint32_t bufferSize) override {
        return reinterpret_cast<GetSystemFirmwareTableFn>(function)(provider, tableId, buffer, bufferSize);
    }

    std::unique_ptr<uint8_t[]> allocate(std::size_t size) override {
        return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
    }
};

}  // namespace

IFirmwareTablePlatform &systemFirmwareTablePlatform() {
    static FirmwareTablePlatformImpl platform;
    return platform;
}

std::unique_ptr<SmbiosStrategy> makeSystemTableStrategy() {
    return std::make_unique<SmbiosWinGetFirmwareTableStrategy>();
}

}  // namespace smbios
