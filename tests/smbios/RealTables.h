// The real SMBIOS tables of the test data (tests/data): dmidecode dumps, raw
// sysfs tables, a Windows RSMB buffer, sysfs entry point and table pairs,
// and memory images captured from SeaBIOS.
#ifndef TARNWICK_TESTS_SMBIOS_REALTABLES_H
#define TARNWICK_TESTS_SMBIOS_REALTABLES_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwick_test {

struct RealTable {
    enum class Format { DumpBin, Raw, Rsmb, Sysfs, Image };

    const char *name;  // also the test name
    Format format;
    const char *path;     // relative to tests/data; a directory for Sysfs
    bool smbios3Only;     // no 2.x entry point: the memory search must find nothing
    uint16_t structures;  // what a walk visits (2.x tables)
    // Whether the 2.x entry point passes strict validation: a table of
    // version 3 handed to an SMBIOS 2.x entry point (as Windows reports
    // some) fails the major-version check.
    bool strictlyValid = true;
};

const std::vector<RealTable> &realTables();

// The table as a 1 MiB memory image (captured images as they are).
std::vector<uint8_t> memoryImageOf(const RealTable &table);

// The dump file that `dmidecode --from-dump` reads, or "" for other formats.
std::string dumpPathOf(const RealTable &table);

void PrintTo(const RealTable &table, std::ostream *out);

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SMBIOS_REALTABLES_H
