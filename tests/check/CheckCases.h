// The rule cases of the check's one data-driven test: a clean table, and for
// each rule the change that breaks it and nothing else. Each group of rules
// keeps its cases in its own file under cases/.
#ifndef TARNWICK_TESTS_CHECK_CHECKCASES_H
#define TARNWICK_TESTS_CHECK_CHECKCASES_H

#include <cstdint>
#include <string>
#include <vector>

#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTableEntryPoint.h"

namespace tarnwick_test {

using Bytes = std::vector<uint8_t>;

// A table being built: its structures (each with its strings), what follows
// the last of them, and the record put in front of it.
struct CaseTable {
    uint8_t major = 3;
    uint8_t minor = 0;
    // _SM3_, _SM_ or RSMB (Smbios3, Smbios2, RawSmbiosData), or none.
    smbios::EntryPointKind entryPoint = smbios::EntryPointKind::Smbios3;
    std::vector<Bytes> structures;
    Bytes trailing;  // bytes after the last structure
    // Changes the made source last: an entry point's own faults.
    void (*patch)(smbios::SmbiosTableBytes &source) = nullptr;

    // The structure whose handle is `handle`; fails the test if none.
    Bytes &at(uint16_t handle);
    // Sets `width` bytes at `offset` of the structure with `handle` (little-endian).
    void set(uint16_t handle, std::size_t offset, uint64_t value, std::size_t width = 1);
    smbios::SmbiosTableBytes source() const;
};

// A table of SMBIOS 3.0 with a 64-bit entry point that breaks no rule of
// the dsp0134 profile: every structure it requires, each of its version's
// length, every handle resolved, no placeholder.
CaseTable cleanTable();
// Adds a type 20 to it: the DIMM's 8 GiB mapped at address 0, first in its
// row, in the array's range 0013h.
void addDeviceRange(CaseTable &table);

struct RuleCase {
    const char *rule;  // the one rule the broken table breaks
    const char *what;  // the fault, as the test's name says it
    // Applied to both twins: the clean one is cleanTable() so changed.
    void (*setUp)(CaseTable &table);
    void (*breakIt)(CaseTable &table);
    // A profile of its own (JSON) for both twins; dsp0134 when null.
    const char *profile = nullptr;
};

std::vector<RuleCase> entryPointCases();
std::vector<RuleCase> walkCases();
std::vector<RuleCase> structureCases();
std::vector<RuleCase> valueCases();
std::vector<RuleCase> referenceCases();
std::vector<RuleCase> consistencyCases();
std::vector<RuleCase> contentCases();
std::vector<RuleCase> requirementCases();

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_CHECK_CHECKCASES_H
