// Decoders of the device structures: port connectors (8), slots (9), on-board devices (10, 41), group associations
// (14), pointing device (21), portable battery (22), system reset (23), hardware security (24), power controls (25).
#include <iterator>
#include <string>
#include <vector>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

const char *const kConnectorTypes[] = {
    "None",
    "Centronics",
    "Mini Centronics",
    "Proprietary",
    "DB-25 male",
    "DB-25 female",
    "DB-15 male",
    "DB-15 female",
    "DB-9 male",
    "DB-9 female",
    "RJ-11",
    "RJ-45",
    "50 Pin MiniSCSI",
    "Mini DIN",
    "Micro DIN",
    "PS/2",
    "Infrared",
    "HP-HIL",
    "Access Bus (USB)",
    "SSA SCSI",
    "Circular DIN-8 male",
    "Circular DIN-8 female",
    "On Board IDE",
    "On Board Floppy",
    "9 Pin Dual Inline (pin 10 cut)",
    "25 Pin Dual Inline (pin 26 cut)",
    "50 Pin Dual Inline",
    "68 Pin Dual Inline",
    "On Board Sound Input From CD-ROM",
    "Mini Centronics Type-14",
    "Mini Centronics Type-26",
    "Mini Jack (headphones)",
    "BNC",
    "IEEE 1394",
    "SAS/SATA Plug Receptacle",
    "USB Type-C Receptacle",  // 0x23
};

const char *const kConnectorTypesPc98[] = {
    "PC-98", "PC-98 Hireso", "PC-H98", "PC-98 Note", "PC-98 Full",  // 0xA0
};

// dmidecode 3.4 names neither MFDP (0x22) nor Thunderbolt (0x23); 3.6 names
// both.
const char *const kPortTypes[] = {
    "None",
    "Parallel Port XT/AT Compatible",
    "Parallel Port PS/2",
    "Parallel Port ECP",
    "Parallel Port EPP",
    "Parallel Port ECP/EPP",
    "Serial Port XT/AT Compatible",
    "Serial Port 16450 Compatible",
    "Serial Port 16550 Compatible",
    "Serial Port 16550A Compatible",
    "SCSI Port",
    "MIDI Port",
    "Joystick Port",
    "Keyboard Port",
    "Mouse Port",
    "SSA SCSI",
    "USB",
    "Firewire (IEEE P1394)",
    "PCMCIA Type I",
    "PCMCIA Type II",
    "PCMCIA Type III",
    "Cardbus",
    "Access Bus Port",
    "SCSI II",
    "SCSI Wide",
    "PC-98",
    "PC-98 Hireso",
    "PC-H98",
    "Video Port",
    "Audio Port",
    "Modem Port",
    "Network Port",
    "SATA",
    "SAS",
    "MFDP (Multi-Function Display Port)",
    "Thunderbolt",  // 0x23
};

const char *const kPortTypes8251[] = {"8251 Compatible", "8251 FIFO Compatible"};  // 0xA0

// The names of a value from one of two ranges and 0xFF "Other", as the
// connector and port tables are laid out.
void addSplitEnum(Fields &fields, const char *name, unsigned value, const NameTable &low, const NameTable &high) {
    if (value == 0xFF) {
        fields.enumerated(name, value, "Other");
    } else if (low.find(value, fields.dialect())) {
        fields.enumeration(name, value, low);
    } else {
        fields.enumeration(name, value, high);
    }
}

// Null entries are values the standard reserves or dmidecode 3.4 does not
// name: they show as out of range.
const char *const kSlotTypes[] = {
    "Other",
    "Unknown",
    "ISA",
    "MCA",
    "EISA",
    "PCI",
    "PC Card (PCMCIA)",
    "VLB",
    "Proprietary",
    "Processor Card",
    "Proprietary Memory Card",
    "I/O Riser Card",
    "NuBus",
    "PCI-66",
    "AGP",
    "AGP 2x",
    "AGP 4x",
    "PCI-X",
    "AGP 8x",
    "M.2 Socket 1-DP",
    "M.2 Socket 1-SD",
    "M.2 Socket 2",
    "M.2 Socket 3",
    "MXM Type I",
    "MXM Type II",
    "MXM Type III",
    "MXM Type III-HE",
    "MXM Type IV",
    "MXM 3.0 Type A",
    "MXM 3.0 Type B",
    "PCI Express 2 SFF-8639 (U.2)",
    "PCI Express 3 SFF-8639 (U.2)",
    "PCI Express Mini 52-pin with bottom-side keep-outs",
    "PCI Express Mini 52-pin without bottom-side keep-outs",
    "PCI Express Mini 76-pin",
    "PCI Express 4 SFF-8639 (U.2)",
    "PCI Express 5 SFF-8639 (U.2)",
    "OCP NIC 3.0 Small Form Factor (SFF)",
    "OCP NIC 3.0 Large Form Factor (LFF)",
    "OCP NIC Prior to 3.0",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "CXL FLexbus 1.0",  // 0x30, as dmidecode 3.4 spells it
};

const char *const kSlotTypesHigh[] = {
    "PC-98/C20",         "PC-98/C24",         "PC-98/E",           "PC-98/Local Bus",
    "PC-98/Card",        "PCI Express",       "PCI Express x1",    "PCI Express x2",
    "PCI Express x4",    "PCI Express x8",    "PCI Express x16",   "PCI Express 2",
    "PCI Express 2 x1",  "PCI Express 2 x2",  "PCI Express 2 x4",  "PCI Express 2 x8",
    "PCI Express 2 x16", "PCI Express 3",     "PCI Express 3 x1",  "PCI Express 3 x2",
    "PCI Express 3 x4",  "PCI Express 3 x8",  "PCI Express 3 x16", nullptr,
    "PCI Express 4",     "PCI Express 4 x1",  "PCI Express 4 x2",  "PCI Express 4 x4",
    "PCI Express 4 x8",  "PCI Express 4 x16", "PCI Express 5",     "PCI Express 5 x1",
    "PCI Express 5 x2",  "PCI Express 5 x4",  "PCI Express 5 x8",  "PCI Express 5 x16",
    "PCI Express 6+",    "EDSFF E1",
    "EDSFF E3",  // 0xC6
};

// The form of an EDSFF slot (0xC5, 0xC6) by the slot's length, as dmidecode
// 3.7 appends it to the type: E1.S when short, E1.L when long.
const char *edsffForm(unsigned type, unsigned length) {
    if (type < 0xC5 || type > 0xC6) {
        return "";
    }
    return length == 0x03 ? ".S" : length == 0x04 ? ".L" : "";
}

// The slot's data bus and physical widths from 1: dmidecode 3.6 words them
// as the standard does ("8 bit", "1x or x1").
const Reworded kSlotWidths[] = {
    {"Other", Dialect::Dmidecode34, "Other"},     {"Unknown", Dialect::Dmidecode34, "Unknown"},
    {"8-bit", Dialect::Dmidecode36, "8 bit"},     {"16-bit", Dialect::Dmidecode36, "16 bit"},
    {"32-bit", Dialect::Dmidecode36, "32 bit"},   {"64-bit", Dialect::Dmidecode36, "64 bit"},
    {"128-bit", Dialect::Dmidecode36, "128 bit"}, {"x1", Dialect::Dmidecode36, "1x or x1"},
    {"x2", Dialect::Dmidecode36, "2x or x2"},     {"x4", Dialect::Dmidecode36, "4x or x4"},
    {"x8", Dialect::Dmidecode36, "8x or x8"},     {"x12", Dialect::Dmidecode36, "12x or x12"},
    {"x16", Dialect::Dmidecode36, "16x or x16"},  {"x32", Dialect::Dmidecode36, "32x or x32"},
};

const char *slotWidthName(unsigned width, Dialect dialect) {
    return width >= 1 && width - 1 < std::size(kSlotWidths) ? kSlotWidths[width - 1].in(dialect) : nullptr;
}

const char *const kSlotUsages[] = {"Other", "Unknown", "Available", "In Use", "Unavailable"};

const char *const kSlotLengths[] = {
    "Other", "Unknown", "Short", "Long", "2.5\" drive form factor", "3.5\" drive form factor",
};

const char *const kSlotHeights[] = {"Not applicable", "Other", "Unknown", "Full height", "Low-profile"};

// Characteristics 1 from bit 1 (bit 0 is "unknown"), then 2 from bit 0.
const char *const kSlotCharacteristics1[] = {
    "5.0 V is provided",
    "3.3 V is provided",
    "Opening is shared",
    "PC Card-16 is supported",
    "Cardbus is supported",
    "Zoom Video is supported",
    "Modem ring resume is supported",
};

// dmidecode 3.4 names the first 7 (and calls a slot featureless when no bit
// below bit 3 is set, whatever the others); 3.6 names bit 7 too.
const char *const kSlotCharacteristics2[] = {
    "PME signal is supported",
    "Hot-plug devices are supported",
    "SMBus signal is supported",
    "PCIe slot bifurcation is supported",
    "Async/surprise removal is supported",
    "Flexbus slot, CXL 1.0 capable",
    "Flexbus slot, CXL 2.0 capable",
    "Flexbus slot, CXL 3.0 capable",
};

// The data bus width of the slot's base device (0x11).
const Reworded kBaseWidth{"Data Bus Width", Dialect::Dmidecode36, "Data Bus Width (Base)"};

const char *slotTypeName(unsigned type) {
    const char *name = nameTable(1, kSlotTypes).find(type);
    return name ? name : nameTable(0xA0, kSlotTypesHigh).find(type);
}

// 0xB7 is reserved between the PCI Express 3 and 4 slot types.
bool isPciExpress(unsigned type) {
    return (type >= 0x1F && type <= 0x23) || (type >= 0xA5 && type <= 0xC4 && type != 0xB7);
}

// The slot types whose ID is a bus's slot number (PCMCIA's is adapter and
// socket instead), and the first dmidecode release that shows it.
struct NumberedSlots {
    unsigned first;
    unsigned last;
    Dialect since;
};
const NumberedSlots kNumberedSlots[] = {
    {0x04, 0x06, Dialect::Dmidecode34},  // MCA, EISA, PCI
    {0x0E, 0x13, Dialect::Dmidecode34},  // PCI-66, AGP, PCI-X
    {0x14, 0x17, Dialect::Dmidecode37},  // M.2
    {0x1F, 0x23, Dialect::Dmidecode34},  // PCI Express U.2 and Mini
    {0x24, 0x28, Dialect::Dmidecode37},  // PCI Express 4 and 5 U.2, OCP NIC
    {0xA5, 0xB6, Dialect::Dmidecode34},  // PCI Express 1 to 3
    {0xB8, 0xC4, Dialect::Dmidecode34},  // PCI Express 4 to 6
    {0xC5, 0xC6, Dialect::Dmidecode37},  // EDSFF
};

bool hasSlotNumber(unsigned type, Dialect dialect) {
    for (const NumberedSlots &slots : kNumberedSlots) {
        if (type >= slots.first && type <= slots.last) {
            return dialect >= slots.since;
        }
    }
    return false;
}

std::string busAddress(unsigned segment, unsigned bus, unsigned deviceFunction) {
    return format("%04x:%02x:%02x.%x", segment, bus, deviceFunction >> 3, deviceFunction & 7);
}

// All ones mark a device not on a PCI bus.
bool onPciBus(unsigned segment, unsigned bus, unsigned deviceFunction) {
    return !(segment == 0xFFFF && bus == 0xFF && deviceFunction == 0xFF);
}

const char *const kOnBoardDeviceTypes[] = {
    "Other",           "Unknown",         "Video",          "SCSI Controller", "Ethernet",  "Token Ring", "Sound",
    "PATA Controller", "SATA Controller", "SAS Controller", "Wireless LAN",    "Bluetooth", "WWAN",       "eMMC",
    "NVMe Controller", "UFS Controller",
};

void addDeviceTypeAndStatus(Fields &fields, unsigned value) {
    fields.enumeration("Type", value & 0x7F, nameTable(1, kOnBoardDeviceTypes));
    fields.enumerated("Status", value >> 7, (value & 0x80) ? "Enabled" : "Disabled");
}

// dmidecode 3.4 spells HP-HIL "HIP-HIL".
const char *const kPointingTypes[] = {
    "Other",       "Unknown",   "Mouse",        "Track Ball",     "Track Point",
    "Glide Point", "Touch Pad", "Touch Screen", "Optical Sensor",
};
const char *const kPointingInterfaces[] = {
    "Other", "Unknown", "Serial", "PS/2", "Infrared", "HIP-HIL", "Bus Mouse", "ADB (Apple Desktop Bus)",
};
const char *const kPointingInterfacesHigh[] = {
    "Bus Mouse DB-9", "Bus Mouse Micro DIN", "USB", "I2C", "SPI",  // 0xA0
};

const char *const kBatteryChemistries[] = {
    "Other",       "Unknown",  "Lead Acid",       "Nickel Cadmium", "Nickel Metal Hydride",
    "Lithium Ion", "Zinc Air", "Lithium Polymer",
};

// Boot option values 01b to 11b; 00b is reserved.
const char *const kBootOptions[] = {"Operating System", "System Utilities", "Do Not Reboot"};

const char *const kPasswordStatuses[] = {"Disabled", "Enabled", "Not Implemented", "Unknown"};

// A count or time the structure gives as a word, 0xFFFF when unknown.
void addOptionalWord(Fields &fields, const char *name, unsigned value, const char *unit) {
    if (value == 0xFFFF) {
        fields.integer(name, value, unit, "Unknown").known = false;
    } else {
        fields.integer(name, value, unit, *unit ? format("%u %s", value, unit) : format("%u", value));
    }
}

// One BCD field of the power-on time: "*" when it is not a BCD number from
// `low` to `high`.
std::string bcdField(unsigned value, unsigned low, unsigned high) {
    unsigned tens = value >> 4;
    unsigned ones = value & 15;
    unsigned number = tens * 10 + ones;
    if (tens > 9 || ones > 9 || number < low || number > high) {
        return "*";
    }
    return format("%02x", value);
}

}  // namespace

void decodePortConnector(StructureView &view, Fields &fields) {
    if (!view.has(0x09 - 1)) {
        return;
    }
    const NameTable connectors = nameTable(0, kConnectorTypes);
    const NameTable connectorsPc98 = nameTable(0xA0, kConnectorTypesPc98);
    fields.string("Internal Reference Designator", view, 0x04);
    addSplitEnum(fields, "Internal Connector Type", view.u8(0x05), connectors, connectorsPc98);
    fields.string("External Reference Designator", view, 0x06);
    addSplitEnum(fields, "External Connector Type", view.u8(0x07), connectors, connectorsPc98);
    addSplitEnum(fields, "Port Type", view.u8(0x08), nameTable(0, kPortTypes, 0x22, 0x24),
                 nameTable(0xA0, kPortTypes8251));
}

void decodeSystemSlots(StructureView &view, Fields &fields) {
    if (!view.has(0x0C - 1)) {
        return;
    }
    const unsigned type = view.u8(0x05);
    const unsigned width = view.u8(0x06);
    fields.string("Designation", view, 0x04);
    const Dialect dialect = fields.dialect();
    const char *baseName = slotTypeName(type);
    std::string typeName = baseName ? baseName : kOutOfRange;
    if (baseName && view.wordsOf(Dialect::Dmidecode37)) {
        typeName += edsffForm(type, view.u8(0x08));
    }
    const char *widthName = slotWidthName(width, dialect);
    const std::string widthText = widthName ? widthName : kOutOfRange;
    // From 3.6 the width has a line of its own; 3.4 puts it before the
    // type's name, "Other" and "Unknown" left out.
    const bool widthLine = view.wordsOf(Dialect::Dmidecode36);
    fields.enumerated("Type", type, widthLine || width == 1 || width == 2 ? typeName : widthText + " " + typeName,
                      baseName != nullptr);
    fields.enumerated("Data Bus Width", width, widthText, widthName != nullptr).shown =
        widthLine ? Shown::Always : Shown::ProgramsOnly;
    fields.enumeration("Current Usage", view.u8(0x07), nameTable(1, kSlotUsages));
    fields.enumeration("Length", view.u8(0x08), nameTable(1, kSlotLengths));
    if (type == 0x07) {
        fields.integer("ID", view.u16(0x09), "", format("Adapter %u, Socket %u", view.u8(0x09), view.u8(0x0A)));
    } else if (hasSlotNumber(type, dialect)) {
        fields.integer("ID", view.u8(0x09), "", format("%u", view.u8(0x09)));
    }

    const unsigned first = view.u8(0x0B);
    // Characteristics 2 reads as 0 in a 2.0 structure.
    const unsigned second = view.u8(0x0C);
    const NameTable characteristics2 = nameTable(0, kSlotCharacteristics2, 7, 8);
    const unsigned featureBits = view.wordsOf(Dialect::Dmidecode36) ? 0xFF : 0x07;
    if (first & 1) {
        fields.text("Characteristics", "Unknown");
    } else if ((first & 0xFE) == 0 && (second & featureBits) == 0) {
        fields.flags("Characteristics", {}, "None");
    } else {
        std::vector<std::string> items;
        for (unsigned bit = 1; bit < 8; ++bit) {
            if (first & (1U << bit)) {
                items.emplace_back(kSlotCharacteristics1[bit - 1]);
            }
        }
        for (unsigned bit = 0; bit < 8; ++bit) {
            const char *name = characteristics2.find(bit, dialect);
            if ((second & (1U << bit)) && name) {
                items.emplace_back(name);
            }
        }
        fields.flags("Characteristics", std::move(items));
    }

    if (!view.has(0x0D, 4)) {
        return;
    }
    const unsigned segment = view.u16(0x0D);
    const unsigned bus = view.u8(0x0F);
    const unsigned deviceFunction = view.u8(0x10);
    if (onPciBus(segment, bus, deviceFunction)) {
        fields.text("Bus Address", busAddress(segment, bus, deviceFunction));
    }

    if (!view.has(0x11, 2)) {
        return;
    }
    // Keyed by the words of 3.6: 3.4's are the key of the slot's own width.
    Label baseWidth = fields.label(kBaseWidth);
    baseWidth.key = kBaseWidth.reworded;
    fields.integer(baseWidth, view.u8(0x11), "", format("%u", view.u8(0x11)));
    const unsigned peers = view.u8(0x12);
    fields.integer("Peer Devices", peers, "", format("%u", peers));
    const std::size_t after = 0x13 + 5 * std::size_t{peers};
    if (view.has(0x13, after - 0x13)) {
        for (unsigned peer = 0; peer < peers; ++peer) {
            const std::size_t at = 0x13 + 5 * std::size_t{peer};
            fields.text(format("Peer Device %u", peer + 1), busAddress(view.u16(at), view.u8(at + 2), view.u8(at + 3)) +
                                                                format(" (Width %u)", view.u8(at + 4)));
        }
    }

    if (!view.has(after, 4)) {
        return;
    }
    const unsigned information = view.u8(after);
    if (information != 0 && isPciExpress(type)) {
        fields.integer("PCI Express Generation", information, "", format("%u", information));
    }
    const unsigned physicalWidth = view.u8(after + 1);
    if (physicalWidth != 0) {
        const char *name = slotWidthName(physicalWidth, dialect);
        fields.enumerated("Slot Physical Width", physicalWidth, name ? name : kOutOfRange, name != nullptr);
    }
    const unsigned pitch = view.u16(after + 2);
    if (pitch != 0) {
        fields.integer("Pitch", pitch, "0.01 mm", format("%u.%02u mm", pitch / 100, pitch % 100));
    }
    if (view.has(after + 4)) {
        fields.enumeration("Height", view.u8(after + 4), nameTable(0, kSlotHeights));
    }
}

void decodeOnBoardDevices(StructureView &view, Fields &fields) {
    const std::size_t count = view.formattedLength() > 4 ? (view.formattedLength() - 4) / 2 : 0;
    if (count == 1) {
        addDeviceTypeAndStatus(fields, view.u8(0x04));
        fields.string("Description", view, 0x05);
        return;
    }
    // Without a device dmidecode shows not even the name.
    if (count != 1) {
        fields.useHeadings();
    }
    for (std::size_t device = 0; device < count; ++device) {
        Field &group = fields.group(format("On Board Device %u Information", static_cast<unsigned>(device + 1)));
        Fields children(group, fields);
        addDeviceTypeAndStatus(children, view.u8(4 + 2 * device));
        children.string("Description", view, 5 + 2 * device);
    }
}

void decodeGroupAssociations(StructureView &view, Fields &fields) {
    if (!view.has(0x05 - 1)) {
        return;
    }
    fields.string("Name", view, 0x04);
    const std::size_t count = (view.formattedLength() - 5) / 3;
    Field &items = fields.group("Items", format("%u", static_cast<unsigned>(count)));
    for (std::size_t item = 0; item < count; ++item) {
        const std::size_t at = 5 + 3 * item;
        const unsigned type = view.u8(at);
        const unsigned handle = view.u16(at + 1);
        const char *typeName = type >= 128 ? "OEM-specific" : shortTypeName(type, fields.dialect());
        Field &member = Fields(items, fields).line(format("0x%04X (%s)", handle, typeName ? typeName : kOutOfRange));
        member.kind = Kind::Handle;
        member.number = handle;
    }
}

void decodePointingDevice(StructureView &view, Fields &fields) {
    if (!view.has(0x07 - 1)) {
        return;
    }
    fields.enumeration("Type", view.u8(0x04), nameTable(1, kPointingTypes));
    const unsigned interface = view.u8(0x05);
    const NameTable low = nameTable(1, kPointingInterfaces);
    fields.enumeration("Interface", interface, low.find(interface) ? low : nameTable(0xA0, kPointingInterfacesHigh));
    fields.integer("Buttons", view.u8(0x06), "", format("%u", view.u8(0x06)));
}

void decodePortableBattery(StructureView &view, Fields &fields) {
    if (!view.has(0x10 - 1)) {
        return;
    }
    // The SBDS fields of a full structure stand in for the older ones when
    // those are left empty; a structure of the first layout has only these.
    const bool full = view.has(0x1A - 1);
    fields.string("Location", view, 0x04);
    fields.string("Manufacturer", view, 0x05);
    if (!full || view.u8(0x06) != 0) {
        fields.string("Manufacture Date", view, 0x06);
    }
    if (!full || view.u8(0x07) != 0) {
        fields.string("Serial Number", view, 0x07);
    }
    fields.string("Name", view, 0x08);
    const unsigned chemistry = view.u8(0x09);
    if (!full || chemistry != 0x02) {
        fields.enumeration("Chemistry", chemistry, nameTable(1, kBatteryChemistries));
    }
    const unsigned capacity = view.u16(0x0A);
    const unsigned multiplier = view.has(0x15) ? view.u8(0x15) : 1;
    if (capacity == 0) {
        fields.integer("Design Capacity", 0, "mWh", "Unknown").known = false;
    } else {
        const unsigned milliwattHours = capacity * multiplier;
        fields.integer("Design Capacity", milliwattHours, "mWh", format("%u mWh", milliwattHours));
    }
    const unsigned voltage = view.u16(0x0C);
    if (voltage == 0) {
        fields.integer("Design Voltage", 0, "mV", "Unknown").known = false;
    } else {
        fields.integer("Design Voltage", voltage, "mV", format("%u mV", voltage));
    }
    fields.string("SBDS Version", view, 0x0E);
    const unsigned maximumError = view.u8(0x0F);
    if (maximumError == 0xFF) {
        fields.integer("Maximum Error", maximumError, "%", "Unknown").known = false;
    } else {
        fields.integer("Maximum Error", maximumError, "%", format("%u%%", maximumError));
    }
    if (!full) {
        return;
    }
    if (view.u8(0x07) == 0) {
        fields.integer("SBDS Serial Number", view.u16(0x10), "", format("%04X", view.u16(0x10)));
    }
    if (view.u8(0x06) == 0) {
        const unsigned date = view.u16(0x12);
        fields.text("SBDS Manufacture Date",
                    format("%u-%02u-%02u", 1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F));
    }
    if (chemistry == 0x02) {
        fields.string("SBDS Chemistry", view, 0x14);
    }
    fields.integer("OEM-specific Information", view.u32(0x16), "", format("0x%08X", view.u32(0x16)));
}

void decodeSystemReset(StructureView &view, Fields &fields) {
    if (!view.has(0x0D - 1)) {
        return;
    }
    const unsigned capabilities = view.u8(0x04);
    fields.enumerated("Status", capabilities & 1, (capabilities & 1) ? "Enabled" : "Disabled");
    const bool watchdog = (capabilities & 0x20) != 0;
    fields.enumerated("Watchdog Timer", watchdog ? 1 : 0, watchdog ? "Present" : "Not Present");
    if (!watchdog) {
        return;
    }
    const NameTable options = nameTable(1, kBootOptions);
    fields.enumeration("Boot Option", (capabilities >> 1) & 3, options);
    fields.enumeration("Boot Option On Limit", (capabilities >> 3) & 3, options);
    addOptionalWord(fields, "Reset Count", view.u16(0x05), "");
    addOptionalWord(fields, "Reset Limit", view.u16(0x07), "");
    addOptionalWord(fields, "Timer Interval", view.u16(0x09), "min");
    addOptionalWord(fields, "Timeout", view.u16(0x0B), "min");
}

void decodeHardwareSecurity(StructureView &view, Fields &fields) {
    if (!view.has(0x05 - 1)) {
        return;
    }
    const unsigned settings = view.u8(0x04);
    const NameTable statuses = nameTable(0, kPasswordStatuses);
    fields.enumeration("Power-On Password Status", settings >> 6, statuses);
    fields.enumeration("Keyboard Password Status", (settings >> 4) & 3, statuses);
    fields.enumeration("Administrator Password Status", (settings >> 2) & 3, statuses);
    fields.enumeration("Front Panel Reset Status", settings & 3, statuses);
}

void decodeSystemPowerControls(StructureView &view, Fields &fields) {
    if (!view.has(0x09 - 1)) {
        return;
    }
    fields.text("Next Scheduled Power-on", bcdField(view.u8(0x04), 1, 12) + "-" + bcdField(view.u8(0x05), 1, 31) + " " +
                                               bcdField(view.u8(0x06), 0, 23) + ":" + bcdField(view.u8(0x07), 0, 59) +
                                               ":" + bcdField(view.u8(0x08), 0, 59));
}

void decodeOnboardDeviceExtended(StructureView &view, Fields &fields) {
    if (!view.has(0x0B - 1)) {
        return;
    }
    fields.string("Reference Designation", view, 0x04);
    addDeviceTypeAndStatus(fields, view.u8(0x05));
    fields.integer("Type Instance", view.u8(0x06), "", format("%u", view.u8(0x06)));
    const unsigned segment = view.u16(0x07);
    const unsigned bus = view.u8(0x09);
    const unsigned deviceFunction = view.u8(0x0A);
    if (onPciBus(segment, bus, deviceFunction)) {
        fields.text("Bus Address", busAddress(segment, bus, deviceFunction));
    }
}

}  // namespace smbios::decode
