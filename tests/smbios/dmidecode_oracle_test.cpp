// dmidecode as an independent oracle: for every real table, the structures
// this library walks (handle, type, length, formatted bytes, every string)
// are exactly those `dmidecode -u` reports for the same memory image, and
// for a dump of the same bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/support/Command.h"
#include "tests/support/Dmidecode.h"
#include "tests/support/RealTables.h"
#include "tests/support/SmbiosBuilder.h"
#include "tests/support/TempFile.h"

namespace {

using tarnwick_test::DmidecodeReport;
using tarnwick_test::RealTable;
using tarnwick_test::Structure;

// The structures of a table made by the SMBIOS factory as configured.
std::vector<Structure> libraryWalk() {
    std::unique_ptr<smbios::ISmbiosTable> table(smbios::SmbiosFactory::getFactory()->makeNew());
    std::vector<Structure> walked;
    for (auto it = table->begin(); it != table->end(); ++it) {
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

class DmidecodeOracleTest : public tarnwick_test::DmidecodeTest<RealTable> {
protected:
    ~DmidecodeOracleTest() override { smbios::resetLibraryFactories(); }
};

// The memory image (2.x or 3.x entry point) as dmidecode scans it, and the
// table of the file's own bytes as dmidecode reads it from a dump of them.
TEST_P(DmidecodeOracleTest, EverySourceWalksLikeDmidecodeReadsIt) {
    const std::vector<uint8_t> image = tarnwick_test::memoryImageOf(GetParam());
    const tarnwick_test::TempFile imageFile(image);
    const DmidecodeReport scanned =
        tarnwick_test::runDmidecode(dmidecode, "--no-sysfs -d " + tarnwick_test::shellQuoted(imageFile.path()));
    ASSERT_FALSE(scanned.structures.empty()) << "dmidecode found no table in the image";
    {
        const tarnwick_test::MemoryImageFixture fixture(image);
        smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
        smbios::SmbiosFactory::getFactory()->setParameter("smbios3", 1u);
        tarnwick_test::expectSameStructures(libraryWalk(), scanned);
    }
    if (GetParam().format == RealTable::Format::Image) {
        return;
    }
    const smbios::SmbiosTableBytes source = tarnwick_test::sourceOf(GetParam());
    const tarnwick_test::TempFile dumpFile(smbios::format::buildDumpBin(source));
    const DmidecodeReport dumped =
        tarnwick_test::runDmidecode(dmidecode, "--from-dump " + tarnwick_test::shellQuoted(dumpFile.path()));
    smbios::SmbiosFactory::getFactory()->setTableBytes(std::make_shared<const smbios::SmbiosTableBytes>(source));
    smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::BufferMode);
    tarnwick_test::expectSameStructures(libraryWalk(), dumped);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DmidecodeOracleTest, ::testing::ValuesIn(tarnwick_test::realTables()),
                         [](const ::testing::TestParamInfo<RealTable> &info) { return std::string(info.param.name); });

}  // namespace
