// Applying workarounds to the image of one item.
#include "smbios/SmbiosWorkaround.h"

#include <exception>

#include "smbios/Exception.h"
#include "smbios/MakerStructure.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosTable.h"

namespace smbios {
namespace {

constexpr uint32_t kMaxFieldLength = 8;

// Type 212 (D4h), handle D402h (the bytes 02h D4h), checksum type 3.
const WorkaroundField invalidChecksumMatch[] = {{212, 8, 1, 0x03}, {212, 2, 2, 0xD402}, {0, 0, 0, 0}};
const WorkaroundField commonChecksumFix[] = {{212, 8, 1, 0x00}, {0, 0, 0, 0}};
const WorkaroundField variantChecksumFix[] = {{212, 8, 1, 0x01}, {0, 0, 0, 0}};

const Workaround *const commonWorkarounds[] = {&invalidChecksumType, nullptr};
const Workaround *const variantWorkarounds[] = {&quellinInvalidChecksumType, nullptr};

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

// The system ID of the first maker structure, or 0 (which no row has) where
// there is none or it is too short to hold one.
uint16_t machineSystemId(const ISmbiosTable &table) {
    // Most machines have no maker structure: that is asked first, rather
    // than learnt from an exception, which every table would pay for.
    const auto maker = table[kMakerStructureType];
    if (maker == table.end()) {
        return 0;
    }
    try {
        return systemIdOf(*maker);
    } catch (const std::exception &) {
        return 0;
    }
}

}  // namespace

const Workaround invalidChecksumType = {"Invalid Checksum Type", invalidChecksumMatch, commonChecksumFix};
const Workaround quellinInvalidChecksumType = {"Quellin Invalid Checksum Type", invalidChecksumMatch,
                                               variantChecksumFix};

// Model IDs and BIOS version ranges of the maker's affected systems.
const SystemWorkarounds systemWorkaroundTable[kSystemWorkaroundCount] = {
    {0x00B5, "A00", "A06", commonWorkarounds},  {0x00C6, "A00", "A09", commonWorkarounds},
    {0x00D2, "A01", "A05", variantWorkarounds}, {0x00E1, "A00", "A11", commonWorkarounds},
    {0x00E4, "A02", "A08", commonWorkarounds},  {0x00F3, "A00", "A04", commonWorkarounds},
    {0x011B, "A00", "A12", commonWorkarounds},  {0x011C, "A00", "A12", commonWorkarounds},
    {0x0127, "A03", "A10", commonWorkarounds},  {0x0134, "A00", "A07", commonWorkarounds},
    {0x0145, "A01", "A06", commonWorkarounds},  {0x0286, "A00", "A03", commonWorkarounds},
};

SmbiosWorkaroundFactory::~SmbiosWorkaroundFactory() = default;

SmbiosWorkaroundFactory *SmbiosWorkaroundFactory::getFactory() {
    using Family = factory::TFactory<SmbiosWorkaroundFactory>;
    return Family::getOrCreate<Family>();
}

std::unique_ptr<SmbiosWorkaroundTable> SmbiosWorkaroundFactory::makeNew(const ISmbiosTable &table) {
    const uint16_t systemId = machineSystemId(table);
    for (const SystemWorkarounds &row : systemWorkaroundTable) {
        if (row.systemId == systemId) {
            return std::make_unique<SmbiosWorkaroundTable>(row.workarounds);
        }
    }
    return std::make_unique<SmbiosWorkaroundTable>(nullptr);
}

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
