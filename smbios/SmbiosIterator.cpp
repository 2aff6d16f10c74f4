// The walk over a table's raw buffer, and dereferencing through the table's
// item cache.
#include "smbios/SmbiosIterator.h"

#include <memory>

#include "smbios/Exception.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosTable.h"

namespace smbios {
namespace {

constexpr uint8_t kEndOfTable = 127;
constexpr long kHeaderSize = 4;

// The structure after `current` (or the first one, when `current` is null)
// in a buffer of `length` bytes; null at the end. Reads only inside the
// buffer.
const uint8_t *nextStructure(const uint8_t *buffer, long length, const uint8_t *current) {
    long candidate = 0;
    if (current != nullptr) {
        if (current[0] == kEndOfTable) {
            return nullptr;
        }
        // Skip the formatted area, then the strings up to their double zero.
        long at = (current - buffer) + current[1];
        while (at < length - 3 && (buffer[at] != 0 || buffer[at + 1] != 0)) {
            ++at;
        }
        candidate = at + 2;
    }
    // The next header must fit within the table, and must be a header: a
    // length byte below 4 (zero padding, say) leaves nothing to walk by.
    if (candidate > length - kHeaderSize || buffer[candidate + 1] < kHeaderSize) {
        return nullptr;
    }
    return buffer + candidate;
}

}  // namespace

SmbiosTableIteratorBase::SmbiosTableIteratorBase(const ISmbiosTable *initialTable, int type)
    : matchType(type), table(initialTable), current(nullptr) {
    incrementIterator();
}

SmbiosTableIteratorBase::~SmbiosTableIteratorBase() = default;

void SmbiosTableIteratorBase::incrementIterator() {
    const auto *smbiosTable = dynamic_cast<const SmbiosTable *>(table);
    if (smbiosTable == nullptr) {
        return;
    }
    const uint8_t *buffer = smbiosTable->tableBuffer.get();
    if (buffer == nullptr) {
        current = nullptr;
        return;
    }
    const long length = smbiosTable->entryPoint.table_length;
    do {
        current = nextStructure(buffer, length, current);
    } while (matchType != -1 && current != nullptr && current[0] != matchType);
}

ISmbiosItem &SmbiosTableIteratorBase::dereference() const {
    if (current == nullptr) {
        throw ParameterExceptionImpl("Programmer error: attempt to dereference a Null iterator.");
    }
    const auto *smbiosTable = dynamic_cast<const SmbiosTable *>(table);
    if (smbiosTable == nullptr) {
        throw InternalErrorImpl("Smbios table not found or not initialized");
    }
    ISmbiosItem *item = smbiosTable->getCachedItem(current);
    if (item == nullptr) {
        smbiosTable->cacheItem(current, smbiosTable->makeItem(current));
        item = smbiosTable->getCachedItem(current);
    }
    return *item;
}

}  // namespace smbios
