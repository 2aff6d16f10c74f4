// Every real table of the test data, read from a memory image through the
// memory strategy: 2.x tables walk completely, every structure and string
// is readable; SMBIOS 3-only images offer the search nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/RealTables.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "support/ExpectThrow.h"
#include "support/SmbiosBuilder.h"

namespace {

using tarnwick_test::RealTable;

std::unique_ptr<smbios::SmbiosTable> memoryTable(bool strict) {
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosMemoryStrategy>());
    return std::make_unique<smbios::SmbiosTable>(std::move(strategies), strict);
}

class RealTableTest : public ::testing::TestWithParam<RealTable> {};

TEST_P(RealTableTest, WalksCompletelyOverAMemoryImage) {
    const RealTable &real = GetParam();
    tarnwick_test::MemoryImageFixture image(tarnwick_test::memoryImageOf(real));
    if (real.smbios3Only) {
        smbios::SmbiosMemoryStrategy strategy;
        smbios::SmbiosTableEntryPoint entryPoint{};
        EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(entryPoint, false), smbios::ParseException,
                          "SMBIOS Header not found in search.");
        EXPECT_THROW_TEXT(memoryTable(false), smbios::InternalError, "Could not instantiate SMBIOS table.");
        return;
    }

    std::unique_ptr<smbios::SmbiosTable> table = memoryTable(real.strictlyValid);
    const smbios::SmbiosTableEntryPoint header = table->getTableHeader();
    EXPECT_EQ(header.major_version, real.strictlyValid ? 2 : 3);
    uint16_t visited = 0;
    std::size_t bytesCovered = 0;
    uint8_t lastType = 0;
    for (auto it = table->begin(); it != table->end(); ++it) {
        ++visited;
        lastType = it->getType();
        bytesCovered += it->getBufferSize();
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
    EXPECT_EQ(visited, real.structures);
    EXPECT_LE(bytesCovered, header.table_length);
    if (real.format != RealTable::Format::Raw) {
        EXPECT_EQ(lastType, 127) << "the walk ends with the end-of-table structure";
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RealTableTest, ::testing::ValuesIn(tarnwick_test::realTables()),
                         [](const ::testing::TestParamInfo<RealTable> &info) { return std::string(info.param.name); });

}  // namespace
