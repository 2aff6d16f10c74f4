// The SMBIOS 2.x entry point record, its validation, and the read of the
// structure table it names; and the record that a table's source published
// in front of the table, as the source holds it.
#ifndef TARNWICK_SMBIOS_SMBIOSTABLEENTRYPOINT_H
#define TARNWICK_SMBIOS_SMBIOSTABLEENTRYPOINT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "smbios/Exception.h"

namespace smbios {

// The 31 bytes of the entry point as firmware stores them (little-endian),
// followed by the byte after it in memory, which is read along and never
// interpreted.
#pragma pack(push, 1)
struct SmbiosTableEntryPoint {
    uint8_t anchor[4];  // "_SM_"
    uint8_t checksum;
    uint8_t eps_length;
    uint8_t major_version;
    uint8_t minor_version;
    uint16_t max_structure_size;
    uint8_t entry_point_revision;
    uint8_t formatted_area[5];
    uint8_t dmi_anchor[5];  // "_DMI_"
    uint8_t intermediate_checksum;
    uint16_t table_length;
    uint32_t table_address;
    uint16_t num_structures;  // 9999 when the source gives no count
    uint8_t bcd_revision;
    uint8_t trailing_byte;
};
#pragma pack(pop)

static_assert(sizeof(SmbiosTableEntryPoint) == 32, "the entry point record is 32 bytes");
static_assert(offsetof(SmbiosTableEntryPoint, checksum) == 0x04, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, eps_length) == 0x05, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, major_version) == 0x06, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, minor_version) == 0x07, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, max_structure_size) == 0x08, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, entry_point_revision) == 0x0A, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, formatted_area) == 0x0B, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, dmi_anchor) == 0x10, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, intermediate_checksum) == 0x15, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, table_length) == 0x16, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, table_address) == 0x18, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, num_structures) == 0x1C, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, bcd_revision) == 0x1E, "entry point layout");
static_assert(offsetof(SmbiosTableEntryPoint, trailing_byte) == 0x1F, "entry point layout");

// The kind of record a table's source published in front of the table.
enum class EntryPointKind {
    None,           // a bare table, or WMI, which gives the version alone
    Smbios2,        // the 31-byte "_SM_" entry point
    Smbios3,        // the 24-byte 64-bit "_SM3_" entry point
    RawSmbiosData,  // the 8-byte header of Windows' firmware-table query ('RSMB')
};

// That record, byte for byte as the source holds it. A table's 2.x record
// (SmbiosTableEntryPoint) carries what every source can say; this one says
// what the source really said, 64-bit fields included.
struct SourceEntryPoint {
    EntryPointKind kind = EntryPointKind::None;
    std::vector<uint8_t> bytes;
    uint64_t address = 0;  // where it was found in physical memory; 0 for other sources
};

// Checks the candidate (intermediate anchor, checksum over the first
// min(eps_length, 32) bytes, major version 2, eps_length of at least 0x1F)
// and rewrites `report` with the outcome: its template lists the failed
// checks, and it carries the parameters dmi_anchor, checksum, major_version
// and eps_length. Without `strict` every candidate is accepted.
bool validateEntryPoint(const SmbiosTableEntryPoint &candidate, bool strict, Exception<ParseException> &report);

// Reads the table_length bytes at table_address through the process-wide
// memory source into a new array, which then replaces the one in `slot`.
// A failed read leaves `slot` as it was and passes the memory error on.
void readStructureTable(std::unique_ptr<uint8_t[]> &slot, const SmbiosTableEntryPoint &entryPoint);

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSTABLEENTRYPOINT_H
