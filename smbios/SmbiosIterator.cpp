// The walk over a table's raw buffer, and dereferencing through the table's
// item cache.
#include "smbios/SmbiosIterator.h"

#include <memory>
#include <utility>

#include "smbios/Exception.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosTable.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios {

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
    const uint8_t *buffer = smbiosTable->getTableData();
    if (buffer == nullptr) {
        current = nullptr;
        return;
    }
    const std::size_t length = smbiosTable->getTableLength();
    do {
        const std::size_t at = format::nextStructure(
            buffer, length, current == nullptr ? format::kNoStructure : static_cast<std::size_t>(current - buffer));
        current = at == format::kNoStructure ? nullptr : buffer + at;
    } while (matchType != -1 && current != nullptr && current[0] != matchType);
}

ISmbiosItem &SmbiosTableIteratorBase::dereference() const {
    if (current == nullptr) {
        throw ParameterExceptionImpl("Programmer error: attempt to dereference a Null iterator.");
    }
    if (smbiosTable == nullptr) {
        throw InternalErrorImpl("Smbios table not found or not initialized");
    }
    return smbiosTable->itemAt(current);
}

}  // namespace smbios
