// The firmware-table and WMI strategies against the real Windows services
// (wine's, when the tests run under wine). Each test states what the
// platform gave.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "memory/MemoryFactory.h"
#include "platform/WindowsApi.h"
#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SystemId.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

#include <objbase.h>

namespace {

TEST(SystemStrategiesWin32Test, FirmwareTableWalksToItsEnd) {
    smbios::forgetFirmwareTableFunction();
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosWinGetFirmwareTableStrategy>());
    smbios::SmbiosTable table(std::move(strategies), false);

    const smbios::SmbiosTableEntryPoint header = table.getTableHeader();
    std::printf("RSMB table: SMBIOS %u.%u, %u bytes with the 8 trailing zero bytes\n", header.major_version,
                header.minor_version, header.table_length);
    EXPECT_EQ(header.num_structures, 9999);
    EXPECT_GE(header.table_length, 8 + 4);
    int visited = 0;
    uint8_t lastType = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
        lastType = it->getType();
        std::printf("  handle 0x%04X type %u length %u\n", it->getHandle(), it->getType(), it->getLength());
    }
    EXPECT_GT(visited, 0);
    EXPECT_EQ(lastType, 127) << "the published table ends with its end-of-table structure";
    EXPECT_EQ(table.begin()->getType(), 0) << "the first structure is the BIOS information";
    smbios::forgetFirmwareTableFunction();
}

TEST(SystemStrategiesWin32Test, WmiFetchFailsCleanlyOrDeliversATable) {
    smbios::SmbiosWinWMIStrategy strategy;
    std::unique_ptr<uint8_t[]> slot(new uint8_t[1]{0x42});
    const uint8_t *before = slot.get();
    smbios::SmbiosTableEntryPoint ep{};
    ep.table_length = 55;
    try {
        strategy.getSmbiosTable(slot, ep, false);
        std::printf("WMI published a table of %u bytes, SMBIOS %u.%u\n", ep.table_length, ep.major_version,
                    ep.minor_version);
        EXPECT_NE(slot.get(), before);
        EXPECT_EQ(ep.num_structures, 9999);
    } catch (const smbios::IException &error) {
        // Wine 8 publishes the class with an empty SMBiosData.
        std::printf("WMI fetch failed: %s\n", error.what());
        EXPECT_STREQ(error.what(), "GetWMISMBIOSTable: SMBiosData returned unknown entry type.");
        EXPECT_EQ(slot.get(), before) << "the table is untouched";
        EXPECT_EQ(ep.table_length, 55);
    }
    // COM was uninitialised again: initialising it now is a first time.
    const HRESULT again = CoInitialize(nullptr);
    EXPECT_EQ(again, S_OK) << "CoInitialize returned 0x" << std::hex << again;
    if (SUCCEEDED(again)) {
        CoUninitialize();
    }
}

// The factories in their default modes, as a client on Windows uses them:
// physical memory first, which wine does not provide, then the firmware
// table.
TEST(SystemStrategiesWin32Test, AutoModeFallsBackFromMemoryToTheFirmwareTable) {
    smbios::resetLibraryFactories();
    smbios::forgetFirmwareTableFunction();
    std::string memoryFailure;
    try {
        uint8_t byte = 0;
        memory::MemoryFactory::getFactory()->getSingleton()->fillBuffer(&byte, 0xF0000, 1);
        memoryFailure = "(none)";
    } catch (const smbios::IException &error) {
        memoryFailure = error.what();
    }
    std::printf("physical memory at F0000h: %s\n", memoryFailure.c_str());

    smbios::ISmbiosTable *table = smbios::SmbiosFactory::getFactory()->getSingleton();
    ASSERT_NE(table, nullptr);
    const smbios::SmbiosTableEntryPoint header = table->getTableHeader();
    EXPECT_EQ(header.num_structures, 9999) << "the table came from the firmware-table query";
    EXPECT_EQ(header.table_address, 0u) << "no entry point was found in memory";

    smbios::lastError.setMessageString("");
    EXPECT_EQ(smbios::getSystemId(), 0) << "wine's table names none of the maker's systems";
    std::printf("lastError: %s\n", smbios::lastError.what());
    EXPECT_EQ(std::string(smbios::lastError.what()), memoryFailure)
        << "the memory sources failed as physical memory does";
    smbios::resetLibraryFactories();
    smbios::forgetFirmwareTableFunction();
}

}  // namespace
