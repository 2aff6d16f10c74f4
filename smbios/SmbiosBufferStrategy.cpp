// The buffer strategy: a table that the caller already holds in memory.
#include <algorithm>
#include <utility>

#include "smbios/SmbiosStrategy.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios {

SmbiosBufferStrategy::SmbiosBufferStrategy(std::shared_ptr<const SmbiosTableBytes> tableSource)
    : source(std::move(tableSource)) {}

SmbiosBufferStrategy::~SmbiosBufferStrategy() = default;

bool SmbiosBufferStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                          bool strict) {
    return readTableWithoutFacts(tableBuffer, entryPoint, strict);
}

bool SmbiosBufferStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                     TableFacts &facts, bool) {
    if (!source) {
        return false;
    }
    // The table gets its own copy: it may re-read, and it owns its buffer.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[source->table.size()]);
    std::copy(source->table.begin(), source->table.end(), copy.get());
    SourceEntryPoint record;
    record.kind = format::kindOf(source->entryPoint);
    record.bytes = source->entryPoint;
    format::describeInRecord(*source, entryPoint);
    tableBuffer = std::move(copy);
    facts.length = source->table.size();
    facts.entryPoint = std::move(record);
    return true;
}

}  // namespace smbios
