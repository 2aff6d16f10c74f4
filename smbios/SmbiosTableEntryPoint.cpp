// Validation of the entry point, and the structure table read.
#include "smbios/SmbiosTableEntryPoint.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"

namespace smbios {

namespace {

uint8_t entryPointChecksum(const SmbiosTableEntryPoint &candidate) {
    const auto *bytes = reinterpret_cast<const uint8_t *>(&candidate);
    const std::size_t checksummed = std::min<std::size_t>(candidate.eps_length, sizeof candidate);
    uint8_t sum = 0;
    for (std::size_t i = 0; i < checksummed; ++i) {
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    return sum;
}

bool anchorMatches(const SmbiosTableEntryPoint &candidate) {
    return std::memcmp(candidate.dmi_anchor, "_DMI_", sizeof candidate.dmi_anchor) == 0;
}

}  // namespace

bool entryPointPassesChecks(const SmbiosTableEntryPoint &candidate) {
    return anchorMatches(candidate) && entryPointChecksum(candidate) == 0 && candidate.major_version == 2 &&
           candidate.eps_length >= 0x1F;
}

bool validateEntryPoint(const SmbiosTableEntryPoint &candidate, bool strict, Exception<ParseException> &report) {
    const uint8_t sum = entryPointChecksum(candidate);
    std::string text = "validation of table entry point failed\n";
    bool passed = true;
    if (!anchorMatches(candidate)) {
        text += "Intermediate anchor string does not match. anchor string: %(dmi_anchor)s\n";
        passed = false;
    }
    if (sum != 0) {
        text += "Checksum check for table entry point should be zero. checksum: %(checksum)i \n";
        passed = false;
    }
    if (candidate.major_version != 2) {
        text += "Major version of table entry point should be 2: %(major_version)i\n";
        passed = false;
    }
    if (candidate.eps_length < 0x1F) {
        text += "Entry Point Length field is at least 0x1f : %(eps_length)i\n";
        passed = false;
    }

    // The anchor text runs to the first zero byte, at most to the record's end.
    const auto *anchorStart = reinterpret_cast<const char *>(candidate.dmi_anchor);
    const auto *recordEnd = reinterpret_cast<const char *>(&candidate) + sizeof candidate;
    report.setParameter("dmi_anchor", std::string(anchorStart, std::find(anchorStart, recordEnd, '\0')));
    report.setParameter("checksum", uint32_t{sum});
    report.setParameter("major_version", uint32_t{candidate.major_version});
    report.setParameter("eps_length", uint32_t{candidate.eps_length});
    report.setMessageString(text);

    return !strict || passed;
}

void readStructureTable(std::unique_ptr<uint8_t[]> &slot, const SmbiosTableEntryPoint &entryPoint) {
    memory::IMemory *source = memory::MemoryFactory::getFactory()->getSingleton();
    if (source == nullptr) {
        throw InternalErrorImpl();
    }
    std::unique_ptr<uint8_t[]> table(new uint8_t[entryPoint.table_length]());
    source->fillBuffer(table.get(), entryPoint.table_address, entryPoint.table_length);
    slot = std::move(table);
}

}  // namespace smbios
