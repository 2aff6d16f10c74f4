// The memory strategy: entry point search in the BIOS area and the table
// read, over the process-wide memory source.
#include "smbios/SmbiosStrategy.h"

#include <cstring>
#include <exception>

#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"

namespace smbios {
namespace {

constexpr uint64_t kSearchStart = 0xE0000;
constexpr uint64_t kSearchLimit = 0xFFFFF;  // a candidate must end below this
constexpr uint64_t kSearchStep = 16;

}  // namespace

SmbiosStrategy::~SmbiosStrategy() = default;

SmbiosMemoryStrategy::SmbiosMemoryStrategy(uint32_t initialOffset) : offset(initialOffset) {}

SmbiosMemoryStrategy::~SmbiosMemoryStrategy() = default;

bool SmbiosMemoryStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                          bool strict) {
    try {
        getSmbiosEntryPoint(entryPoint, strict);
        const SmbiosTableEntryPoint found = entryPoint;
        readStructureTable(tableBuffer, found);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void SmbiosMemoryStrategy::getSmbiosEntryPoint(SmbiosTableEntryPoint &entryPoint, bool strict) {
    memory::IMemory *source = memory::MemoryFactory::getFactory()->getSingleton();
    if (source == nullptr) {
        throw InternalErrorImpl();
    }

    ParseExceptionImpl report;
    if (offset != 0) {
        report.setMessageString("SMBIOS Header not found at offset: %(offsetValue)i");
        report.setParameter("offsetValue", offset);
    } else {
        report.setMessageString("SMBIOS Header not found in search.");
    }

    SmbiosTableEntryPoint candidate{};
    uint64_t address = offset != 0 ? offset : kSearchStart;
    for (;; address += kSearchStep) {
        if (address + sizeof candidate >= kSearchLimit) {
            throw report;
        }
        source->fillBuffer(reinterpret_cast<uint8_t *>(&candidate), address, sizeof candidate);
        if (std::memcmp(candidate.anchor, "_SM_", sizeof candidate.anchor) == 0 &&
            validateEntryPoint(candidate, strict, report)) {
            break;
        }
        if (offset != 0) {
            throw report;
        }
    }
    offset = static_cast<uint32_t>(address);
    entryPoint = candidate;
}

}  // namespace smbios
