// Turning raw firmware-table and WMI buffers into the table buffer and the
// entry point facts.
#include "smbios/RawSmbiosData.h"

#include <cstring>

#include "smbios/Exception.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios {
namespace {

constexpr uint32_t kRawHeaderSize = format::kRawSmbiosHeaderSize;

}  // namespace

void convertRawSmbiosData(std::unique_ptr<uint8_t[]> raw, uint32_t size, std::unique_ptr<uint8_t[]> &slot,
                          SmbiosTableEntryPoint &entryPoint) {
    if (size < kRawHeaderSize || !raw) {
        ParseExceptionImpl failure;
        failure.setMessageString("Firmware table of %(size)i bytes is shorter than its 8-byte RawSMBIOSData header.");
        failure.setParameter("size", size);
        throw failure;
    }
    entryPoint.table_length = static_cast<uint16_t>(size);
    entryPoint.major_version = raw[1];
    entryPoint.minor_version = raw[2];
    entryPoint.num_structures = kUnknownStructureCount;

    std::memmove(raw.get(), raw.get() + kRawHeaderSize, size - kRawHeaderSize);
    std::memset(raw.get() + size - kRawHeaderSize, 0, kRawHeaderSize);
    slot = std::move(raw);
}

void adoptWmiSmbiosData(WmiSmbiosData &data, std::unique_ptr<uint8_t[]> &slot, SmbiosTableEntryPoint &entryPoint) {
    if (data.length == 0 || !data.data) {
        throw ParseExceptionImpl("getSmbiosTable(): GetWMISMBIOSData returned 0 for buffer size.");
    }
    entryPoint.table_length = static_cast<uint16_t>(data.length);
    entryPoint.major_version = data.major;
    entryPoint.minor_version = data.minor;
    entryPoint.num_structures = kUnknownStructureCount;
    slot = std::move(data.data);
}

}  // namespace smbios
