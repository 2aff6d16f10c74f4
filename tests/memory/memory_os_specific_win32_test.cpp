// The real Windows services behind MemoryOsSpecific: whatever the system
// (or wine) provides, a read either succeeds or fails with one of the
// library's own messages; it never crashes or hangs.
#include "memory/MemoryOsSpecific.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "smbios/Exception.h"
#include "tests/support/ExpectThrow.h"

namespace {

const std::set<std::string> kReadFailures = {
    "EnumSystemFirmwareTables returned 0 for table size.",
    "Could not locate a table which can be used.",
    "GetSystemFirmwareTable returned 0 for table length.",
    "Failed to allocate memory for Firmware table.",
    "Handle to physical memory was not set or could not be opened.",
    "Error accessing buffer.",
    "Error mapping physical memory.",
    "Error unmapping physical memory.",
    "Could not use Debug Sysctl to read physical memory.",
};

TEST(MemoryOsSpecificWin32Test, ReadsTheBiosAreaOrFailsWithALibraryMessage) {
    memory::MemoryOsSpecific machine("\\Device\\PhysicalMemory");
    uint8_t buffer[16] = {};
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            machine.fillBuffer(buffer, 0xF0000, sizeof buffer);
            std::printf("read 16 bytes at F0000h\n");
        } catch (const memory::AccessError &error) {
            std::printf("read failed: %s\n", error.what());
            EXPECT_EQ(kReadFailures.count(error.what()), 1u) << error.what();
        }
    }
}

TEST(MemoryOsSpecificWin32Test, WritingIsNotImplemented) {
    memory::MemoryOsSpecific machine("\\Device\\PhysicalMemory");
    EXPECT_THROW_TEXT(machine.putByte(0xF0000, 1), smbios::NotImplemented,
                      "writing to physical memory is not implemented on Windows yet.");
}

}  // namespace
