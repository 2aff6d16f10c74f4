// Fuzz target 5: the files a table comes in, through the formats module and
// the buffer strategy, as smbios-inspect reads them: a dmidecode dump, an
// RSMB buffer, a sysfs entry point with its table; then the exports made
// from what was read, read back again.
//
// Input: a selector byte (which format), then the file's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SmbiosWorkaround.h"
#include "smbios/format/SmbiosFormat.h"

namespace {

namespace fmt = smbios::format;

smbios::SmbiosTableBytes parse(uint8_t selector, const std::vector<uint8_t> &file) {
    switch (selector % 3) {
    case 0:
        return fmt::parseDumpBin(file);
    case 1:
        return fmt::parseRawSmbiosData(file);
    default: {
        // The first 32 bytes stand for smbios_entry_point, the rest for DMI.
        const std::size_t split = std::min<std::size_t>(file.size(), 32);
        return smbios::SmbiosTableBytes{{file.begin(), file.begin() + static_cast<std::ptrdiff_t>(split)},
                                        {file.begin() + static_cast<std::ptrdiff_t>(split), file.end()}};
    }
    }
}

void walk(const smbios::SmbiosTableBytes &source, tarnwick_fuzz::InputReader &input) {
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(
        std::make_unique<smbios::SmbiosBufferStrategy>(std::make_shared<const smbios::SmbiosTableBytes>(source)));
    smbios::SmbiosTable table(std::move(strategies), false);
    table.initializeWorkaround();
    if (table.getTableLength() != source.table.size()) {
        __builtin_trap();  // the walk must be bounded by the whole table
    }
    tarnwick_fuzz::exerciseTable(table, input, input.byte());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    tarnwick_fuzz::InputReader input(data, size);
    const uint8_t selector = input.byte();
    const std::vector<uint8_t> file = input.rest();
    tarnwick_fuzz::InputReader reads(data, size);
    try {
        const smbios::SmbiosTableBytes source = parse(selector, file);
        walk(source, reads);
        (void)fmt::checkEntryPoint3(source.entryPoint.data(),
                                    source.entryPoint.size() >= fmt::kEntryPoint3Size ? source.entryPoint.size() : 0);
        // What an export writes reads back to the same table.
        const std::pair<uint8_t, uint8_t> version = fmt::versionOf(source);
        const smbios::SmbiosTableBytes exported =
            fmt::sourceWithEntryPoint(source.table, version.first, version.second);
        if (fmt::parseDumpBin(fmt::buildDumpBin(exported)).table != source.table) {
            __builtin_trap();
        }
        const fmt::TableCensus census = fmt::surveyTable(source.table);
        if (census.usedLength > source.table.size()) {
            __builtin_trap();
        }
        if (source.table.size() < 0x4000) {
            (void)fmt::surveyTable(fmt::replicateTable(source.table, 2));
        }
    } catch (const smbios::IException &) {
        // Refused as a file of its kind, or as a table an export can write.
    }
    smbios::SmbiosWorkaroundFactory::getFactory()->reset();
    return 0;
}
