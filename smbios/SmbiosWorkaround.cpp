// Applying workarounds to the image of one item.
#include "smbios/SmbiosWorkaround.h"

#include "smbios/Exception.h"
#include "smbios/SmbiosItem.h"

namespace smbios {
namespace {

constexpr uint32_t kMaxFieldLength = 8;

// Whether the item holds the row's bytes. A row longer than its 8-byte value
// cannot hold.
bool rowMatches(const ISmbiosItem &item, const WorkaroundField &row) {
    if (row.length > kMaxFieldLength) {
        return false;
    }
    uint8_t actual[kMaxFieldLength] = {};
    item.getData(row.offset, actual, row.length);
    for (uint32_t i = 0; i < row.length; ++i) {
        if (actual[i] != static_cast<uint8_t>(row.value >> (8 * i))) {
            return false;
        }
    }
    return true;
}

// Writes the row into the image; a row that would reach past the image, or
// past its own 8-byte value, is refused.
void applyRow(const WorkaroundField &row, uint8_t *data, std::size_t size) {
    if (row.offset > size || row.length > size - row.offset || row.length > kMaxFieldLength) {
        InternalErrorImpl failure;
        failure.setMessageString(
            "Data overflow. Offset requested is larger than data size. offset: %(offset)i, data size: %(size)i");
        failure.setParameter("offset", row.offset);
        failure.setParameter("size", static_cast<uint32_t>(size));
        throw failure;
    }
    for (uint32_t i = 0; i < row.length; ++i) {
        data[row.offset + i] = static_cast<uint8_t>(row.value >> (8 * i));
    }
}

}  // namespace

SmbiosWorkaroundTable::SmbiosWorkaroundTable(const Workaround *const *list) : workarounds(list) {}

SmbiosWorkaroundTable::~SmbiosWorkaroundTable() = default;

void SmbiosWorkaroundTable::fixupItem(const ISmbiosItem &item, uint8_t *data, std::size_t size) const {
    if (workarounds == nullptr) {
        return;
    }
    for (const Workaround *const *entry = workarounds; *entry != nullptr; ++entry) {
        const Workaround &workaround = **entry;
        if (workaround.match == nullptr || item.getType() != workaround.match[0].type) {
            continue;
        }
        bool matches = true;
        for (const WorkaroundField *row = workaround.match; row->type != 0 && matches; ++row) {
            matches = rowMatches(item, *row);
        }
        if (!matches) {
            continue;
        }
        for (const WorkaroundField *row = workaround.fix; row != nullptr && row->type != 0; ++row) {
            applyRow(*row, data, size);
        }
    }
}

}  // namespace smbios
