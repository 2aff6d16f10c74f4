// Tests of the word-at-a-time search for the double zero that ends a
// structure's strings, against the byte-by-byte search it replaces.
#include "smbios/format/StructureScan.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

std::size_t naiveDoubleZero(const uint8_t *bytes, std::size_t from, std::size_t limit) {
    std::size_t at = from;
    while (at + 1 < limit && (bytes[at] != 0 || bytes[at + 1] != 0)) {
        ++at;
    }
    return at;
}

// Each case sits at the very end of its own heap block, so that a read at
// or past `limit` is an overflow the sanitizer builds report.
std::size_t scanAtEndOfBlock(const std::vector<uint8_t> &bytes, std::size_t from, std::size_t limit) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[limit == 0 ? 1 : limit]);
    std::memcpy(block.get(), bytes.data(), limit);
    return smbios::findDoubleZero(block.get(), from, limit);
}

TEST(FindDoubleZeroTest, AgreesWithTheByteByByteSearchOnRandomStrings) {
    // Few distinct values, zeros common, and bytes with the high bit set,
    // which a careless zero-byte trick mistakes for zeros.
    const uint8_t alphabet[] = {0, 0, 0, 1, 0x7F, 0x80, 0x81, 0xFF, 'A'};
    // A fixed seed: a failure reproduces.
    std::mt19937 random(20261209);  // NOLINT(cert-msc32-c,cert-msc51-cpp)
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(40);
        for (uint8_t &byte : bytes) {
            byte = alphabet[pick(random)];
        }
        for (std::size_t limit = 0; limit <= bytes.size(); ++limit) {
            for (std::size_t from = 0; from <= limit + 1; ++from) {
                ASSERT_EQ(scanAtEndOfBlock(bytes, from, limit), naiveDoubleZero(bytes.data(), from, limit))
                    << "round " << round << ", from " << from << ", limit " << limit;
            }
        }
    }
}

struct ScanCase {
    const char *name;
    std::vector<uint8_t> bytes;
    std::size_t from;
    std::size_t expected;  // with the limit at the end of `bytes`
};

void PrintTo(const ScanCase &scanCase, std::ostream *out) {
    *out << scanCase.name;
}

class FindDoubleZeroCaseTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(FindDoubleZeroCaseTest, FindsThePairOrStopsBeforeTheLimit) {
    const ScanCase &scanCase = GetParam();
    EXPECT_EQ(scanAtEndOfBlock(scanCase.bytes, scanCase.from, scanCase.bytes.size()), scanCase.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindDoubleZeroCaseTest,
    ::testing::Values(ScanCase{"PairAtTheStart", {0, 0, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 0},
                      // The pair spans two words: the last byte of one, the first of the next.
                      ScanCase{"PairAcrossAWordBoundary", {1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 7},
                      ScanCase{
                          "SingleZerosAreNotAPair", {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0}, 0, 17},
                      ScanCase{"HighBytesAreNotZeros", {0x80, 0x80, 0x80, 0, 0x80, 0x80, 0, 0x80, 0x80, 0, 0}, 0, 9},
                      ScanCase{"NoPairEndsOneBeforeTheLimit", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0, 11},
                      ScanCase{"PairBeforeTheStartIsIgnored", {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}, 1, 11},
                      ScanCase{"ZeroOnlyInTheLastByteIsNoPair", {1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, 0, 9},
                      ScanCase{"StartAtTheLastByte", {0, 0, 0, 0}, 3, 3},
                      ScanCase{"StartPastTheLimit", {0, 0, 0, 0}, 6, 6}),
    [](const ::testing::TestParamInfo<ScanCase> &info) { return std::string(info.param.name); });

}  // namespace
