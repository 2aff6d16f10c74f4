// The structure table: reading through strategies, the item cache, the
// workaround hook and the text dump.
#include "smbios/SmbiosTable.h"

#include <algorithm>
#include <ios>
#include <new>
#include <utility>

#include "smbios/Exception.h"
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
    : strictValidation(strict), strategies(std::move(initialStrategies)) {
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
    // The vector's own storage is in the arena too: it goes first.
    std::pmr::vector<CacheEntry>(&itemArena).swap(itemList);
    spareItemSlot = nullptr;
    itemArena.release();
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

namespace {

// Orders cache entries by location, for the binary searches.
struct LocationOrder {
    template <class Entry>
    bool operator()(const Entry &entry, const uint8_t *location) const {
        return entry.first < location;
    }
};

}  // namespace

ISmbiosItem *SmbiosTable::getCachedItem(const uint8_t *location) const {
    // A walk meets the structures in address order, so a new one lies past
    // the last cached: answered without a search.
    if (itemList.empty() || location > itemList.back().first) {
        return nullptr;
    }
    const auto found = std::lower_bound(itemList.begin(), itemList.end(), location, LocationOrder());
    if (found == itemList.end() || found->first != location) {
        return nullptr;
    }
    if (!found->second) {
        throw InternalErrorImpl("No null pointers should ever leak into the itemList");
    }
    return found->second.get();
}

void SmbiosTable::cacheItem(const uint8_t *location, std::unique_ptr<ISmbiosItem> item) const {
    insertCachedItem(location, CachedItem(item.release(), CachedItemDeleter{false}));
}

void SmbiosTable::insertCachedItem(const uint8_t *location, CachedItem item) const {
    if (itemList.empty()) {
        // Room for every structure the entry point counts (as far as the
        // table's length allows), so that a walk never regrows the vector.
        // Sources without a count say 9999, which a long table exceeds:
        // there a structure is taken to need 16 bytes, about half the usual.
        std::size_t expected = entryPoint.num_structures;
        if (expected == 9999) {
            expected = std::max<std::size_t>(expected, tableLength / 16);
        }
        itemList.reserve(std::min<std::size_t>(expected, tableLength / 4 + 1u));
    }
    if (itemList.empty() || location > itemList.back().first) {
        itemList.emplace_back(location, std::move(item));
        return;
    }
    const auto position = std::lower_bound(itemList.begin(), itemList.end(), location, LocationOrder());
    if (position != itemList.end() && position->first == location) {
        return;  // an entry exists: it stays, and `item` is destroyed
    }
    itemList.emplace(position, location, std::move(item));
}

std::size_t SmbiosTable::bytesLeftAt(const uint8_t *location) const {
    return tableBuffer && location >= tableBuffer.get() && location < tableBuffer.get() + tableLength
               ? static_cast<std::size_t>(tableBuffer.get() + tableLength - location)
               : 0;
}

void SmbiosTable::fixupNewItem(ISmbiosItem &item) const {
    // Items made while the workarounds are being installed stay as read.
    if (!initializing && workaround) {
        item.fixup(workaround.get());
    }
}

std::unique_ptr<ISmbiosItem> SmbiosTable::makeItem(const uint8_t *location) const {
    std::unique_ptr<ISmbiosItem> item = std::make_unique<SmbiosItem>(location, bytesLeftAt(location));
    fixupNewItem(*item);
    return item;
}

void SmbiosTable::CachedItemDeleter::operator()(ISmbiosItem *item) const {
    if (inArena) {
        item->~ISmbiosItem();  // the arena takes its memory back as a whole
    } else {
        delete item;
    }
}

ISmbiosItem &SmbiosTable::makeCachedItem(const uint8_t *location) const {
    void *slot = spareItemSlot != nullptr ? spareItemSlot : itemArena.allocate(sizeof(SmbiosItem), alignof(SmbiosItem));
    spareItemSlot = nullptr;
    SmbiosItem *made = nullptr;
    try {
        made = new (slot) SmbiosItem(location, bytesLeftAt(location), &itemArena);
    } catch (...) {
        spareItemSlot = slot;
        throw;
    }
    try {
        fixupNewItem(*made);
    } catch (...) {
        made->~SmbiosItem();
        spareItemSlot = slot;
        throw;
    }
    insertCachedItem(location, CachedItem(made, CachedItemDeleter{true}));
    return *made;
}

}  // namespace smbios
