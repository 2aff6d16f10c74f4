// Tests of the Windows physical-memory logic against the scripted platform:
// choice of way, firmware-table caching, the view-by-view copy and every
// failure message.
#include "memory/WindowsPhysicalMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "tests/memory/FakePhysicalMemoryPlatform.h"
#include "tests/support/ExpectThrow.h"

namespace {

using memory::WindowsPhysicalMemory;
using tarnwick_test::FakePhysicalMemoryPlatform;

using Handle = memory::IPhysicalMemoryPlatform::Handle;

// The pseudo handle of the calling process.
// NOLINTNEXTLINE(performance-no-int-to-ptr)
const Handle kCurrentProcess = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));

// Bytes of a firmware table whose byte N is (seed + N) mod 256.
std::vector<uint8_t> tableBytes(std::size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i);
    }
    return bytes;
}

std::vector<uint8_t> bytesOf(const uint8_t *data, std::size_t size) {
    return std::vector<uint8_t>(data, data + size);
}

class WindowsPhysicalMemoryTest : public ::testing::Test {
protected:
    // Every way available unless a test takes it away.
    FakePhysicalMemoryPlatform platform;
};

// ---------------------------------------------------------------------------
// Construction.

TEST_F(WindowsPhysicalMemoryTest, MissingNtdllOrKernel32FailsConstruction) {
    platform.ntdllLoaded = false;
    EXPECT_THROW_TEXT(WindowsPhysicalMemory{platform}, memory::AccessError, "Could not load ntdll functions!");
    platform.ntdllLoaded = true;
    platform.kernel32Loaded = false;
    EXPECT_THROW_TEXT(WindowsPhysicalMemory{platform}, memory::AccessError, "Could not load ntdll functions!");
}

TEST_F(WindowsPhysicalMemoryTest, ConstructionLooksUpEveryFunctionAndEnablesTheDebugPrivilege) {
    WindowsPhysicalMemory memory(platform);
    for (const char *name :
         {"NtOpenSection", "NtClose", "NtMapViewOfSection", "NtUnmapViewOfSection", "RtlInitUnicodeString",
          "ZwSystemDebugControl", "EnumSystemFirmwareTables", "GetSystemFirmwareTable"}) {
        EXPECT_EQ(platform.callCount(std::string("GetProcAddress ") + name), 1u) << name;
    }
    EXPECT_EQ(platform.tokenAccess, 0x28u);
    EXPECT_EQ(platform.privilegeName, u"SeDebugPrivilege");
    EXPECT_EQ(platform.privilegeAttributes, 2u);
    EXPECT_EQ(platform.tokensOpen, 0) << "the token is closed again";
}

TEST_F(WindowsPhysicalMemoryTest, PrivilegeFailuresAreHarmless) {
    platform.failLookupPrivilege = true;
    {
        WindowsPhysicalMemory memory(platform);
        EXPECT_TRUE(memory.hasSection());
    }
    EXPECT_EQ(platform.callCount("AdjustTokenPrivileges"), 0u);
    EXPECT_EQ(platform.tokensOpen, 0);

    platform.failOpenProcessToken = true;
    WindowsPhysicalMemory memory(platform);
    EXPECT_TRUE(memory.hasSection());
}

TEST_F(WindowsPhysicalMemoryTest, OpensTheSectionByNameForReadMapping) {
    {
        WindowsPhysicalMemory memory(platform);
        EXPECT_TRUE(memory.hasSection());
        EXPECT_EQ(platform.sectionName, u"\\device\\physicalmemory");
        EXPECT_EQ(platform.sectionAccess, 4u);
        EXPECT_EQ(platform.attributesFlags, 0x40u);
        EXPECT_EQ(platform.attributesLength, sizeof(memory::NtObjectAttributes));
        EXPECT_FALSE(platform.attributesHaveExtras);
        if (sizeof(void *) == 8) {
            EXPECT_EQ(platform.attributesLength, 48u);
        }
    }
    EXPECT_EQ(platform.sectionsClosed, 1) << "the destructor closes the section";
}

TEST_F(WindowsPhysicalMemoryTest, ASectionThatCannotBeOpenedIsNoError) {
    platform.sectionOpens = false;
    {
        WindowsPhysicalMemory memory(platform);
        EXPECT_FALSE(memory.hasSection());
    }
    EXPECT_EQ(platform.sectionsClosed, 0);
}

TEST_F(WindowsPhysicalMemoryTest, PutByteIsNeverImplemented) {
    WindowsPhysicalMemory memory(platform);
    EXPECT_THROW_TEXT(memory.putByte(0xF0000, 1), smbios::NotImplemented,
                      "writing to physical memory is not implemented on Windows yet.");
    platform.missingFunctions = {"EnumSystemFirmwareTables"};
    WindowsPhysicalMemory sectionMemory(platform);
    EXPECT_THROW_TEXT(sectionMemory.putByte(0, 0), smbios::NotImplemented,
                      "writing to physical memory is not implemented on Windows yet.");
}

// ---------------------------------------------------------------------------
// The firmware-table way.

class FirmwareTableTest : public WindowsPhysicalMemoryTest {
protected:
    FirmwareTableTest() {
        platform.firmwareTables = {{0xC0000, tableBytes(0x20000, 0x11)}, {0xE0000, tableBytes(0x20000, 0x22)}};
    }
};

TEST_F(FirmwareTableTest, ReadsFromTheTableThatCoversTheAddressAndCachesIt) {
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[16];
    memory.fillBuffer(buffer, 0xF0000, sizeof buffer);
    const auto &e0000 = platform.firmwareTables[1].bytes;
    EXPECT_EQ(bytesOf(buffer, 16), std::vector<uint8_t>(e0000.begin() + 0x10000, e0000.begin() + 0x10010));
    EXPECT_EQ(platform.callCount("GetSystemFirmwareTable 917504"), 2u) << "size, then the table";

    const std::size_t callsBefore = platform.calls.size();
    memory.fillBuffer(buffer, 0xF0010, sizeof buffer);
    EXPECT_EQ(platform.calls.size(), callsBefore) << "a second read in the cached range calls nothing";
    EXPECT_EQ(bytesOf(buffer, 16), std::vector<uint8_t>(e0000.begin() + 0x10010, e0000.begin() + 0x10020));
}

TEST_F(FirmwareTableTest, TheSectionIsNotUsedWhileTheFirmwareInterfaceExists) {
    WindowsPhysicalMemory memory(platform);
    ASSERT_TRUE(memory.hasSection());
    uint8_t buffer[4];
    memory.fillBuffer(buffer, 0xE0000, sizeof buffer);
    EXPECT_EQ(platform.callCount("NtMapViewOfSection"), 0u);
    EXPECT_EQ(platform.callCount("ZwSystemDebugControl"), 0u);
}

TEST_F(FirmwareTableTest, CachedC0000TableServesItsWholeRange) {
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[1];
    memory.fillBuffer(buffer, 0xC0000, 1);
    const std::size_t callsBefore = platform.calls.size();
    memory.fillBuffer(buffer, 0xDFFFF, 1);
    EXPECT_EQ(platform.calls.size(), callsBefore);
    EXPECT_EQ(buffer[0], platform.firmwareTables[0].bytes[0x1FFFF]);
}

TEST_F(FirmwareTableTest, AnAddressOutsideEveryTableFailsEvenWithTheSectionOpen) {
    WindowsPhysicalMemory memory(platform);
    ASSERT_TRUE(memory.hasSection());
    uint8_t buffer[4];
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0x100000, sizeof buffer), memory::AccessError,
                      "Could not locate a table which can be used.");
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xBFFFF, sizeof buffer), memory::AccessError,
                      "Could not locate a table which can be used.");
    EXPECT_EQ(platform.callCount("NtMapViewOfSection"), 0u);
}

TEST_F(WindowsPhysicalMemoryTest, TheLastListedMatchingTableWins) {
    platform.firmwareTables = {{0xE0000, tableBytes(0x20000, 0x10)}, {0xF0000, tableBytes(0x10000, 0x80)}};
    {
        WindowsPhysicalMemory memory(platform);
        uint8_t byte = 0;
        memory.fillBuffer(&byte, 0xF0004, 1);
        EXPECT_EQ(byte, 0x84) << "table F0000, listed last";
        EXPECT_EQ(platform.callCount("GetSystemFirmwareTable 983040"), 2u);
    }
    platform.firmwareTables = {{0xF0000, tableBytes(0x10000, 0x80)}, {0xE0000, tableBytes(0x20000, 0x10)}};
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    memory.fillBuffer(&byte, 0xF0004, 1);
    EXPECT_EQ(byte, static_cast<uint8_t>(0x10 + 0x10004)) << "table E0000, listed last";
}

TEST_F(WindowsPhysicalMemoryTest, TableIdZeroIsNeverChosen) {
    platform.firmwareTables = {{0, tableBytes(0x20000, 0)}};
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0x10, 1), memory::AccessError,
                      "Could not locate a table which can be used.");
}

TEST_F(WindowsPhysicalMemoryTest, OtherTablesAreFetchedForEveryRead) {
    platform.firmwareTables = {{0xA0000, tableBytes(0x20000, 0x30)}};
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    memory.fillBuffer(&byte, 0xA0001, 1);
    memory.fillBuffer(&byte, 0xA0002, 1);
    EXPECT_EQ(byte, 0x32);
    EXPECT_EQ(platform.callCount("EnumSystemFirmwareTables"), 4u);
    EXPECT_EQ(platform.callCount("GetSystemFirmwareTable"), 4u);
}

TEST_F(WindowsPhysicalMemoryTest, BytesBeyondAShortTableStayZero) {
    platform.firmwareTables = {{0xE0000, tableBytes(0x100, 0x40)}};
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    memory.fillBuffer(buffer, 0xE00F8, sizeof buffer);  // fetches and caches
    std::vector<uint8_t> expected(16, 0);
    for (int i = 0; i < 8; ++i) {
        expected[static_cast<std::size_t>(i)] = static_cast<uint8_t>(0x40 + 0xF8 + i);
    }
    EXPECT_EQ(bytesOf(buffer, 16), expected);

    std::memset(buffer, 0xEE, sizeof buffer);
    memory.fillBuffer(buffer, 0xE00F8, sizeof buffer);  // from the cache
    EXPECT_EQ(bytesOf(buffer, 16), expected);

    std::memset(buffer, 0xEE, sizeof buffer);
    memory.fillBuffer(buffer, 0xE8000, sizeof buffer);
    EXPECT_EQ(bytesOf(buffer, 16), std::vector<uint8_t>(16, 0));
}

// An empty table list, and a table that no memory can be had for.
TEST_F(FirmwareTableTest, EmptyTableListOrAllocationFailureFails) {
    const std::pair<bool FakePhysicalMemoryPlatform::*, const char *> failures[] = {
        {&FakePhysicalMemoryPlatform::enumReturnsZero, "EnumSystemFirmwareTables returned 0 for table size."},
        {&FakePhysicalMemoryPlatform::failAllocation, "Failed to allocate memory for Firmware table."},
    };
    for (const auto &[failure, message] : failures) {
        platform.*failure = true;
        WindowsPhysicalMemory memory(platform);
        uint8_t byte = 0;
        EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0xF0000, 1), memory::AccessError, message);
        platform.*failure = false;
    }
}

TEST_F(FirmwareTableTest, EmptyTableFails) {
    platform.tableSizeReturnsZero = true;
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0xF0000, 1), memory::AccessError,
                      "GetSystemFirmwareTable returned 0 for table length.");
    // Nothing was cached: the next read asks again.
    platform.tableSizeReturnsZero = false;
    memory.fillBuffer(&byte, 0xF0000, 1);
    EXPECT_EQ(byte, platform.firmwareTables[1].bytes[0x10000]);
}

TEST_F(FirmwareTableTest, DestroyingAnyObjectEmptiesTheSharedCaches) {
    WindowsPhysicalMemory singleton(platform);
    uint8_t byte = 0;
    singleton.fillBuffer(&byte, 0xF0000, 1);
    singleton.fillBuffer(&byte, 0xF0001, 1);
    EXPECT_EQ(platform.callCount("EnumSystemFirmwareTables"), 2u);

    { WindowsPhysicalMemory second(platform); }

    singleton.fillBuffer(&byte, 0xF0002, 1);
    EXPECT_EQ(platform.callCount("EnumSystemFirmwareTables"), 4u) << "fetched again";
    EXPECT_EQ(byte, platform.firmwareTables[1].bytes[0x10002]);
}

TEST_F(FirmwareTableTest, OneMissingFirmwareFunctionMeansTheSectionWay) {
    platform.missingFunctions = {"GetSystemFirmwareTable"};
    platform.physicalMemory = tableBytes(0x100000, 0);
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    memory.fillBuffer(&byte, 0xF0003, 1);
    EXPECT_EQ(byte, 0x03);
    EXPECT_EQ(platform.callCount("EnumSystemFirmwareTables"), 0u);
    EXPECT_EQ(platform.callCount("NtMapViewOfSection"), 1u);
}

// ---------------------------------------------------------------------------
// The section way.

class SectionTest : public WindowsPhysicalMemoryTest {
protected:
    SectionTest() {
        platform.missingFunctions = {"EnumSystemFirmwareTables", "GetSystemFirmwareTable"};
        platform.physicalMemory = tableBytes(0x100000, 0x05);
    }
};

TEST_F(SectionTest, LongReadTakesOneMapAndUnmapRoundPerView) {
    platform.maxViewSize = 0x1000;
    WindowsPhysicalMemory memory(platform);
    std::vector<uint8_t> buffer(0x3000);
    memory.fillBuffer(buffer.data(), 0x10000, 0x3000);

    EXPECT_EQ(buffer, std::vector<uint8_t>(platform.physicalMemory.begin() + 0x10000,
                                           platform.physicalMemory.begin() + 0x13000));
    ASSERT_EQ(platform.mapCalls.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(platform.mapCalls[i].requestedOffset, static_cast<int64_t>(0x10000 + 0x1000 * i));
        EXPECT_EQ(platform.mapCalls[i].requestedSize, 0x3000 - 0x1000 * i) << "the bytes still to read";
        EXPECT_EQ(platform.mapCalls[i].commitSize, 0x3000 - 0x1000 * i);
        // A read-only view of the current process, shared with no child.
        EXPECT_EQ(platform.mapCalls[i].process, kCurrentProcess);
        EXPECT_EQ(platform.mapCalls[i].zeroBits, 0u);
        EXPECT_EQ(platform.mapCalls[i].inheritDisposition, 1u);
        EXPECT_EQ(platform.mapCalls[i].allocationType, 0u);
        EXPECT_EQ(platform.mapCalls[i].protection, 2u);
    }
    EXPECT_EQ(platform.unmapProcesses, std::vector<Handle>(3, kCurrentProcess));
    const std::vector<std::string> rounds(platform.calls.end() - 6, platform.calls.end());
    EXPECT_EQ(rounds, (std::vector<std::string>{"NtMapViewOfSection", "NtUnmapViewOfSection", "NtMapViewOfSection",
                                                "NtUnmapViewOfSection", "NtMapViewOfSection", "NtUnmapViewOfSection"}));
    EXPECT_EQ(platform.openViews, 0);
}

TEST_F(SectionTest, UnalignedReadStartsInsideTheView) {
    platform.maxViewSize = 0x1000;
    WindowsPhysicalMemory memory(platform);
    std::vector<uint8_t> buffer(0x1800);
    memory.fillBuffer(buffer.data(), 0x20F80, 0x1800);
    EXPECT_EQ(buffer, std::vector<uint8_t>(platform.physicalMemory.begin() + 0x20F80,
                                           platform.physicalMemory.begin() + 0x22780));
    ASSERT_EQ(platform.mapCalls.size(), 3u);
    EXPECT_EQ(platform.mapCalls[0].grantedOffset, 0x20000);
    EXPECT_EQ(platform.mapCalls[1].requestedOffset, 0x21000);
    EXPECT_EQ(platform.mapCalls[2].requestedOffset, 0x22000);
}

TEST_F(SectionTest, ZeroLengthMapsNothing) {
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0x77;
    memory.fillBuffer(&byte, 0xF0000, 0);
    EXPECT_EQ(platform.callCount("NtMapViewOfSection"), 0u);
    EXPECT_EQ(byte, 0x77);
}

TEST_F(SectionTest, OnlyTheLow32BitsOfTheAddressAreUsed) {
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    memory.fillBuffer(&byte, 0x100000F00ull, 1);
    ASSERT_EQ(platform.mapCalls.size(), 1u);
    EXPECT_EQ(platform.mapCalls[0].requestedOffset, 0xF00);
    EXPECT_EQ(byte, platform.physicalMemory[0xF00]);
}

TEST_F(SectionTest, NullBufferFails) {
    WindowsPhysicalMemory memory(platform);
    EXPECT_THROW_TEXT(memory.fillBuffer(nullptr, 0xF0000, 4), memory::AccessError, "Error accessing buffer.");
}

TEST_F(SectionTest, MapFailureKeepsTheBytesAlreadyCopied) {
    platform.maxViewSize = 0x1000;
    platform.failMapCall = 1;
    WindowsPhysicalMemory memory(platform);
    std::vector<uint8_t> buffer(0x2000, 0xEE);
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer.data(), 0x30000, 0x2000), memory::AccessError,
                      "Error mapping physical memory.");
    EXPECT_EQ(buffer[0], platform.physicalMemory[0x30000]);
    EXPECT_EQ(buffer[0xFFF], platform.physicalMemory[0x30FFF]);
    EXPECT_EQ(buffer[0x1000], 0xEE);
    EXPECT_EQ(platform.openViews, 0);
}

TEST_F(SectionTest, UnmapFailureFails) {
    platform.failUnmapCall = 0;
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[4];
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xF0000, 4), memory::AccessError, "Error unmapping physical memory.");
}

TEST_F(SectionTest, MissingMapOrUnmapFunctionFails) {
    platform.missingFunctions.insert("NtMapViewOfSection");
    {
        WindowsPhysicalMemory memory(platform);
        uint8_t byte = 0;
        EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0xF0000, 1), memory::AccessError, "Error mapping physical memory.");
    }
    platform.missingFunctions.erase("NtMapViewOfSection");
    platform.missingFunctions.insert("NtUnmapViewOfSection");
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0xF0000, 1), memory::AccessError, "Error unmapping physical memory.");
}

// A platform that hands out a view not covering the address would make the
// copy loop spin for ever; the read fails instead, with the view unmapped.
TEST_F(SectionTest, ViewThatMissesTheAddressFailsInsteadOfLooping) {
    platform.viewMissesAddress = true;
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[8];
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xF0000, 8), memory::AccessError, "Error mapping physical memory.");
    EXPECT_EQ(platform.mapCalls.size(), 1u);
    EXPECT_EQ(platform.openViews, 0);
}

TEST_F(SectionTest, EmptyViewFailsInsteadOfLooping) {
    platform.emptyViews = true;
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[8];
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xF0000, 8), memory::AccessError, "Error mapping physical memory.");
    EXPECT_EQ(platform.mapCalls.size(), 1u);
    EXPECT_EQ(platform.openViews, 0);
}

// ---------------------------------------------------------------------------
// The debug-control way.

class DebugControlTest : public WindowsPhysicalMemoryTest {
protected:
    DebugControlTest() {
        platform.missingFunctions = {"EnumSystemFirmwareTables", "GetSystemFirmwareTable"};
        platform.sectionOpens = false;
        platform.physicalBase = 0xE0000;
        platform.physicalMemory = tableBytes(0x20000, 0x33);
    }
};

TEST_F(DebugControlTest, SendsThe20ByteRequest) {
    WindowsPhysicalMemory memory(platform);
    uint8_t buffer[16] = {};
    memory.fillBuffer(buffer, 0x1000F0000ull, sizeof buffer);

    EXPECT_EQ(platform.debugCommand, 10u);
    EXPECT_FALSE(platform.debugHadOutput);
    ASSERT_EQ(platform.debugRequest.size(), 20u);
    std::vector<uint8_t> expected(20, 0);
    expected[0] = 0x00;
    expected[1] = 0x00;
    expected[2] = 0x0F;  // 0xF0000, upper 32 bits dropped
    const auto destination = reinterpret_cast<uintptr_t>(buffer);
    for (int i = 0; i < 8; ++i) {
        expected[8 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(uint64_t{destination} >> (8 * i));
    }
    expected[16] = 16;
    EXPECT_EQ(platform.debugRequest, expected);
    EXPECT_EQ(bytesOf(buffer, 16), std::vector<uint8_t>(platform.physicalMemory.begin() + 0x10000,
                                                        platform.physicalMemory.begin() + 0x10010));
}

TEST_F(DebugControlTest, FailureOfTheCallFails) {
    platform.failDebugControl = true;
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0xF0000, 1), memory::AccessError,
                      "Could not use Debug Sysctl to read physical memory.");
}

TEST_F(DebugControlTest, MissingFunctionFails) {
    platform.missingFunctions.insert("ZwSystemDebugControl");
    WindowsPhysicalMemory memory(platform);
    uint8_t byte = 0;
    EXPECT_THROW_TEXT(memory.fillBuffer(&byte, 0xF0000, 1), memory::AccessError,
                      "Could not use Debug Sysctl to read physical memory.");
    EXPECT_EQ(platform.callCount("ZwSystemDebugControl"), 0u);
}

TEST_F(DebugControlTest, GetByteReadsThroughFillBuffer) {
    WindowsPhysicalMemory memory(platform);
    EXPECT_EQ(memory.getByte(0xE0005), static_cast<uint8_t>(0x33 + 5));
    EXPECT_EQ(platform.debugRequest[16], 1);
}

}  // namespace
