// The firmware-table strategy: the raw SMBIOS table from the system's
// firmware-table query (provider 'RSMB').
#include <algorithm>
#include <cstring>

#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/RawSmbiosData.h"
#include "smbios/SmbiosStrategy.h"

namespace smbios {
namespace {

// Resolved by the first strategy that needs it, then kept for the process.
IFirmwareTablePlatform::Function getSystemFirmwareTableFunction = nullptr;

IFirmwareTablePlatform *platformInUse = nullptr;  // null: the system's

}  // namespace

IFirmwareTablePlatform::~IFirmwareTablePlatform() = default;

void forgetFirmwareTableFunction() {
    getSystemFirmwareTableFunction = nullptr;
}

void useFirmwareTablePlatform(IFirmwareTablePlatform *platform) {
    platformInUse = platform;
    forgetFirmwareTableFunction();
}

SmbiosWinGetFirmwareTableStrategy::SmbiosWinGetFirmwareTableStrategy()
    : platform(platformInUse != nullptr ? *platformInUse : systemFirmwareTablePlatform()) {}

SmbiosWinGetFirmwareTableStrategy::~SmbiosWinGetFirmwareTableStrategy() = default;

bool SmbiosWinGetFirmwareTableStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer,
                                                       SmbiosTableEntryPoint &entryPoint, bool strict) {
    return readTableWithoutFacts(tableBuffer, entryPoint, strict);
}

bool SmbiosWinGetFirmwareTableStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer,
                                                  SmbiosTableEntryPoint &entryPoint, TableFacts &facts, bool) {
    if (getSystemFirmwareTableFunction == nullptr) {
        const auto kernel32 = platform.getModuleHandle(u"kernel32.dll");
        if (kernel32 == nullptr) {
            throw ParseExceptionImpl("Could not load dll functions.");
        }
        const auto function = platform.getProcAddress(kernel32, "GetSystemFirmwareTable");
        if (function == nullptr) {
            throw ParseExceptionImpl("Could not access GetSystemFirmwareTable() API.");
        }
        getSystemFirmwareTableFunction = function;
    }

    const auto size = static_cast<int32_t>(platform.getSystemFirmwareTable(
        getSystemFirmwareTableFunction, IFirmwareTablePlatform::kRsmbProvider, 0, nullptr, 0));
    if (size <= 0) {
        throw ParseExceptionImpl("GetSystemFirmwareTable returned 0 for table length.");
    }
    std::unique_ptr<uint8_t[]> raw = platform.allocate(static_cast<std::size_t>(size));
    if (!raw) {
        throw ParseExceptionImpl("Failed to allocate memory for Firmware table.");
    }
    std::memset(raw.get(), 0, static_cast<std::size_t>(size));
    platform.getSystemFirmwareTable(getSystemFirmwareTableFunction, IFirmwareTablePlatform::kRsmbProvider, 0, raw.get(),
                                    static_cast<uint32_t>(size));
    SourceEntryPoint header;
    header.kind = EntryPointKind::RawSmbiosData;
    header.bytes.assign(raw.get(), raw.get() + std::min<std::size_t>(static_cast<std::size_t>(size), 8));
    convertRawSmbiosData(std::move(raw), static_cast<uint32_t>(size), tableBuffer, entryPoint);
    facts.length = static_cast<std::size_t>(size);
    facts.entryPoint = std::move(header);
    return true;
}

}  // namespace smbios
