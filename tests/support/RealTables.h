// The real SMBIOS tables of the test data (tests/data): dmidecode dumps, raw
// sysfs tables, a Windows RSMB buffer, sysfs entry point and table pairs,
// memory images captured from SeaBIOS, and tables longer than 65,535 bytes
// made of their structures, each in the form its source gives it.
#ifndef TARNWICK_TESTS_SUPPORT_REALTABLES_H
#define TARNWICK_TESTS_SUPPORT_REALTABLES_H

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "smbios/SmbiosStrategy.h"

namespace tarnwick_test {

struct RealTable {
    enum class Format { DumpBin, Raw, Rsmb, Sysfs, Image };

    const char *name;  // also the test name
    Format format;
    const char *path;        // relative to tests/data; a directory for Sysfs
    std::size_t structures;  // what a walk visits
    // Above 1: the structures of the table at `path`, that many times over
    // with their handles renumbered, in `format` (an SMBIOS 3 table).
    std::size_t copies = 1;
};

const std::vector<RealTable> &realTables();

// The table and the record in front of it, as a file of the format holds
// them: what smbios-inspect hands the library. Not for images.
smbios::SmbiosTableBytes sourceOf(const RealTable &table);

// The table as a memory image (captured images as they are), with a 2.x or,
// where the table needs one, a 3.x entry point.
std::vector<uint8_t> memoryImageOf(const RealTable &table);

void PrintTo(const RealTable &table, std::ostream *out);

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SUPPORT_REALTABLES_H
