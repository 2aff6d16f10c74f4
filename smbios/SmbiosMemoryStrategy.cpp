// The memory strategy: entry point search in the BIOS area and the table
// read, over the process-wide memory source.
#include "smbios/SmbiosStrategy.h"

#include <cstring>
#include <exception>

#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosTableEntryPoint.h"

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
            if (!strict || entryPointPassesChecks(candidate)) {
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

}  // namespace smbios
