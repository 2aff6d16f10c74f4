// The clean table every rule case starts from, and the table builder.
#include "tests/check/CheckCases.h"

#include <gtest/gtest.h>

#include "smbios/format/SmbiosFormat.h"
#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

namespace fmt = smbios::format;

void put(Bytes &bytes, std::size_t offset, uint64_t value, std::size_t width) {
    if (bytes.size() < offset + width) {
        bytes.resize(offset + width, 0);
    }
    fmt::writeLe(bytes.data() + offset, value, width);
}

// The formatted bytes after the header, `length` in all, from (offset, value,
// width) triples.
struct Layout {
    explicit Layout(std::size_t length) : bytes(length - 4, 0) {}
    Layout &operator()(std::size_t offset, uint64_t value, std::size_t width = 1) {
        put(bytes, offset - 4, value, width);
        return *this;
    }
    Bytes bytes;
};

}  // namespace

Bytes &CaseTable::at(uint16_t handle) {
    for (Bytes &structure : structures) {
        if (structure.size() >= 4 && fmt::readLe(&structure[2], 2) == handle) {
            return structure;
        }
    }
    ADD_FAILURE() << "the case table has no structure " << handle;
    static Bytes none;
    return none;
}

void CaseTable::set(uint16_t handle, std::size_t offset, uint64_t value, std::size_t width) {
    Bytes &structure = at(handle);
    if (offset + width <= structure.size()) {
        fmt::writeLe(structure.data() + offset, value, width);
    } else {
        ADD_FAILURE() << "offset " << offset << " lies outside structure " << handle;
    }
}

smbios::SmbiosTableBytes CaseTable::source() const {
    smbios::SmbiosTableBytes made;
    for (const Bytes &structure : structures) {
        made.table.insert(made.table.end(), structure.begin(), structure.end());
    }
    made.table.insert(made.table.end(), trailing.begin(), trailing.end());
    switch (entryPoint) {
    case smbios::EntryPointKind::Smbios3:
        made.entryPoint = fmt::makeEntryPoint3(made.table.size(), 0x10000, major, minor);
        break;
    case smbios::EntryPointKind::Smbios2:
        made.entryPoint = fmt::makeEntryPoint2(fmt::surveyTable(made.table), made.table.size(), 0x10000, major, minor);
        break;
    case smbios::EntryPointKind::RawSmbiosData:
        made.entryPoint = fmt::buildRawSmbiosData(major, minor, {});
        fmt::writeLe(&made.entryPoint[4], made.table.size(), 4);
        break;
    case smbios::EntryPointKind::None:
        break;
    }
    if (patch != nullptr) {
        patch(made);
    }
    return made;
}

CaseTable cleanTable() {
    CaseTable table;
    // Firmware: 1 MiB at E800h, PCI, flash, boots from CD; ACPI, USB legacy,
    // UEFI; release 1.0, no embedded controller.
    table.structures.push_back(
        structure(0, 0x0000,
                  Layout(0x18)(0x04, 1)(0x05, 2)(0x06, 0xE800, 2)(0x08, 3)(0x09, 0x0F)(0x0A, 0x8880, 8)(0x12, 0x03)(
                      0x13, 0x08)(0x14, 1)(0x15, 0)(0x16, 0xFF)(0x17, 0xFF)
                      .bytes,
                  {"Tarnwick Firmware", "1.0.0", "12/10/2026"}));
    table.structures.push_back(
        structure(1, 0x0001,
                  Layout(0x1B)(0x04, 1)(0x05, 2)(0x06, 3)(0x07, 4)(0x08, 0x4A3B2C1D, 4)(0x0C, 0x5E4F, 2)(
                      0x0E, 0x6071, 2)(0x10, 0x8293A4B5C6D7E8F9ULL, 8)(0x18, 0x06)(0x19, 5)(0x1A, 6)
                      .bytes,
                  {"Tarnwick", "TW-100", "A1", "TW100-0001", "TW100-SKU", "TW"}));
    // A rack mount chassis, 1U, without contained elements; its SKU is string 5.
    table.structures.push_back(structure(3, 0x0003,
                                         Layout(0x16)(0x04, 1)(0x05, 0x17)(0x06, 2)(0x07, 3)(0x08, 4)(0x09, 3)(0x0A, 3)(
                                             0x0B, 3)(0x0C, 3)(0x11, 1)(0x12, 1)(0x13, 0)(0x14, 3)(0x15, 5)
                                             .bytes,
                                         {"Tarnwick", "A1", "CH-0001", "ASSET-0001", "CH-SKU"}));
    // A 64 KiB unified L1 cache, write-back, 8-way, multi-bit ECC.
    table.structures.push_back(
        structure(7, 0x0007,
                  Layout(0x13)(0x04, 1)(0x05, 0x0180, 2)(0x07, 0x0040, 2)(0x09, 0x0040, 2)(0x0B, 0x0020, 2)(
                      0x0D, 0x0020, 2)(0x0F, 0)(0x10, 0x06)(0x11, 0x05)(0x12, 0x07)
                      .bytes,
                  {"L1 Cache"}));
    // A populated, enabled Xeon of 4 cores and 8 threads.
    table.structures.push_back(
        structure(4, 0x0004,
                  Layout(0x30)(0x04, 1)(0x05, 3)(0x06, 0xB3)(0x07, 2)(0x08, 0xBFEBFBFF000506E3ULL, 8)(0x10, 3)(
                      0x11, 0x8B)(0x12, 100, 2)(0x14, 3600, 2)(0x16, 3000, 2)(0x18, 0x41)(0x19, 0x01)(0x1A, 0x0007, 2)(
                      0x1C, 0xFFFF, 2)(0x1E, 0xFFFF, 2)(0x20, 4)(0x21, 5)(0x22, 6)(0x23, 4)(0x24, 4)(0x25, 8)(
                      0x26, 0x00FC, 2)(0x28, 0x00B3, 2)(0x2A, 4, 2)(0x2C, 4, 2)(0x2E, 8, 2)
                      .bytes,
                  {"CPU0", "Intel(R) Corporation", "Intel(R) Xeon(R) CPU E3-1230 v5", "CPU-SN-0001", "CPU-AT-0001",
                   "CPU-PN-0001"}));
    // A PCI Express x8 slot, available, long, 3.3 V, with PME.
    table.structures.push_back(structure(9, 0x0009,
                                         Layout(0x11)(0x04, 1)(0x05, 0xA5)(0x06, 0x0A)(0x07, 3)(0x08, 4)(0x09, 1, 2)(
                                             0x0B, 0x04)(0x0C, 0x01)(0x0D, 0, 2)(0x0F, 0)(0x10, 0x08)
                                             .bytes,
                                         {"PCIe Slot 1"}));
    // 16 GiB of system memory on the board, no ECC, one device.
    table.structures.push_back(structure(
        16, 0x0010,
        Layout(0x17)(0x04, 3)(0x05, 3)(0x06, 3)(0x07, 0x01000000, 4)(0x0B, 0xFFFE, 2)(0x0D, 1, 2)(0x0F, 0, 8).bytes));
    // An 8 GiB DDR4 DIMM of one rank at 2400 MT/s and 1.2 V in that array.
    table.structures.push_back(
        structure(17, 0x0011,
                  Layout(0x28)(0x04, 0x0010, 2)(0x06, 0xFFFE, 2)(0x08, 64, 2)(0x0A, 64, 2)(0x0C, 0x2000, 2)(0x0E, 0x09)(
                      0x0F, 0)(0x10, 1)(0x11, 2)(0x12, 0x1A)(0x13, 0x0080, 2)(0x15, 2400, 2)(0x17, 3)(0x18, 4)(0x19, 5)(
                      0x1A, 6)(0x1B, 0x01)(0x1C, 0, 4)(0x20, 2400, 2)(0x22, 1200, 2)(0x24, 1200, 2)(0x26, 1200, 2)
                      .bytes,
                  {"DIMM 0", "BANK 0", "Samsung", "3A1B5C7D", "DIMM-AT-0", "M393A1G40EB1-CRC"}));
    // Those 8 GiB mapped from address 0.
    table.structures.push_back(structure(
        19, 0x0013,
        Layout(0x1F)(0x04, 0, 4)(0x08, 0x007FFFFF, 4)(0x0C, 0x0010, 2)(0x0E, 1)(0x0F, 0, 8)(0x17, 0, 8).bytes));
    // No errors detected at boot.
    table.structures.push_back(structure(32, 0x0020, Layout(0x0B)(0x0A, 0).bytes));
    table.structures.push_back(endOfTable(0x0021));
    return table;
}

void addDeviceRange(CaseTable &table) {
    table.structures.insert(
        table.structures.end() - 1,
        structure(20, 0x0014, Layout(0x23)(0x08, 0x007FFFFF, 4)(0x0C, 0x0011, 2)(0x0E, 0x0013, 2)(0x10, 1).bytes));
}

}  // namespace tarnwick_test
