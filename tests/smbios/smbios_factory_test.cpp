// Tests of the SMBIOS factory: modes and parameters, the process-wide table,
// reset(), and the order in which AutoMode tries its strategies.
#include "smbios/SmbiosFactory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosWorkaround.h"
#include "tests/smbios/PlatformFakes.h"
#include "tests/smbios/SystemTableSource.h"
#include "tests/smbios/TestDoubles.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosFactory;
using tarnwick_test::Bytes;
using tarnwick_test::ImageBytes;

const Bytes kTable =
    tarnwick_test::join({tarnwick_test::structure(1, 0x100, {}, {"memory table"}), tarnwick_test::endOfTable()});

int countStructures(smbios::ISmbiosTable &table) {
    int count = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++count;
    }
    return count;
}

class SmbiosFactoryTest : public ::testing::Test {
protected:
    SmbiosFactoryTest() { smbios::resetLibraryFactories(); }
    ~SmbiosFactoryTest() override { smbios::resetLibraryFactories(); }

    // Memory reads go to `image` through a counting memory.
    tarnwick_test::CountingMemory &useImage(const ImageBytes &image) {
        file = std::make_unique<tarnwick_test::TempFile>(image.bytes);
        return tarnwick_test::CountingMemoryFactory::install(file->path());
    }

    static ImageBytes imageWithTable() {
        ImageBytes image;
        image.placeTable(kTable, 0xF0000, 0x10000);
        return image;
    }

    std::unique_ptr<tarnwick_test::TempFile> file;
};

TEST_F(SmbiosFactoryTest, FreshFactoryHasTheDefaults) {
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    EXPECT_EQ(factory->getMode(), SmbiosFactory::AutoMode);
    EXPECT_EQ(SmbiosFactory::AutoMode, 0);
    EXPECT_EQ(SmbiosFactory::MemoryMode, 1);
    EXPECT_EQ(factory->getParameterNum("strictValidation"), 0u);
    EXPECT_EQ(factory->getParameterNum("offset"), 0u);
    EXPECT_EQ(factory->getParameterString("memFile"), "") << "the SMBIOS factory has no string parameters";
}

TEST_F(SmbiosFactoryTest, UnknownModeFailsWithoutTouchingMemory) {
    tarnwick_test::CountingMemory &memory = useImage(imageWithTable());
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(2);
    EXPECT_THROW_TEXT(factory->getSingleton(), smbios::NotImplemented, "Unknown smbios factory mode requested");
    EXPECT_TRUE(memory.readAddresses.empty());
    factory->setMode(SmbiosFactory::MemoryMode);
    smbios::ISmbiosTable *table = factory->getSingleton();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(countStructures(*table), 2);
}

TEST_F(SmbiosFactoryTest, MemoryModeOverAnImageWithoutAnchorFails) {
    useImage(ImageBytes());
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    EXPECT_THROW_TEXT(factory->getSingleton(), smbios::InternalError, "Could not instantiate SMBIOS table.");
    EXPECT_THROW_TEXT(delete factory->makeNew(), smbios::InternalError, "Could not instantiate SMBIOS table.");
}

TEST_F(SmbiosFactoryTest, OffsetOfAValidEntryPointIsTheOnlyAddressRead) {
    tarnwick_test::CountingMemory &memory = useImage(imageWithTable());
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    factory->setParameter("offset", 0xF0000u);
    factory->getSingleton();
    EXPECT_EQ(memory.readAddresses, (std::vector<uint64_t>{0xF0000, 0x10000}));
}

TEST_F(SmbiosFactoryTest, OffsetWithoutAnEntryPointFails) {
    useImage(imageWithTable());
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    factory->setParameter("offset", 0xF0010u);
    EXPECT_THROW_TEXT(factory->getSingleton(), smbios::InternalError, "Could not instantiate SMBIOS table.");
}

TEST_F(SmbiosFactoryTest, StrictValidationRefusesABadChecksum) {
    ImageBytes image = imageWithTable();
    smbios::SmbiosTableEntryPoint ep = tarnwick_test::validEntryPoint(0x10000, static_cast<uint16_t>(kTable.size()), 2);
    ep.checksum = static_cast<uint8_t>(ep.checksum + 1);
    image.place(0xF0000, ep);
    useImage(image);
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    factory->setParameter("strictValidation", 1u);
    EXPECT_THROW_TEXT(factory->getSingleton(), smbios::InternalError, "Could not instantiate SMBIOS table.");
    factory->setParameter("strictValidation", 0u);
    EXPECT_EQ(countStructures(*factory->getSingleton()), 2);
}

TEST_F(SmbiosFactoryTest, SingletonOnceAndMakeNewEveryTime) {
    useImage(imageWithTable());
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    smbios::ISmbiosTable *single = factory->getSingleton();
    EXPECT_EQ(factory->getSingleton(), single);
    std::unique_ptr<smbios::ISmbiosTable> a(factory->makeNew());
    std::unique_ptr<smbios::ISmbiosTable> b(factory->makeNew());
    EXPECT_TRUE(a != b) << "two tables";
    EXPECT_NE(a.get(), single);
    EXPECT_EQ(countStructures(*a), 2);
    EXPECT_EQ(countStructures(*b), 2);
}

TEST_F(SmbiosFactoryTest, TablesComeWithTheirWorkaroundsInstalled) {
    const Bytes table = tarnwick_test::join(
        {tarnwick_test::structure(208, 0xD000,
                                  {1, 2, static_cast<uint8_t>(smbios::systemWorkaroundTable[0].systemId), 0, 0, 0}),
         tarnwick_test::structure(212, 0xD402, {0, 0, 0, 0, 3, 0}), tarnwick_test::endOfTable()});
    ImageBytes image;
    image.placeTable(table);
    useImage(image);
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    uint8_t checksumType = 0xFF;
    (*factory->getSingleton())[212]->getData(8, &checksumType, 1);
    EXPECT_EQ(checksumType, 0);
}

TEST_F(SmbiosFactoryTest, ResetStartsAgainFromTheDefaults) {
    useImage(imageWithTable());
    SmbiosFactory *factory = SmbiosFactory::getFactory();
    factory->setMode(SmbiosFactory::MemoryMode);
    factory->setParameter("strictValidation", 1u);
    factory->setParameter("offset", 0xF0000u);
    factory->getSingleton();
    factory->reset();

    SmbiosFactory *fresh = SmbiosFactory::getFactory();
    EXPECT_EQ(fresh->getMode(), SmbiosFactory::AutoMode);
    EXPECT_EQ(fresh->getParameterNum("strictValidation"), 0u);
    EXPECT_EQ(fresh->getParameterNum("offset"), 0u);
    fresh->setMode(SmbiosFactory::MemoryMode);
    EXPECT_EQ(countStructures(*fresh->getSingleton()), 2);
}

// AutoMode: memory, then the system's table source (the firmware-table
// query, or sysfs), then WMI.

TEST_F(SmbiosFactoryTest, AutoModeTakesTheSystemTableWhenMemoryFails) {
    tarnwick_test::MemoryImageFixture missing(tarnwick_test::missingFilePath());
    const tarnwick_test::SystemTableSource system(3, 4, kTable);
    smbios::ISmbiosTable *table = SmbiosFactory::getFactory()->getSingleton();
    EXPECT_EQ(table->getTableHeader().num_structures, 9999) << "the mark of a source without a count";
    EXPECT_EQ(table->getTableHeader().major_version, 3);
    EXPECT_EQ(table->getSourceEntryPoint().address, 0u) << "not found in memory";
    EXPECT_EQ(countStructures(*table), 2);
}

TEST_F(SmbiosFactoryTest, AutoModePrefersMemory) {
    useImage(imageWithTable());
    const tarnwick_test::SystemTableSource system(3, 4, kTable);
    smbios::ISmbiosTable *table = SmbiosFactory::getFactory()->getSingleton();
    EXPECT_EQ(table->getTableHeader().major_version, 2);
    EXPECT_EQ(table->getSourceEntryPoint().address, 0xF0000u);
}

TEST_F(SmbiosFactoryTest, AutoModeWithNoSourceFails) {
    tarnwick_test::MemoryImageFixture missing(tarnwick_test::missingFilePath());
    const tarnwick_test::SystemTableSource failing;
    // WMI comes last: absent off Windows, and under wine it publishes no data.
    EXPECT_THROW_TEXT(SmbiosFactory::getFactory()->getSingleton(), smbios::InternalError,
                      "Could not instantiate SMBIOS table.");
}

}  // namespace
