// Tests of physical memory on POSIX systems: the /dev/mem reader, pointed at
// an image, and MemoryOsSpecific on the real device.
#include "memory/PhysicalMemoryDevice_posix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "memory/MemoryOsSpecific.h"
#include "smbios/Exception.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/TempFile.h"

namespace {

using memory::PhysicalMemoryDevice;
using tarnwick_test::TempFile;

class PhysicalMemoryDeviceTest : public ::testing::Test {
protected:
    PhysicalMemoryDeviceTest() : contents(tarnwick_test::patternBytes(0x100000)), image(contents) {}

    std::vector<uint8_t> contents;
    TempFile image;
};

TEST_F(PhysicalMemoryDeviceTest, ReadsLikeAnImage) {
    PhysicalMemoryDevice device(image.path());
    uint8_t buffer[32];
    device.fillBuffer(buffer, 0xE0010, sizeof buffer);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 32),
              std::vector<uint8_t>(contents.begin() + 0xE0010, contents.begin() + 0xE0030));
    EXPECT_EQ(device.getByte(0xFFFFF), contents[0xFFFFF]);
    EXPECT_THROW_TEXT(device.getByte(0x100000), memory::AccessError,
                      std::string("Read error trying to read memory. OS Error: ") + std::strerror(0));
}

TEST_F(PhysicalMemoryDeviceTest, AddressesAbove2GiBAreSoughtNotRefused) {
    // Firmware often keeps the structure table above 2 GiB; on the device such
    // an address is read (here past the image's end, so the read fails).
    PhysicalMemoryDevice device(image.path());
    uint8_t buffer[4];
    EXPECT_THROW_TEXT(device.fillBuffer(buffer, 0xDAA9D000, sizeof buffer), memory::AccessError,
                      std::string("Read error trying to read memory. OS Error: ") + std::strerror(0));
}

TEST_F(PhysicalMemoryDeviceTest, WritingIsNotImplementedAndChangesNothing) {
    {
        PhysicalMemoryDevice device(image.path());
        EXPECT_THROW_TEXT(device.putByte(0x10, 0xAB), smbios::NotImplemented,
                          std::string("writing to physical memory is not implemented on ") + TARNWICK_SYSTEM_NAME +
                              " yet.");
        EXPECT_EQ(device.getByte(0x10), contents[0x10]);
    }
    EXPECT_EQ(image.read(), contents);
}

TEST(PhysicalMemoryDeviceOpenTest, MissingDeviceNamesItInTheOpenMessage) {
    const std::string missing = tarnwick_test::missingFilePath();
    EXPECT_THROW_TEXT(PhysicalMemoryDevice{missing}, memory::AccessError,
                      "Unable to open memory. File: " + missing + ", OS Error: " + std::strerror(ENOENT));
}

// The machine's own /dev/mem: readable as root where the kernel allows it;
// otherwise construction fails with the open message naming the device.
TEST(MemoryOsSpecificPosixTest, OpensDevMemOrSaysWhyNot) {
    errno = 0;
    std::FILE *probe = std::fopen("/dev/mem", "rb");
    const int openError = errno;
    if (probe == nullptr) {
        EXPECT_THROW_TEXT(memory::MemoryOsSpecific{"\\Device\\PhysicalMemory"}, memory::AccessError,
                          std::string("Unable to open memory. File: /dev/mem, OS Error: ") + std::strerror(openError));
        return;
    }
    (void)std::fclose(probe);
    memory::MemoryOsSpecific machine("\\Device\\PhysicalMemory");
    uint8_t buffer[16];
    try {
        machine.fillBuffer(buffer, 0xF0000, sizeof buffer);
    } catch (const memory::AccessError &error) {
        // A kernel with strict /dev/mem may refuse even the BIOS area.
        EXPECT_EQ(std::string(error.what()).rfind("Read error trying to read memory. OS Error: ", 0), 0u);
    }
    EXPECT_THROW(machine.putByte(0xF0000, 0), smbios::NotImplemented);
}

}  // namespace
