// The walk over a table's raw buffer, and dereferencing through the table's
// item cache.
#include "smbios/SmbiosIterator.h"

#include <memory>
#include <utility>

#include "smbios/Exception.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosTable.h"
#include "smbios/StructureScan.h"

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
        // (A walk reaches here only with a header inside the table, so
        // `length` is at least 4.)
        const auto from = static_cast<std::size_t>((current - buffer) + current[1]);
        candidate = static_cast<long>(findDoubleZero(buffer, from, static_cast<std::size_t>(length - 2))) + 2;
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
    : matchType(type), table(initialTable), current(nullptr),
      smbiosTable(dynamic_cast<const SmbiosTable *>(initialTable)) {
    incrementIterator();
}

SmbiosTableIteratorBase::~SmbiosTableIteratorBase() = default;

void SmbiosTableIteratorBase::incrementIterator() {
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
    if (smbiosTable == nullptr) {
        throw InternalErrorImpl("Smbios table not found or not initialized");
    }
    ISmbiosItem *item = smbiosTable->getCachedItem(current);
    return item != nullptr ? *item : smbiosTable->makeCachedItem(current);
}

}  // namespace smbios
