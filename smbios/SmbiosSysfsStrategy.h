// The strategy that reads the SMBIOS table Linux publishes in
// /sys/firmware/dmi/tables: the entry point and the table, as the firmware
// gave them to the kernel. Private to the library; built where there is no
// Windows firmware-table query, whose place it takes in AutoMode.
#ifndef TARNWICK_SMBIOS_SMBIOSSYSFSSTRATEGY_H
#define TARNWICK_SMBIOS_SMBIOSSYSFSSTRATEGY_H

#include <string>

#include "smbios/SmbiosStrategy.h"

namespace smbios {

// The 2.x record is filled as for a table in memory (SmbiosBufferStrategy);
// the source's record is the smbios_entry_point file. Throws ParseException
// naming the file that cannot be read, leaving the table untouched.
class SmbiosSysfsStrategy : public SmbiosStrategy {
public:
    // The directory in use (see useSysfsTablesDirectory).
    SmbiosSysfsStrategy();
    explicit SmbiosSysfsStrategy(std::string directory);
    ~SmbiosSysfsStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;
    bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, TableFacts &facts,
                   bool strict) override;

private:
    std::string directory;
};

// Makes sysfs strategies made from now on read `directory` instead of
// /sys/firmware/dmi/tables ("" for that again): tests point it at copies of
// real machines' tables.
void useSysfsTablesDirectory(const std::string &directory);

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSSYSFSSTRATEGY_H
