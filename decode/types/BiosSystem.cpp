// Decoders of the firmware and system identity structures: BIOS (0), system (1), baseboard (2), chassis (3), OEM
// strings (11), configuration options (12), BIOS languages (13), system boot (32).
#include <string>
#include <utility>
#include <vector>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

// The string numbered `number` where the number is not a byte of the
// structure but a position (OEM strings, options, languages).
Field &numberedString(Fields &fields, std::string name, const StructureView &view, unsigned number) {
    auto stringNumber = static_cast<uint8_t>(number);
    const std::string *stored = view.string(stringNumber);
    Field &field = fields.text(std::move(name), stored ? shownString(*stored) : "<BAD INDEX>");
    field.kind = Kind::String;
    field.stringNumber = stringNumber;
    field.known = stored != nullptr;
    if (stored) {
        field.bytes.assign(stored->begin(), stored->end());
    }
    return field;
}

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
std::string sizeText(uint32_t bytes) {
    if (bytes % 1024 == 0) {
        return format("%u kB", static_cast<unsigned>(bytes / 1024));
    }
    return format("%u bytes", static_cast<unsigned>(bytes));
}

const char *const kCharacteristics[] = {
    "ISA is supported",
    "MCA is supported",
    "EISA is supported",
    "PCI is supported",
    "PC Card (PCMCIA) is supported",
    "PNP is supported",
    "APM is supported",
    "BIOS is upgradeable",
    "BIOS shadowing is allowed",
    "VLB is supported",
    "ESCD support is available",
    "Boot from CD is supported",
    "Selectable boot is supported",
    "BIOS ROM is socketed",
    "Boot from PC Card (PCMCIA) is supported",
    "EDD is supported",
    "Japanese floppy for NEC 9800 1.2 MB is supported (int 13h)",
    "Japanese floppy for Toshiba 1.2 MB is supported (int 13h)",
    "5.25\"/360 kB floppy services are supported (int 13h)",
    "5.25\"/1.2 MB floppy services are supported (int 13h)",
    "3.5\"/720 kB floppy services are supported (int 13h)",
    "3.5\"/2.88 MB floppy services are supported (int 13h)",
    "Print screen service is supported (int 5h)",
    "8042 keyboard services are supported (int 9h)",
    "Serial services are supported (int 14h)",
    "Printer services are supported (int 17h)",
    "CGA/mono video services are supported (int 10h)",
    "NEC PC-98",
};

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
void addRevision(Fields &fields, const char *name, uint8_t major, uint8_t minor) {
    if (major != 0xFF && minor != 0xFF) {
        fields.text(name, format("%u.%u", unsigned{major}, unsigned{minor}));
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

const char *const kChassisTypes[] = {
    "Other",
    "Unknown",
    "Desktop",
    "Low Profile Desktop",
    "Pizza Box",
    "Mini Tower",
    "Tower",
    "Portable",
    "Laptop",
    "Notebook",
    "Hand Held",
    "Docking Station",
    "All In One",
    "Sub Notebook",
    "Space-saving",
    "Lunch Box",
    "Main Server Chassis",
    "Expansion Chassis",
    "Sub Chassis",
    "Bus Expansion Chassis",
    "Peripheral Chassis",
    "RAID Chassis",
    "Rack Mount Chassis",
    "Sealed-case PC",
    "Multi-system",
    "CompactPCI",
    "AdvancedTCA",
    "Blade",
    "Blade Enclosing",
    "Tablet",
    "Convertible",
    "Detachable",
    "IoT Gateway",
    "Embedded PC",
    "Mini PC",
    "Stick PC",
};

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

// The UUID's text: from SMBIOS 2.6 on its first three fields are stored
// little-endian, before that as they are written.
std::string uuidText(const uint8_t *id, bool littleEndian) {
    if (littleEndian) {
        return format("%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", id[3], id[2], id[1],
                      id[0], id[5], id[4], id[7], id[6], id[8], id[9], id[10], id[11], id[12], id[13], id[14], id[15]);
    }
    return format("%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", id[0], id[1], id[2], id[3],
                  id[4], id[5], id[6], id[7], id[8], id[9], id[10], id[11], id[12], id[13], id[14], id[15]);
}

}  // namespace

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
        fields.integer("Runtime Size", runtime, "bytes", sizeText(runtime));
    }
    uint8_t rom = view.u8(0x09);
    if (rom == 0xFF && view.has(0x18, 2)) {
        uint16_t extended = view.u16(0x18);
        unsigned size = extended & 0x3FFFU;
        static const char *const kUnits[] = {"MB", "GB"};
        unsigned unit = extended >> 14;
        Field &field = fields.integer("ROM Size", size, unit < 2 ? kUnits[unit] : "",
                                      format("%u %s", size, unit < 2 ? kUnits[unit] : kOutOfRange));
        field.known = unit < 2;
    } else {
        // 64 kB for each count past zero; whole megabytes are shown as such.
        unsigned kilobytes = (unsigned{rom} + 1) * 64;
        if (kilobytes % 1024 == 0) {
            fields.integer("ROM Size", kilobytes / 1024, "MB", format("%u MB", kilobytes / 1024));
        } else {
            fields.integer("ROM Size", kilobytes, "kB", format("%u kB", kilobytes));
        }
    }

    std::vector<std::string> characteristics;
    uint64_t bits = view.u64(0x0A);
    if ((bits >> 3) & 1U) {
        // The rest of the word means nothing then.
        characteristics.emplace_back("BIOS characteristics not supported");
    } else {
        std::vector<std::string> named = setBits(static_cast<uint32_t>(bits) >> 4, nameTable(0, kCharacteristics));
        characteristics.insert(characteristics.end(), named.begin(), named.end());
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
        addRevision(fields, "BIOS Revision", view.u8(0x14), view.u8(0x15));
        addRevision(fields, "Firmware Revision", view.u8(0x16), view.u8(0x17));
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
    enumerationWithUnknown(fields, "Type", type & 0x7FU, nameTable(1, kChassisTypes), 2);
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
    if (view.has(0x15 + elementsLength)) {
        fields.string("SKU Number", view, 0x15 + elementsLength);
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
        numberedString(fields, format("%s %u", label, i), view, i);
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
        numberedString(languages, {}, view, i);
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
