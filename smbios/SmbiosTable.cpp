// The structure table: reading through strategies, the item cache, the
// workaround hook and the text dump.
#include "smbios/SmbiosTable.h"

#include <algorithm>
#include <ios>
#include <utility>

#include "smbios/Exception.h"
#include "smbios/ItemCache.h"
#include "smbios/SmbiosWorkaround.h"

namespace smbios {
namespace {

const char *const kEnhancedOnly =
    "This is an enhanced function call that is not available in the base Smbios library. You must be "
    "using an enhanced library such as Korvalis to use this API";

}  // namespace

ISmbiosTable::~ISmbiosTable() = default;

std::ostream &operator<<(std::ostream &out, const ISmbiosTable &table) {
    return table.streamify(out);
}

SmbiosTable::SmbiosTable(std::vector<std::unique_ptr<SmbiosStrategy>> initialStrategies, bool strict)
    : itemCache(std::make_unique<ItemCache>()), strictValidation(strict), strategies(std::move(initialStrategies)) {
    reReadTable();
}

SmbiosTable::~SmbiosTable() {
    clearItemCache();
}

ConstSmbiosTableIterator SmbiosTable::begin() const {
    return ConstSmbiosTableIterator(this, -1);
}

SmbiosTableIterator SmbiosTable::begin() {
    return SmbiosTableIterator(this, -1);
}

ConstSmbiosTableIterator SmbiosTable::end() const {
    return ConstSmbiosTableIterator(nullptr, -1);
}

SmbiosTableIterator SmbiosTable::end() {
    return SmbiosTableIterator(nullptr, -1);
}

ConstSmbiosTableIterator SmbiosTable::operator[](const std::string &) const {
    throw NotImplementedImpl(kEnhancedOnly);
}

SmbiosTableIterator SmbiosTable::operator[](const std::string &) {
    throw NotImplementedImpl(kEnhancedOnly);
}

ConstSmbiosTableIterator SmbiosTable::operator[](int type) const {
    return ConstSmbiosTableIterator(this, type);
}

SmbiosTableIterator SmbiosTable::operator[](int type) {
    return SmbiosTableIterator(this, type);
}

void SmbiosTable::setInitializing(bool flag) {
    initializing = flag;
}

void SmbiosTable::clearItemCache() {
    itemCache->clear();
}

void SmbiosTable::reReadTable() {
    if (!initializing) {
        clearItemCache();
    }
    for (const auto &strategy : strategies) {
        try {
            TableFacts facts;
            if (strategy->readTable(tableBuffer, entryPoint, facts, getStrictValidation())) {
                tableLength = facts.length;
                sourceEntryPoint = std::move(facts.entryPoint);
                return;
            }
        } catch (...) {
            // A strategy that throws is passed over like one that fails.
        }
    }
    strategies.clear();
    throw InternalErrorImpl("Could not instantiate SMBIOS table.");
}

uint16_t SmbiosTable::getNumberOfStructures() const {
    return entryPoint.num_structures;
}

SmbiosTableEntryPoint SmbiosTable::getTableHeader() const {
    return entryPoint;
}

std::size_t SmbiosTable::getTableLength() const {
    return tableBuffer ? tableLength : 0;
}

SourceEntryPoint SmbiosTable::getSourceEntryPoint() const {
    return sourceEntryPoint;
}

std::ostream &SmbiosTable::streamify(std::ostream &out) const {
    out << "\nSMBIOS table " << std::endl;
    out << "\tversion    : " << static_cast<unsigned>(entryPoint.major_version) << "."
        << static_cast<unsigned>(entryPoint.minor_version) << std::endl;
    out << std::hex << "\taddress    : " << entryPoint.table_address << std::endl;
    out << std::dec << "\tlength     : " << entryPoint.table_length << std::endl;
    out << "\tnum structs: " << entryPoint.num_structures << std::endl;
    out << std::endl;
    for (auto position = begin(); position != end(); ++position) {
        out << *position << std::endl;
    }
    return out;
}

void SmbiosTable::initializeWorkaround() {
    // The factory reads this table while `initializing` is still set, so the
    // items it makes are unpatched; they are dropped before patching starts.
    workaround.reset();
    workaround = SmbiosWorkaroundFactory::getFactory()->makeNew(*this);
    clearItemCache();
    initializing = false;
}

void SmbiosTable::setStrictValidation(bool strict) {
    strictValidation = strict;
}

bool SmbiosTable::getStrictValidation() const {
    return strictValidation;
}

ISmbiosItem *SmbiosTable::getCachedItem(const uint8_t *location) const {
    return itemCache->find(location);
}

void SmbiosTable::cacheItem(const uint8_t *location, std::unique_ptr<ISmbiosItem> item) const {
    itemCache->insert(location, std::move(item), expectedItemCount());
}

std::size_t SmbiosTable::expectedItemCount() const {
    // Sources without a count say 9999, which a long table exceeds: there a
    // structure is taken to need 16 bytes, about half the usual.
    std::size_t expected = entryPoint.num_structures;
    if (expected == 9999) {
        expected = std::max<std::size_t>(expected, tableLength / 16);
    }
    return std::min<std::size_t>(expected, tableLength / 4 + 1u);
}

std::size_t SmbiosTable::bytesLeftAt(const uint8_t *location) const {
    return tableBuffer && location >= tableBuffer.get() && location < tableBuffer.get() + tableLength
               ? static_cast<std::size_t>(tableBuffer.get() + tableLength - location)
               : 0;
}

std::unique_ptr<ISmbiosItem> SmbiosTable::makeItem(const uint8_t *location) const {
    std::unique_ptr<ISmbiosItem> item = std::make_unique<SmbiosItem>(location, bytesLeftAt(location));
    // Items made while the workarounds are being installed stay as read.
    if (!initializing && workaround) {
        item->fixup(workaround.get());
    }
    return item;
}

ISmbiosItem &SmbiosTable::itemAt(const uint8_t *location) const {
    ISmbiosItem *cached = itemCache->find(location);
    if (cached != nullptr) {
        return *cached;
    }
    return itemCache->make(location, bytesLeftAt(location), initializing ? nullptr : workaround.get(),
                           expectedItemCount());
}

}  // namespace smbios
