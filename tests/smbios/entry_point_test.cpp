// Tests of the entry point: validation and its report, the search in the
// BIOS area, the "offset" rules, the table read and the memory strategy.
#include "smbios/SmbiosTableEntryPoint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosMemoryStrategy;
using smbios::SmbiosTableEntryPoint;
using tarnwick_test::Bytes;
using tarnwick_test::ImageBytes;
using tarnwick_test::validEntryPoint;

const char kReportHead[] = "validation of table entry point failed\n";

// An entry point whose bytes after "_DMI_" start with a zero, so that the
// anchor parameter reads exactly the five anchor bytes.
SmbiosTableEntryPoint quietEntryPoint() {
    SmbiosTableEntryPoint ep = validEntryPoint(0x10000, 0x40, 2);
    ep.intermediate_checksum = 0;
    tarnwick_test::fixEntryPointChecksum(ep);
    return ep;
}

// ---------------------------------------------------------------------------
// Validation.

struct Defect {
    const char *name;
    void (*apply)(SmbiosTableEntryPoint &);
    std::string reportLines;  // with parameters expanded
};

void PrintTo(const Defect &defect, std::ostream *out) {
    *out << defect.name;
}

class ValidationTest : public ::testing::TestWithParam<Defect> {};

TEST_P(ValidationTest, ReportsEachFailedCheckAndAcceptsOnlyWhenLax) {
    SmbiosTableEntryPoint ep = quietEntryPoint();
    GetParam().apply(ep);
    smbios::ParseExceptionImpl report("previous text");
    const bool passes = GetParam().reportLines.empty();
    EXPECT_EQ(smbios::validateEntryPoint(ep, true, report), passes);
    EXPECT_EQ(std::string(report.what()), kReportHead + GetParam().reportLines);
    EXPECT_EQ(smbios::format::checkEntryPoint2(ep) == 0, passes) << "the search's quick check agrees";
    EXPECT_TRUE(smbios::validateEntryPoint(ep, false, report)) << "without strict, every candidate passes";
    EXPECT_EQ(std::string(report.what()), kReportHead + GetParam().reportLines) << "rewritten on every call";
}

INSTANTIATE_TEST_SUITE_P(
    Defects, ValidationTest,
    ::testing::Values(Defect{"Valid", [](SmbiosTableEntryPoint &) {}, ""},
                      Defect{"IntermediateAnchor",
                             [](SmbiosTableEntryPoint &ep) {
                                 ep.dmi_anchor[3] = 'X';
                                 tarnwick_test::fixEntryPointChecksum(ep);
                             },
                             "Intermediate anchor string does not match. anchor string: _DMX_\n"},
                      Defect{"Checksum",
                             [](SmbiosTableEntryPoint &ep) { ep.checksum = static_cast<uint8_t>(ep.checksum + 17); },
                             "Checksum check for table entry point should be zero. checksum: 17 \n"},
                      Defect{"MajorVersion",
                             [](SmbiosTableEntryPoint &ep) {
                                 ep.major_version = 3;
                                 tarnwick_test::fixEntryPointChecksum(ep);
                             },
                             "Major version of table entry point should be 2: 3\n"},
                      Defect{"ShortLength",
                             [](SmbiosTableEntryPoint &ep) {
                                 ep.eps_length = 0x1E;
                                 tarnwick_test::fixEntryPointChecksum(ep);
                             },
                             "Entry Point Length field is at least 0x1f : 30\n"},
                      Defect{"ZeroLengthChecksumsNothing",
                             [](SmbiosTableEntryPoint &ep) {
                                 ep.eps_length = 0;
                                 ep.checksum = 0x55;
                             },
                             "Entry Point Length field is at least 0x1f : 0\n"},
                      Defect{"Everything",
                             [](SmbiosTableEntryPoint &ep) {
                                 std::memcpy(ep.dmi_anchor, "_XYZ_", 5);
                                 ep.major_version = 1;
                                 ep.eps_length = 0x10;
                                 // Make the first 16 bytes sum to 200.
                                 ep.checksum = 0;
                                 uint8_t sum = 0;
                                 const auto *bytes = reinterpret_cast<const uint8_t *>(&ep);
                                 for (int i = 0; i < 0x10; ++i) {
                                     sum = static_cast<uint8_t>(sum + bytes[i]);
                                 }
                                 ep.checksum = static_cast<uint8_t>(200 - sum);
                             },
                             "Intermediate anchor string does not match. anchor string: _XYZ_\n"
                             "Checksum check for table entry point should be zero. checksum: 200 \n"
                             "Major version of table entry point should be 2: 1\n"
                             "Entry Point Length field is at least 0x1f : 16\n"}),
    [](const ::testing::TestParamInfo<Defect> &info) { return std::string(info.param.name); });

TEST(ValidationParametersTest, AllFourAreSetWhateverTheOutcome) {
    const SmbiosTableEntryPoint ep = quietEntryPoint();
    smbios::ParseExceptionImpl report;
    ASSERT_TRUE(smbios::validateEntryPoint(ep, true, report));
    EXPECT_EQ(report.getParameterString("dmi_anchor"), "_DMI_");
    EXPECT_EQ(report.getParameterNum("checksum"), 0u);
    EXPECT_EQ(report.getParameterNum("major_version"), 2u);
    EXPECT_EQ(report.getParameterNum("eps_length"), 31u);
}

TEST(ValidationParametersTest, AnchorTextRunsToTheFirstZeroWithinTheRecord) {
    SmbiosTableEntryPoint ep{};
    auto *bytes = reinterpret_cast<uint8_t *>(&ep);
    for (int i = 0x10; i < 0x20; ++i) {
        bytes[i] = static_cast<uint8_t>('a' + i - 0x10);
    }
    smbios::ParseExceptionImpl report;
    smbios::validateEntryPoint(ep, false, report);
    EXPECT_EQ(report.getParameterString("dmi_anchor"), "abcdefghijklmnop");

    // The firmware's bytes are shown as they are, never expanded.
    const char anchor[] = "%%(eps_length)i";  // 16 bytes with its zero
    std::memcpy(bytes + 0x10, anchor, sizeof anchor);
    smbios::validateEntryPoint(ep, false, report);
    EXPECT_EQ(report.getParameterString("dmi_anchor"), "%%(eps_length)i");
    EXPECT_NE(std::string(report.what()).find("anchor string: %%(eps_length)i\n"), std::string::npos) << report.what();
}

TEST(ValidationParametersTest, LongLengthChecksumsExactly32Bytes) {
    SmbiosTableEntryPoint ep = quietEntryPoint();
    ep.eps_length = 0x40;
    tarnwick_test::fixEntryPointChecksum(ep);
    smbios::ParseExceptionImpl report;
    EXPECT_TRUE(smbios::validateEntryPoint(ep, true, report));
    ep.trailing_byte = static_cast<uint8_t>(ep.trailing_byte + 1);  // now inside the checksum
    EXPECT_FALSE(smbios::validateEntryPoint(ep, true, report));
    EXPECT_EQ(report.getParameterNum("checksum"), 1u);
}

// ---------------------------------------------------------------------------
// The search, over images.

const Bytes kTable =
    tarnwick_test::join({tarnwick_test::structure(1, 0x100, {1, 2}, {"t"}), tarnwick_test::endOfTable()});

class EntryPointSearchTest : public ::testing::Test {
protected:
    void TearDown() override { smbios::resetLibraryFactories(); }

    // Writes the image and reads through a counting memory.
    tarnwick_test::CountingMemory &useImage(const ImageBytes &image) {
        file = std::make_unique<tarnwick_test::TempFile>(image.bytes);
        return tarnwick_test::CountingMemoryFactory::install(file->path());
    }

    static ImageBytes imageWithEntryPointAt(uint32_t address) {
        ImageBytes image;
        image.place(0x10000, kTable);
        image.place(address, validEntryPoint(0x10000, static_cast<uint16_t>(kTable.size()), 2));
        return image;
    }

    std::unique_ptr<tarnwick_test::TempFile> file;
};

TEST_F(EntryPointSearchTest, EntryPointAtF0000IsFoundAfterTheAddressesBelow) {
    tarnwick_test::CountingMemory &memory = useImage(imageWithEntryPointAt(0xF0000));
    SmbiosMemoryStrategy strategy;
    SmbiosTableEntryPoint found{};
    strategy.getSmbiosEntryPoint(found, true);
    EXPECT_EQ(strategy.getOffset(), 0xF0000u);
    EXPECT_EQ(std::memcmp(found.anchor, "_SM_", 4), 0);
    EXPECT_EQ(found.table_address, 0x10000u);
    ASSERT_EQ(memory.readAddresses.size(), 4097u) << "4096 candidates below, then the entry point";
    EXPECT_EQ(memory.readAddresses.front(), 0xE0000u);
    EXPECT_EQ(memory.readAddresses[1], 0xE0010u);
    EXPECT_EQ(memory.readAddresses.back(), 0xF0000u);
}

TEST_F(EntryPointSearchTest, LastCandidateAddressIsFFFD0) {
    useImage(imageWithEntryPointAt(0xFFFD0));
    SmbiosMemoryStrategy strategy;
    SmbiosTableEntryPoint found{};
    strategy.getSmbiosEntryPoint(found, true);
    EXPECT_EQ(strategy.getOffset(), 0xFFFD0u);
}

TEST_F(EntryPointSearchTest, EntryPointsAboveFFFD0AreNeverFound) {
    for (uint32_t address : {0xFFFE0u, 0xFFFF0u}) {
        // As much of the entry point as fits below 1 MiB.
        Bytes record = tarnwick_test::bytesOf(validEntryPoint(0x10000, static_cast<uint16_t>(kTable.size()), 2));
        record.resize(std::min<std::size_t>(0x1F, 0x100000 - address));
        ImageBytes image;
        image.place(0x10000, kTable).place(address, record);
        tarnwick_test::CountingMemory &memory = useImage(image);

        SmbiosMemoryStrategy strategy;
        SmbiosTableEntryPoint found{};
        EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(found, false), smbios::ParseException,
                          "SMBIOS Header not found in search.");
        EXPECT_EQ(memory.readAddresses.size(), 8190u);
        EXPECT_EQ(memory.readAddresses.back(), 0xFFFD0u);
        EXPECT_EQ(strategy.getOffset(), 0u);
    }
}

TEST_F(EntryPointSearchTest, LaxSearchTakesTheFirstAnchorWhateverItHolds) {
    ImageBytes image = imageWithEntryPointAt(0xF0000);
    SmbiosTableEntryPoint broken = validEntryPoint(0x10000, 1, 1);
    broken.checksum = static_cast<uint8_t>(broken.checksum + 1);
    broken.major_version = 7;
    broken.eps_length = 3;
    std::memcpy(broken.dmi_anchor, "nope!", 5);
    image.place(0xE8000, broken);
    useImage(image);

    SmbiosMemoryStrategy strategy;
    SmbiosTableEntryPoint found{};
    strategy.getSmbiosEntryPoint(found, false);
    EXPECT_EQ(strategy.getOffset(), 0xE8000u);
    EXPECT_EQ(found.major_version, 7);
}

TEST_F(EntryPointSearchTest, StrictSearchSkipsABadChecksumAndGoesOn) {
    // The bad candidate's 31 bytes reach to E001Eh; the good one follows.
    ImageBytes image = imageWithEntryPointAt(0xE0020);
    SmbiosTableEntryPoint bad = validEntryPoint(0x10000, 1, 1);
    bad.checksum = static_cast<uint8_t>(bad.checksum + 1);
    image.place(0xE0000, bad);
    tarnwick_test::CountingMemory &memory = useImage(image);

    SmbiosMemoryStrategy strategy;
    SmbiosTableEntryPoint found{};
    strategy.getSmbiosEntryPoint(found, true);
    EXPECT_EQ(strategy.getOffset(), 0xE0020u);
    EXPECT_EQ(memory.readAddresses, (std::vector<uint64_t>{0xE0000, 0xE0010, 0xE0020}));
}

TEST_F(EntryPointSearchTest, StrictSearchWithOnlyBadCandidatesReportsTheLastOne) {
    ImageBytes image;
    SmbiosTableEntryPoint wrongChecksum = quietEntryPoint();
    wrongChecksum.checksum = static_cast<uint8_t>(wrongChecksum.checksum + 5);
    SmbiosTableEntryPoint wrongVersion = quietEntryPoint();
    wrongVersion.major_version = 3;
    tarnwick_test::fixEntryPointChecksum(wrongVersion);
    image.place(0xE0000, wrongChecksum).place(0xF0000, wrongVersion);
    useImage(image);

    SmbiosMemoryStrategy strategy;
    SmbiosTableEntryPoint found{};
    EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(found, true), smbios::ParseException,
                      std::string(kReportHead) + "Major version of table entry point should be 2: 3\n");
}

TEST_F(EntryPointSearchTest, GivenOffsetIsTheOnlyAddressRead) {
    tarnwick_test::CountingMemory &memory = useImage(imageWithEntryPointAt(0xF0000));
    SmbiosMemoryStrategy strategy(0xF0000);
    SmbiosTableEntryPoint found{};
    strategy.getSmbiosEntryPoint(found, true);
    EXPECT_EQ(memory.readAddresses, std::vector<uint64_t>{0xF0000});
}

TEST_F(EntryPointSearchTest, GivenOffsetWithoutAnEntryPointFailsAtOnce) {
    tarnwick_test::CountingMemory &memory = useImage(imageWithEntryPointAt(0xF0000));
    SmbiosMemoryStrategy strategy(0xF0010);
    SmbiosTableEntryPoint found{};
    EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(found, false), smbios::ParseException,
                      "SMBIOS Header not found at offset: 983056");
    EXPECT_EQ(memory.readAddresses, std::vector<uint64_t>{0xF0010});
    EXPECT_EQ(strategy.getOffset(), 0xF0010u);
}

TEST_F(EntryPointSearchTest, OffsetTooHighReadsNothing) {
    tarnwick_test::CountingMemory &memory = useImage(imageWithEntryPointAt(0xF0000));
    SmbiosMemoryStrategy strategy(0xFFFDF);
    SmbiosTableEntryPoint found{};
    EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(found, false), smbios::ParseException,
                      "SMBIOS Header not found at offset: 1048543");
    EXPECT_TRUE(memory.readAddresses.empty());
}

TEST_F(EntryPointSearchTest, GivenOffsetRejectedByStrictValidationGivesItsReport) {
    ImageBytes image = imageWithEntryPointAt(0xF0000);
    SmbiosTableEntryPoint bad = quietEntryPoint();
    bad.checksum = static_cast<uint8_t>(bad.checksum + 2);
    image.place(0xE0000, bad);
    useImage(image);
    SmbiosMemoryStrategy strategy(0xE0000);
    SmbiosTableEntryPoint found{};
    EXPECT_THROW_TEXT(strategy.getSmbiosEntryPoint(found, true), smbios::ParseException,
                      std::string(kReportHead) + "Checksum check for table entry point should be zero. checksum: 2 \n");
}

TEST_F(EntryPointSearchTest, FailedSearchLeavesTheRecordAlone) {
    useImage(ImageBytes());
    SmbiosMemoryStrategy strategy;
    SmbiosTableEntryPoint record{};
    record.table_address = 0x1234;
    EXPECT_THROW(strategy.getSmbiosEntryPoint(record, false), smbios::ParseException);
    EXPECT_EQ(record.table_address, 0x1234u);
}

// An image shorter than the first candidate address: malformed_test.cpp
// (ImageShorterThanE0020h) checks the search and the factory over it.

// ---------------------------------------------------------------------------
// The table read and the memory strategy.

TEST_F(EntryPointSearchTest, TableReadReplacesTheSlotOnlyOnSuccess) {
    useImage(imageWithEntryPointAt(0xF0000));
    std::unique_ptr<uint8_t[]> slot(new uint8_t[3]{7, 8, 9});
    SmbiosTableEntryPoint ep = validEntryPoint(0x10000, static_cast<uint16_t>(kTable.size()), 2);
    smbios::readStructureTable(slot, ep);
    EXPECT_EQ(Bytes(slot.get(), slot.get() + kTable.size()), kTable);

    const uint8_t *before = slot.get();
    ep.table_address = 0xFFFF8;  // runs past the end of the 1 MiB image
    EXPECT_THROW(smbios::readStructureTable(slot, ep), memory::AccessError);
    EXPECT_EQ(slot.get(), before);
    ep.table_address = 0x80000000;  // beyond any image
    EXPECT_THROW(smbios::readStructureTable(slot, ep), memory::OutOfBounds);
    EXPECT_EQ(slot.get(), before);

    ep.table_address = 0x10000;
    ep.table_length = 0;
    smbios::readStructureTable(slot, ep);
    EXPECT_NE(slot.get(), nullptr);
    EXPECT_NE(slot.get(), before) << "an empty table replaces the previous one";
}

TEST_F(EntryPointSearchTest, MemoryStrategyDeliversTheTableAndEntryPoint) {
    useImage(imageWithEntryPointAt(0xF0000));
    SmbiosMemoryStrategy strategy;
    std::unique_ptr<uint8_t[]> buffer;
    SmbiosTableEntryPoint record{};
    ASSERT_TRUE(strategy.getSmbiosTable(buffer, record, true));
    EXPECT_EQ(Bytes(buffer.get(), buffer.get() + kTable.size()), kTable);
    EXPECT_EQ(tarnwick_test::bytesOf(record).size(), 32u);
    EXPECT_EQ(record.num_structures, 2);
    EXPECT_EQ(record.trailing_byte, 0) << "the byte after the entry point is read along";
}

TEST_F(EntryPointSearchTest, MemoryStrategyTurnsEveryFailureIntoFalse) {
    useImage(ImageBytes());
    SmbiosMemoryStrategy strategy;
    std::unique_ptr<uint8_t[]> buffer;
    SmbiosTableEntryPoint record{};
    EXPECT_FALSE(strategy.getSmbiosTable(buffer, record, false));
    EXPECT_EQ(buffer, nullptr);

    tarnwick_test::MemoryImageFixture missing(tarnwick_test::missingFilePath());
    EXPECT_FALSE(strategy.getSmbiosTable(buffer, record, false));
}

TEST_F(EntryPointSearchTest, EntryPointIsKeptWhenOnlyTheTableReadFails) {
    ImageBytes image;
    image.place(0xF0000, validEntryPoint(0xFFFF0, 0x100, 2));  // table runs off the image
    useImage(image);
    SmbiosMemoryStrategy strategy;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[1]{0x42});
    SmbiosTableEntryPoint record{};
    EXPECT_FALSE(strategy.getSmbiosTable(buffer, record, true));
    EXPECT_EQ(record.table_address, 0xFFFF0u) << "the entry point was written";
    EXPECT_EQ(buffer[0], 0x42) << "the buffer was not";
}

}  // namespace

// ---------------------------------------------------------------------------
// The 64-bit entry point: what each malformed one leads to.

struct Entry3Case {
    const char *name;
    // Changes the valid entry point (table at 10000h, maximum size 8000h)
    // or the image; the checksum is fixed afterwards unless `keepChecksum`.
    void (*apply)(Bytes &entryPoint, ImageBytes &image);
    bool keepChecksum;
    bool found;
};

void PrintTo(const Entry3Case &c, std::ostream *out) {
    *out << c.name;
}

class EntryPoint3Test : public EntryPointSearchTest, public ::testing::WithParamInterface<Entry3Case> {};

TEST_P(EntryPoint3Test, MalformedEntryPointsGiveNoTable) {
    namespace fmt = smbios::format;
    ImageBytes image;
    image.place(0x10000, kTable);
    Bytes ep = fmt::makeEntryPoint3(0x8000, 0x10000, 3, 2);
    GetParam().apply(ep, image);
    if (!GetParam().keepChecksum) {
        fmt::fixChecksum(ep.data(), std::min<std::size_t>(ep[6], ep.size()), 5);
    }
    image.place(0xF0000, ep);
    useImage(image);

    smbios::Smbios3MemoryStrategy strategy;
    std::unique_ptr<uint8_t[]> slot(new uint8_t[1]{0xAA});
    SmbiosTableEntryPoint record{};
    smbios::TableFacts facts;
    ASSERT_EQ(strategy.readTable(slot, record, facts, false), GetParam().found);
    if (!GetParam().found) {
        EXPECT_EQ(slot[0], 0xAA) << "the table is untouched";
        EXPECT_EQ(record.major_version, 0);
        return;
    }
    // The read stops at the end of the type 127 structure, well before the
    // maximum size.
    EXPECT_EQ(facts.length, kTable.size());
    EXPECT_TRUE(std::equal(kTable.begin(), kTable.end(), slot.get()));
    EXPECT_EQ(facts.entryPoint.kind, smbios::EntryPointKind::Smbios3);
    EXPECT_EQ(facts.entryPoint.address, 0xF0000u);
    EXPECT_EQ(strategy.getOffset(), 0xF0000u);
    EXPECT_EQ(record.major_version, 3);
    EXPECT_EQ(record.minor_version, 2);
    EXPECT_EQ(record.table_length, kTable.size());
    EXPECT_EQ(record.table_address, 0x10000u);
    EXPECT_EQ(record.num_structures, 9999);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryPoint3Test,
    ::testing::Values(
        Entry3Case{"Valid", [](Bytes &, ImageBytes &) {}, false, true},
        Entry3Case{"BadChecksum", [](Bytes &ep, ImageBytes &) { ep[5] ^= 1; }, true, false},
        Entry3Case{"LengthBelow18h", [](Bytes &ep, ImageBytes &) { ep[6] = 0x17; }, false, false},
        Entry3Case{"MajorVersion2", [](Bytes &ep, ImageBytes &) { ep[7] = 2; }, false, false},
        Entry3Case{"MaximumSizeZero", [](Bytes &ep, ImageBytes &) { smbios::format::writeLe(&ep[0x0C], 0, 4); }, false,
                   false},
        Entry3Case{"TableAddressPastTheImage",
                   [](Bytes &ep, ImageBytes &) { smbios::format::writeLe(&ep[0x10], 0x100000000ull, 8); }, false,
                   false},
        // Structures run on to the image's end, so the read reaches past it.
        Entry3Case{"MaximumSizePastTheImage",
                   [](Bytes &ep, ImageBytes &image) {
                       smbios::format::writeLe(&ep[0x10], 0xFFF00, 8);
                       image.place(0xFFF00, Bytes(0x100, 0x41));
                       image.place(0xFFF00, tarnwick_test::structure(1, 1));
                   },
                   false, false},
        // An anchor off the 16-byte grid is never a candidate.
        Entry3Case{"AnchorOffTheGrid", [](Bytes &ep, ImageBytes &) { ep.insert(ep.begin(), 8, 0); }, true, false}),
    [](const ::testing::TestParamInfo<Entry3Case> &info) { return std::string(info.param.name); });

TEST_F(EntryPointSearchTest, SearchFor3xPassesOverABadCandidateAndReadsOnlyTheFSegment) {
    namespace fmt = smbios::format;
    ImageBytes image;
    image.place(0x10000, kTable);
    Bytes bad = fmt::makeEntryPoint3(kTable.size(), 0x10000, 3, 0);
    bad[5] ^= 1;
    image.place(0xE0000, fmt::makeEntryPoint3(kTable.size(), 0x10000, 3, 0));  // below the F segment
    image.place(0xF0000, bad);
    image.place(0xFFFE0, fmt::makeEntryPoint3(kTable.size(), 0x10000, 3, 1));
    tarnwick_test::CountingMemory &memory = useImage(image);
    smbios::Smbios3MemoryStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint record{};
    smbios::TableFacts facts;
    ASSERT_TRUE(strategy.readTable(slot, record, facts, false));
    EXPECT_EQ(facts.entryPoint.address, 0xFFFE0u) << "the last 16-byte boundary whose 32 bytes fit";
    EXPECT_EQ(record.minor_version, 1);
    EXPECT_EQ(memory.readAddresses.front(), 0xF0000u);
    EXPECT_EQ(std::count(memory.readAddresses.begin(), memory.readAddresses.end(), 0xE0000u), 0);

    // With the address given, that one alone is read.
    smbios::Smbios3MemoryStrategy atOffset(0xF0000);
    EXPECT_FALSE(atOffset.readTable(slot, record, facts, false));
}
