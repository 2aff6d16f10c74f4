// Acquisition strategies: the ways of getting the raw structure table and
// the entry point facts that describe it.
#ifndef TARNWICK_SMBIOS_SMBIOSSTRATEGY_H
#define TARNWICK_SMBIOS_SMBIOSSTRATEGY_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "smbios/SmbiosTableEntryPoint.h"

namespace smbios {

class IFirmwareTablePlatform;
class IWmiPlatform;

// A structure table already in memory, with the record its source
// published in front of it: an _SM_ or _SM3_ entry point, the 8-byte header
// of an RSMB buffer, or nothing for a bare table.
struct SmbiosTableBytes {
    std::vector<uint8_t> entryPoint;
    std::vector<uint8_t> table;
};

// What a strategy knows of the table beyond the 2.x entry point record.
struct TableFacts {
    // The bytes of the buffer that belong to the table, which bound the
    // walk; a table may be longer than the record's 16-bit table_length.
    std::size_t length = 0;
    SourceEntryPoint entryPoint;
};

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
    // getSmbiosTable that also says the table's real length and the record
    // in front of it; what a table calls. By default the length is
    // table_length and the record is unknown (EntryPointKind::None), so a
    // strategy written for getSmbiosTable alone keeps working.
    virtual bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                           TableFacts &facts, bool strict);

protected:
    // readTable with the facts dropped: getSmbiosTable of a strategy that
    // implements readTable.
    bool readTableWithoutFacts(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, bool strict);
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

    bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, TableFacts &facts,
                   bool strict) override;

private:
    uint32_t offset;
};

// Reads the table from physical memory through the 64-bit SMBIOS 3 entry
// point: "_SM3_" on a 16-byte boundary from F0000h to FFFFFh (or at
// `offset` only), with a valid checksum over its length byte, a length of
// at least 18h, major version 3 or above and a maximum table size above
// zero; a candidate that fails is passed over, whatever the strict flag
// says. The table is read at its 64-bit address, up to the end of its type
// 127 structure or its maximum size, whichever comes first. Serves machines
// whose firmware publishes no 2.x entry point; the SMBIOS factory tries it
// after SmbiosMemoryStrategy when asked to ("smbios3").
//
// The 2.x record gets the version, table_length (low 16 bits of the
// length read), the low 32 bits of the table address and num_structures
// 9999. Never throws: every failure gives false, the table untouched.
class Smbios3MemoryStrategy : public SmbiosStrategy {
public:
    explicit Smbios3MemoryStrategy(uint32_t offset = 0);
    ~Smbios3MemoryStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;
    bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, TableFacts &facts,
                   bool strict) override;

    // Where the entry point was found; 0 before.
    uint32_t getOffset() const { return offset; }

private:
    uint32_t offset;
};

// Serves a table already in memory: a dump, a raw table or an RSMB buffer
// that the caller has read. The 2.x record is filled from the source's own
// record: all of an _SM_ entry point; otherwise its version (0.0 for a bare
// table), table_length (low 16 bits) and num_structures 9999. Never fails.
class SmbiosBufferStrategy : public SmbiosStrategy {
public:
    explicit SmbiosBufferStrategy(std::shared_ptr<const SmbiosTableBytes> source);
    ~SmbiosBufferStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;
    bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, TableFacts &facts,
                   bool strict) override;

private:
    std::shared_ptr<const SmbiosTableBytes> source;
};

// Reads the raw table through Windows' firmware-table query ('RSMB',
// GetSystemFirmwareTable). Writes the version, table_length (low 16 bits)
// and num_structures (9999) of the entry point and nothing else; the table
// is followed by 8 zero bytes that its length counts. Throws ParseException
// on failure, leaving the table untouched; elsewhere than on Windows it has
// no kernel32 to ask ("Could not load dll functions."), and the SMBIOS
// factory puts the tables of /sys/firmware/dmi in its place.
class SmbiosWinGetFirmwareTableStrategy : public SmbiosStrategy {
public:
    SmbiosWinGetFirmwareTableStrategy();
    ~SmbiosWinGetFirmwareTableStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;
    bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, TableFacts &facts,
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
    ~SmbiosWinWMIStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;
    bool readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint, TableFacts &facts,
                   bool strict) override;

private:
    IWmiPlatform *platform;  // null where there is no WMI
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSSTRATEGY_H
