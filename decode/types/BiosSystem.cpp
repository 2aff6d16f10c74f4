// Decoders of the firmware and system identity structures: BIOS (0), system (1), baseboard (2), chassis (3), OEM
// strings (11), configuration options (12), BIOS languages (13), system boot (32).
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

// An enumeration whose value `unknown` is the standard's "Unknown": its
// name says nothing of the value.
Field &enumerationWithUnknown(Fields &fields, std::string name, unsigned value, const NameTable &names,
                              unsigned unknown) {
    Field &field = fields.enumeration(std::move(name), value, names);
    if (value == unknown) {
        field.known = false;
    }
    return field;
}

// Systems and baseboards open with the same four strings at 04h-07h; a
// structure too short to hold them all shows nothing.
bool addProductStrings(StructureView &view, Fields &fields) {
    if (!view.has(0x07)) {
        return false;
    }
    fields.string("Manufacturer", view, 0x04);
    fields.string("Product Name", view, 0x05);
    fields.string("Version", view, 0x06);
    fields.string("Serial Number", view, 0x07);
    return true;
}

std::vector<std::string> setBits(unsigned bits, const NameTable &names) {
    std::vector<std::string> items;
    for (unsigned bit = names.first; bit < names.first + names.count; ++bit) {
        if ((bits >> bit) & 1U) {
            items.emplace_back(names.find(bit));
        }
    }
    return items;
}

// Sizes that are whole kilobytes are shown in them, as firmware sizes
// usually are.
std::string sizeText(uint32_t bytes, Dialect dialect) {
    if (bytes % 1024 == 0) {
        return format("%u %s", static_cast<unsigned>(bytes / 1024), unitName(1, dialect));
    }
    return format("%u bytes", static_cast<unsigned>(bytes));
}

constexpr Dialect k37 = Dialect::Dmidecode37;

// The characteristics from bit 4 of the 8-byte field.
const Reworded kCharacteristics[] = {
    unchanged("ISA is supported"),
    unchanged("MCA is supported"),
    unchanged("EISA is supported"),
    unchanged("PCI is supported"),
    unchanged("PC Card (PCMCIA) is supported"),
    unchanged("PNP is supported"),
    unchanged("APM is supported"),
    {"BIOS is upgradeable", k37, "Firmware is upgradeable"},
    {"BIOS shadowing is allowed", k37, "Firmware shadowing is allowed"},
    unchanged("VLB is supported"),
    unchanged("ESCD support is available"),
    unchanged("Boot from CD is supported"),
    unchanged("Selectable boot is supported"),
    {"BIOS ROM is socketed", k37, "Firmware ROM is socketed"},
    unchanged("Boot from PC Card (PCMCIA) is supported"),
    unchanged("EDD is supported"),
    unchanged("Japanese floppy for NEC 9800 1.2 MB is supported (int 13h)"),
    unchanged("Japanese floppy for Toshiba 1.2 MB is supported (int 13h)"),
    unchanged("5.25\"/360 kB floppy services are supported (int 13h)"),
    unchanged("5.25\"/1.2 MB floppy services are supported (int 13h)"),
    unchanged("3.5\"/720 kB floppy services are supported (int 13h)"),
    unchanged("3.5\"/2.88 MB floppy services are supported (int 13h)"),
    unchanged("Print screen service is supported (int 5h)"),
    unchanged("8042 keyboard services are supported (int 9h)"),
    unchanged("Serial services are supported (int 14h)"),
    unchanged("Printer services are supported (int 17h)"),
    unchanged("CGA/mono video services are supported (int 10h)"),
    unchanged("NEC PC-98"),
};

const Reworded kCharacteristicsNotSupported{"BIOS characteristics not supported", k37,
                                            "Firmware characteristics not supported"};
const Reworded kBiosRevision{"BIOS Revision", k37, "Platform Firmware Revision"};
const Reworded kFirmwareRevision{"Firmware Revision", k37, "Embedded Controller Firmware Revision"};

const char *const kCharacteristicsExtension1[] = {
    "ACPI is supported",           "USB legacy is supported",    "AGP is supported",
    "I2O boot is supported",       "LS-120 boot is supported",   "ATAPI Zip drive boot is supported",
    "IEEE 1394 boot is supported", "Smart battery is supported",
};

const char *const kCharacteristicsExtension2[] = {
    "BIOS boot specification is supported",
    "Function key-initiated network boot is supported",
    "Targeted content distribution is supported",
    "UEFI is supported",
    "System is a virtual machine",
    "Manufacturing mode is supported",
    "Manufacturing mode is enabled",
};

// A revision pair where 0FFh in either byte means the firmware has none.
void addRevision(Fields &fields, const Reworded &name, uint8_t major, uint8_t minor) {
    if (major != 0xFF && minor != 0xFF) {
        fields.text(fields.label(name), format("%u.%u", unsigned{major}, unsigned{minor}));
    }
}

const char *const kWakeUpTypes[] = {
    "Reserved",   "Other",        "Unknown",  "APM Timer",         "Modem Ring",
    "LAN Remote", "Power Switch", "PCI PME#", "AC Power Restored",
};

const char *const kBoardFeatures[] = {
    "Board is a hosting board", "Board requires at least one daughter board",
    "Board is removable",       "Board is replaceable",
    "Board is hot swappable",
};

const char *const kBoardTypes[] = {
    "Unknown",
    "Other",
    "Server Blade",
    "Connectivity Switch",
    "System Management Module",
    "Processor Module",
    "I/O Module",
    "Memory Module",
    "Daughter Board",
    "Motherboard",
    "Processor+Memory Module",
    "Processor+I/O Module",
    "Interconnect Board",
};

const Reworded kChassisTypes[] = {
    unchanged("Other"),
    unchanged("Unknown"),
    unchanged("Desktop"),
    unchanged("Low Profile Desktop"),
    unchanged("Pizza Box"),
    unchanged("Mini Tower"),
    unchanged("Tower"),
    unchanged("Portable"),
    unchanged("Laptop"),
    unchanged("Notebook"),
    unchanged("Hand Held"),
    unchanged("Docking Station"),
    unchanged("All In One"),
    unchanged("Sub Notebook"),
    unchanged("Space-saving"),
    unchanged("Lunch Box"),
    unchanged("Main Server Chassis"),
    unchanged("Expansion Chassis"),
    unchanged("Sub Chassis"),
    unchanged("Bus Expansion Chassis"),
    unchanged("Peripheral Chassis"),
    unchanged("RAID Chassis"),
    unchanged("Rack Mount Chassis"),
    unchanged("Sealed-case PC"),
    unchanged("Multi-system"),
    {"CompactPCI", k37, "Compact PCI"},
    {"AdvancedTCA", k37, "Advanced TCA"},
    unchanged("Blade"),
    {"Blade Enclosing", k37, "Blade Enclosure"},
    unchanged("Tablet"),
    unchanged("Convertible"),
    unchanged("Detachable"),
    unchanged("IoT Gateway"),
    unchanged("Embedded PC"),
    unchanged("Mini PC"),
    unchanged("Stick PC"),
};

// The first releases that show the chassis SKU by the table's version, and
// that show the rack fields of SMBIOS 3.9.
constexpr Dialect kSkuByVersionSince = k37;
constexpr Dialect kRackSince = k37;

const char *const kRackTypes[] = {"Unspecified", "OU"};

const char *const kChassisStates[] = {"Other", "Unknown", "Safe", "Warning", "Critical", "Non-recoverable"};

const char *const kSecurityStatuses[] = {
    "Other", "Unknown", "None", "External Interface Locked Out", "External Interface Enabled",
};

const char *const kBootStatuses[] = {
    "No errors detected",
    "No bootable media",
    "Operating system failed to load",
    "Firmware-detected hardware failure",
    "Operating system-detected hardware failure",
    "User-requested boot",
    "System security violation",
    "Previously-requested image",
    "System watchdog timer expired",
};

}  // namespace

std::string uuidText(const uint8_t *id, bool littleEndian) {
    if (littleEndian) {
        return format("%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", id[3], id[2], id[1],
                      id[0], id[5], id[4], id[7], id[6], id[8], id[9], id[10], id[11], id[12], id[13], id[14], id[15]);
    }
    return format("%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", id[0], id[1], id[2], id[3],
                  id[4], id[5], id[6], id[7], id[8], id[9], id[10], id[11], id[12], id[13], id[14], id[15]);
}

void decodeBios(StructureView &view, Fields &fields) {
    if (!view.has(0x11)) {
        return;
    }
    fields.string("Vendor", view, 0x04);
    fields.string("Version", view, 0x05);
    fields.string("Release Date", view, 0x08);
    // Firmware that runs only from flash above 1 MB (UEFI) has no segment.
    uint16_t segment = view.u16(0x06);
    if (segment != 0) {
        uint32_t address = uint32_t{segment} << 4;
        fields.integer("Address", address, {}, format("0x%05X", address));
        uint32_t runtime = (0x10000U - segment) << 4;
        fields.integer("Runtime Size", runtime, "bytes", sizeText(runtime, fields.dialect()));
    }
    uint8_t rom = view.u8(0x09);
    if (rom == 0xFF && view.has(0x18, 2)) {
        uint16_t extended = view.u16(0x18);
        unsigned size = extended & 0x3FFFU;
        // Bits 15:14 give the unit: 00b MB, 01b GB.
        unsigned unit = extended >> 14;
        const char *unitText = unit < 2 ? unitName(2 + unit, fields.dialect()) : "";
        Field &field =
            fields.integer("ROM Size", size, unitText, format("%u %s", size, unit < 2 ? unitText : kOutOfRange));
        field.known = unit < 2;
    } else {
        // 64 kB for each count past zero; whole megabytes are shown as such.
        unsigned kilobytes = (unsigned{rom} + 1) * 64;
        const bool megabytes = kilobytes % 1024 == 0;
        const unsigned shown = megabytes ? kilobytes / 1024 : kilobytes;
        const char *unit = unitName(megabytes ? 2 : 1, fields.dialect());
        fields.integer("ROM Size", shown, unit, format("%u %s", shown, unit));
    }

    std::vector<std::string> characteristics;
    uint64_t bits = view.u64(0x0A);
    if ((bits >> 3) & 1U) {
        // The rest of the word means nothing then.
        characteristics.emplace_back(fields.say(kCharacteristicsNotSupported));
    } else {
        const auto named = static_cast<uint32_t>(bits) >> 4;
        for (unsigned bit = 0; bit < std::size(kCharacteristics); ++bit) {
            if ((named >> bit) & 1U) {
                characteristics.emplace_back(fields.say(kCharacteristics[bit]));
            }
        }
    }
    if (view.has(0x12)) {
        std::vector<std::string> named = setBits(view.u8(0x12), nameTable(0, kCharacteristicsExtension1));
        characteristics.insert(characteristics.end(), named.begin(), named.end());
    }
    if (view.has(0x13)) {
        std::vector<std::string> named = setBits(view.u8(0x13), nameTable(0, kCharacteristicsExtension2));
        characteristics.insert(characteristics.end(), named.begin(), named.end());
    }
    Field &field = fields.flags("Characteristics", std::move(characteristics), nullptr);
    field.number = bits;

    if (view.has(0x14, 4)) {
        addRevision(fields, kBiosRevision, view.u8(0x14), view.u8(0x15));
        addRevision(fields, kFirmwareRevision, view.u8(0x16), view.u8(0x17));
    }
}

void decodeSystem(StructureView &view, Fields &fields) {
    if (!addProductStrings(view, fields)) {
        return;
    }
    if (view.has(0x08, 17)) {
        const uint8_t *id = view.data() + 0x08;
        bool allZero = true;
        bool allOnes = true;
        for (int i = 0; i < 16; ++i) {
            allZero = allZero && id[i] == 0x00;
            allOnes = allOnes && id[i] == 0xFF;
        }
        // All zeros: no ID and none can be set; all ones: none yet, but one
        // can be set.
        std::string text = allZero   ? "Not Settable"
                           : allOnes ? "Not Present"
                                     : uuidText(id, view.version().atLeast(2, 6));
        Field &uuid = fields.text("UUID", std::move(text));
        uuid.kind = Kind::Uuid;
        uuid.bytes.assign(id, id + 16);
        uuid.known = !allZero && !allOnes;
        uint8_t wakeUp = view.u8(0x18);
        Field &field = enumerationWithUnknown(fields, "Wake-up Type", wakeUp, nameTable(0, kWakeUpTypes), 2);
        field.known = field.known && wakeUp != 0;
    }
    if (view.has(0x19, 2)) {
        fields.string("SKU Number", view, 0x19);
        fields.string("Family", view, 0x1A);
    }
}

void decodeBaseboard(StructureView &view, Fields &fields) {
    if (!addProductStrings(view, fields)) {
        return;
    }
    if (!view.has(0x08)) {
        return;
    }
    fields.string("Asset Tag", view, 0x08);
    if (!view.has(0x09)) {
        return;
    }
    Field &features = fields.flags("Features", setBits(view.u8(0x09), nameTable(0, kBoardFeatures)));
    features.number = view.u8(0x09);
    features.reservedBits = unnamedBits(features.number, nameTable(0, kBoardFeatures));
    if (!view.has(0x0D)) {
        return;
    }
    fields.string("Location In Chassis", view, 0x0A);
    fields.handle("Chassis Handle", view.u16(0x0B));
    enumerationWithUnknown(fields, "Type", view.u8(0x0D), nameTable(1, kBoardTypes), 1);
    unsigned count = view.u8(0x0E);
    if (!view.has(0x0E) || !view.has(0x0F, 2 * std::size_t{count})) {
        return;
    }
    fields.handleList("Contained Object Handles", view, 0x0F, count, Shown::NotQuiet);
}

void decodeChassis(StructureView &view, Fields &fields) {
    if (!view.has(0x08)) {
        return;
    }
    uint8_t type = view.u8(0x05);
    fields.string("Manufacturer", view, 0x04);
    const unsigned kind = type & 0x7FU;
    const char *kindName = rewordedName(kChassisTypes, 1, kind, fields.dialect());
    fields.enumerated("Type", kind, kindName ? kindName : kOutOfRange, kindName != nullptr && kind != 2);
    fields.enumerated("Lock", type >> 7, (type & 0x80U) ? "Present" : "Not Present");
    fields.string("Version", view, 0x06);
    fields.string("Serial Number", view, 0x07);
    fields.string("Asset Tag", view, 0x08);
    if (!view.has(0x09, 4)) {
        return;
    }
    enumerationWithUnknown(fields, "Boot-up State", view.u8(0x09), nameTable(1, kChassisStates), 2);
    enumerationWithUnknown(fields, "Power Supply State", view.u8(0x0A), nameTable(1, kChassisStates), 2);
    enumerationWithUnknown(fields, "Thermal State", view.u8(0x0B), nameTable(1, kChassisStates), 2);
    enumerationWithUnknown(fields, "Security Status", view.u8(0x0C), nameTable(1, kSecurityStatuses), 2);
    if (!view.has(0x0D, 4)) {
        return;
    }
    uint32_t oem = view.u32(0x0D);
    fields.integer("OEM Information", oem, {}, format("0x%08X", oem));
    if (!view.has(0x11, 2)) {
        return;
    }
    uint8_t height = view.u8(0x11);
    fields.integer("Height", height, "U", height == 0 ? "Unspecified" : format("%u U", unsigned{height})).known =
        height != 0;
    uint8_t cords = view.u8(0x12);
    fields.integer("Number Of Power Cords", cords, {}, cords == 0 ? "Unspecified" : format("%u", unsigned{cords}))
        .known = cords != 0;
    if (!view.has(0x13, 2)) {
        return;
    }
    unsigned count = view.u8(0x13);
    unsigned recordLength = view.u8(0x14);
    std::size_t elementsLength = std::size_t{count} * recordLength;
    if (!view.has(0x15, elementsLength)) {
        return;
    }
    Field &elements = fields.group("Contained Elements", format("%u", count));
    elements.number = count;
    // A record shorter than its three standard bytes cannot be read.
    if (recordLength >= 3) {
        Fields contained(elements, fields);
        for (unsigned i = 0; i < count; ++i) {
            std::size_t at = 0x15 + std::size_t{i} * recordLength;
            uint8_t element = view.u8(at);
            uint8_t minimum = view.u8(at + 1);
            uint8_t maximum = view.u8(at + 2);
            const char *name = (element & 0x80U) ? shortTypeName(element & 0x7FU, fields.dialect())
                                                 : nameTable(1, kBoardTypes).find(element);
            std::string range = minimum == maximum ? format("(%u)", unsigned{minimum})
                                                   : format("(%u-%u)", unsigned{minimum}, unsigned{maximum});
            Field &field = contained.enumerated({}, element, format("%s %s", name ? name : kOutOfRange, range.c_str()),
                                                name != nullptr);
            field.bytes = {element, minimum, maximum};
        }
    }
    const std::size_t skuAt = 0x15 + elementsLength;
    if (!view.has(skuAt)) {
        return;
    }
    // dmidecode 3.7 shows the SKU only in tables of 2.7, which added it, or
    // later; the releases before it wherever the structure holds it.
    Field &sku = fields.string("SKU Number", view, skuAt);
    if (fields.dialect() >= kSkuByVersionSince && !view.version().atLeast(2, 7)) {
        sku.shown = Shown::ProgramsOnly;
    }
    // SMBIOS 3.9's rack type and height follow the SKU, in tables of 3.9 that
    // hold both; dmidecode 3.7 shows them, the releases before it do not.
    if (view.version().atLeast(3, 9) && view.has(skuAt + 1, 2)) {
        const Shown shown = fields.dialect() >= kRackSince ? Shown::Always : Shown::ProgramsOnly;
        const uint8_t rackType = view.u8(skuAt + 1);
        Field &rack = fields.enumeration("Rack Type", rackType, nameTable(0, kRackTypes));
        rack.known = rack.known && rackType != 0;
        rack.shown = shown;
        const uint8_t rackHeight = view.u8(skuAt + 2);
        fields.integer("Rack Height", rackHeight, "U", format("%u", unsigned{rackHeight})).shown = shown;
    }
}

namespace {

// The strings of a structure that is a count at 04h and that many strings
// (OEM strings, configuration options), each named `label` and its number.
void countedStrings(StructureView &view, Fields &fields, const char *label) {
    if (!view.has(0x04)) {
        return;
    }
    unsigned count = view.u8(0x04);
    for (unsigned i = 1; i <= count; ++i) {
        fields.numberedString(format("%s %u", label, i), view, static_cast<uint8_t>(i));
    }
}

}  // namespace

void decodeOemStrings(StructureView &view, Fields &fields) {
    countedStrings(view, fields, "String");
}

void decodeSystemConfigurationOptions(StructureView &view, Fields &fields) {
    countedStrings(view, fields, "Option");
}

void decodeBiosLanguage(StructureView &view, Fields &fields) {
    if (!view.has(0x15)) {
        return;
    }
    if (view.version().atLeast(2, 1)) {
        bool abbreviated = (view.u8(0x05) & 1U) != 0;
        fields.enumerated("Language Description Format", abbreviated ? 1 : 0, abbreviated ? "Abbreviated" : "Long");
    }
    unsigned count = view.u8(0x04);
    Field &installable = fields.group("Installable Languages", format("%u", count));
    installable.number = count;
    Fields languages(installable, fields);
    for (unsigned i = 1; i <= count; ++i) {
        languages.numberedString({}, view, static_cast<uint8_t>(i));
    }
    fields.string("Currently Installed Language", view, 0x15);
}

void decodeSystemBoot(StructureView &view, Fields &fields) {
    if (!view.has(0x0A)) {
        return;
    }
    // Only the first byte of the status names the outcome; the rest is
    // data of the vendor's.
    uint8_t status = view.u8(0x0A);
    if (status >= 192) {
        fields.enumerated("Status", status, "Product-specific", false);
    } else if (status >= 128) {
        fields.enumerated("Status", status, "OEM-specific", false);
    } else {
        fields.enumeration("Status", status, nameTable(0, kBootStatuses));
    }
}

}  // namespace smbios::decode
