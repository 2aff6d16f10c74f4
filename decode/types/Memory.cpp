// Decoders of the memory structures: types 5, 6, 16 to 20, 33 and 37.
#include <string>
#include <vector>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

// The names of the bits set; null names are bits the standard reserves,
// left out of the list.
std::vector<std::string> bitNames(uint64_t bits, const NameTable &names) {
    std::vector<std::string> out;
    for (unsigned bit = 0; bit < names.count && bit < 64; ++bit) {
        const char *name = names.find(bit);
        if (name && ((bits >> bit) & 1U) != 0) {
            out.emplace_back(name);
        }
    }
    return out;
}

std::string joined(const std::vector<std::string> &items, const char *none) {
    if (items.empty()) {
        return none;
    }
    std::string text;
    for (const std::string &item : items) {
        if (!text.empty()) {
            text += ' ';
        }
        text += item;
    }
    return text;
}

// A bit set dmidecode shows on one line, its names separated by spaces. The
// text renderer shows a field's items on lines of their own, so the names
// stay in the text and the bits in `number` until it can show them inline.
// `none` shows when no named bit is set, or with `counted` given, when none
// of its bits is: dmidecode then shows nothing for reserved bits alone.
Field &lineFlags(Fields &fields, std::string name, uint64_t bits, const NameTable &names, const char *none = "None",
                 uint64_t counted = 0) {
    std::vector<std::string> items = bitNames(bits, names);
    bool any = counted != 0 ? (bits & counted) != 0 : !items.empty();
    std::string text = any ? joined(items, "") : none;
    Field &field = fields.text(std::move(name), std::move(text));
    if (!field.text.empty()) {
        field.kind = Kind::Flags;
        field.items = std::move(items);
    }
    field.number = bits;
    field.reservedBits = unnamedBits(bits, names);
    return field;
}

// The extended size of type 17, in MB: dmidecode shows it in the largest
// unit that divides it, from MB to TB.
std::string extendedSize(uint32_t megabytes, Dialect dialect) {
    if ((megabytes & 0x3FFU) != 0) {
        return format("%u %s", megabytes, unitName(2, dialect));
    }
    if ((megabytes & 0xFFC00U) != 0) {
        return format("%u %s", megabytes >> 10, unitName(3, dialect));
    }
    return format("%u %s", megabytes >> 20, unitName(4, dialect));
}

Field &sizeField(Fields &fields, std::string name, uint64_t value, unsigned shift) {
    static const char *const kUnitNames[] = {"bytes", "kB", "MB"};
    return fields.integer(std::move(name), value, kUnitNames[shift], sizeText(value, shift, fields.dialect()));
}

// A handle of an error structure, or the two values the standard gives
// for none.
Field &errorHandle(Fields &fields, std::string name, uint16_t handle) {
    Field &field = fields.handle(std::move(name), handle);
    if (handle == 0xFFFE || handle == 0xFFFF) {
        field.text = handle == 0xFFFE ? "Not Provided" : "No Error";
        field.known = false;
    }
    return field;
}

// An enumeration whose name for `at` a release reworded: `names` holds
// the original words there, as `words` does.
Field &enumeration(Fields &fields, Label name, unsigned value, const NameTable &names, unsigned at,
                   const Reworded &words) {
    Field &field = fields.enumeration(std::move(name), value, names);
    if (value == at && field.known) {
        field.text = fields.say(words);
    }
    return field;
}

const char *const kMemoryTypeBits[] = {"Other", "Unknown", "Standard", "FPM",       "EDO",  "Parity",
                                       "ECC",   "SIMM",    "DIMM",     "Burst EDO", "SDRAM"};

const char *const kErrorCorrectionBits[] = {
    "Other", "Unknown", "None", "Single-bit Error Correcting", "Double-bit Error Correcting", "Error Scrubbing"};

Field &listFlags(Fields &fields, std::string name, uint64_t bits, const NameTable &names, const char *none = "None") {
    Field &field = fields.flags(std::move(name), bitNames(bits, names), none);
    field.number = bits;
    field.reservedBits = unnamedBits(bits, names);
    return field;
}

Field &correctingFlags(Fields &fields, std::string name, uint8_t bits) {
    return listFlags(fields, std::move(name), bits, nameTable(0, kErrorCorrectionBits));
}

// 2^power as dmidecode shows it: the power taken modulo 32, the result of
// a 32-bit shift on the machines it runs on. Powers from 32 on are beyond
// any module and a fault of the firmware's; this keeps them defined.
uint32_t powerOfTwo(unsigned power) {
    return uint32_t{1} << (power % 32);
}

// A module's size code of type 6: a power of two of MB, or the three values
// the standard gives for what is not a size.
Field &moduleSize(Fields &fields, std::string name, uint8_t code) {
    unsigned power = code & 0x7FU;
    const char *bank = (code & 0x80U) != 0 ? "Double-bank" : "Single-bank";
    if (power == 0x7D) {
        return fields.enumerated(std::move(name), code, format("Not Determinable (%s Connection)", bank), false);
    }
    if (power == 0x7E) {
        return fields.enumerated(std::move(name), code, format("Disabled (%s Connection)", bank), false);
    }
    if (power == 0x7F) {
        return fields.enumerated(std::move(name), code, "Not Installed", false);
    }
    uint64_t megabytes = powerOfTwo(power);
    return fields.integer(std::move(name), megabytes, "MB",
                          format("%llu %s (%s Connection)", static_cast<unsigned long long>(megabytes),
                                 unitName(2, fields.dialect()), bank));
}

// An address of type 19 or 20 in kB, shown in bytes: the start's first byte
// or the end's last.
std::string kilobyteAddress(uint32_t kilobytes, bool end) {
    uint64_t bytes = (uint64_t{kilobytes} << 10) + (end ? 0x3FFU : 0U);
    return format("0x%08X%03X", static_cast<unsigned>(bytes >> 12), static_cast<unsigned>(bytes & 0xFFF));
}

// dmidecode up to 3.6 ends an extended address with a stray unit letter.
constexpr Reworded kExtendedAddressEnd{"k", Dialect::Dmidecode37, ""};

std::string extendedAddress(uint64_t bytes, const Fields &fields) {
    return format("0x%08X%08X%s", static_cast<unsigned>(bytes >> 32), static_cast<unsigned>(bytes & 0xFFFFFFFF),
                  fields.say(kExtendedAddressEnd));
}

std::string byteAddress(uint64_t bytes) {
    return format("0x%08X%08X", static_cast<unsigned>(bytes >> 32), static_cast<unsigned>(bytes & 0xFFFFFFFF));
}

// The address range of types 19 and 20, from `offset`, with the extended
// addresses at `extended` used when the 32-bit start says so.
void addressRange(const StructureView &view, Fields &fields, std::size_t offset, std::size_t extended) {
    uint32_t start = view.u32(offset);
    uint32_t end = view.u32(offset + 4);
    if (start == 0xFFFFFFFF && view.has(extended, 16)) {
        uint64_t startBytes = view.u64(extended);
        uint64_t endBytes = view.u64(extended + 8);
        fields.integer("Starting Address", startBytes, "bytes", extendedAddress(startBytes, fields));
        fields.integer("Ending Address", endBytes, "bytes", extendedAddress(endBytes, fields));
        // dmidecode takes a range of one byte for none, and counts an end
        // below the start modulo 2^64.
        if (endBytes == startBytes) {
            fields.text("Range Size", "Invalid");
        } else {
            sizeField(fields, "Range Size", endBytes - startBytes + 1, 0);
        }
        return;
    }
    fields.integer("Starting Address", uint64_t{start} << 10, "bytes", kilobyteAddress(start, false));
    fields.integer("Ending Address", (uint64_t{end} << 10) + 0x3FF, "bytes", kilobyteAddress(end, true));
    // In 32 bits, as dmidecode counts: an end below the start wraps round,
    // and a count of 0 is no range.
    uint32_t kilobytes = end - start + 1;
    if (kilobytes == 0) {
        fields.text("Range Size", "Invalid");
    } else {
        sizeField(fields, "Range Size", kilobytes, 1);
    }
}

// The fields 18 and 33 share, with the addresses `wide` bytes wide.
void memoryError(const StructureView &view, Fields &fields, std::size_t wide) {
    static const char *const kTypes[] = {"Other",
                                         "Unknown",
                                         "OK",
                                         "Bad Read",
                                         "Parity Error",
                                         "Single-bit Error",
                                         "Double-bit Error",
                                         "Multi-bit Error",
                                         "Nibble Error",
                                         "Checksum Error",
                                         "CRC Error",
                                         "Corrected Single-bit Error",
                                         "Corrected Error",
                                         "Uncorrectable Error"};
    static const char *const kGranularities[] = {"Other", "Unknown", "Device Level", "Memory Partition Level"};
    static const char *const kOperations[] = {"Other", "Unknown", "Read", "Write", "Partial Write"};
    fields.enumeration("Type", view.u8(0x04), nameTable(1, kTypes));
    fields.enumeration("Granularity", view.u8(0x05), nameTable(1, kGranularities));
    fields.enumeration("Operation", view.u8(0x06), nameTable(1, kOperations));
    uint32_t syndrome = view.u32(0x07);
    Field &vendor =
        fields.integer("Vendor Syndrome", syndrome, {}, syndrome == 0 ? "Unknown" : format("0x%08X", syndrome));
    vendor.known = syndrome != 0;
    std::size_t at = 0x0B;
    const char *names[] = {"Memory Array Address", "Device Address"};
    for (const char *name : names) {
        if (wide == 4) {
            uint32_t address = view.u32(at);
            Field &field =
                fields.integer(name, address, "bytes", address == 0x80000000U ? "Unknown" : format("0x%08X", address));
            field.known = address != 0x80000000U;
        } else {
            uint64_t address = view.u64(at);
            Field &field = fields.integer(name, address, "bytes",
                                          address == 0x8000000000000000ULL ? "Unknown" : byteAddress(address));
            field.known = address != 0x8000000000000000ULL;
        }
        at += wide;
    }
    uint32_t resolution = view.u32(at);
    Field &field = fields.integer("Resolution", resolution, "bytes",
                                  resolution == 0x80000000U ? "Unknown" : format("0x%08X", resolution));
    field.known = resolution != 0x80000000U;
}

std::string voltage(uint16_t millivolts) {
    if (millivolts % 100 == 0) {
        return format("%.1f V", millivolts / 1000.0);
    }
    return format("%g V", millivolts / 1000.0);
}

Field &voltageField(Fields &fields, std::string name, uint16_t millivolts) {
    Field &field = fields.integer(std::move(name), millivolts, "mV", millivolts == 0 ? "Unknown" : voltage(millivolts));
    field.known = millivolts != 0;
    return field;
}

Field &speedField(Fields &fields, std::string name, uint32_t speed) {
    Field &field = fields.integer(std::move(name), speed, "MT/s", speed == 0 ? "Unknown" : format("%u MT/s", speed));
    field.known = speed != 0;
    return field;
}

// A speed of type 17: FFFFh sends to the extended speed at `extended`,
// which dmidecode reads only from structures holding both extended speeds;
// 0 stands for unknown.
uint32_t deviceSpeed(const StructureView &view, uint16_t speed, std::size_t extended) {
    if (speed != 0xFFFF) {
        return speed;
    }
    return view.has(0x54, 8) ? view.u32(extended) : 0;
}

// A width of type 17: FFFFh is unknown, and dmidecode takes 0 for unknown
// too unless told to show it without quirks.
Field &widthField(Fields &fields, std::string name, uint16_t width, bool quirks) {
    bool known = width != 0xFFFF && (width != 0 || !quirks);
    Field &field = fields.integer(std::move(name), width, "bits", known ? format("%u bits", width) : "Unknown");
    field.known = known;
    return field;
}

// A JEDEC manufacturer: the bank (count of continuation codes plus one)
// in the low byte, the code in the high one.
Field &manufacturerId(Fields &fields, std::string name, uint16_t id) {
    Field &field = fields.integer(std::move(name), id, {},
                                  id == 0 ? "Unknown" : format("Bank %u, Hex 0x%02X", (id & 0x7FU) + 1, id >> 8));
    field.known = id != 0;
    return field;
}

Field &productId(Fields &fields, std::string name, uint16_t id) {
    Field &field = fields.integer(std::move(name), id, {}, id == 0 ? "Unknown" : format("0x%04X", id));
    field.known = id != 0;
    return field;
}

// The revision of a module's power management IC or registering clock
// driver (`part`), from its SPD; FF00h where it is unknown. Of DDR5 and
// LPDDR5 modules dmidecode reads the SPD's two bytes as they are there: the
// high one's bit 7 set for a device installed and its low nibble the
// device's type, the low one the revision, major and minor in its nibbles.
void deviceRevision(Fields &fields, const char *part, uint16_t revision, bool spdBytes) {
    if (revision == 0xFF00 || !spdBytes) {
        Field &field = fields.integer(format("%s Revision Number", part), revision, {},
                                      revision == 0xFF00 ? "Unknown" : format("0x%04x", revision));
        field.known = revision != 0xFF00;
        return;
    }
    bool installed = (revision & 0x8000U) != 0;
    unsigned type = (revision >> 8) & 0x0FU;
    Field &typeField =
        fields.integer(format("%s Device Type", part), type, {}, installed ? format("%u", type) : "Not Installed");
    typeField.known = installed;
    if (installed) {
        unsigned low = revision & 0xFFU;
        fields.integer(format("%s Device Revision", part), low, {}, format("%u.%u", low >> 4, low & 0x0FU));
    }
}

Field &partSize(Fields &fields, std::string name, uint64_t bytes) {
    if (bytes == 0) {
        return fields.integer(std::move(name), 0, "bytes", "None");
    }
    if (bytes == ~uint64_t{0}) {
        Field &field = fields.integer(std::move(name), bytes, "bytes", "Unknown");
        field.known = false;
        return field;
    }
    return sizeField(fields, std::move(name), bytes, 0);
}

}  // namespace

void decodeMemoryController(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x0F)) {
        return;
    }
    static const char *const kDetecting[] = {"Other",      "Unknown",    "None",        "8-bit Parity",
                                             "32-bit ECC", "64-bit ECC", "128-bit ECC", "CRC"};
    static const char *const kInterleaves[] = {"Other",
                                               "Unknown",
                                               "One-way Interleave",
                                               "Two-way Interleave",
                                               "Four-way Interleave",
                                               "Eight-way Interleave",
                                               "Sixteen-way Interleave"};
    static const char *const kSpeeds[] = {"Other", "Unknown", "70 ns", "60 ns", "50 ns"};
    static const char *const kVoltages[] = {"5.0 V", "3.3 V", "2.9 V"};
    fields.enumeration("Error Detecting Method", view.u8(0x04), nameTable(1, kDetecting));
    correctingFlags(fields, "Error Correcting Capabilities", view.u8(0x05));
    fields.enumeration("Supported Interleave", view.u8(0x06), nameTable(1, kInterleaves));
    fields.enumeration("Current Interleave", view.u8(0x07), nameTable(1, kInterleaves));
    uint32_t moduleMegabytes = powerOfTwo(view.u8(0x08));
    const char *megabytes = unitName(2, fields.dialect());
    fields.integer("Maximum Memory Module Size", moduleMegabytes, "MB", format("%u %s", moduleMegabytes, megabytes));
    unsigned slots = view.u8(0x0E);
    // In 32 bits, as dmidecode multiplies: only faulty sizes overflow.
    uint32_t totalMegabytes = moduleMegabytes * slots;
    fields.integer("Maximum Total Memory Size", totalMegabytes, "MB", format("%u %s", totalMegabytes, megabytes));
    listFlags(fields, "Supported Speeds", view.u16(0x09), nameTable(0, kSpeeds));
    listFlags(fields, "Supported Memory Types", view.u16(0x0B), nameTable(0, kMemoryTypeBits));
    uint8_t voltages = view.u8(0x0D);
    if ((voltages & 0x80U) != 0) {
        // The standard reserves bit 7; dmidecode reads it as the processor's
        // flag of a voltage given in tenths of a volt in the other bits.
        unsigned tenths = voltages & 0x7FU;
        Field &field = fields.integer("Memory Module Voltage", uint64_t{tenths} * 100, "mV",
                                      format("%u.%u V", tenths / 10, tenths % 10));
        field.known = false;
    } else {
        lineFlags(fields, "Memory Module Voltage", voltages, nameTable(0, kVoltages), "Unknown");
    }
    if (!view.has(0x0F, 2 * std::size_t{slots})) {
        return;
    }
    // The one list of handles that dmidecode's -q keeps.
    fields.handleList("Associated Memory Slots", view, 0x0F, slots, Shown::Always);
    std::size_t enabled = 0x0F + 2 * std::size_t{slots};
    if (view.has(enabled)) {
        correctingFlags(fields, "Enabled Error Correcting Capabilities", view.u8(enabled));
    }
}

void decodeMemoryModule(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x0C)) {
        return;
    }
    fields.string("Socket Designation", view, 0x04);
    uint8_t banks = view.u8(0x05);
    std::vector<std::string> connected;
    for (unsigned nibble : {unsigned{banks} >> 4U, unsigned{banks} & 0x0FU}) {
        if (nibble != 0x0F) {
            connected.push_back(format("%u", nibble));
        }
    }
    Field &bankField = fields.text("Bank Connections", joined(connected, "None"));
    bankField.number = banks;
    uint8_t speed = view.u8(0x06);
    Field &speedText = fields.integer("Current Speed", speed, "ns", speed == 0 ? "Unknown" : format("%u ns", speed));
    speedText.known = speed != 0;
    lineFlags(fields, "Type", view.u16(0x07), nameTable(0, kMemoryTypeBits));
    moduleSize(fields, "Installed Size", view.u8(0x09));
    moduleSize(fields, "Enabled Size", view.u8(0x0A));
    uint8_t status = view.u8(0x0B);
    std::string statusText;
    if ((status & 0x04U) != 0) {
        statusText = "See Event Log";
    } else if ((status & 0x03U) == 0) {
        statusText = "OK";
    } else if ((status & 0x03U) == 0x03U) {
        statusText = "Correctable and Uncorrectable Errors";
    } else if ((status & 0x01U) != 0) {
        statusText = "Uncorrectable Errors";
    } else {
        statusText = "Correctable Errors";
    }
    Field &statusField = fields.text("Error Status", statusText);
    statusField.number = status;
}

void decodePhysicalMemoryArray(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x0F)) {
        return;
    }
    static const char *const kLocations[] = {"Other",
                                             "Unknown",
                                             "System Board Or Motherboard",
                                             "ISA Add-on Card",
                                             "EISA Add-on Card",
                                             "PCI Add-on Card",
                                             "MCA Add-on Card",
                                             "PCMCIA Add-on Card",
                                             "Proprietary Add-on Card",
                                             "NuBus"};
    static constexpr Reworded kCxl{"CXL Flexbus 1.0", Dialect::Dmidecode36, "CXL Add-on Card"};
    static const char *const kPc98[] = {"PC-98/C20 Add-on Card", "PC-98/C24 Add-on Card", "PC-98/E Add-on Card",
                                        "PC-98/Local Bus Add-on Card", kCxl.original};
    static const char *const kUses[] = {"Other",        "Unknown",          "System Memory", "Video Memory",
                                        "Flash Memory", "Non-volatile RAM", "Cache Memory"};
    static const char *const kCorrections[] = {"Other",          "Unknown",       "None", "Parity",
                                               "Single-bit ECC", "Multi-bit ECC", "CRC"};
    uint8_t location = view.u8(0x04);
    if (location >= 0xA0) {
        enumeration(fields, "Location", location, nameTable(0xA0, kPc98), 0xA4, kCxl);
    } else {
        fields.enumeration("Location", location, nameTable(1, kLocations));
    }
    fields.enumeration("Use", view.u8(0x05), nameTable(1, kUses));
    fields.enumeration("Error Correction Type", view.u8(0x06), nameTable(1, kCorrections));
    uint32_t capacity = view.u32(0x07);
    if (capacity == 0x80000000U && view.has(0x0F, 8)) {
        sizeField(fields, "Maximum Capacity", view.u64(0x0F), 0);
    } else if (capacity == 0x80000000U) {
        Field &field = fields.integer("Maximum Capacity", capacity, "kB", "Unknown");
        field.known = false;
    } else {
        sizeField(fields, "Maximum Capacity", capacity, 1);
    }
    errorHandle(fields, "Error Information Handle", view.u16(0x0B));
    uint16_t devices = view.u16(0x0D);
    fields.integer("Number Of Devices", devices, {}, format("%u", devices));
}

void decodeMemoryDevice(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x15)) {
        return;
    }
    static const char *const kFormFactors[] = {
        "Other",        "Unknown", "SIMM",   "SIP",   "Chip",    "DIP", "ZIP",  "Proprietary Card", "DIMM",   "TSOP",
        "Row Of Chips", "RIMM",    "SODIMM", "SRIMM", "FB-DIMM", "Die", "CAMM", "CUDIMM",           "CSODIMM"};
    static const char *const kTypes[] = {"Other",
                                         "Unknown",
                                         "DRAM",
                                         "EDRAM",
                                         "VRAM",
                                         "SRAM",
                                         "RAM",
                                         "ROM",
                                         "Flash",
                                         "EEPROM",
                                         "FEPROM",
                                         "EPROM",
                                         "CDRAM",
                                         "3DRAM",
                                         "SDRAM",
                                         "SGRAM",
                                         "RDRAM",
                                         "DDR",
                                         "DDR2",
                                         "DDR2 FB-DIMM",
                                         "Reserved",
                                         "Reserved",
                                         "Reserved",
                                         "DDR3",
                                         "FBD2",
                                         "DDR4",
                                         "LPDDR",
                                         "LPDDR2",
                                         "LPDDR3",
                                         "LPDDR4",
                                         "Logical non-volatile device",
                                         "HBM",
                                         "HBM2",
                                         "DDR5",
                                         "LPDDR5",
                                         "HBM3",
                                         "MRDIMM"};
    static const char *const kDetails[] = {nullptr,
                                           "Other",
                                           "Unknown",
                                           "Fast-paged",
                                           "Static Column",
                                           "Pseudo-static",
                                           "RAMBus",
                                           "Synchronous",
                                           "CMOS",
                                           "EDO",
                                           "Window DRAM",
                                           "Cache DRAM",
                                           "Non-Volatile",
                                           "Registered (Buffered)",
                                           "Unbuffered (Unregistered)",
                                           "LRDIMM"};
    static constexpr Reworded kOptane{"Intel Optane DC persistent memory", Dialect::Dmidecode37,
                                      "Intel Optane persistent memory"};
    static const char *const kTechnologies[] = {"Other",    "Unknown",  "DRAM",           "NVDIMM-N",
                                                "NVDIMM-F", "NVDIMM-P", kOptane.original, "MRDIMM"};
    static const char *const kModes[] = {nullptr,
                                         "Other",
                                         "Unknown",
                                         "Volatile memory",
                                         "Byte-accessible persistent memory",
                                         "Block-accessible persistent memory"};
    fields.handle("Array Handle", view.u16(0x04));
    errorHandle(fields, "Error Information Handle", view.u16(0x06));
    widthField(fields, "Total Width", view.u16(0x08), view.quirks());
    widthField(fields, "Data Width", view.u16(0x0A), view.quirks());
    uint16_t size = view.u16(0x0C);
    if (size == 0) {
        fields.integer("Size", 0, "MB", "No Module Installed");
    } else if (size == 0xFFFF) {
        Field &field = fields.integer("Size", size, "MB", "Unknown");
        field.known = false;
    } else if (size == 0x7FFF && view.has(0x1C, 4)) {
        uint32_t megabytes = view.u32(0x1C) & 0x7FFFFFFFU;
        fields.integer("Size", megabytes, "MB", extendedSize(megabytes, fields.dialect()));
    } else if ((size & 0x8000U) != 0) {
        sizeField(fields, "Size", size & 0x7FFFU, 1);
    } else {
        sizeField(fields, "Size", size, 2);
    }
    fields.enumeration("Form Factor", view.u8(0x0E), nameTable(1, kFormFactors, 16, 16));
    uint8_t set = view.u8(0x0F);
    Field &setField = fields.integer("Set", set, {}, set == 0 ? "None" : set == 0xFF ? "Unknown" : format("%u", set));
    setField.known = set != 0xFF;
    fields.string("Locator", view, 0x10);
    fields.string("Bank Locator", view, 0x11);
    uint8_t type = view.u8(0x12);
    Field &typeField = fields.enumeration("Type", type, nameTable(1, kTypes, 35, 36));
    if (type >= 0x15 && type <= 0x17) {
        typeField.known = false;  // named, but reserved
    }
    lineFlags(fields, "Type Detail", view.u16(0x13), nameTable(0, kDetails));
    // dmidecode shows no more of an empty slot, unless told to show it
    // without quirks.
    if (size == 0 && view.quirks()) {
        return;
    }
    if (!view.has(0x15, 2)) {
        return;
    }
    uint16_t speed = view.u16(0x15);
    speedField(fields, "Speed", deviceSpeed(view, speed, 0x54));
    // dmidecode shows the strings version 2.3 added only when the structure
    // holds all four.
    if (!view.has(0x17, 4)) {
        return;
    }
    fields.string("Manufacturer", view, 0x17);
    fields.string("Serial Number", view, 0x18);
    fields.string("Asset Tag", view, 0x19);
    fields.string("Part Number", view, 0x1A);
    if (!view.has(0x1B)) {
        return;
    }
    unsigned rank = view.u8(0x1B) & 0x0FU;
    Field &rankField = fields.integer("Rank", rank, {}, rank == 0 ? "Unknown" : format("%u", rank));
    rankField.known = rank != 0;
    if (!view.has(0x20, 2)) {
        return;
    }
    uint16_t configured = view.u16(0x20);
    speedField(fields, "Configured Memory Speed", deviceSpeed(view, configured, 0x58));
    // Likewise the voltages of 2.8 and the fields of 3.2 up to the
    // controller's product ID.
    if (!view.has(0x22, 6)) {
        return;
    }
    voltageField(fields, "Minimum Voltage", view.u16(0x22));
    voltageField(fields, "Maximum Voltage", view.u16(0x24));
    voltageField(fields, "Configured Voltage", view.u16(0x26));
    if (!view.has(0x28, 12)) {
        return;
    }
    enumeration(fields, "Memory Technology", view.u8(0x28), nameTable(1, kTechnologies, 7, 7), 7, kOptane);
    lineFlags(fields, "Memory Operating Mode Capability", view.u16(0x29), nameTable(0, kModes), "None", 0xFFFE);
    fields.string("Firmware Version", view, 0x2B);
    manufacturerId(fields, "Module Manufacturer ID", view.u16(0x2C));
    productId(fields, "Module Product ID", view.u16(0x2E));
    manufacturerId(fields, "Memory Subsystem Controller Manufacturer ID", view.u16(0x30));
    productId(fields, "Memory Subsystem Controller Product ID", view.u16(0x32));
    const char *parts[] = {"Non-Volatile Size", "Volatile Size", "Cache Size", "Logical Size"};
    std::size_t at = 0x34;
    for (const char *part : parts) {
        if (!view.has(at, 8)) {
            return;
        }
        partSize(fields, part, view.u64(at));
        at += 8;
    }
    // SMBIOS 3.7 added the IDs of the power management IC and the
    // registering clock driver from the module's SPD. dmidecode 3.4 does
    // not know them; 3.6 and later show them whatever version the table
    // claims, when the structure holds all four.
    if (view.wordsOf(Dialect::Dmidecode36) && view.has(0x5C, 8)) {
        manufacturerId(fields, "PMIC0 Manufacturer ID", view.u16(0x5C));
        bool spdBytes = type == 0x22 || type == 0x23;  // DDR5, LPDDR5
        deviceRevision(fields, "PMIC0", view.u16(0x5E), spdBytes);
        manufacturerId(fields, "RCD Manufacturer ID", view.u16(0x60));
        deviceRevision(fields, "RCD", view.u16(0x62), spdBytes);
    }
}

void decodeMemoryError32(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x17)) {
        return;
    }
    memoryError(view, fields, 4);
}

void decodeMemoryArrayMappedAddress(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x0F)) {
        return;
    }
    addressRange(view, fields, 0x04, 0x0F);
    fields.handle("Physical Array Handle", view.u16(0x0C));
    uint8_t width = view.u8(0x0E);
    fields.integer("Partition Width", width, {}, format("%u", width));
}

void decodeMemoryDeviceMappedAddress(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x13)) {
        return;
    }
    addressRange(view, fields, 0x04, 0x13);
    fields.handle("Physical Device Handle", view.u16(0x0C));
    fields.handle("Memory Array Mapped Address Handle", view.u16(0x0E));
    uint8_t row = view.u8(0x10);
    Field &rowField = fields.integer("Partition Row Position", row, {},
                                     row == 0xFF ? "Unknown"
                                     : row == 0  ? kOutOfRange
                                                 : format("%u", row));
    rowField.known = row != 0xFF && row != 0;
    // 0 is the standard's "not interleaved": dmidecode leaves the line out.
    uint8_t position = view.u8(0x11);
    if (position != 0) {
        Field &positionField =
            fields.integer("Interleave Position", position, {}, position == 0xFF ? "Unknown" : format("%u", position));
        positionField.known = position != 0xFF;
    }
    uint8_t depth = view.u8(0x12);
    if (depth != 0) {
        Field &depthField =
            fields.integer("Interleaved Data Depth", depth, {}, depth == 0xFF ? "Unknown" : format("%u", depth));
        depthField.known = depth != 0xFF;
    }
}

void decodeMemoryError64(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x1F)) {
        return;
    }
    memoryError(view, fields, 8);
}

void decodeMemoryChannel(StructureView &view, Fields &fields) {
    if (!view.has(0, 0x07)) {
        return;
    }
    static const char *const kChannelTypes[] = {"Other", "Unknown", "RamBus", "SyncLink"};
    fields.enumeration("Type", view.u8(0x04), nameTable(1, kChannelTypes));
    uint8_t load = view.u8(0x05);
    fields.integer("Maximal Load", load, {}, format("%u", load));
    uint8_t count = view.u8(0x06);
    fields.integer("Devices", count, {}, format("%u", count));
    // The standard puts device i at 07h + 3 * (i - 1). dmidecode 3.4 reads
    // it 3 bytes further on, the last device beyond the structure: the
    // devices here are the standard's.
    if (!view.has(0x07, 3 * std::size_t{count})) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        std::size_t at = 0x07 + 3 * std::size_t{i};
        uint8_t deviceLoad = view.u8(at);
        fields.integer(format("Device %u Load", i + 1), deviceLoad, {}, format("%u", deviceLoad));
        fields.handle(format("Device %u Handle", i + 1), view.u16(at + 1));
    }
}

}  // namespace smbios::decode
