// Tests of the vendor checks and the system-ID query, through the factories
// as a client uses them, over memory images captured from SeaBIOS (the BIOS
// area marks written into copies) and images built in the tests.
#include "smbios/SystemId.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/smbios/SystemTableSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosWorkaround.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/RealTables.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosFactory;
using tarnwick_test::Bytes;
using tarnwick_test::ImageBytes;
using tarnwick_test::join;
using tarnwick_test::structure;

const uint16_t kVariantId = smbios::systemWorkaroundTable[2].systemId;
const uint16_t kEscapedId = 0x0134;  // the ID in vorn-escape.img, a common row

Bytes text(const std::string &s) {
    return Bytes(s.begin(), s.end());
}

// A captured image, loaded so that marks can be added.
ImageBytes capturedImage(const std::string &name) {
    ImageBytes image(0);
    image.bytes = smbios::format::readFileBytes(tarnwick_test::testDataPath("qemu/" + name));
    return image;
}

// The ID record at FE840h: bytes 0-1 the 16-bit ID, byte 5 the byte ID or FEh.
Bytes idRecord(uint16_t wideId, uint8_t byteId) {
    Bytes record(13, 0);
    record[0] = static_cast<uint8_t>(wideId);
    record[1] = static_cast<uint8_t>(wideId >> 8);
    record[5] = byteId;
    return record;
}

class SystemIdTest : public ::testing::Test {
protected:
    SystemIdTest() { smbios::lastError.setMessageString("before"); }
    ~SystemIdTest() override {
        fixture.reset();
        smbios::resetLibraryFactories();
    }

    // Points the factories at `image`, in MemoryMode.
    void use(const ImageBytes &image) {
        fixture.reset();
        fixture = std::make_unique<tarnwick_test::MemoryImageFixture>(image.bytes);
        SmbiosFactory::getFactory()->setMode(SmbiosFactory::MemoryMode);
    }

    // Reads go through a counting memory instead.
    tarnwick_test::CountingMemory &useCounting(const ImageBytes &image) {
        countedImage = std::make_unique<tarnwick_test::TempFile>(image.bytes);
        smbios::resetLibraryFactories();
        SmbiosFactory::getFactory()->setMode(SmbiosFactory::MemoryMode);
        return tarnwick_test::CountingMemoryFactory::install(countedImage->path());
    }

    static std::string lastErrorText() { return smbios::lastError.what(); }

    std::unique_ptr<tarnwick_test::MemoryImageFixture> fixture;
    std::unique_ptr<tarnwick_test::TempFile> countedImage;
};

// ---------------------------------------------------------------------------
// The OEM string source, over SeaBIOS with the maker's OEM strings.

TEST_F(SystemIdTest, OemStringAnswersWithoutAskingTheLaterSources) {
    tarnwick_test::CountingMemory &memory = useCounting(capturedImage("seabios-pc-oem-strings.img"));
    EXPECT_TRUE(smbios::isVornByOemString());
    EXPECT_EQ(smbios::getSystemIdFromOemString(), 0x0286);
    memory.readAddresses.clear();
    std::array<smbios::SystemIdAnswer, 4> answers;
    EXPECT_EQ(smbios::getSystemId(answers), 0x0286);
    EXPECT_TRUE(memory.readAddresses.empty()) << "no memory source was asked";
    EXPECT_EQ(lastErrorText(), "before");
    EXPECT_TRUE(answers[0].asked);
    EXPECT_EQ(answers[0].systemId, 0x0286);
    EXPECT_FALSE(answers[1].asked || answers[2].asked || answers[3].asked);
}

TEST_F(SystemIdTest, PlainSeaBiosIsNoneOfTheMakersSystems) {
    use(capturedImage("seabios-pc.img"));
    EXPECT_FALSE(smbios::isVornByOemString());
    EXPECT_FALSE(smbios::isVornByMemoryMarker());
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_FALSE(smbios::isSystemId8C());
    EXPECT_EQ(lastErrorText(), "before") << "no source failed";
}

struct OemCase {
    const char *name;
    std::vector<std::string> strings;
    bool isVorn;
    uint16_t systemId;
};

void PrintTo(const OemCase &c, std::ostream *out) {
    *out << c.name;
}

class OemStringTest : public SystemIdTest, public ::testing::WithParamInterface<OemCase> {};

TEST_P(OemStringTest, ReadsTheIdFromTheThirdCharacter) {
    ImageBytes image;
    image.placeTable(join({structure(11, 0x0B00, {1}, GetParam().strings), tarnwick_test::endOfTable()}));
    use(image);
    EXPECT_EQ(smbios::isVornByOemString(), GetParam().isVorn);
    EXPECT_EQ(smbios::getSystemIdFromOemString(), GetParam().systemId);
}

INSTANTIATE_TEST_SUITE_P(Strings, OemStringTest,
                         ::testing::Values(OemCase{"Bracketed", {"Vorn System", "1[0286]"}, true, 0x0286},
                                           OemCase{"LongerMarkerMatches", {"Vorn Systems Inc", "xx1F"}, true, 0x1F},
                                           OemCase{"CaseMatters", {"vorn System", "1[0286]"}, false, 0},
                                           OemCase{"WhiteSpaceAndPrefix", {"Vorn System", "ab 0x12AB"}, true, 0x12AB},
                                           OemCase{"NegativeKeepsLow16Bits", {"Vorn System", "ab-1"}, true, 0xFFFF},
                                           OemCase{"NoDigits", {"Vorn System", "abZZ"}, true, 0},
                                           OemCase{"LowBitsOfALargeValue", {"Vorn System", "ab12345"}, true, 0x2345},
                                           OemCase{"TwoCharacters", {"Vorn System", "ab"}, true, 0},
                                           OemCase{"OneCharacter", {"Vorn System", "a"}, true, 0}),
                         [](const ::testing::TestParamInfo<OemCase> &info) { return std::string(info.param.name); });

TEST_F(SystemIdTest, LastOemStructureGivesTheId) {
    ImageBytes image;
    image.placeTable(join({structure(11, 1, {1}, {"Vorn System", "ab11"}), structure(11, 2, {1}, {"other", "ab22"}),
                           tarnwick_test::endOfTable()}));
    use(image);
    EXPECT_EQ(smbios::getSystemIdFromOemString(), 0x22);
}

TEST_F(SystemIdTest, OemStructureWithoutSecondStringFailsIntoLastError) {
    ImageBytes image;
    image.placeTable(join({structure(11, 1, {1}, {"Vorn System"}), tarnwick_test::endOfTable()}));
    use(image);
    EXPECT_THROW(smbios::getSystemIdFromOemString(), smbios::StringUnavailable);
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(lastErrorText(), "The string does not exist. Bad index caused this error");
}

// ---------------------------------------------------------------------------
// The memory sources, with marks written into a captured image.

TEST_F(SystemIdTest, MemoryRecordWithTheEscapeGivesTheWideId) {
    ImageBytes image = capturedImage("seabios-pc.img");
    image.place(0xFE076, text("Vorn System")).place(0xFE840, idRecord(0x1234, 0xFE));
    use(image);
    EXPECT_TRUE(smbios::isVornByMemoryMarker());
    EXPECT_EQ(smbios::getSystemIdFromMemoryId(), 0x1234);
    EXPECT_EQ(smbios::getSystemId(), 0x1234);
}

TEST_F(SystemIdTest, MemoryRecordByteId8C) {
    ImageBytes image = capturedImage("seabios-pc.img");
    image.place(0xFE076, text("Vorn System")).place(0xFE840, idRecord(0x1234, 0x8C));
    use(image);
    EXPECT_EQ(smbios::getSystemIdFromMemoryId(), 0x8C);
    EXPECT_TRUE(smbios::isSystemId8C());
}

TEST_F(SystemIdTest, MemoryMarkerReadsOnlyElevenCharacters) {
    ImageBytes image = capturedImage("seabios-pc.img");
    image.place(0xFE076, text("Vorn Systems")).place(0xFE840, idRecord(0, 0x42));
    use(image);
    EXPECT_EQ(smbios::getSystemIdFromMemoryId(), 0x42);
}

TEST_F(SystemIdTest, ShortMarkerIsVornButHasNoRecord) {
    ImageBytes image = capturedImage("seabios-pc.img");
    image.place(0xFE076, Bytes{'V', 'o', 'r', 'n', 0, 'S', 'y', 's', 't', 'e', 'm'}).place(0xFE840, idRecord(0, 0x42));
    use(image);
    EXPECT_TRUE(smbios::isVornByMemoryMarker());
    EXPECT_EQ(smbios::getSystemIdFromMemoryId(), 0);
}

TEST_F(SystemIdTest, ZeroByteInsideTheShortMarkerIsNoMatch) {
    ImageBytes image = capturedImage("seabios-pc.img");
    image.place(0xFE076, Bytes{'V', 'o', 0, 'n'});
    use(image);
    EXPECT_FALSE(smbios::isVornByMemoryMarker());
}

TEST_F(SystemIdTest, EitherMarkerPairGives8CAndBothAreAlwaysRead) {
    for (uint32_t pair : {0xD8040u, 0xDC040u}) {
        ImageBytes image = capturedImage("seabios-pc.img");
        image.place(pair + 4, text("Vorn System")).place(pair, Bytes{0x8C});
        tarnwick_test::CountingMemory &memory = useCounting(image);
        EXPECT_EQ(smbios::getSystemIdFromMemoryMarkers(), 0x8C) << std::hex << pair;
        EXPECT_NE(std::find(memory.readAddresses.begin(), memory.readAddresses.end(), 0xDC044u),
                  memory.readAddresses.end())
            << "the second pair is read also when the first matched";
    }
}

TEST_F(SystemIdTest, MarkerPairWithAnotherIdGivesNothing) {
    ImageBytes image = capturedImage("seabios-pc.img");
    image.place(0xD8044, text("Vorn System")).place(0xD8040, Bytes{0x8D});
    use(image);
    EXPECT_EQ(smbios::getSystemIdFromMemoryMarkers(), 0);
}

// ---------------------------------------------------------------------------
// The type 208 source and the workarounds, over SeaBIOS with raw structures.

uint8_t checksumTypeSeen() {
    uint8_t byte = 0xFF;
    (*SmbiosFactory::getFactory()->getSingleton())[212]->getData(8, &byte, 1);
    return byte;
}

TEST_F(SystemIdTest, VariantMachine) {
    use(capturedImage("vorn-variant.img"));
    EXPECT_EQ(smbios::getSystemIdFromTypeD0(), kVariantId);
    EXPECT_EQ(smbios::getSystemId(), kVariantId);
    EXPECT_EQ(checksumTypeSeen(), 1);
}

TEST_F(SystemIdTest, EscapedIdOfACommonRow) {
    use(capturedImage("vorn-escape.img"));
    EXPECT_EQ(smbios::getSystemIdFromTypeD0(), kEscapedId);
    EXPECT_EQ(checksumTypeSeen(), 0);
}

TEST_F(SystemIdTest, EscapeWithoutRoomForTheWideId) {
    use(capturedImage("vorn-short-d0.img"));
    EXPECT_THROW_TEXT(smbios::getSystemIdFromTypeD0(), smbios::DataOutOfBounds,
                      "Attempt to access data outside the length of header. offset : 8, header_length : 11");
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(lastErrorText(), "Attempt to access data outside the length of header. offset : 8, header_length : 11");
    EXPECT_EQ(checksumTypeSeen(), 3) << "system ID FEh has no workarounds";
}

TEST_F(SystemIdTest, WorkaroundsUseTheFirstMakerStructureAndTheSourceTheLast) {
    use(capturedImage("vorn-two-d0.img"));
    EXPECT_EQ(smbios::getSystemIdFromTypeD0(), kEscapedId);
    EXPECT_EQ(checksumTypeSeen(), 1) << "the variant, of the first type 208 structure";
}

TEST_F(SystemIdTest, EscapedZeroIdIsNoId) {
    ImageBytes image;
    image.placeTable(join({structure(208, 0xD000, {1, 2, 0xFE, 0, 0, 0}), tarnwick_test::endOfTable()}));
    use(image);
    EXPECT_EQ(smbios::getSystemIdFromTypeD0(), 0);
    EXPECT_EQ(smbios::getSystemId(), 0);
}

// ---------------------------------------------------------------------------
// Failures of the sources.

TEST_F(SystemIdTest, MissingImageFailsEverySource) {
    const std::string missing = tarnwick_test::missingFilePath();
    fixture = std::make_unique<tarnwick_test::MemoryImageFixture>(missing);
    SmbiosFactory::getFactory()->setMode(SmbiosFactory::MemoryMode);
    const std::string openFailure = "Unable to open memory. File: " + missing + ", OS Error: " + std::strerror(ENOENT);
    EXPECT_THROW_TEXT(smbios::getSystemIdFromMemoryId(), memory::AccessError, openFailure);
    EXPECT_THROW_TEXT(smbios::getSystemIdFromMemoryMarkers(), memory::AccessError, openFailure);
    EXPECT_THROW_TEXT(smbios::isVornByMemoryMarker(), memory::AccessError, openFailure);
    EXPECT_THROW_TEXT(smbios::getSystemIdFromTypeD0(), smbios::InternalError, "Could not instantiate SMBIOS table.");
    std::array<smbios::SystemIdAnswer, 4> answers;
    EXPECT_EQ(smbios::getSystemId(answers), 0);
    // The table source failed after the memory sources.
    EXPECT_EQ(lastErrorText(), "Could not instantiate SMBIOS table.");
    const std::string said[] = {"Could not instantiate SMBIOS table.", openFailure, openFailure,
                                "Could not instantiate SMBIOS table."};
    for (std::size_t source = 0; source < answers.size(); ++source) {
        EXPECT_TRUE(answers[source].asked && answers[source].failed) << source;
        EXPECT_EQ(answers[source].failure, said[source]) << source;
    }
}

// A memory factory that fails in ways the library does not expect.
class BrokenMemoryFactory : public factory::TFactory<memory::MemoryFactory> {
public:
    explicit BrokenMemoryFactory(bool giveNull) : null(giveNull) {}
    memory::IMemory *getSingleton() override {
        if (null) {
            return nullptr;
        }
        throw std::runtime_error("not a library error");
    }
    memory::IMemory *makeNew() override { return getSingleton(); }

private:
    bool null;
};

// The last error is the failure's own text, not a template of it that is
// expanded again.
TEST_F(SystemIdTest, LastErrorKeepsTheFailuresTextExactly) {
    const std::string missing = tarnwick_test::missingFilePath() + "100%% of %(file)s";
    fixture = std::make_unique<tarnwick_test::MemoryImageFixture>(missing);
    // AutoMode: the memory sources fail, the table comes from the system.
    const tarnwick_test::SystemTableSource system(2, 8, tarnwick_test::endOfTable());
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(lastErrorText(), "Unable to open memory. File: " + missing + ", OS Error: " + std::strerror(ENOENT));
}

TEST_F(SystemIdTest, ForeignExceptionsAndMissingObjectsAreRecorded) {
    ImageBytes image;
    image.placeTable(tarnwick_test::endOfTable());
    use(image);
    SmbiosFactory::getFactory()->getSingleton();  // the table is read; memory is not needed again

    memory::MemoryFactory::getFactory()->reset();
    factory::TFactory<memory::MemoryFactory>::instance = new BrokenMemoryFactory(false);
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(lastErrorText(), "Unknown internal error occurred");

    memory::MemoryFactory::getFactory()->reset();
    factory::TFactory<memory::MemoryFactory>::instance = new BrokenMemoryFactory(true);
    EXPECT_THROW_TEXT(smbios::isVornByMemoryMarker(), smbios::InternalError, "");
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(lastErrorText(), "") << "the factory gave no object: an empty InternalError";
}

TEST_F(SystemIdTest, CheckAndGetterTablesAreInOrder) {
    EXPECT_EQ(smbios::vendorChecks[0], &smbios::isVornByMemoryMarker);
    EXPECT_EQ(smbios::vendorChecks[1], &smbios::isVornByOemString);
    EXPECT_EQ(smbios::vendorChecks[2], &smbios::isSystemId8C);
    EXPECT_EQ(smbios::systemIdGetters[0], &smbios::getSystemIdFromOemString);
    EXPECT_EQ(smbios::systemIdGetters[1], &smbios::getSystemIdFromMemoryId);
    EXPECT_EQ(smbios::systemIdGetters[2], &smbios::getSystemIdFromMemoryMarkers);
    EXPECT_EQ(smbios::systemIdGetters[3], &smbios::getSystemIdFromTypeD0);
}

// ---------------------------------------------------------------------------
// Real machines, which are not the maker's.

class RealMachineSystemIdTest : public SystemIdTest, public ::testing::WithParamInterface<tarnwick_test::RealTable> {};

TEST_P(RealMachineSystemIdTest, DumpImagesGiveNoIdAndNoFailure) {
    ImageBytes image(0);
    image.bytes = tarnwick_test::memoryImageOf(GetParam());
    use(image);
    EXPECT_EQ(smbios::getSystemId(), 0);
    EXPECT_EQ(lastErrorText(), "before") << "every source answered 0 without failing";
}

std::vector<tarnwick_test::RealTable> smbios2Dumps() {
    std::vector<tarnwick_test::RealTable> dumps;
    for (const auto &table : tarnwick_test::realTables()) {
        if (table.format == tarnwick_test::RealTable::Format::DumpBin &&
            smbios::format::kindOf(tarnwick_test::sourceOf(table).entryPoint) == smbios::EntryPointKind::Smbios2) {
            dumps.push_back(table);
        }
    }
    return dumps;
}

INSTANTIATE_TEST_SUITE_P(Dumps, RealMachineSystemIdTest, ::testing::ValuesIn(smbios2Dumps()),
                         [](const ::testing::TestParamInfo<tarnwick_test::RealTable> &info) {
                             return std::string(info.param.name);
                         });

}  // namespace
