// Decoders of HP's and HPE's own structure types (ProLiant and the
// machines before it), as dmidecode decodes them.
#include <string>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

// ---- Types 193 to 212 ----

// Words no release changed.
constexpr Reworded same(const char *name) {
    return {name, Dialect::Dmidecode34, name};
}

// The ProLiant generation, as dmidecode reads it off the product name: a
// release knows the generations up to its own newest, and takes a name
// without one it knows for Gen10 where the manufacturer is HPE and for one
// before Gen9 where it is HP.
enum class Generation { BeforeGen9, Gen9, Gen10, Gen11, Gen12 };

Generation generationOf(const StructureView &view) {
    struct Named {
        const char *name;
        Generation generation;
        Dialect since;
    };
    static const Named kGenerations[] = {
        {"G6", Generation::BeforeGen9, Dialect::Dmidecode34},   {"G7", Generation::BeforeGen9, Dialect::Dmidecode34},
        {"Gen8", Generation::BeforeGen9, Dialect::Dmidecode34}, {"Gen9", Generation::Gen9, Dialect::Dmidecode34},
        {"Gen10", Generation::Gen10, Dialect::Dmidecode34},     {"Gen11", Generation::Gen11, Dialect::Dmidecode36},
        {"Gen12", Generation::Gen12, Dialect::Dmidecode37},
    };
    const DecodeOptions &options = view.options();
    for (const Named &named : kGenerations) {
        if (view.wordsOf(named.since) && options.product.find(named.name) != std::string::npos) {
            return named.generation;
        }
    }
    return options.maker == Maker::Hpe ? Generation::Gen10 : Generation::BeforeGen9;
}

// Types of Gen9 and later: dmidecode shows an older machine's raw.
bool leftRawBeforeGen9(StructureView &view) {
    if (generationOf(view) < Generation::Gen9) {
        view.leaveUndecoded();
        return true;
    }
    return false;
}

// Each decoder, with the structure's name in the words of the machine's
// maker: the rows name HP's ("HP ProLiant ..."), HPE's machines say "HPE".
template <void (*Decode)(StructureView &, Fields &)>
void inMakersWords(StructureView &view, Fields &fields) {
    const std::string &name = fields.structureName();
    if (view.options().maker == Maker::Hpe && name.compare(0, 3, "HP ") == 0) {
        fields.rename("HPE" + name.substr(2));
    }
    Decode(view, fields);
}

Field &bit(Fields &fields, const char *name, unsigned value, unsigned mask, const char *set, const char *clear) {
    const bool on = (value & mask) != 0;
    return fields.enumerated(name, on ? 1 : 0, on ? set : clear);
}

Field &number(Fields &fields, const char *name, uint64_t value, const char *unit = "") {
    return fields.integer(name, value, unit,
                          *unit ? format("%llu %s", static_cast<unsigned long long>(value), unit)
                                : format("%llu", static_cast<unsigned long long>(value)));
}

Field &hex16(Fields &fields, const char *name, uint16_t value) {
    return fields.integer(name, value, "", format("0x%04X", value));
}

// A PCI device as dmidecode shows HP's: bus, then device and function from
// the byte that packs them.
std::string pciDevice(unsigned bus, unsigned devfn) {
    return format("%02x:%02x.%x", bus, devfn >> 3, devfn & 7);
}

// 193: the ROMs beside the running one. The redundant ROM's version is
// there when bit 0 of byte 4 says so (Gen12 has none); the OEM ROM's build
// date only with its file name.
void decodeOtherRom(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x04, 5)) {
        return;
    }
    if ((view.u8(0x04) & 0x01) && generationOf(view) < Generation::Gen12) {
        fields.string("Redundant ROM Version", view, 0x05);
    }
    if (view.u8(0x07) != 0) {
        fields.string("OEM ROM Binary Filename", view, 0x07);
        fields.string("OEM ROM Binary Build Date", view, 0x08);
    }
}

// 194: which of the legacy ports the firmware enabled, one bit each.
void decodeSuperIo(StructureView &view, Fields &fields) {
    if (!view.has(0x04)) {
        return;
    }
    static const char *const kPorts[] = {"Serial Port A", "Serial Port B", "Parallel Port", "Floppy Disk Port",
                                         "Virtual Serial Port"};
    const unsigned enabled = view.u8(0x04);
    for (unsigned i = 0; i < sizeof kPorts / sizeof kPorts[0]; ++i) {
        bit(fields, kPorts[i], enabled, 1U << i, "Enabled", "Disabled");
    }
}

// 195: the server's system ID string and its platform ID, two bytes.
void decodeServerSystemId(StructureView &view, Fields &fields) {
    if (!view.has(0x04)) {
        return;
    }
    fields.string("Server System ID", view, 0x04);
    if (view.has(0x05, 2)) {
        Field &platform = fields.text("Platform ID", format("%u:%u", view.u8(0x05), view.u8(0x06)));
        platform.number = view.u16(0x05);
    }
}

// 197: one processor's place and powers; a slot or socket of 0xFF and a
// zero power, UUID or speed are left out, the x2APIC ID is there when the x2APIC bit is set.
void decodeProcessorSpecific(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 6)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    number(fields, "APIC ID", view.u8(0x06));
    const unsigned flags = view.u8(0x07);
    bit(fields, "BSP", flags, 0x01, "Yes", "No");
    bit(fields, "x2APIC", flags, 0x02, "Yes", "No");
    bit(fields, "Advanced Thermal Margining", flags, 0x04, "Yes", "No");
    if (view.u8(0x08) != 0xFF) {
        number(fields, "Physical Slot", view.u8(0x08));
    }
    if (view.u8(0x09) != 0xFF) {
        number(fields, "Physical Socket", view.u8(0x09));
    }
    if (view.has(0x0A, 2) && view.u16(0x0A) != 0) {
        number(fields, "Maximum Power", view.u16(0x0A), "W");
    }
    if ((flags & 0x02) && view.has(0x0C, 4)) {
        fields.integer("x2APIC ID", view.u32(0x0C), "", format("0x%08x", view.u32(0x0C)));
    }
    if (view.has(0x10, 8) && view.u64(0x10) != 0) {
        const uint64_t uuid = view.u64(0x10);
        fields.integer("UUID", uuid, "", format("0x%016llx", static_cast<unsigned long long>(uuid)));
    }
    if (view.has(0x18, 2) && view.u16(0x18) != 0) {
        number(fields, "Interconnect Speed", view.u16(0x18), "MT/s");
    }
}

// 199: the microcode patches the firmware carries, 12 bytes each: the patch
// level, then the date as hexadecimal digits (year, day, month), then four
// bytes dmidecode does not show.
void decodeMicrocodePatches(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    for (std::size_t offset = 0x04; view.has(offset, 12); offset += 12) {
        Field &record = fields.group(Label());
        Fields patch(record, fields);
        patch.text("Date", format("%04x-%02x-%02x", view.u16(offset + 4), view.u8(offset + 7), view.u8(offset + 6)));
        patch.integer("Patch", view.u32(offset), "", format("0x%X", view.u32(offset)));
    }
}

// 202: where a memory device sits. Each part dmidecode leaves out when it
// holds its "none" value: a processor of 0xFF, a string, controller, channel,
// identifier or interleave of 0, an IE number of 0xFF (Gen12 has none).
void decodeDimmLocation(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x04, 5)) {
        return;
    }
    fields.handle("Associated Memory Record", view.u16(0x04));
    if (view.u8(0x06) == 0xFF) {
        fields.enumerated("Board Number", 0xFF, "System Board");
    } else {
        number(fields, "Board Number", view.u8(0x06));
    }
    number(fields, "DIMM Number", view.u8(0x07));
    if (view.u8(0x08) != 0xFF) {
        number(fields, "Processor Number", view.u8(0x08));
    }
    if (!view.has(0x09)) {
        return;
    }
    number(fields, "Logical DIMM Number", view.u8(0x09));
    if (!view.has(0x0A, 3)) {
        return;
    }
    const std::pair<const char *, std::size_t> kNames[] = {
        {"UEFI Device Path", 0x0A}, {"UEFI Device Name", 0x0B}, {"Device Name", 0x0C}};
    for (const auto &[name, offset] : kNames) {
        if (view.u8(offset) != 0) {
            fields.string(name, view, offset);
        }
    }
    if (!view.has(0x0D, 12)) {
        return;
    }
    if (view.u8(0x0D) != 0) {
        number(fields, "Memory Controller Number", view.u8(0x0D));
    }
    if (view.u8(0x0E) != 0) {
        number(fields, "Memory Channel Number", view.u8(0x0E));
    }
    if (generationOf(view) < Generation::Gen12) {
        if (view.u8(0x0F) != 0xFF) {
            number(fields, "IE DIMM Number", view.u8(0x0F));
        }
        if (view.u8(0x10) != 0xFF) {
            number(fields, "IE PLDM ID", view.u8(0x10));
        }
    }
    if (view.u16(0x11) != 0) {
        hex16(fields, "Vendor ID", view.u16(0x11));
    }
    if (view.u16(0x13) != 0) {
        hex16(fields, "Device ID", view.u16(0x13));
    }
    if (const uint16_t id = view.u16(0x15); id != 0) {
        fields.integer("Controller Manufacturer ID", id, "", format("Bank %u, Hex 0x%02X", (id & 0x7FU) + 1, id >> 8));
    }
    if (view.u16(0x17) != 0) {
        hex16(fields, "Controller Product ID", view.u16(0x17));
    }
    if (view.has(0x19) && view.u8(0x19) != 0) {
        number(fields, "Best Interleave", view.u8(0x19));
    }
    if (view.has(0x1A)) {
        fields.string("Part Number", view, 0x1A);
    }
    if (view.has(0x1B)) {
        number(fields, "DIMM Index", view.u8(0x1B));
    }
}

// 203: what the firmware knows of one device and where it sits. Null names
// are values dmidecode shows as reserved.
const char *const kCorrelatedDeviceTypes[] = {
    "Unknown",
    nullptr,
    nullptr,
    "Flexible LOM",
    "Embedded LOM",
    "NIC in a Slot",
    "Storage Controller",
    "Smart Array Storage Controller",
    "USB Hard Disk",
    "Other PCI Device",
    "RAM Disk",
    "Firmware Volume",
    "UEFI Shell",
    "Generic UEFI USB Boot Entry",
    "Dynamic Smart Array Controller",
    "File",
    "NVME Hard Drive",
    "NVDIMM",
    "Embedded GPU",  // 0x12, from 3.7
};

const char *const kCorrelatedDeviceLocations[] = {
    "Unknown",
    "Embedded",
    "iLO Virtual Media",
    "Front USB Port",
    "Rear USB Port",
    "Internal USB",
    "Internal SD Card",
    nullptr,  // kVirtualUsb
    "Embedded SATA Port",
    "Embedded Smart Array",
    "PCI Slot",
    "RAM Memory",
    "USB",
    "Dynamic Smart Array Controller",
    "URL",
    "NVMe Drive Bay",
    "NVDIMM Processor",  // 0x10, from 3.6
    "NVDIMM Board",
    "NVMe Riser",
    "NVDIMM Name Space",
    "VROC SATA",
    "VROC NVMe",
};

const Reworded kVirtualUsb = {"Internal Virutal USB (Embedded NAND)", Dialect::Dmidecode36,
                              "Internal Virtual USB (Embedded NAND)"};

// A handle, or 0xFFFE for none.
Field &handleOrNone(Fields &fields, const char *name, uint16_t handle) {
    Field &field = fields.handle(name, handle);
    if (handle == 0xFFFE) {
        field.text = "N/A";
        field.known = false;
    }
    return field;
}

// A bay or enclosure number: 0 is unknown, 0xFF not to be shown.
Field &bayNumber(Fields &fields, const char *name, unsigned value) {
    if (value == 0) {
        return fields.enumerated(name, value, "Unknown", false);
    }
    if (value == 0xFF) {
        return fields.enumerated(name, value, "Do Not Display", false);
    }
    return number(fields, name, value);
}

void decodeDeviceCorrelation(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x04, 27)) {
        return;
    }
    handleOrNone(fields, "Associated Device Record", view.u16(0x04));
    handleOrNone(fields, "Associated SMBus Record", view.u16(0x06));
    // All of the PCI identifiers 0xFF: no device. Releases before 3.7 show
    // each identifier of 0xFFFF as absent too, and read the class codes as
    // signed bytes widened to four digits.
    bool absent = true;
    for (std::size_t offset = 0x08; offset < 0x12; ++offset) {
        absent = absent && view.u8(offset) == 0xFF;
    }
    const bool before37 = !view.wordsOf(Dialect::Dmidecode37);
    const auto pciValue = [&](const char *name, unsigned value, const char *pattern) {
        if (before37 && value == 0xFFFF) {
            fields.enumerated(name, value, "Device Not Present", false);
        } else {
            fields.integer(name, value, "", format(pattern, value));
        }
    };
    if (absent) {
        fields.enumerated("PCI Device Info", 0xFF, "Device Not Present", false);
    } else {
        const std::pair<const char *, std::size_t> kIds[] = {
            {"PCI Vendor ID", 0x08}, {"PCI Device ID", 0x0A}, {"PCI Sub Vendor ID", 0x0C}, {"PCI Sub Device ID", 0x0E}};
        for (const auto &[name, offset] : kIds) {
            pciValue(name, view.u16(offset), "0x%04x");
        }
        for (const auto &[name, offset] : {std::pair<const char *, std::size_t>{"PCI Class Code", 0x10},
                                           std::pair<const char *, std::size_t>{"PCI Sub Class Code", 0x11}}) {
            const uint8_t code = view.u8(offset);
            if (before37) {
                pciValue(name, static_cast<uint16_t>(static_cast<int16_t>(static_cast<int8_t>(code))), "0x%04x");
            } else {
                pciValue(name, code, "0x%02x");
            }
        }
    }
    handleOrNone(fields, "Parent Handle", view.u16(0x12));
    const uint16_t flags = view.u16(0x14);
    Field &flagField = fields.group("Flags", format("0x%04X", flags));
    flagField.number = flags;
    if (view.wordsOf(Dialect::Dmidecode36)) {
        Fields bits(flagField, fields);
        if (flags & 0x0001) {
            bits.text("Peer Bifurcated Device", "Yes");
        }
        if (flags & 0x0002) {
            bits.text("Upstream Device", "Yes");
        }
    }
    static constexpr NameTable kTypes = nameTable(0, kCorrelatedDeviceTypes, 18, 18);
    fields.enumeration("Device Type", view.u8(0x16), kTypes, "Reserved");
    static constexpr NameTable kLocations = nameTable(0, kCorrelatedDeviceLocations, 16, 22);
    if (view.u8(0x17) == 7) {
        fields.enumerated("Device Location", 7, fields.say(kVirtualUsb));
    } else {
        fields.enumeration("Device Location", view.u8(0x17), kLocations, "Reserved");
    }
    number(fields, "Device Instance", view.u8(0x18));
    number(fields, "Device Sub-Instance", view.u8(0x19));
    bayNumber(fields, "Bay", view.u8(0x1A));
    bayNumber(fields, "Enclosure", view.u8(0x1B));
    fields.string("Device Path", view, 0x1C);
    fields.string("Structured Name", view, 0x1D);
    fields.string("Device Name", view, 0x1E);
    if (!view.has(0x1F, 3)) {
        return;
    }
    fields.string("UEFI Location", view, 0x1F);
    // The real or physical device's handle means something only for a peer
    // of a bifurcated device.
    if (flags & 0x0001) {
        fields.handle("Associated Real/Phys Handle", view.u16(0x20));
    } else {
        Field &none = fields.handle("Associated Real/Phys Handle", view.u16(0x20));
        none.text = "N/A";
        none.known = false;
    }
    if (!view.has(0x22, 2)) {
        return;
    }
    fields.string("PCI Part Number", view, 0x22);
    fields.string("Serial Number", view, 0x23);
    if (!view.has(0x24, 4)) {
        return;
    }
    fields.integer("Segment Group Number", view.u16(0x24), "", format("0x%04x", view.u16(0x24)));
    Field &device = fields.text("PCI Device", pciDevice(view.u8(0x26), view.u8(0x27)));
    device.number = view.u16(0x26);
}

// 204: where the server stands: rack, enclosure and bay.
void decodeRackLocator(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 7)) {
        return;
    }
    fields.string("Rack Name", view, 0x04);
    fields.string("Enclosure Name", view, 0x05);
    fields.string("Enclosure Model", view, 0x06);
    fields.string("Enclosure Serial", view, 0x0A);
    number(fields, "Enclosure Bays", view.u8(0x08));
    fields.string("Server Bay", view, 0x07);
    number(fields, "Bays Filled", view.u8(0x09));
}

// 209: the network ports the firmware can boot from, 8 bytes each: the PCI
// device and function, the bus, the MAC address. 0 in both PCI bytes is a
// disabled port, 0xFF in both an absent one.
void decodePxeNics(StructureView &view, Fields &fields) {
    unsigned index = 1;
    for (std::size_t offset = 0x04; view.has(offset, 8); offset += 8, ++index) {
        const std::string name = format("NIC %u", index);
        const uint16_t pci = view.u16(offset);
        if (pci == 0x0000) {
            fields.text(name, "Disabled");
        } else if (pci == 0xFFFF) {
            fields.text(name, "Not Installed");
        } else {
            fields.text(name, "PCI device " + pciDevice(view.u8(offset + 1), view.u8(offset)) +
                                  format(", MAC address %02X:%02X:%02X:%02X:%02X:%02X", view.u8(offset + 2),
                                         view.u8(offset + 3), view.u8(offset + 4), view.u8(offset + 5),
                                         view.u8(offset + 6), view.u8(offset + 7)));
        }
    }
}

// 211: a processor's TControl offset; 0 means none.
void decodeTControl(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 3)) {
        return;
    }
    fields.handle("Associated Processor Handle", view.u16(0x04));
    if (view.u8(0x06) == 0) {
        fields.enumerated("TControl Value", 0, "N/A", false);
    } else {
        number(fields, "TControl Value", view.u8(0x06));
    }
}

// 212: the 64-bit CRU's signature (its four characters too where all are
// printable) and, for the "$CRU" one, where the CRU service is: a base
// address (8 bytes at 0x08) plus the entry point's offset (4 bytes at 0x14),
// and the length of the service (0x10). From 3.6 on dmidecode leaves Gen9
// and later machines' structure raw.
void decodeCru64(StructureView &view, Fields &fields) {
    if (view.wordsOf(Dialect::Dmidecode36) && generationOf(view) >= Generation::Gen9) {
        view.leaveUndecoded();
        return;
    }
    if (!view.has(0x04, 20)) {
        return;
    }
    const uint32_t signature = view.u32(0x04);
    std::string text = format("0x%08x", signature);
    const std::string characters(reinterpret_cast<const char *>(view.data() + 0x04), 4);
    bool printable = true;
    for (char c : characters) {
        printable = printable && c >= 0x20 && c <= 0x7E;
    }
    if (printable) {
        text += " (" + characters + ")";
    }
    fields.integer("Signature", signature, "", text);
    if (characters == "$CRU") {
        const uint64_t address = view.u64(0x08) + view.u32(0x14);
        fields.integer("Physical Address", address, "", format("0x%016llx", static_cast<unsigned long long>(address)));
        fields.integer("Length", view.u32(0x10), "", format("0x%08x", view.u32(0x10)));
    }
}

// A row of the table: one type, the name dmidecode shows for it on HP's
// machines (in every release that decodes it, and where another structure
// refers to it).
constexpr OemTypeDecoder row(uint8_t type, Dialect since, const char *purpose, const char *shown,
                             void (*decode)(StructureView &, Fields &)) {
    return {type, since, {purpose, same(shown), same(shown), decode}};
}

constexpr Dialect k34 = Dialect::Dmidecode34;
constexpr Dialect k36 = Dialect::Dmidecode36;
constexpr Dialect k37 = Dialect::Dmidecode37;

// clang-format off
const OemTypeDecoder kHpeTypes[] = {
    // ---- Types 193 to 212 ----
    row(193, k37, "Other ROM Info", "HP ProLiant Other ROM Info", inMakersWords<decodeOtherRom>),
    row(194, k34, "Super IO Enable/Disable Indicator", "HP ProLiant Super IO Enable/Disable Indicator", inMakersWords<decodeSuperIo>),
    row(195, k37, "Server System ID", "HP ProLiant Server System ID", inMakersWords<decodeServerSystemId>),
    row(197, k36, "Processor Specific Information", "HP Processor Specific Information", inMakersWords<decodeProcessorSpecific>),
    row(199, k34, "CPU Microcode Patch Support Info", "HP ProLiant CPU Microcode Patch Support Info", inMakersWords<decodeMicrocodePatches>),
    row(202, k37, "DIMM Location Record", "HP DIMM Location Record", inMakersWords<decodeDimmLocation>),
    row(203, k34, "Device Correlation Record", "HP Device Correlation Record", inMakersWords<decodeDeviceCorrelation>),
    row(204, k34, "System/Rack Locator", "HP ProLiant System/Rack Locator", inMakersWords<decodeRackLocator>),
    row(209, k34, "BIOS PXE NIC PCI and MAC Information", "HP BIOS PXE NIC PCI and MAC Information", inMakersWords<decodePxeNics>),
    row(211, k37, "TControl Information", "HP ProLiant TControl Information", inMakersWords<decodeTControl>),
    row(212, k34, "64-bit CRU Information", "HP 64-bit CRU Information", inMakersWords<decodeCru64>),
};
// clang-format on

}  // namespace

OemTypeTable hpeTypes() {
    return {kHpeTypes, sizeof kHpeTypes / sizeof kHpeTypes[0]};
}

}  // namespace smbios::decode
