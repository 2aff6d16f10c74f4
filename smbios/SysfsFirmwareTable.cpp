// Building the RawSMBIOSData buffer from the sysfs SMBIOS files.
#include "smbios/SysfsFirmwareTable.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "smbios/Exception.h"

namespace smbios {
namespace {

constexpr uint32_t kRawHeaderSize = 8;

std::vector<uint8_t> readWholeFile(const std::string &path) {
    errno = 0;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    int error = errno;
    std::vector<uint8_t> bytes;
    if (file != nullptr) {
        uint8_t chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        error = std::ferror(file) ? errno : 0;
        (void)std::fclose(file);  // read-only: nothing to lose
        if (error == 0) {
            return bytes;
        }
    }
    ParseExceptionImpl failure;
    failure.setMessageString("Could not read the SMBIOS table file %(file)s: %(err)s");
    failure.setParameter("file", path);
    failure.setParameter("err", std::string(std::strerror(error)));
    throw failure;
}

// The SMBIOS version that an entry point record names.
std::pair<uint8_t, uint8_t> versionOf(const std::vector<uint8_t> &entryPoint, const std::string &path) {
    if (entryPoint.size() >= 9 && std::memcmp(entryPoint.data(), "_SM3_", 5) == 0) {
        return {entryPoint[7], entryPoint[8]};
    }
    if (entryPoint.size() >= 8 && std::memcmp(entryPoint.data(), "_SM_", 4) == 0) {
        return {entryPoint[6], entryPoint[7]};
    }
    ParseExceptionImpl failure;
    failure.setMessageString("No SMBIOS entry point (_SM_ or _SM3_) in %(file)s");
    failure.setParameter("file", path);
    throw failure;
}

}  // namespace

SysfsFirmwareTable::SysfsFirmwareTable(std::string tablesDirectory) : directory(std::move(tablesDirectory)) {}

SysfsFirmwareTable::~SysfsFirmwareTable() = default;

SysfsFirmwareTable::Module SysfsFirmwareTable::getModuleHandle(const char16_t *) {
    return &moduleToken;
}

SysfsFirmwareTable::Function SysfsFirmwareTable::getProcAddress(Module, const char *functionName) {
    return std::strcmp(functionName, "GetSystemFirmwareTable") == 0 ? &functionToken : nullptr;
}

uint32_t SysfsFirmwareTable::getSystemFirmwareTable(Function, uint32_t provider, uint32_t tableId, void *buffer,
                                                    uint32_t bufferSize) {
    if (provider != kRsmbProvider || tableId != 0) {
        return 0;
    }
    const std::string entryPointPath = directory + "/smbios_entry_point";
    const std::pair<uint8_t, uint8_t> version = versionOf(readWholeFile(entryPointPath), entryPointPath);
    const std::vector<uint8_t> table = readWholeFile(directory + "/DMI");
    if (table.size() > UINT32_MAX - kRawHeaderSize) {
        return 0;
    }
    const auto size = static_cast<uint32_t>(kRawHeaderSize + table.size());
    if (buffer != nullptr && bufferSize >= size) {
        auto *out = static_cast<uint8_t *>(buffer);
        const auto tableLength = static_cast<uint32_t>(table.size());
        const uint8_t header[kRawHeaderSize] = {0,
                                                version.first,
                                                version.second,
                                                0,
                                                static_cast<uint8_t>(tableLength),
                                                static_cast<uint8_t>(tableLength >> 8),
                                                static_cast<uint8_t>(tableLength >> 16),
                                                static_cast<uint8_t>(tableLength >> 24)};
        std::memcpy(out, header, kRawHeaderSize);
        if (!table.empty()) {
            std::memcpy(out + kRawHeaderSize, table.data(), table.size());
        }
    }
    return size;
}

std::unique_ptr<uint8_t[]> SysfsFirmwareTable::allocate(std::size_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

}  // namespace smbios
