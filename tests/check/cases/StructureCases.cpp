// The cases of the structures' own rules: lengths against the table's
// version, string numbers and the bytes of strings.
#include "tests/check/CheckCases.h"

namespace tarnwick_test {
namespace {

// Appends `more` to the formatted area of the structure with `handle`.
void lengthen(CaseTable &t, uint16_t handle, const Bytes &more) {
    Bytes &structure = t.at(handle);
    structure.insert(structure.begin() + structure[1], more.begin(), more.end());
    structure[1] = static_cast<uint8_t>(structure[1] + more.size());
}

// Cuts the formatted area of the structure with `handle` to `length` bytes.
void shorten(CaseTable &t, uint16_t handle, uint8_t length) {
    Bytes &structure = t.at(handle);
    structure.erase(structure.begin() + length, structure.begin() + structure[1]);
    structure[1] = length;
}

// The clean table as SMBIOS 3.5 lays it out: the firmware's extended ROM
// size (unused), the cache's 32-bit sizes, the slot's lanes, generation and
// form, and the DIMM's technology, mode and sizes.
void smbios35(CaseTable &t) {
    t.minor = 5;
    lengthen(t, 0x0000, {0x00, 0x00});
    lengthen(t, 0x0007, {0x40, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00});
    // 4 lanes, no peers; PCIe Gen 3, x4 wide, pitch not given, full height.
    lengthen(t, 0x0009, {0x04, 0x00, 0x03, 0x0A, 0x00, 0x00, 0x03});
    // DRAM, volatile memory; no firmware version, IDs unknown; 8 GiB volatile;
    // speeds in the 16-bit fields.
    Bytes dimm(0x5C - 0x28, 0);
    dimm[0x28 - 0x28] = 0x03;
    dimm[0x29 - 0x28] = 0x08;
    dimm[0x3C - 0x28 + 4] = 0x02;
    lengthen(t, 0x0011, dimm);
}

void smbios33(CaseTable &t) {
    smbios35(t);
    t.minor = 3;
}

// An SMBIOS 2.7 table whose chassis holds one memory device element.
void smbios27WithElement(CaseTable &t) {
    t.entryPoint = smbios::EntryPointKind::Smbios2;
    t.major = 2;
    t.minor = 7;
    Bytes &chassis = t.at(0x0003);
    chassis.insert(chassis.begin() + 0x15, {0x91, 0x01, 0x02});
    chassis[1] = 0x19;
    t.set(0x0003, 0x13, 1);
}

}  // namespace

std::vector<RuleCase> structureCases() {
    return {
        {"structure.length-below-minimum", "type 32 of 0Ah", nullptr, [](CaseTable &t) { shorten(t, 0x0020, 0x0A); }},
        {"structure.length-below-minimum", "chassis elements past the length", nullptr,
         [](CaseTable &t) { t.set(0x0003, 0x13, 2); }},
        {"structure.length-of-older-version", "3.3 table with a 2.8 memory device", smbios33,
         [](CaseTable &t) { shorten(t, 0x0011, 0x28); }},
        {"structure.length-of-older-version", "2.7 chassis without its SKU", smbios27WithElement,
         [](CaseTable &t) { shorten(t, 0x0003, 0x18); }},
        // In a bare table, which has no entry point to fault.
        {"structure.string-number-past-last", "manufacturer string 7 of 6 in a bare table",
         [](CaseTable &t) { t.entryPoint = smbios::EntryPointKind::None; },
         [](CaseTable &t) { t.set(0x0001, 0x04, 7); }},
        {"structure.string-unprintable", "a bell in the manufacturer", nullptr,
         [](CaseTable &t) { t.set(0x0001, 0x1B + 4, 0x07); }},
        {"structure.string-unprintable", "3.5 UTF-8 cut short",
         [](CaseTable &t) {
             smbios35(t);
             t.set(0x0001, 0x1B + 4, 0xC3);  // "Tarnu-umlaut-ck"
             t.set(0x0001, 0x1B + 5, 0xBC);
         },
         [](CaseTable &t) { t.set(0x0001, 0x1B + 5, 'x'); }},
    };
}

}  // namespace tarnwick_test
