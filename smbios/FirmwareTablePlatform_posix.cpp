// Systems other than Windows have no firmware-table query: the strategy
// finds no kernel32 to ask, and the SMBIOS factory reads the tables Linux
// publishes in sysfs in its place.
#include <new>

#include "smbios/IFirmwareTablePlatform.h"

namespace smbios {
namespace {

class NoFirmwareTablePlatform final : public IFirmwareTablePlatform {
public:
    Module getModuleHandle(const char16_t *) override { return nullptr; }
    Function getProcAddress(Module, const char *) override { return nullptr; }
    uint32_t getSystemFirmwareTable(Function, uint32_t, uint32_t, void *, uint32_t) override { return 0; }
    std::unique_ptr<uint8_t[]> allocate(std::size_t size) override {
        return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
    }
};

}  // namespace

IFirmwareTablePlatform &systemFirmwareTablePlatform() {
    static NoFirmwareTablePlatform platform;
    return platform;
}

}  // namespace smbios
