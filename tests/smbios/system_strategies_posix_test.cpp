// The firmware-table and WMI strategies on this (non-Windows) system: the
// table comes from sysfs where the kernel publishes it, and WMI is absent.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "support/ExpectThrow.h"

namespace {

TEST(SystemStrategiesPosixTest, FirmwareTableComesFromSysfsOrNamesTheMissingFile) {
    smbios::forgetFirmwareTableFunction();
    errno = 0;
    std::FILE *probe = std::fopen("/sys/firmware/dmi/tables/smbios_entry_point", "rb");
    const int openError = errno;
    if (probe == nullptr) {
        smbios::SmbiosWinGetFirmwareTableStrategy strategy;
        std::unique_ptr<uint8_t[]> slot;
        smbios::SmbiosTableEntryPoint ep{};
        EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::ParseException,
                          std::string("Could not read the SMBIOS table file "
                                      "/sys/firmware/dmi/tables/smbios_entry_point: ") +
                              std::strerror(openError));
        EXPECT_EQ(slot, nullptr);
        std::printf("this machine publishes no SMBIOS table in sysfs (%s)\n", std::strerror(openError));
        return;
    }
    (void)std::fclose(probe);
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::make_unique<smbios::SmbiosWinGetFirmwareTableStrategy>());
    smbios::SmbiosTable table(std::move(strategies), false);
    int visited = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++visited;
    }
    std::printf("sysfs table: SMBIOS %u.%u, %d structures\n", table.getTableHeader().major_version,
                table.getTableHeader().minor_version, visited);
    EXPECT_GT(visited, 0);
    smbios::forgetFirmwareTableFunction();
}

TEST(SystemStrategiesPosixTest, WmiExistsOnlyOnWindows) {
    smbios::SmbiosWinWMIStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    smbios::SmbiosTableEntryPoint ep{};
    EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), smbios::NotImplemented,
                      "WMI exists only on Windows: the SMBIOS table cannot be read through WMI here.");
    EXPECT_EQ(slot, nullptr);
}

}  // namespace
