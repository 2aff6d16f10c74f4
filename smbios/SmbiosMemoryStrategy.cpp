// The memory strategies: the search for the 2.x and the 3.x entry point in
// the BIOS area and the read of the table each names, over the
// process-wide memory source.
#include "smbios/SmbiosStrategy.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosTableEntryPoint.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios {
namespace {

constexpr uint64_t kSearchStart = format::kEntryPoint2SearchStart;
constexpr uint64_t kSearchLimit = format::kEntryPoint2SearchLimit;  // a candidate must end below this
constexpr uint64_t kSearchStep = format::kEntryPointSearchStep;

memory::IMemory &memorySource() {
    memory::IMemory *source = memory::MemoryFactory::getFactory()->getSingleton();
    if (source == nullptr) {
        throw InternalErrorImpl();
    }
    return *source;
}

// A 3.x table is read in steps of this many bytes until its type 127
// structure has been read: its maximum size may lie far above the table.
constexpr std::size_t kTableReadStep = 0x10000;

// The buffer a 3.x table is read into. It takes the maximum size at once
// where that is modest (firmware usually states the real size, and pages
// never written are never touched), and else grows as the table is read,
// so that a maximum of up to 4 GiB costs no more than the table.
struct GrowingTable {
    static constexpr std::size_t kWholeReadLimit = 16u << 20;

    explicit GrowingTable(std::size_t maximum)
        : capacity(std::min(maximum, kWholeReadLimit)), bytes(new uint8_t[capacity]) {}

    // Room for `more` bytes past `size`, which then counts them.
    uint8_t *extend(std::size_t more) {
        if (size + more > capacity) {
            const std::size_t grown = std::max(size + more, 2 * capacity);
            std::unique_ptr<uint8_t[]> larger(new uint8_t[grown]);
            std::copy_n(bytes.get(), size, larger.get());
            bytes = std::move(larger);
            capacity = grown;
        }
        size += more;
        return bytes.get() + size - more;
    }

    std::size_t capacity;
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> bytes;
};

// Reads up to `maximum` bytes at `address`, and stops early where a walk
// over what has been read ends: after a complete type 127 structure, or at
// a byte that cannot start a structure (the zeros after a table without
// one). Memory errors pass through.
GrowingTable readTableUpTo(memory::IMemory &source, uint64_t address, std::size_t maximum) {
    GrowingTable table(maximum);
    std::size_t at = format::kNoStructure;  // the last structure known to be complete
    bool ended = false;
    while (!ended && table.size < maximum) {
        const std::size_t before = table.size;
        const std::size_t step = std::min(kTableReadStep, maximum - before);
        uint8_t *chunk = table.extend(step);
        // Zeroed first, so that a source that fills less than asked never
        // leaves stray bytes.
        std::memset(chunk, 0, step);
        source.fillBuffer(chunk, address + before, static_cast<uint32_t>(step));
        const uint8_t *data = table.bytes.get();
        const std::size_t size = table.size;
        const bool all = size == maximum;
        for (;;) {
            const std::size_t next = at == format::kNoStructure ? 0 : at + format::structureSize(data, size, at);
            if (next + format::kStructureHeaderSize > size) {
                ended = all;
                break;
            }
            if (data[next + 1] < format::kStructureHeaderSize) {
                ended = true;
                break;
            }
            const std::size_t nextSize = format::structureSize(data, size, next);
            if (next + nextSize >= size && !all) {
                break;  // its strings may go on past what has been read
            }
            at = next;
            if (data[at] == format::kEndOfTableType) {
                table.size = at + nextSize;
                ended = true;
                break;
            }
        }
    }
    return table;
}

}  // namespace

SmbiosStrategy::~SmbiosStrategy() = default;

bool SmbiosStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                               TableFacts &facts, bool strict) {
    if (!getSmbiosTable(tableBuffer, entryPoint, strict)) {
        return false;
    }
    facts.length = entryPoint.table_length;
    facts.entryPoint = SourceEntryPoint();
    return true;
}

bool SmbiosStrategy::readTableWithoutFacts(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                           bool strict) {
    TableFacts facts;
    return readTable(tableBuffer, entryPoint, facts, strict);
}

SmbiosMemoryStrategy::SmbiosMemoryStrategy(uint32_t initialOffset) : offset(initialOffset) {}

SmbiosMemoryStrategy::~SmbiosMemoryStrategy() = default;

bool SmbiosMemoryStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                          bool strict) {
    return readTableWithoutFacts(tableBuffer, entryPoint, strict);
}

bool SmbiosMemoryStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                     TableFacts &facts, bool strict) {
    try {
        getSmbiosEntryPoint(entryPoint, strict);
        const SmbiosTableEntryPoint found = entryPoint;
        readStructureTable(tableBuffer, found);
        facts.length = found.table_length;
        const auto *bytes = reinterpret_cast<const uint8_t *>(&found);
        facts.entryPoint.kind = EntryPointKind::Smbios2;
        facts.entryPoint.bytes.assign(bytes, bytes + format::kEntryPoint2Size);
        facts.entryPoint.address = offset;
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void SmbiosMemoryStrategy::getSmbiosEntryPoint(SmbiosTableEntryPoint &entryPoint, bool strict) {
    memory::IMemory *source = &memorySource();

    // The report is written only when the search fails: it then says what
    // the last candidate with the anchor failed, as if every such candidate
    // had been validated into it in turn.
    SmbiosTableEntryPoint candidate{};
    SmbiosTableEntryPoint lastRejected{};
    bool rejected = false;
    auto fail = [&]() {
        ParseExceptionImpl report;
        if (offset != 0) {
            report.setMessageString("SMBIOS Header not found at offset: %(offsetValue)i");
            report.setParameter("offsetValue", offset);
        } else {
            report.setMessageString("SMBIOS Header not found in search.");
        }
        if (rejected) {
            (void)validateEntryPoint(lastRejected, strict, report);
        }
        throw report;
    };

    uint64_t address = offset != 0 ? offset : kSearchStart;
    for (;; address += kSearchStep) {
        if (address + sizeof candidate >= kSearchLimit) {
            fail();
        }
        source->fillBuffer(reinterpret_cast<uint8_t *>(&candidate), address, sizeof candidate);
        if (std::memcmp(candidate.anchor, "_SM_", sizeof candidate.anchor) == 0) {
            // Without `strict` every candidate with the anchor is accepted.
            if (!strict || format::checkEntryPoint2(candidate) == 0) {
                break;
            }
            lastRejected = candidate;
            rejected = true;
        }
        if (offset != 0) {
            fail();
        }
    }
    offset = static_cast<uint32_t>(address);
    entryPoint = candidate;
}

Smbios3MemoryStrategy::Smbios3MemoryStrategy(uint32_t initialOffset) : offset(initialOffset) {}

Smbios3MemoryStrategy::~Smbios3MemoryStrategy() = default;

bool Smbios3MemoryStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                           bool strict) {
    return readTableWithoutFacts(tableBuffer, entryPoint, strict);
}

bool Smbios3MemoryStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                      TableFacts &facts, bool) {
    try {
        memory::IMemory &source = memorySource();
        // Each candidate is read as 32 bytes, like a 2.x one, so the last
        // boundary whose read stays below 1 MiB is FFFE0h.
        uint8_t candidate[32];
        const uint64_t first = offset != 0 ? offset : format::kEntryPoint3SearchStart;
        const uint64_t last = offset != 0 ? offset : format::kEntryPoint3SearchEnd - sizeof candidate;
        for (uint64_t address = first; address <= last; address += format::kEntryPointSearchStep) {
            source.fillBuffer(candidate, address, sizeof candidate);
            if (std::memcmp(candidate, "_SM3_", 5) != 0 || format::checkEntryPoint3(candidate, sizeof candidate) != 0) {
                continue;
            }
            const format::Smbios3EntryPoint found = format::readEntryPoint3(candidate);
            GrowingTable read = readTableUpTo(source, found.table_address, found.max_table_size);
            const std::size_t length = read.size;
            std::unique_ptr<uint8_t[]> table = std::move(read.bytes);

            entryPoint.major_version = found.major_version;
            entryPoint.minor_version = found.minor_version;
            entryPoint.table_length = static_cast<uint16_t>(length);
            entryPoint.table_address = static_cast<uint32_t>(found.table_address);
            entryPoint.num_structures = 9999;
            tableBuffer = std::move(table);
            facts.length = length;
            facts.entryPoint.kind = EntryPointKind::Smbios3;
            facts.entryPoint.bytes.assign(candidate, candidate + format::kEntryPoint3Size);
            facts.entryPoint.address = address;
            offset = static_cast<uint32_t>(address);
            return true;
        }
    } catch (const std::exception &) {
        // A memory error ends the search: the strategy fails like the 2.x one.
    }
    return false;
}

}  // namespace smbios
