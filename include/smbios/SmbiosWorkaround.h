// Corrections of known firmware defects: workarounds keyed by the machine's
// system ID, and the workaround table that patches each item as the
// structure table makes it.
#ifndef TARNWICK_SMBIOS_SMBIOSWORKAROUND_H
#define TARNWICK_SMBIOS_SMBIOSWORKAROUND_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "factory/TFactory.h"

namespace smbios {

class ISmbiosItem;
class ISmbiosTable;

// One row of a workaround: `length` bytes (1 to 8) at `offset` of a
// structure, compared with or set to the low bytes of `value`, little-endian
// first. A row of type 0 ends a list of rows.
struct WorkaroundField {
    uint32_t type;
    uint32_t offset;
    uint32_t length;
    uint64_t value;
};

// A named correction: when every `match` row holds, every `fix` row is
// written.
struct Workaround {
    const char *name;
    const WorkaroundField *match;
    const WorkaroundField *fix;
};

// The workarounds chosen for one machine; owned by its structure table.
class SmbiosWorkaroundTable {
public:
    // `workarounds` is a null-terminated list of constant workarounds, or
    // null when the machine needs none.
    explicit SmbiosWorkaroundTable(const Workaround *const *workarounds);
    virtual ~SmbiosWorkaroundTable();

    // Patches `data`, the `size`-byte image of `item`, in place.
    void fixupItem(const ISmbiosItem &item, uint8_t *data, std::size_t size) const;

    const Workaround *const *getWorkarounds() const { return workarounds; }

private:
    const Workaround *const *workarounds;
};

// The built-in workarounds. Some of the maker's systems publish a type 212
// structure (handle D402h) whose checksum-type byte at offset 8 is 3;
// the common correction makes it 0, the variant 1.
extern const Workaround invalidChecksumType;         // "Invalid Checksum Type"
extern const Workaround quellinInvalidChecksumType;  // "Quellin Invalid Checksum Type"

// One row of the system lookup table: a model's system ID, the range of its
// BIOS versions (three characters each, lowest first), and its workarounds
// (a null-terminated list). Only the system ID selects a row.
struct SystemWorkarounds {
    uint16_t systemId;
    const char *lowestBiosVersion;
    const char *highestBiosVersion;
    const Workaround *const *workarounds;
};

// The lookup table, searched from its first row; the third row selects the
// variant. This is the one place where model IDs are kept.
constexpr std::size_t kSystemWorkaroundCount = 12;
extern const SystemWorkarounds systemWorkaroundTable[kSystemWorkaroundCount];

// The workaround factory family. The structure table asks it for its
// workarounds once it has read its data.
class SmbiosWorkaroundFactory : public factory::TFactory<factory::IFactory> {
public:
    ~SmbiosWorkaroundFactory() override;

    // The process-wide factory, made on first use.
    static SmbiosWorkaroundFactory *getFactory();

    // Reads the machine's system ID from the first type 208 structure of
    // `table` (byte 6, or the 16-bit value at offset 8 when byte 6 is FEh;
    // read errors leave 0, or FEh) and returns the workarounds of its row,
    // or a table without workarounds. Never fails because of the table's
    // contents.
    virtual std::unique_ptr<SmbiosWorkaroundTable> makeNew(const ISmbiosTable &table);
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSWORKAROUND_H
