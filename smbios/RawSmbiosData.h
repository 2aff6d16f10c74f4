// The platform-independent part of the firmware-table and WMI strategies:
// turning what the platform returned into the table buffer and the entry
// point facts. Private to the library.
#ifndef TARNWICK_SMBIOS_RAWSMBIOSDATA_H
#define TARNWICK_SMBIOS_RAWSMBIOSDATA_H

#include <cstdint>
#include <memory>

#include "smbios/SmbiosTableEntryPoint.h"

namespace smbios {

// Number of entries a source without a structure count reports.
constexpr uint16_t kUnknownStructureCount = 9999;

// What the WMI fetch returns.
struct WmiSmbiosData {
    uint8_t major = 0;                // "SmbiosMajorVersion"
    uint8_t minor = 0;                // "SmbiosMinorVersion"
    uint32_t length = 0;              // bytes in data
    std::unique_ptr<uint8_t[]> data;  // copy of "SMBiosData"
};

// `raw` holds `size` bytes of RawSMBIOSData: an 8-byte header (calling
// method, major, minor, DMI revision, length) and then the table. The table
// is moved to the front of the same array and followed by 8 zero bytes;
// the array replaces the one in `slot`, and the entry point gets the
// version, table_length = size (low 16 bits) and num_structures = 9999.
// No other field is touched. A buffer shorter than its header is refused
// with ParseException before anything is changed.
void convertRawSmbiosData(std::unique_ptr<uint8_t[]> raw, uint32_t size, std::unique_ptr<uint8_t[]> &slot,
                          SmbiosTableEntryPoint &entryPoint);

// Hands the WMI record's data to the table: version, table_length = length
// (low 16 bits), num_structures = 9999. Throws ParseException, touching
// nothing, when the record holds no data.
void adoptWmiSmbiosData(WmiSmbiosData &data, std::unique_ptr<uint8_t[]> &slot, SmbiosTableEntryPoint &entryPoint);

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_RAWSMBIOSDATA_H
