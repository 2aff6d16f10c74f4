// Validation of the entry point, and the structure table read.
#include "smbios/SmbiosTableEntryPoint.h"

#include <algorithm>
#include <string>

#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "smbios/VerbatimText.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios {

bool validateEntryPoint(const SmbiosTableEntryPoint &candidate, bool strict, Exception<ParseException> &report) {
    const uint8_t sum = format::entryPoint2Checksum(candidate);
    const unsigned failed = format::checkEntryPoint2(candidate);
    std::string text = "validation of table entry point failed\n";
    if ((failed & format::kIntermediateAnchorCheck) != 0) {
        text += "Intermediate anchor string does not match. anchor string: %(dmi_anchor)s\n";
    }
    if ((failed & format::kChecksumCheck) != 0) {
        text += "Checksum check for table entry point should be zero. checksum: %(checksum)i \n";
    }
    if ((failed & format::kMajorVersionCheck) != 0) {
        text += "Major version of table entry point should be 2: %(major_version)i\n";
    }
    if ((failed & format::kLengthCheck) != 0) {
        text += "Entry Point Length field is at least 0x1f : %(eps_length)i\n";
    }

    // The anchor text runs to the first zero byte, at most to the record's end.
    const auto *anchorStart = reinterpret_cast<const char *>(candidate.dmi_anchor);
    const auto *recordEnd = reinterpret_cast<const char *>(&candidate) + sizeof candidate;
    // The anchor's bytes come from firmware: they are written into the report
    // as they are, never expanded.
    setMessageWithVerbatimValues(report, text,
                                 {{"dmi_anchor", std::string(anchorStart, std::find(anchorStart, recordEnd, '\0'))}});
    report.setParameter("checksum", uint32_t{sum});
    report.setParameter("major_version", uint32_t{candidate.major_version});
    report.setParameter("eps_length", uint32_t{candidate.eps_length});

    return !strict || failed == 0;
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
