// Acquisition strategies: the ways of getting the raw structure table and
// the entry point facts that describe it.
#ifndef TARNWICK_SMBIOS_SMBIOSSTRATEGY_H
#define TARNWICK_SMBIOS_SMBIOSSTRATEGY_H

#include <cstdint>
#include <memory>

#include "smbios/SmbiosTableEntryPoint.h"

namespace smbios {

class IFirmwareTablePlatform;
class IWmiPlatform;

// A table tries its strategies in order each time it reads its data; the
// first that returns true supplies it. On success a strategy replaces
// `tableBuffer` with an array of at least entryPoint.table_length bytes
// and fills `entryPoint`; on failure it returns false or throws, and the
// table moves on to the next strategy.
class SmbiosStrategy {
public:
    virtual ~SmbiosStrategy();
    virtual bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                bool strict) = 0;
};

// Reads the table from physical memory (the process-wide memory source):
// the entry point is searched from E0000h in 16-byte steps, or read at
// `offset` only, and the table is read where it says.
class SmbiosMemoryStrategy : public SmbiosStrategy {
public:
    // `offset` 0 means: search.
    explicit SmbiosMemoryStrategy(uint32_t offset = 0);
    ~SmbiosMemoryStrategy() override;

    // Never throws: every failure gives false. The entry point is written
    // (all 32 bytes) once it is found, even if the table read then fails.
    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;

    // Finds the entry point and copies it into `entryPoint`; from then on
    // `offset` holds its address, so later calls look only there. Throws
    // ParseException when nothing acceptable is found; memory errors pass
    // through.
    void getSmbiosEntryPoint(SmbiosTableEntryPoint &entryPoint, bool strict);

    uint32_t getOffset() const { return offset; }

private:
    uint32_t offset;
};

// Reads the raw table through the system's firmware-table query ('RSMB'):
// on Windows GetSystemFirmwareTable, elsewhere the tables the kernel
// publishes in /sys/firmware/dmi/tables (which also serves machines with
// only an SMBIOS 3 entry point). Writes the version, table_length and
// num_structures (9999) of the entry point and nothing else; the table is
// followed by 8 zero bytes that table_length counts. Throws ParseException
// on failure, leaving the table untouched.
class SmbiosWinGetFirmwareTableStrategy : public SmbiosStrategy {
public:
    SmbiosWinGetFirmwareTableStrategy();
    // Over other services than the system's (tests); not owned.
    explicit SmbiosWinGetFirmwareTableStrategy(IFirmwareTablePlatform &platform);
    ~SmbiosWinGetFirmwareTableStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;

private:
    IFirmwareTablePlatform &platform;
};

// Reads the raw table that WMI publishes (class MSSmBios_RawSMBiosTables in
// namespace root\wmi), initialising COM around the exchange. Writes the
// same entry point fields as the firmware-table strategy. Throws
// ParseException or InternalError on failure, and NotImplemented where
// there is no WMI (every system but Windows).
class SmbiosWinWMIStrategy : public SmbiosStrategy {
public:
    SmbiosWinWMIStrategy();
    // Over other services than the system's (tests); not owned.
    explicit SmbiosWinWMIStrategy(IWmiPlatform &platform);
    ~SmbiosWinWMIStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;

private:
    IWmiPlatform *platform;  // null where there is no WMI
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSSTRATEGY_H
