// Tests of the memory factory: modes, "memFile", the process-wide source
// and reset().
#include "memory/MemoryFactory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "memory/MemoryFile.h"
#include "smbios/Exception.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/TempFile.h"

namespace {

using memory::MemoryFactory;
using tarnwick_test::TempFile;

class MemoryFactoryTest : public ::testing::Test {
protected:
    MemoryFactoryTest() : image(tarnwick_test::patternBytes(0x1000)), otherImage(std::vector<uint8_t>(16, 0x5A)) {}
    void SetUp() override { MemoryFactory::getFactory()->reset(); }
    void TearDown() override { MemoryFactory::getFactory()->reset(); }

    MemoryFactory *fileFactory(const std::string &path) {
        MemoryFactory *factory = MemoryFactory::getFactory();
        factory->setParameter("memFile", path);
        factory->setMode(MemoryFactory::FileMode);
        return factory;
    }

    TempFile image;
    TempFile otherImage;
};

TEST_F(MemoryFactoryTest, FreshFactoryReadsTheMachineByDefault) {
    MemoryFactory *factory = MemoryFactory::getFactory();
    EXPECT_EQ(factory->getMode(), MemoryFactory::OsSpecificMode);
    EXPECT_EQ(factory->getMode(), 0);
    EXPECT_EQ(MemoryFactory::FileMode, 1);
    EXPECT_EQ(factory->getParameterString("memFile"), "\\Device\\PhysicalMemory");
}

TEST_F(MemoryFactoryTest, UnknownModeFailsUntilAValidOneIsSet) {
    MemoryFactory *factory = MemoryFactory::getFactory();
    factory->setMode(2);
    EXPECT_THROW_TEXT(factory->getSingleton(), smbios::NotImplemented, "Unknown Memory mode requested.");
    EXPECT_THROW_TEXT(delete factory->makeNew(), smbios::NotImplemented, "Unknown Memory mode requested.");
    factory->setMode(-1);
    EXPECT_THROW_TEXT(factory->getSingleton(), smbios::NotImplemented, "Unknown Memory mode requested.");

    fileFactory(image.path());
    memory::IMemory *source = factory->getSingleton();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->getByte(0x123), 0x123 % 251);
}

TEST_F(MemoryFactoryTest, FileModeWithoutMemFileTriesTheDefaultName) {
    MemoryFactory *factory = MemoryFactory::getFactory();
    factory->setMode(MemoryFactory::FileMode);
    EXPECT_THROW_TEXT(factory->getSingleton(), memory::AccessError,
                      std::string("Unable to open memory. File: \\Device\\PhysicalMemory, OS Error: ") +
                          std::strerror(ENOENT));
    // The failure left the settings alone, and the next call tries again.
    EXPECT_EQ(factory->getMode(), MemoryFactory::FileMode);
    factory->setParameter("memFile", image.path());
    EXPECT_NE(factory->getSingleton(), nullptr);
}

TEST_F(MemoryFactoryTest, EmptyMemFileFails) {
    EXPECT_THROW_TEXT(fileFactory("")->getSingleton(), memory::AccessError,
                      "File name passed in was null or zero-length.");
}

TEST_F(MemoryFactoryTest, SingletonIsMadeOnceAndMakeNewEveryTime) {
    MemoryFactory *factory = fileFactory(image.path());
    memory::IMemory *first = factory->getSingleton();
    EXPECT_EQ(factory->getSingleton(), first);

    std::unique_ptr<memory::IMemory> a(factory->makeNew());
    std::unique_ptr<memory::IMemory> b(factory->makeNew());
    EXPECT_TRUE(a != b) << "two objects";
    EXPECT_NE(a.get(), first);
    EXPECT_NE(dynamic_cast<memory::MemoryFile *>(a.get()), nullptr);
    EXPECT_EQ(a->getByte(7), 7);
}

TEST_F(MemoryFactoryTest, SettingsChangedAfterTheSingletonHaveNoEffectUntilReset) {
    MemoryFactory *factory = fileFactory(image.path());
    memory::IMemory *source = factory->getSingleton();
    factory->setParameter("memFile", otherImage.path());
    factory->setMode(2);
    EXPECT_EQ(factory->getSingleton(), source);
    EXPECT_EQ(factory->getSingleton()->getByte(1), 1);
}

TEST_F(MemoryFactoryTest, ResetStartsAgainFromTheDefaults) {
    fileFactory(image.path())->getSingleton();
    MemoryFactory::getFactory()->reset();

    MemoryFactory *fresh = MemoryFactory::getFactory();
    EXPECT_EQ(fresh->getMode(), MemoryFactory::OsSpecificMode);
    EXPECT_EQ(fresh->getParameterString("memFile"), "\\Device\\PhysicalMemory");

    // Switching images: reset, then set both again.
    memory::IMemory *other = fileFactory(otherImage.path())->getSingleton();
    EXPECT_EQ(other->getByte(1), 0x5A);
}

}  // namespace
