// Corrections of known firmware defects: workarounds keyed by the machine's
// system ID, and the workaround table that patches each item as the
// structure table makes it.
#ifndef TARNWICK_SMBIOS_SMBIOSWORKAROUND_H
#define TARNWICK_SMBIOS_SMBIOSWORKAROUND_H

#include <cstddef>
#include <cstdint>

namespace smbios {

class ISmbiosItem;

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

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSWORKAROUND_H
