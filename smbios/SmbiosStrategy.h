// Acquisition strategies: the ways of getting the raw structure table and
// the entry point facts that describe it.
#ifndef TARNWICK_SMBIOS_SMBIOSSTRATEGY_H
#define TARNWICK_SMBIOS_SMBIOSSTRATEGY_H

#include <cstdint>
#include <memory>

#include "smbios/SmbiosTableEntryPoint.h"

namespace smbios {

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

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSSTRATEGY_H
