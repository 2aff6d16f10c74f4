// The maker's own structure (type 208, D0h), which holds the system ID that
// the workarounds and the system-ID query both read. Private to the library.
#ifndef TARNWICK_SMBIOS_MAKERSTRUCTURE_H
#define TARNWICK_SMBIOS_MAKERSTRUCTURE_H

#include <cstdint>

#include "smbios/SmbiosItem.h"

namespace smbios {

constexpr int kMakerStructureType = 208;

// A system ID byte of FEh says that the ID is wider than a byte: the 16-bit
// ID follows at offset 8.
constexpr uint8_t kSystemIdEscape = 0xFE;

// The system ID that `maker` (a type 208 structure) holds: its byte at
// offset 6, or the 16-bit value at offset 8 where that byte is FEh. Throws
// as getData does when the structure is too short to hold it.
uint16_t systemIdOf(const ISmbiosItem &maker);

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_MAKERSTRUCTURE_H
