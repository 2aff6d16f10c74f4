// dmidecode as an independent oracle: for every real table, the structures
// this library walks (handle, type, length, formatted bytes, every string)
// are exactly those `dmidecode -u` reports for the same memory image, and
// for the same dump file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/RealTables.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "support/Dmidecode.h"
#include "support/SmbiosBuilder.h"
#include "support/TempFile.h"

namespace {

using tarnwick_test::DmidecodeReport;
using tarnwick_test::RealTable;
using tarnwick_test::Structure;

std::vector<Structure> libraryWalk(const std::vector<uint8_t> &image, bool strict) {
    tarnwick_test::MemoryImageFixture fixture(image);
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosMemoryStrategy>());
    smbios::SmbiosTable table(std::move(strategies), strict);
    std::vector<Structure> walked;
    for (auto it = table.begin(); it != table.end(); ++it) {
        Structure s;
        s.handle = it->getHandle();
        s.type = it->getType();
        s.length = it->getLength();
        s.formatted.resize(it->getLength());
        it->getData(0, s.formatted.data(), s.formatted.size());
        for (unsigned number = 1; number < 256; ++number) {
            try {
                const std::string text = it->getStringByStringNumber(static_cast<uint8_t>(number));
                if (number == 1 && text.empty()) {
                    break;  // no strings at all
                }
                s.strings.push_back(text);
            } catch (const smbios::StringUnavailable &) {
                break;
            }
        }
        walked.push_back(s);
    }
    return walked;
}

class DmidecodeOracleTest : public tarnwick_test::DmidecodeTest<RealTable> {};

TEST_P(DmidecodeOracleTest, MemoryImageWalksLikeDmidecodeReadsIt) {
    const std::vector<uint8_t> image = tarnwick_test::memoryImageOf(GetParam());
    const tarnwick_test::TempFile file(image);
    const DmidecodeReport oracle = tarnwick_test::runDmidecode(dmidecode, "--no-sysfs -d '" + file.path() + "'");
    ASSERT_FALSE(oracle.structures.empty()) << "dmidecode found no table in the image";
    tarnwick_test::expectSameStructures(libraryWalk(image, GetParam().strictlyValid), oracle);
}

class DmidecodeDumpOracleTest : public DmidecodeOracleTest {};

TEST_P(DmidecodeDumpOracleTest, DumpFileWalksLikeDmidecodeReadsIt) {
    const std::string dump = tarnwick_test::dumpPathOf(GetParam());
    const DmidecodeReport oracle = tarnwick_test::runDmidecode(dmidecode, "--from-dump '" + dump + "'");
    ASSERT_FALSE(oracle.structures.empty());
    tarnwick_test::expectSameStructures(libraryWalk(tarnwick_test::memoryImageOf(GetParam()), GetParam().strictlyValid),
                                        oracle);
}

// The 2.x tables (SMBIOS 3-only ones offer the search no entry point), and
// those of them that are dmidecode dumps.
std::vector<RealTable> smbios2Tables(bool dumpsOnly) {
    std::vector<RealTable> chosen;
    for (const RealTable &table : tarnwick_test::realTables()) {
        if (!table.smbios3Only && (!dumpsOnly || !tarnwick_test::dumpPathOf(table).empty())) {
            chosen.push_back(table);
        }
    }
    return chosen;
}

std::string nameOf(const ::testing::TestParamInfo<RealTable> &info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DmidecodeOracleTest, ::testing::ValuesIn(smbios2Tables(false)), nameOf);
INSTANTIATE_TEST_SUITE_P(Fixtures, DmidecodeDumpOracleTest, ::testing::ValuesIn(smbios2Tables(true)), nameOf);

}  // namespace
