// Decoders of HP's and HPE's own structure types (ProLiant and the
// machines before it), as dmidecode decodes them.
#include <string>
#include <vector>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

constexpr Dialect k34 = Dialect::Dmidecode34;
constexpr Dialect k36 = Dialect::Dmidecode36;
constexpr Dialect k37 = Dialect::Dmidecode37;

// Words no release changed.
constexpr Reworded same(const char *name) {
    return {name, k34, name};
}

// The ProLiant generation, as dmidecode reads it off the product name: a
// release knows the generations up to its own newest (Gen11 from 3.6 on,
// Gen12 from 3.7 on), and takes the newest the name holds. A product
// naming none it knows is taken for an older machine (before Gen8) where
// the manufacturer is HP, and for a newer one (Unnamed) where it is HPE:
// every type reads Unnamed as Gen10 but the backplane (236), which shows
// its bays for a named generation only.
enum class Generation { G6, G7, Gen8, Gen9, Gen10, Unnamed, Gen11, Gen12 };

Generation generationOf(const StructureView &view) {
    struct Named {
        const char *name;
        Generation generation;
        Dialect since;
    };
    // Newest first: a name holding several counts as the newest.
    static const Named kGenerations[] = {
        {"Gen12", Generation::Gen12, k37}, {"Gen11", Generation::Gen11, k36}, {"Gen10", Generation::Gen10, k34},
        {"Gen9", Generation::Gen9, k34},   {"Gen8", Generation::Gen8, k34},   {"G7", Generation::G7, k34},
        {"G6", Generation::G6, k34},
    };
    const DecodeOptions &options = view.options();
    for (const Named &named : kGenerations) {
        if (view.wordsOf(named.since) && options.product.find(named.name) != std::string::npos) {
            return named.generation;
        }
    }
    return options.maker == Maker::Hpe ? Generation::Unnamed : Generation::G7;
}

// A type the machine's generation does not carry: dmidecode shows another
// record of the same number raw.
bool leftRawUnless(StructureView &view, bool carried) {
    if (!carried) {
        view.leaveUndecoded();
    }
    return !carried;
}

// Types of Gen9 and later.
bool leftRawBeforeGen9(StructureView &view) {
    return leftRawUnless(view, generationOf(view) >= Generation::Gen9);
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

// ---- Types 193 to 212 ----

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

// One network port's line: "Disabled" for 0 in both PCI bytes, "Not
// Installed" for FFh in both, else the device and the MAC address at `mac`.
std::string nicText(const StructureView &view, unsigned bus, unsigned devfn, std::size_t mac) {
    if (bus == 0 && devfn == 0) {
        return "Disabled";
    }
    if (bus == 0xFF && devfn == 0xFF) {
        return "Not Installed";
    }
    return "PCI device " + pciDevice(bus, devfn) +
           format(", MAC address %02X:%02X:%02X:%02X:%02X:%02X", view.u8(mac), view.u8(mac + 1), view.u8(mac + 2),
                  view.u8(mac + 3), view.u8(mac + 4), view.u8(mac + 5));
}

// The network ports the firmware boots from (209 PXE, 221 iSCSI), 8 bytes
// each: the PCI device and function, the bus, the MAC address.
void decodeNics(StructureView &view, Fields &fields) {
    unsigned index = 1;
    for (std::size_t offset = 0x04; view.has(offset, 8); offset += 8, ++index) {
        fields.text(format("NIC %u", index), nicText(view, view.u8(offset + 1), view.u8(offset), offset + 2));
    }
}

// 233: one PXE port a structure: the bus, the device and function, the MAC
// address; from 29h bytes on the port's number at 28h, and from 3.6 on its
// UEFI device path. A shorter record is numbered by its place among the
// short ones decoded before it in the run, as dmidecode counts them.
void decodePxeNic(StructureView &view, Fields &fields) {
    if (!view.has(0x08, 6)) {
        return;
    }
    unsigned number = view.u8(0x28);
    if (!view.has(0x28)) {
        DecodeRun *run = view.options().run;
        number = run != nullptr ? ++run->numbered[233] : 1;
    }
    fields.text(format("NIC %u", number), nicText(view, view.u8(0x06), view.u8(0x07), 0x08));
    if (view.wordsOf(k36) && view.has(0x29)) {
        fields.string("UEFI Device Path", view, 0x29);
    }
}

// 221: the iSCSI ports. From 3.6 on only machines before Gen8 carry it; a
// later one's record of this number is left raw.
void decodeIscsiNics(StructureView &view, Fields &fields) {
    if (leftRawUnless(view, !view.wordsOf(k36) || generationOf(view) <= Generation::G7)) {
        return;
    }
    decodeNics(view, fields);
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

// ---- Types 216 to 245 ----

const char *yesNo(bool value) {
    return value ? "Yes" : "No";
}

Field &hex32(Fields &fields, Label name, uint32_t value) {
    return fields.integer(std::move(name), value, "", format("0x%08x", value));
}

// 219: the ProLiant's feature words.
void decodeProLiantInformation(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 4)) {
        return;
    }
    hex32(fields, "Power Features", view.u32(0x04));
    if (!view.has(0x08, 4)) {
        return;
    }
    hex32(fields, "Omega Features", view.u32(0x08));
    if (!view.has(0x10, 4)) {
        return;
    }
    const uint32_t misc = view.u32(0x10);
    Field &group = fields.group("Misc. Features", format("0x%08x", misc));
    group.number = misc;
    Fields features(group, fields);
    features.enumerated("iCRU", misc & 0x0001U, yesNo((misc & 0x0001U) != 0));
    // Either of two bits says the firmware boots UEFI.
    features.enumerated("UEFI", (misc & 0x1400U) != 0 ? 1 : 0, yesNo((misc & 0x1400U) != 0));
}

// 226: the machine's UUID and serial number as iLO knows them.
void decodePhysicalAttribute(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 17)) {
        return;
    }
    const uint8_t *id = view.data() + 0x04;
    bool allZero = true;
    bool allOnes = true;
    for (int i = 0; i < 16; ++i) {
        allZero = allZero && id[i] == 0x00;
        allOnes = allOnes && id[i] == 0xFF;
    }
    // No UUID at all is no line at all.
    if (!allZero) {
        Field &uuid = fields.text("UUID", allOnes ? "Not Present" : uuidText(id, view.version().atLeast(2, 6)));
        uuid.kind = Kind::Uuid;
        uuid.bytes.assign(id, id + 16);
        uuid.known = !allOnes;
    }
    fields.string("Serial Number", view, 0x14);
}

const char *const kPowerSupplyAccess[] = {"Not Available", "IPMI I2C", "iLO", "Chassis Manager"};

// 230: a power supply's maker and how iLO reaches it.
void decodePowerSupply(StructureView &view, Fields &fields) {
    if (!view.has(0x0A)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    fields.string("Manufacturer", view, 0x06);
    fields.string("Revision", view, 0x07);
    const uint8_t access = view.u8(0x08);
    fields.enumeration("Access Method", access, nameTable(0, kPowerSupplyAccess), "Reserved");
    if (access < 1 || access > 3) {
        return;
    }
    // 0xFF in either byte: not given.
    if (view.u8(0x09) != 0xFF) {
        // iLO's bus is a segment of its own I2C.
        fields.integer(access == 2 ? "I2C Segment Number" : "I2C Bus Number", view.u8(0x09), "",
                       format("%u", view.u8(0x09)));
    }
    if (view.u8(0x0A) != 0xFF) {
        // The address byte holds the 7-bit address shifted left.
        const unsigned address = view.u8(0x0A) >> 1;
        fields.integer("I2C Address", address, "", format("0x%02x", address));
    }
}

// 237: a DIMM's maker's identity. Its fifth field is a string up to 3.4,
// the week of manufacture from 3.6 on.
void decodeDimmVendor(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x07)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    fields.string("DIMM Manufacturer", view, 0x06);
    fields.string("DIMM Manufacturer Part Number", view, 0x07);
    if (!view.has(0x08)) {
        return;
    }
    fields.string("DIMM Vendor Serial Number", view, 0x08);
    if (!view.wordsOf(k36)) {
        if (view.has(0x09)) {
            fields.string("DIMM Spare Part Number", view, 0x09);
        }
        return;
    }
    if (view.has(0x09, 2) && view.u16(0x09) != 0) {
        // The year's last two digits and the week, both in BCD.
        fields.text("DIMM Manufacture Date", format("20%02x-W%02x", view.u8(0x09), view.u8(0x0A)));
    }
}

const Reworded kUsbLocations[] = {
    same("Internal"),       same("Front of Server"),
    same("Rear of Server"), same("Embedded internal SD Card"),
    same("iLO USB"),        {"HP NAND Controller (USX 2065 or other)", k36, "USB Hub for NAND Controller"},
    same("Reserved"),       same("Debug Port"),
    same("Reserved"),       {"Reserved", k36, "OCP USB"},
};
const char *const kManagementPorts[] = {"Not Shared", "Shared with physical switch", "Shared with automatic control"};
const char *const kUsbSpeeds[] = {"Reserved", "USB 1.1 Full Speed", "USB 2.0 High Speed", "USB 3.0 Super Speed"};

// 238: where a USB port is and which controller drives it.
void decodeUsbPortConnector(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x0E)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    const uint8_t bus = view.u8(0x06);
    const uint8_t devfn = view.u8(0x07);
    // 3.7 reads the PCI segment the longer record adds.
    std::string device = view.wordsOf(k37) && view.has(0x0F, 2)
                             ? format("%04x:%02x:%02x.%x", view.u16(0x0F), bus, devfn >> 3, devfn & 7)
                             : format("%02x:%02x.%x", bus, devfn >> 3, devfn & 7);
    fields.text("PCI Device", std::move(device));
    const uint8_t location = view.u8(0x08);
    const bool named = location < std::size(kUsbLocations);
    const char *place = named ? fields.say(kUsbLocations[location]) : "Reserved";
    fields.enumerated("Location", location, place, std::string(place) != "Reserved");
    fields.enumeration("Management Port", view.u16(0x09), nameTable(0, kManagementPorts), "Reserved");
    number(fields, "Port Instance", view.u8(0x0B));
    number(fields, "Parent Hub Port Instance", view.u8(0x0C));
    const uint8_t speed = view.u8(0x0D);
    fields.enumeration("Port Speed Capability", speed, nameTable(0, kUsbSpeeds), "Reserved").known =
        speed != 0 && speed < 4;
    fields.string("Device Path", view, 0x0E);
}

// The USB class codes dmidecode names: mass storage (8) and hubs (9), with
// their subclasses and protocols (a hub only with subclass 0); every
// other value shows as its number.
const char *const kMassStorageSubclasses[] = {
    "SCSI command set not reported", "RBC", "ATAPI", "Obsolete", "UFI", "Obsolete", "SCSI", "LSD FS", "IEEE 1667",
};
const char *massStorageProtocol(uint8_t protocol) {
    switch (protocol) {
    case 0x00:
        return "CBI w/ completion interrupt";
    case 0x01:
        return "CBI w/o completion interrupt";
    case 0x02:
        return "Obsolete";
    case 0x50:
        return "Bulk-Only";
    case 0x62:
        return "UAS";
    case 0xFF:
        return "Vendor Specific";
    default:
        return "Reserved";
    }
}
const char *const kHubProtocols[] = {"Full Speed", "Hi-Speed w/ single TT", "Hi-Speed w/ multiple TT"};

void addUsbClass(Fields &fields, uint8_t usbClass, uint8_t subclass, uint8_t protocol) {
    const auto number = [&fields](const char *name, uint8_t value) {
        fields.integer(name, value, "", format("0x%02x", value));
    };
    if (usbClass == 0x08) {
        fields.enumerated("USB Class", usbClass, "Mass Storage");
        const char *sub = subclass < std::size(kMassStorageSubclasses) ? kMassStorageSubclasses[subclass]
                          : subclass == 0xFF                           ? "Vendor Specific"
                                                                       : "Reserved";
        fields.enumerated("USB SubClass", subclass, sub, std::string(sub) != "Reserved");
        const char *named = massStorageProtocol(protocol);
        fields.enumerated("USB Protocol", protocol, named, std::string(named) != "Reserved");
    } else if (usbClass == 0x09 && subclass == 0) {
        // A hub has no subclass: no line for it.
        fields.enumerated("USB Class", usbClass, "HUB");
        fields.enumeration("USB Protocol", protocol, nameTable(0, kHubProtocols), "Reserved");
    } else {
        number("USB Class", usbClass);
        number("USB SubClass", subclass);
        number("USB Protocol", protocol);
    }
}

// 239: a USB device's identity and where it sits.
void decodeUsbDevice(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x16)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    fields.integer("USB Vendor ID", view.u16(0x06), "", format("0x%04x", view.u16(0x06)));
    const bool present = (view.u8(0x08) & 0x01) != 0;
    fields.enumerated("Embedded SD Card", present ? 1 : 0, present ? "Present" : "Empty");
    addUsbClass(fields, view.u8(0x0A), view.u8(0x0B), view.u8(0x0C));
    fields.integer("USB Product ID", view.u16(0x0D), "", format("0x%04x", view.u16(0x0D)));
    // A device that reports no capacity has no line for it.
    if (const uint32_t capacity = view.u32(0x0F); capacity != 0) {
        fields.integer("USB Capacity", capacity, "MB", format("%u MB", capacity));
    }
    fields.string("UEFI Device Path", view, 0x13);
    fields.string("UEFI Device Name", view, 0x14);
    fields.string("Device Name", view, 0x15);
    fields.string("Device Location", view, 0x16);
}

const char *const kFirmwareAttributes[] = {"Updatable", "Reset Required", "Authentication Required", "In Use",
                                           "UEFI Image"};

// 240: a firmware image's version, size and what updating it takes.
void decodeFirmwareInventory(StructureView &view, Fields &fields) {
    if (!view.has(0x23, 4)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    fields.integer("Package Version", view.u32(0x06), "", format("0x%08X", view.u32(0x06)));
    fields.string("Version String", view, 0x0A);
    // A size whose low half is zero is not given.
    if (view.u32(0x0B) != 0) {
        const uint64_t size = view.u64(0x0B);
        fields.integer("Image Size", size, "bytes", sizeText(size, 0, view.dialect()));
    } else {
        fields.text("Image Size", "Not Available").known = false;
    }
    // One line for each attribute the record defines, saying whether it
    // is set.
    const uint64_t defined = view.u64(0x13);
    const uint64_t set = view.u64(0x1B);
    Field &attributes = view.wordsOf(k36) ? fields.flags("Attributes Defined/Set", {}, nullptr)
                                          : fields.text("Attributes Defined/Set", "");
    Fields each(attributes, fields);
    for (std::size_t bit = 0; bit < std::size(kFirmwareAttributes); ++bit) {
        if ((defined >> bit) & 1U) {
            const bool on = ((set >> bit) & 1U) != 0;
            each.enumerated(kFirmwareAttributes[bit], on ? 1 : 0, yesNo(on));
        }
    }
    if (const uint32_t lowest = view.u32(0x23); lowest != 0) {
        fields.integer("Lowest Supported Version", lowest, "", format("0x%08X", lowest));
    } else {
        fields.text("Lowest Supported Version", "Not Available").known = false;
    }
}

const char *const kInterleaveHealth[] = {"Healthy",     "DIMM Missing", "Config Inactive",
                                         "SPA Missing", "New Goal",     "Locked"};

// 244: a persistent-memory DIMM's region as configured.
void decodeDimmConfiguration(StructureView &view, Fields &fields) {
    if (!view.has(0x12, 2)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    number(fields, "Region ID", view.u8(0x06));
    // The lowest bit set names the type.
    const uint8_t persistence = view.u8(0x07);
    const char *type = (persistence & 0x01)   ? "Volatile"
                       : (persistence & 0x02) ? "Byte Accessible"
                       : (persistence & 0x04) ? "Block I/O"
                                              : "Reserved";
    fields.enumerated("Persistence Type", persistence, type, (persistence & 0x07) != 0);
    const uint64_t size = view.u64(0x09);
    fields.integer("Size", size, "MiB", sizeText(size, 2, view.dialect()));
    const bool passphrase = view.u8(0x11) != 0;
    fields.enumerated("Passphrase Enabled", passphrase ? 1 : 0, yesNo(passphrase));
    // A region in no interleave set has no lines for one.
    const uint16_t set = view.u16(0x12);
    if (set == 0) {
        return;
    }
    number(fields, "Interleave Set Index", set);
    if (!view.has(0x14)) {
        return;
    }
    number(fields, "Interleave DIMM Count", view.u8(0x14));
    if (!view.has(0x15)) {
        return;
    }
    fields.enumeration("Interleave Set Health", view.u8(0x15), nameTable(0, kInterleaveHealth), "Reserved");
}

const char *const kRiserPositions[] = {"Reserved", "Primary", "Secondary", "Tertiary", "Quaternary"};

// 245: an extension board (PCIe riser). 3.7 also reads the riser of the
// MHS platform (board type 1); other board types have no lines.
void decodeExtensionBoard(StructureView &view, Fields &fields) {
    if (!view.has(0x04)) {
        return;
    }
    const uint8_t board = view.u8(0x04);
    if (board == 0) {
        fields.enumerated("Board Type", board, "PCIe Riser");
        if (!view.has(0x08)) {
            return;
        }
        fields.enumeration("Riser Position", view.u8(0x05), nameTable(0, kRiserPositions), "Reserved").known =
            view.u8(0x05) >= 1 && view.u8(0x05) <= 4;
        number(fields, "Riser ID", view.u8(0x06));
        // Bit 7 marks a beta release; no line for version 0.
        if (const uint8_t cpld = view.u8(0x07); cpld != 0) {
            fields.integer("CPLD Version", cpld, "", format("%s0x%02X", (cpld & 0x80) ? "B." : "", cpld & 0x7F));
        }
        fields.string("Riser Name", view, 0x08);
        return;
    }
    if (board != 1 || !view.wordsOf(k37)) {
        return;
    }
    fields.enumerated("Board Type", board, "PCIe Riser (MHS Platform)");
    if (!view.has(0x0A)) {
        return;
    }
    number(fields, "Riser ID", view.u8(0x05));
    fields.text("Firmware Version", format("%x.%x", view.u8(0x06), view.u8(0x07)));
    const bool downgradable = (view.u8(0x08) & 0x01) != 0;
    fields.enumerated("Downgradable", downgradable ? 1 : 0, yesNo(downgradable));
    fields.string("Riser Name", view, 0x09);
    const uint8_t count = view.u8(0x0A);
    number(fields, "Slot Count", count);
    // The slots the record holds, however many it counts.
    std::vector<std::string> slots;
    for (std::size_t i = 0; i < count && view.has(0x0B + i); ++i) {
        slots.push_back(format("0x%x", view.u8(0x0B + i)));
    }
    fields.flags("Slot IDs", std::move(slots), nullptr);
}

const char *const kEncryptionStatuses[] = {"Not Encrypted", "Encrypted", "Unknown", "Not Supported"};

// A quantity in `unit` where 0 stands for "Unknown" (voltages, link speeds).
Field &quantityOrUnknown(Fields &fields, Label name, uint16_t value, const char *unit) {
    if (value == 0) {
        Field &field = fields.text(std::move(name), "Unknown");
        field.known = false;
        return field;
    }
    return fields.integer(std::move(name), value, unit, format("%u %s", unsigned{value}, unit));
}

// 232: a DIMM's HPE attributes, voltages and why it was mapped out.
void decodeDimmAttributes(StructureView &view, Fields &fields) {
    if (leftRawBeforeGen9(view)) {
        return;
    }
    if (!view.has(0x0C, 2)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    const uint32_t attributes = view.u32(0x06);
    Field &group = fields.group("Attributes", format("0x%08X", attributes));
    group.number = attributes;
    Fields each(group, fields);
    const unsigned smart = attributes & 0x03U;
    each.enumerated("HPE Smart Memory", smart, smart == 0 ? "No" : smart == 1 ? "Yes" : "Unknown", smart < 2);
    // Each of the next two is shown where its first bit says it is known.
    if (attributes & 0x04U) {
        each.enumerated("Load Reduced DIMM installed", (attributes >> 3) & 1U, yesNo((attributes & 0x08U) != 0));
    }
    if (attributes & 0x10U) {
        each.enumerated("HPE Standard Memory Installed", (attributes >> 5) & 1U, yesNo((attributes & 0x20U) != 0));
    }
    quantityOrUnknown(fields, "Minimum Voltage", view.u16(0x0A), "mV");
    quantityOrUnknown(fields, "Configured Voltage", view.u16(0x0C), "mV");
    if (!view.has(0x22)) {
        return;
    }
    // A DIMM in use has no reason for being mapped out: no line.
    if (const uint8_t reason = view.u8(0x22); reason != 0) {
        Field &mapOut = fields.group("Map-Out Reason", format("0x%X", reason));
        mapOut.number = reason;
        Fields why(mapOut, fields);
        why.enumerated("Configuration Error", reason & 1U, yesNo((reason & 0x01U) != 0));
        why.enumerated("Training Error", (reason >> 1) & 1U, yesNo((reason & 0x02U) != 0));
    }
    if (!view.has(0x23)) {
        return;
    }
    fields.enumeration("Encryption Status", view.u8(0x23), nameTable(0, kEncryptionStatuses), "Reserved");
}

// 229: memory regions the firmware keeps for itself, 16 bytes each, as
// many as the record holds.
void decodeReservedMemory(StructureView &view, Fields &fields) {
    unsigned number = 1;
    for (std::size_t at = 0x04; view.has(at, 16); at += 16, ++number) {
        Field &location = fields.group("Memory Location", format("%u", number));
        location.number = number;
        Fields entry(location, fields);
        // Up to four characters, ended by a zero, shown byte for byte.
        std::string signature;
        for (std::size_t i = 0; i < 4 && view.u8(at + i) != 0; ++i) {
            signature += static_cast<char>(view.u8(at + i));
        }
        entry.text("Signature", std::move(signature));
        const uint64_t address = view.u64(at + 4);
        entry.integer("Physical Address", address, "", format("0x%016llX", static_cast<unsigned long long>(address)));
        // Bit 31 counts the size in KiB, else in bytes.
        const uint32_t size = view.u32(at + 12);
        const unsigned shift = (size & 0x80000000U) ? 1 : 0;
        entry.integer("Size", uint64_t{size & 0x7FFFFFFFU} << (10 * shift), "bytes",
                      sizeText(size & 0x7FFFFFFFU, shift, view.dialect()));
    }
}

const char *const kTpmStatuses[] = {"Not Present", "Present/Enabled", "Present/Disabled", "Reserved"};
const char *const kTpmDisableReasons[] = {"Not Specified", "User Disabled", "Error Condition", "Reserved"};
const char *const kTpmErrors[] = {"Not Specified", "Self-Test", "Reserved", "Reserved"};
const char *const kTpmTypes[] = {"Not Specified", "TPM 1.2", "TPM 2.0", "Intel PTT fTPM"};
const char *const kTpmAttributes[] = {"Not Specified", "Pluggable and Optional", "Pluggable but Standard",
                                      "Soldered Down on System Board"};
const char *const kTpmFips[] = {"Not Specified", "Not FIPS Certified", "FIPS Certified", "Reserved"};
const Reworded kTpmChips[] = {
    same("None"),
    same("STMicroGen10 TPM"),
    same("Intel firmware TPM (PTT)"),
    same("Nationz TPM"),
    same("STMicroGen10 Plus TPM"),
    same("STMicroGen11 TPM"),
    {"Reserved", k37, "STMicroGen12 TPM"},
};

// 224: the trusted module's state and kind.
void decodeTrustedModule(StructureView &view, Fields &fields) {
    if (!view.has(0x04)) {
        return;
    }
    const uint8_t status = view.u8(0x04);
    fields.enumeration("Status", status & 0x03U, nameTable(0, kTpmStatuses)).known = (status & 0x03U) != 3;
    // An absent module has no other lines.
    if ((status & 0x03U) == 0) {
        return;
    }
    fields.enumerated("Option ROM Measuring", (status >> 2) & 1U, yesNo((status & 0x04U) != 0));
    fields.enumerated("Hidden", (status >> 3) & 1U, yesNo((status & 0x08U) != 0));
    if (!view.has(0x08, 2)) {
        return;
    }
    const uint8_t condition = view.u8(0x05);
    if ((status & 0x03U) == 2) {
        fields.enumeration("Disable Reason", condition & 0x03U, nameTable(0, kTpmDisableReasons)).known =
            (condition & 0x03U) != 3;
    }
    if ((condition & 0x03U) == 2) {
        fields.enumeration("Error Condition", (condition >> 2) & 0x03U, nameTable(0, kTpmErrors)).known =
            ((condition >> 2) & 0x03U) < 2;
    }
    const uint8_t type = view.u8(0x06);
    fields.enumeration("Type", type & 0x0FU, nameTable(0, kTpmTypes), "Reserved");
    fields.enumerated("Standard Algorithm Supported", (type >> 4) & 1U, yesNo((type & 0x10U) != 0));
    fields.enumerated("Chinese Algorithm Supported", (type >> 5) & 1U, yesNo((type & 0x20U) != 0));
    const uint8_t attributes = view.u8(0x07);
    fields.enumeration("Trusted Module Attributes", attributes & 0x03U, nameTable(0, kTpmAttributes));
    fields.enumeration("FIPS Certification", (attributes >> 2) & 0x03U, nameTable(0, kTpmFips)).known =
        ((attributes >> 2) & 0x03U) != 3;
    fields.handle("Associated Handle", view.u16(0x08));
    if (!view.has(0x0A, 2)) {
        return;
    }
    // A byte, though the record must hold the word it begins.
    const uint8_t chip = view.u8(0x0A);
    const char *name = chip < std::size(kTpmChips) ? fields.say(kTpmChips[chip]) : "Reserved";
    fields.enumerated("Chip Identifier", chip, name, std::string(name) != "Reserved");
}

// 236: a drive backplane's FRU and bays. Gen11 and later (as far as the
// release knows them) carry another record of this number, left raw.
void decodeBackplane(StructureView &view, Fields &fields) {
    if (leftRawUnless(view, generationOf(view) < Generation::Gen11)) {
        return;
    }
    if (!view.has(0x08)) {
        return;
    }
    const uint8_t address = view.u8(0x04);
    fields.integer("FRU I2C Address", address >> 1, "", format("0x%X raw(0x%X)", address >> 1, address));
    number(fields, "Box Number", view.u16(0x05));
    fields.integer("NVRAM ID", view.u16(0x07), "", format("0x%X", view.u16(0x07)));
    // Eight bytes held, the low four shown.
    if (!view.has(0x09, 8)) {
        return;
    }
    fields.integer("SAS Expander WWID", view.u32(0x09), "", format("0x%X", view.u32(0x09)));
    if (!view.has(0x11)) {
        return;
    }
    number(fields, "Total SAS Bays", view.u8(0x11));
    // The bay counts and name only where the product names a generation
    // up to Gen10.
    if (generationOf(view) == Generation::Unnamed || !view.has(0x14)) {
        return;
    }
    number(fields, "A0 Bay Count", view.u8(0x12));
    number(fields, "A2 Bay Count", view.u8(0x13));
    fields.string("Backplane Name", view, 0x14);
}

const char *const kDriveTypes[] = {"Undetermined", "NVMe SSD", "SATA", "SAS", "SATA SSD", "NVMe Manged by VROC/VMD"};
const char *const kDriveFormFactors[] = {
    "Reserved",
    "Reserved",
    "3.5\" form factor",
    "2.5\" form factor",
    "1.8\" form factor",
    "Less than 1.8\" form factor",
    "mSATA",
    "M.2",
    "MicroSSD",
    "CFast",
};
const char *const kDriveHealth[] = {"OK", "Warning", "Critical"};

// 3.7's drive capacities: in powers of 1000, one decimal.
std::string decimalSize(uint64_t bytes) {
    static const char *const kUnits[] = {"bytes", "kB", "MB", "GB", "TB", "PB", "EB"};
    std::size_t unit = 0;
    double scale = 1;
    const auto size = static_cast<double>(bytes);
    while (unit + 1 < std::size(kUnits) && size / scale >= 1000) {
        scale *= 1000;
        ++unit;
    }
    return format("%.1f %s", size / scale, kUnits[unit]);
}

// 242: a drive's identity, size, health and links. 3.7 reads the record
// from length 42, 3.6 from 44; the capacity is a count of MB (10^6 bytes)
// up to length 61, of bytes from 62 on.
void decodeHardDrive(StructureView &view, Fields &fields) {
    if (leftRawUnless(view, generationOf(view) >= Generation::Gen10)) {
        return;
    }
    if (!view.has(view.wordsOf(k37) ? 0x29 : 0x2B)) {
        return;
    }
    fields.handle("Associated Handle", view.u16(0x04));
    fields.enumeration("Hard Drive Type", view.u8(0x06), nameTable(0, kDriveTypes), "Reserved");
    const uint64_t id = view.u64(0x07);
    fields.integer("ID", id, "", format("%llx", static_cast<unsigned long long>(id)));
    const bool inBytes = view.has(0x3D);
    const uint64_t bytes = inBytes ? view.u64(0x2C) : uint64_t{view.u32(0x0F)} * 1000000U;
    std::string capacity = view.wordsOf(k37) ? decimalSize(bytes)
                           : inBytes         ? sizeText(bytes, 0, view.dialect())
                                             : format("%u MB", view.u32(0x0F));
    fields.integer("Capacity", bytes, "bytes", std::move(capacity));
    const uint64_t hours = view.u64(0x13);
    fields.integer("Poweron", hours, "hours", format("%llu hours", static_cast<unsigned long long>(hours)));
    if (const uint8_t watts = view.u8(0x24); watts != 0) {
        fields.integer("Power Wattage", watts, "W", format("%u W", watts));
    } else {
        fields.text("Power Wattage", "Unknown").known = false;
    }
    fields.enumeration("Form Factor", view.u8(0x25), nameTable(0, kDriveFormFactors), "Reserved").known =
        view.u8(0x25) >= 2 && view.u8(0x25) < std::size(kDriveFormFactors);
    fields.enumeration("Health Status", view.u8(0x26), nameTable(0, kDriveHealth), "Reserved");
    fields.string("Serial Number", view, 0x27);
    fields.string("Model Number", view, 0x28);
    fields.string("Firmware Revision", view, 0x29);
    if (!view.has(0x2B)) {
        return;
    }
    fields.string("Location", view, 0x2A);
    fields.enumeration("Encryption Status", view.u8(0x2B), nameTable(0, kEncryptionStatuses), "Reserved");
    if (!inBytes) {
        return;
    }
    fields.integer("Block Size", view.u32(0x34), "bytes", format("%u bytes", view.u32(0x34)));
    quantityOrUnknown(fields, "Negotiated Speed", view.u16(0x3A), "Gbit/s");
    quantityOrUnknown(fields, "Capable Speed", view.u16(0x3C), "Gbit/s");
}

// The firmware types 216 names, with the release that first names each
// (a later row for the same value rewords it from its release on).
struct FirmwareType {
    const char *name;
    uint16_t value;
    Dialect since;
};
const FirmwareType kFirmwareTypes[] = {
    {"System ROM", 0x01, k36},
    {"Redundant System ROM", 0x02, k36},
    {"System ROM Bootblock", 0x03, k36},
    {"Power Management Controller Firmware", 0x04, k36},
    {"Power Management Controller Firmware Bootloader", 0x05, k36},
    {"SL Chassis Firmware", 0x06, k36},
    {"SL Chassis Firmware Bootloader", 0x07, k36},
    {"Hardware PAL/CPLD", 0x08, k36},
    {"SPS Firmware (ME Firmware)", 0x09, k36},
    {"SL Chassis PAL/CPLD", 0x0A, k36},
    {"Compatibility Support Module (CSM)", 0x0B, k36},
    {"APML", 0x0C, k36},
    {"Smart Storage Battery (Megacell) Firmware", 0x0D, k36},
    {"Trusted Module (TPM or TCM) Firmware Version", 0x0E, k36},
    {"NVMe Backplane Firmware", 0x0F, k36},
    {"Intelligent Provisioning", 0x10, k36},
    {"SPI Descriptor Version", 0x11, k36},
    {"Innovation Engine Firmware (IE Firmware)", 0x12, k36},
    {"UMB Backplane Firmware", 0x13, k36},
    {"Embedded Diagnostics", 0x14, k37},
    {"EL Chassis Abstraction Revision", 0x20, k36},
    {"EL Chassis Firmware Revision", 0x21, k36},
    {"EL Chassis PAL/CPLD", 0x22, k36},
    {"EL Cartride Abstraction Revision", 0x23, k36},
    {"Embedded Video Controller", 0x30, k36},
    {"PCIe Riser Programmable Logic Device", 0x31, k36},
    {"PCIe cards that contain a CPLD", 0x32, k36},
    {"Intel NVMe VROC", 0x33, k36},
    {"Intel SATA VROC", 0x34, k36},
    {"Intel SPS Firmware", 0x35, k36},
    {"Secondary System Programmable Logic Device", 0x36, k36},
    {"CPU MEZZ Programmable Logic Device", 0x37, k36},
    {"CPU Mezzanine Board CPLD", 0x37, k37},
    {"Intel Artic Sound -M Accelerator Models Firmware", 0x38, k36},
    {"Ampere System Control Processor (SCP - PMPro+SMPro)", 0x39, k36},
    {"Intel CFR information", 0x3A, k36},
    {"OCP cards", 0x3B, k36},
    {"DC-SCM CPLD", 0x3C, k36},
    {"Power Distribution Board CPLD", 0x3D, k37},
    {"PCIe Switch Board CPLD", 0x3E, k37},
    {"Sideband Board CPLD", 0x3F, k37},
    {"PCIe Riser MCU Firmware", 0x40, k37},
    {"PCIe Switch Board Firmware", 0x41, k37},
    {"Power Supply Firmware", 0x42, k37},
    {"BMC Firmware", 0x43, k37},
};

// The version data's text in each of its formats (the byte at 08h); the
// data begins at 09h.
std::string versionData(const StructureView &view, uint8_t kind) {
    const auto b = [&view](std::size_t offset) { return unsigned{view.u8(offset)}; };
    const auto w = [&view](std::size_t offset) { return unsigned{view.u16(offset)}; };
    const auto threeParts = [&b] { return format("%u.%u.%u", b(0x09) >> 4, b(0x09) & 0x0F, b(0x0A) & 0x7F); };
    switch (kind) {
    case 0x00:
        return "No Version Data";
    case 0x01: {
        // Bit 7 of the first byte marks a beta build of the number it holds.
        std::string text = format("0x%02X", b(0x0A) & 0x7F);
        if (b(0x09) & 0x80) {
            text += format(" B.0x%02X", b(0x09) & 0x7F);
        }
        return text;
    }
    case 0x02:
        return format("%u.%u", b(0x09) >> 4, b(0x09) & 0x0F);
    case 0x04:
        return threeParts();
    case 0x05: {
        // Gen9 shows it as format 4, Gen10 (or a product naming no
        // generation) in nibbles of its own; other generations do not use it.
        const Generation generation = generationOf(view);
        if (generation == Generation::Gen9) {
            return threeParts();
        }
        if (generation != Generation::Gen10 && generation != Generation::Unnamed) {
            break;
        }
        return format("%u.%u.%u.%u", b(0x0A) & 0x0F, b(0x0C) & 0x0F, b(0x0E) & 0x0F, b(0x0F) & 0x0F);
    }
    case 0x06:
        return format("%u.%u", b(0x0A), b(0x09));
    case 0x07:
        return format("v%u.%02u (%02u/%02u/%u)", b(0x09), b(0x0A), b(0x0B), b(0x0C), w(0x0D));
    case 0x08:
        return format("%u.%u", w(0x0D), w(0x09));
    case 0x09:
        return format("%u.%u.%u", b(0x09), b(0x0A), w(0x0B));
    case 0x0A:
        return format("%u.%u.%u Build %u", b(0x09), b(0x0A), b(0x0B), b(0x0C));
    case 0x0B:
        return format("%u.%u %d", w(0x0B), w(0x09), static_cast<int32_t>(view.u32(0x0D)));
    case 0x0C:
        return format("%u.%u.%u.%u", w(0x09), w(0x0B), w(0x0D), w(0x0F));
    case 0x0D:
        return format("%u", b(0x09));
    case 0x0E:
        // 3.7 reads the last part as a word.
        if (view.wordsOf(k37)) {
            return format("%u.%u.%u.%u", b(0x09), b(0x0A), b(0x0B), w(0x0C));
        }
        return format("%u.%u.%u.%u", b(0x09), b(0x0A), b(0x0B), b(0x0C));
    case 0x0F:
        return format("%u.%u.%u.%u (%02u/%02u/%u)", w(0x09), w(0x0B), w(0x0D), w(0x0F), b(0x11), b(0x12), w(0x13));
    case 0x10: {
        // Four characters as stored, zeros included, then two numbers.
        std::string text;
        for (std::size_t i = 0; i < 4; ++i) {
            text += static_cast<char>(view.u8(0x09 + i));
        }
        return text + format(".%u%u", b(0x0D), b(0x0E));
    }
    case 0x11:
        return format("%08X", view.u32(0x09));
    case 0x12:
        return format(view.wordsOf(k37) ? "%u.%02u" : "%u.%2u", b(0x09), b(0x0A));
    case 0x13:
        if (!view.wordsOf(k37)) {
            break;
        }
        return format("0x%02x.0x%02x.0x%02x", b(0x09), b(0x0A), b(0x0B));
    case 0x14:
        if (!view.wordsOf(k37)) {
            break;
        }
        return format("%u.%u.%u.%u", b(0x09), b(0x0A), b(0x0B), b(0x0C));
    default:
        break;
    }
    return "Reserved";
}

// 216: one firmware's name and version, as the machine reports it.
void decodeVersionIndicator(StructureView &view, Fields &fields) {
    if (leftRawUnless(view, generationOf(view) >= Generation::Gen8)) {
        return;
    }
    if (!view.has(0x15, 2)) {
        return;
    }
    const uint16_t type = view.u16(0x04);
    const char *name = "Reserved";
    for (const FirmwareType &known : kFirmwareTypes) {
        if (known.value == type && view.wordsOf(known.since)) {
            name = known.name;
        }
    }
    fields.enumerated("Firmware Type", type, name, std::string(name) != "Reserved");
    fields.string("Firmware Name String", view, 0x06);
    fields.string("Firmware Version String", view, 0x07);
    const uint8_t kind = view.u8(0x08);
    Field &data = fields.text("Version Data", versionData(view, kind));
    data.number = kind;
    if (const uint16_t id = view.u16(0x15); id != 0) {
        fields.integer("Unique ID", id, "", format("0x%04x", id));
    }
}

// A row of the table: one type, the name dmidecode shows for it on HP's
// machines (in every release that decodes it, and where another structure
// refers to it), or the names of a type a release reworded.
constexpr OemTypeDecoder row(uint8_t type, Dialect since, const char *purpose, const Reworded &shown,
                             void (*decode)(StructureView &, Fields &)) {
    return {type, since, {purpose, shown, shown, decode}};
}
constexpr OemTypeDecoder row(uint8_t type, Dialect since, const char *purpose, const char *shown,
                             void (*decode)(StructureView &, Fields &)) {
    return row(type, since, purpose, same(shown), decode);
}

constexpr Reworded kUsbPortConnectorName = {"HP Proliant USB Port Connector Correlation Record", k37,
                                            "HP ProLiant USB Port Connector Correlation Record"};
constexpr Reworded kInventoryName = {"HP Proliant Inventory Record", k37, "HP ProLiant Inventory Record"};

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
    row(209, k34, "BIOS PXE NIC PCI and MAC Information", "HP BIOS PXE NIC PCI and MAC Information", inMakersWords<decodeNics>),
    row(211, k37, "TControl Information", "HP ProLiant TControl Information", inMakersWords<decodeTControl>),
    row(212, k34, "64-bit CRU Information", "HP 64-bit CRU Information", inMakersWords<decodeCru64>),
    // ---- Types 216 to 245 ----
    row(216, k36, "Version Indicator", "HP Version Indicator", inMakersWords<decodeVersionIndicator>),
    row(219, k34, "ProLiant Information", "HP ProLiant Information", inMakersWords<decodeProLiantInformation>),
    row(221, k34, "BIOS iSCSI NIC PCI and MAC Information", "HP BIOS iSCSI NIC PCI and MAC Information", inMakersWords<decodeIscsiNics>),
    row(224, k36, "Trusted Module (TPM or TCM) Status", "HP Trusted Module (TPM or TCM) Status", inMakersWords<decodeTrustedModule>),
    row(226, k37, "Physical Attribute Information", "HP Physical Attribute Information", inMakersWords<decodePhysicalAttribute>),
    row(229, k37, "Reserved Memory Location", "HP Reserved Memory Location", inMakersWords<decodeReservedMemory>),
    row(230, k36, "Power Supply Information", "HP Power Supply Information", inMakersWords<decodePowerSupply>),
    row(232, k37, "DIMM Attributes Record", "HP DIMM Attributes Record", inMakersWords<decodeDimmAttributes>),
    row(233, k34, "BIOS PXE NIC PCI and MAC Information", "HP BIOS PXE NIC PCI and MAC Information", inMakersWords<decodePxeNic>),
    row(236, k34, "HDD Backplane FRU Information", "HP HDD Backplane FRU Information", inMakersWords<decodeBackplane>),
    row(237, k34, "DIMM Vendor Information", "HP DIMM Vendor Information", inMakersWords<decodeDimmVendor>),
    row(238, k34, "USB Port Connector Correlation Record", kUsbPortConnectorName, inMakersWords<decodeUsbPortConnector>),
    row(239, k36, "USB Device Correlation Record", "HP USB Device Correlation Record", inMakersWords<decodeUsbDevice>),
    row(240, k34, "Inventory Record", kInventoryName, inMakersWords<decodeFirmwareInventory>),
    row(242, k36, "Hard Drive Inventory Record", "HP ProLiant Hard Drive Inventory Record", inMakersWords<decodeHardDrive>),
    row(244, k37, "DIMM Current Configuration", "HP DIMM Current Configuration", inMakersWords<decodeDimmConfiguration>),
    row(245, k36, "Extension Board Inventory Record", "HP ProLiant Extension Board Inventory Record", inMakersWords<decodeExtensionBoard>),
};
// clang-format on

}  // namespace

OemTypeTable hpeTypes() {
    return {kHpeTypes, sizeof kHpeTypes / sizeof kHpeTypes[0]};
}

}  // namespace smbios::decode
