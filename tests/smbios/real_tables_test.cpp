// Every real table of the test data, from every source that can give it: a
// memory image searched for its 2.x or 3.x entry point, and the bytes of its
// own file handed to the library. Each walks completely, to the same
// structures, and every structure and string is readable.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "tests/support/RealTables.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using tarnwick_test::RealTable;

struct Walk {
    std::vector<uint16_t> handles;
    std::size_t bytes = 0;
    uint8_t lastType = 0;
};

Walk walkAll(smbios::ISmbiosTable &table) {
    Walk walk;
    for (auto it = table.begin(); it != table.end(); ++it) {
        walk.handles.push_back(it->getHandle());
        walk.lastType = it->getType();
        walk.bytes += it->getBufferSize();
        // Every string up to the first missing one reads without error.
        for (uint8_t number = 1; number < 255; ++number) {
            try {
                it->getStringByStringNumber(number);
            } catch (const smbios::StringUnavailable &) {
                break;
            }
        }
        std::vector<uint8_t> formatted(it->getLength());
        it->getData(0, formatted.data(), formatted.size());
        EXPECT_EQ(formatted[0], it->getType());
    }
    return walk;
}

class RealTableTest : public ::testing::TestWithParam<RealTable> {
protected:
    ~RealTableTest() override { smbios::resetLibraryFactories(); }
};

TEST_P(RealTableTest, EverySourceWalksTheWholeTable) {
    const RealTable &real = GetParam();
    const std::vector<uint8_t> image = tarnwick_test::memoryImageOf(real);

    // The memory image, as a client that opts in to SMBIOS 3 reads it.
    const tarnwick_test::MemoryImageFixture fixture(image);
    smbios::SmbiosFactory *factory = smbios::SmbiosFactory::getFactory();
    factory->setMode(smbios::SmbiosFactory::MemoryMode);
    factory->setParameter("strictValidation", 1u);
    factory->setParameter("smbios3", 1u);
    std::unique_ptr<smbios::ISmbiosTable> fromMemory(factory->makeNew());
    const Walk memoryWalk = walkAll(*fromMemory);
    EXPECT_EQ(memoryWalk.handles.size(), real.structures);
    EXPECT_LE(memoryWalk.bytes, fromMemory->getTableLength());
    EXPECT_EQ(fromMemory->getTableLength() > 0xFFFF, real.copies > 1) << "only the large tables pass 64 KiB";
    EXPECT_EQ(fromMemory->getTableHeader().table_length, fromMemory->getTableLength() & 0xFFFF);
    if (real.format != RealTable::Format::Raw && real.name != std::string("BeelinkSmbios3")) {
        EXPECT_EQ(memoryWalk.lastType, 127) << "the walk ends with the end-of-table structure";
    }
    if (fromMemory->getSourceEntryPoint().kind == smbios::EntryPointKind::Smbios3) {
        // A client that does nothing new reads only 2.x entry points.
        factory->setParameter("smbios3", 0u);
        EXPECT_THROW(std::unique_ptr<smbios::ISmbiosTable>(factory->makeNew()), smbios::InternalError);
    }
    if (real.format == RealTable::Format::Image) {
        return;
    }

    // The file's bytes, as smbios-inspect hands them over.
    factory->setTableBytes(std::make_shared<const smbios::SmbiosTableBytes>(tarnwick_test::sourceOf(real)));
    factory->setMode(smbios::SmbiosFactory::BufferMode);
    std::unique_ptr<smbios::ISmbiosTable> fromBytes(factory->makeNew());
    EXPECT_EQ(walkAll(*fromBytes).handles, memoryWalk.handles);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RealTableTest, ::testing::ValuesIn(tarnwick_test::realTables()),
                         [](const ::testing::TestParamInfo<RealTable> &info) { return std::string(info.param.name); });

}  // namespace
