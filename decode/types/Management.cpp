// Decoders of the management and firmware structures: remote access (30), boot integrity services (31), IPMI (38),
// additional information (40), host interface (42), TPM (43), firmware inventory (45), string property (46).
#include <string>
#include <utility>
#include <vector>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

const char *yesNo(bool value) {
    return value ? "Yes" : "No";
}

// The bytes from `offset` up to `size` or the first zero, kept as they are:
// dmidecode replaces none of them.
std::string countedText(const StructureView &view, std::size_t offset, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size && view.has(offset + i); ++i) {
        auto byte = static_cast<char>(view.u8(offset + i));
        if (byte == 0) {
            break;
        }
        text += byte;
    }
    return text;
}

// Always `size` bytes, so that callers may index them: those outside the
// structure read as 0.
std::vector<uint8_t> rawBytes(const StructureView &view, std::size_t offset, std::size_t size) {
    std::vector<uint8_t> out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(view.u8(offset + i));
    }
    return out;
}

// An address of the Redfish record in the textual form the C library's
// address printer gives: dotted IPv4, or IPv6 with the longest zero run
// folded and an embedded IPv4 tail where the address is IPv4-compatible.
std::string ipv4Text(const std::vector<uint8_t> &a, std::size_t at) {
    return format("%u.%u.%u.%u", a[at], a[at + 1], a[at + 2], a[at + 3]);
}

std::string ipv6Text(const std::vector<uint8_t> &a) {
    unsigned words[8];
    for (std::size_t i = 0; i < 8; ++i) {
        words[i] = static_cast<unsigned>(a[2 * i] << 8 | a[2 * i + 1]);
    }
    int bestBase = -1;
    int bestLength = 0;
    for (int i = 0; i < 8;) {
        if (words[i] != 0) {
            ++i;
            continue;
        }
        int run = i;
        while (run < 8 && words[run] == 0) {
            ++run;
        }
        if (run - i > bestLength) {
            bestBase = i;
            bestLength = run - i;
        }
        i = run;
    }
    if (bestLength < 2) {
        bestBase = -1;
    }
    std::string text;
    for (int i = 0; i < 8; ++i) {
        if (bestBase != -1 && i >= bestBase && i < bestBase + bestLength) {
            if (i == bestBase) {
                text += ':';
            }
            continue;
        }
        if (i != 0) {
            text += ':';
        }
        if (i == 6 && bestBase == 0 &&
            (bestLength == 6 || (bestLength == 7 && words[7] != 1) || (bestLength == 5 && words[5] == 0xffff))) {
            text += ipv4Text(a, 12);
            return text;
        }
        text += format("%x", words[i]);
    }
    if (bestBase != -1 && bestBase + bestLength == 8) {
        text += ':';
    }
    return text;
}

// The Redfish over IP record of a host interface (DSP0270), its fields
// beneath the record's line.
void decodeRedfishOverIp(const StructureView &view, std::size_t at, std::size_t size, Fields &fields) {
    static const char *const kAssignment[] = {"Unknown", "Static", "DHCP", "AutoConf", "Host Selected"};
    static const char *const kFormat[] = {"Unknown", "IPv4", "IPv6"};
    // The hostname's length byte is the last fixed field.
    if (size < 91) {
        return;
    }
    std::vector<uint8_t> uuid = rawBytes(view, at, 16);
    Field &id = fields.bytes("Service UUID", uuid,
                             format("%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", uuid[3],
                                    uuid[2], uuid[1], uuid[0], uuid[5], uuid[4], uuid[7], uuid[6], uuid[8], uuid[9],
                                    uuid[10], uuid[11], uuid[12], uuid[13], uuid[14], uuid[15]));
    id.kind = Kind::Uuid;

    auto addresses = [&](const char *assignmentName, const char *formatName, std::size_t offset, const char *prefix) {
        unsigned assignment = view.u8(offset);
        unsigned form = view.u8(offset + 1);
        fields.enumeration(assignmentName, assignment, nameTable(0, kAssignment));
        const char *formText = nameTable(0, kFormat).find(form);
        fields.enumeration(formatName, form, nameTable(0, kFormat));
        // Addresses are given only when static or auto-configured: DHCP and
        // host-selected ones are learned at run time.
        bool shown = assignment == 1 || assignment == 3;
        if (shown) {
            std::string label = std::string(formText ? formText : kOutOfRange) + prefix;
            for (int part = 0; part < 2; ++part) {
                std::vector<uint8_t> address = rawBytes(view, offset + 2 + 16 * static_cast<std::size_t>(part), 16);
                std::string text = form == 1   ? ipv4Text(address, 0)
                                   : form == 2 ? ipv6Text(address)
                                               : std::string(kOutOfRange);
                // Text, with the stored bytes beside it: programs want the
                // address in its usual form.
                Field &field = fields.text(label + (part == 0 ? "Address" : "Mask"), std::move(text));
                field.bytes = std::move(address);
            }
        }
        return shown;
    };
    addresses("Host IP Assignment Type", "Host IP Address Format", at + 16, " ");
    if (addresses("Redfish Service IP Discovery Type", "Redfish Service IP Address Format", at + 50,
                  " Redfish Service ")) {
        unsigned port = view.u16(at + 84);
        fields.integer("Redfish Service Port", port, "", format("%u", port));
        uint32_t vlan = view.u32(at + 86);
        fields.integer("Redfish Service Vlan", vlan, "", format("%u", vlan));
    }
    std::size_t hostLength = view.u8(at + 90);
    if (91 + hostLength > size) {
        fields.text("Redfish Service Hostname", kOutOfRange).known = false;
        return;
    }
    std::string host = countedText(view, at + 91, hostLength);
    // As text, so that an empty name keeps the space after the colon.
    fields.text("Redfish Service Hostname", host).bytes.assign(host.begin(), host.end());
}

// The network host interface's device description (DSP0270): USB and
// PCI identify the device by its IDs; their second forms (DSP0270 1.3,
// which dmidecode 3.6 reads) add the MAC address, the PCI device's bus
// address and the credential bootstrapping handle.
void decodeNetworkDevice(const StructureView &view, std::size_t size, Fields &fields) {
    static const char *const kDeviceTypes[] = {"USB", "PCI/PCIe", "USB v2", "PCI/PCIe v2"};
    if (size == 0) {
        return;
    }
    const NameTable deviceTypes = nameTable(2, kDeviceTypes, 2, 4);
    unsigned type = view.u8(6);
    const char *name = type >= 0x80 ? "OEM" : deviceTypes.find(type, fields.dialect());
    fields.enumerated("Device Type", type, name ? name : kOutOfRange, name != nullptr && type < 0x80);
    auto id = [&](const char *name, std::size_t offset) {
        unsigned value = view.u16(offset);
        fields.integer(name, value, "", format("0x%04x", value));
    };
    auto mac = [&](std::size_t offset) {
        std::vector<uint8_t> address = rawBytes(view, offset, 6);
        std::string text = format("%02x:%02x:%02x:%02x:%02x:%02x", address[0], address[1], address[2], address[3],
                                  address[4], address[5]);
        fields.bytes("MAC Address", std::move(address), std::move(text));
    };
    auto characteristics = [&](std::size_t offset) {
        unsigned value = view.u16(offset);
        const bool bootstrapping = value & 1;
        Field &flags =
            fields.flags("Device Characteristics",
                         {bootstrapping ? "Credential bootstrapping via IPMI is supported" : "None"}, nullptr);
        flags.number = value;
        if (bootstrapping) {
            unsigned handle = view.u16(offset + 2);
            fields.integer("Credential Bootstrapping Handle", handle, "", format("0x%04x", handle));
        }
    };
    const bool secondForms = view.wordsOf(Dialect::Dmidecode36);
    if (type == 2 && size >= 5) {
        id("idVendor", 7);
        id("idProduct", 9);
    } else if (type == 3 && size >= 9) {
        id("VendorID", 7);
        id("DeviceID", 9);
        id("SubVendorID", 11);
        id("SubDeviceID", 13);
    } else if (type == 4 && secondForms) {
        // After its length byte: the IDs, a string descriptor index, the
        // MAC address, the characteristics and the handle.
        if (size >= 13) {
            id("idVendor", 8);
            id("idProduct", 10);
            mac(13);
        }
        if (size >= 17) {
            characteristics(19);
        }
    } else if (type == 5 && secondForms) {
        if (size >= 20) {
            id("VendorID", 8);
            id("DeviceID", 10);
            id("SubVendorID", 12);
            id("SubDeviceID", 14);
            mac(16);
            const unsigned deviceFunction = view.u8(25);
            fields.text("Bus Address", format("%04x:%02x:%02x.%x", view.u16(22), view.u8(24), deviceFunction >> 3,
                                              deviceFunction & 7));
        }
        if (size >= 24) {
            characteristics(26);
        }
    } else if ((secondForms ? type >= 0x80 : type == 4) && size >= 5) {
        // An OEM's device starts with its vendor's number; dmidecode 3.4
        // reads it from type 4 in place of the OEM types.
        std::vector<uint8_t> vendor = rawBytes(view, 7, 4);
        std::string text = format("0x%02x:0x%02x:0x%02x:0x%02x", vendor[0], vendor[1], vendor[2], vendor[3]);
        fields.bytes("Vendor ID", std::move(vendor), std::move(text));
    }
}

}  // namespace

void decodeOutOfBandRemoteAccess(StructureView &view, Fields &fields) {
    if (!view.has(0x05)) {
        return;
    }
    fields.string("Manufacturer Name", view, 0x04);
    unsigned connections = view.u8(0x05);
    fields.enumerated("Inbound Connection", connections & 1, (connections & 1) ? "Enabled" : "Disabled");
    fields.enumerated("Outbound Connection", connections >> 1 & 1, (connections & 2) ? "Enabled" : "Disabled");
}

void decodeBootIntegrityServices(StructureView &view, Fields &fields) {
    if (!view.has(0x18, 4)) {
        return;
    }
    unsigned sum = 0;
    // The whole formatted area sums to zero, as the entry points do.
    for (std::size_t i = 0; i < view.length() && view.has(i); ++i) {
        sum += view.u8(i);
    }
    fields.integer("Checksum", view.u8(0x04), "", (sum & 0xff) == 0 ? "OK" : "Invalid");
    uint32_t entry16 = view.u32(0x08);
    fields.integer("16-bit Entry Point Address", entry16, "",
                   format("%04X:%04X", static_cast<unsigned>(entry16 >> 16), static_cast<unsigned>(entry16 & 0xffff)));
    uint32_t entry32 = view.u32(0x0C);
    fields.integer("32-bit Entry Point Address", entry32, "", format("0x%08X", entry32));
}

void decodeIpmiDevice(StructureView &view, Fields &fields) {
    static const char *const kInterfaces[] = {"Unknown", "KCS (Keyboard Control Style)",
                                              "SMIC (Server Management Interface Chip)", "BT (Block Transfer)",
                                              "SSIF (SMBus System Interface)"};
    static const char *const kSpacing[] = {"Successive Byte Boundaries", "32-bit Boundaries", "16-byte Boundaries"};
    if (!view.has(0x08, 8)) {
        return;
    }
    unsigned interface = view.u8(0x04);
    fields.enumeration("Interface Type", interface, nameTable(0, kInterfaces)).known = interface >= 1 && interface <= 4;
    unsigned revision = view.u8(0x05);
    fields.integer("Specification Version", revision, "", format("%u.%u", revision >> 4, revision & 15));
    unsigned target = view.u8(0x06) >> 1;
    fields.integer("I2C Slave Address", target, "", format("0x%02x", target));
    unsigned storage = view.u8(0x07);
    if (storage == 0xff) {
        fields.text("NV Storage Device", "Not Present").known = false;
    } else {
        fields.integer("NV Storage Device Address", storage, "", format("%u", storage));
    }
    uint64_t base = view.u64(0x08);
    bool hasModifier = view.has(0x10);
    unsigned modifier = view.u8(0x10);
    if (interface == 4) {
        // An SSIF interface's base address is the controller's SMBus address.
        unsigned address = static_cast<unsigned>(base & 0xff) >> 1;
        fields.integer("Base Address", address, "", format("0x%02X (SMBus)", address));
    } else {
        uint64_t address = (base & ~uint64_t{1}) | (hasModifier ? (modifier >> 4 & 1) : 0);
        fields.integer("Base Address", address, "",
                       format("0x%08X%08X (%s)", static_cast<unsigned>(address >> 32),
                              static_cast<unsigned>(address & 0xffffffff), (base & 1) ? "I/O" : "Memory-mapped"));
    }
    if (!view.has(0x11)) {
        return;
    }
    // The modifier byte describes an I/O or memory interface: SSIF has none.
    if (interface != 4) {
        fields.enumeration("Register Spacing", modifier >> 6, nameTable(0, kSpacing));
        if (modifier & 0x08) {
            fields.enumerated("Interrupt Polarity", modifier >> 1 & 1, (modifier & 2) ? "Active High" : "Active Low");
            fields.enumerated("Interrupt Trigger Mode", modifier & 1, (modifier & 1) ? "Level" : "Edge");
        }
    }
    unsigned interrupt = view.u8(0x11);
    if (interrupt != 0) {
        fields.integer("Interrupt Number", interrupt, "", format("%u", interrupt));
    }
}

void decodeAdditionalInformation(StructureView &view, Fields &fields) {
    fields.useHeadings();
    if (!view.has(0x0A)) {
        return;
    }
    // Its entries are facts about other structures: the quiet form leaves
    // the structure out, even with none.
    fields.hideWhenQuiet();
    unsigned count = view.u8(0x04);
    std::size_t at = 0x05;
    for (unsigned entry = 1; entry <= count; ++entry) {
        // Facts about other structures' fields, which the quiet form leaves out.
        Field &group = fields.group(format("Additional Information %u", entry));
        group.shown = Shown::NotQuiet;
        std::size_t size = view.u8(at);
        if (!view.has(at) || size < 5 || !view.has(at, size)) {
            return;
        }
        Fields children(group, fields);
        children.handle("Referenced Handle", view.u16(at + 1)).text = format("0x%04x", view.u16(at + 1));
        unsigned offset = view.u8(at + 3);
        children.integer("Referenced Offset", offset, "", format("0x%02x", offset));
        children.string("String", view, at + 4);
        std::vector<uint8_t> value = rawBytes(view, at + 5, size - 5);
        std::string text = value.size() == 1   ? format("0x%02x", view.u8(at + 5))
                           : value.size() == 2 ? format("0x%04x", view.u16(at + 5))
                           : value.size() == 4 ? format("0x%08x", view.u32(at + 5))
                                               : std::string("Unexpected size");
        children.bytes("Value", std::move(value), std::move(text));
        at += size;
    }
}

void decodeManagementControllerHostInterface(StructureView &view, Fields &fields) {
    static const char *const kMctpTypes[] = {
        "KCS: Keyboard Controller Style",        "8250 UART Register Compatible",
        "16450 UART Register Compatible",        "16550/16550A UART Register Compatible",
        "16650/16650A UART Register Compatible", "16750/16750A UART Register Compatible",
        "16850/16850A UART Register Compatible"};
    static const char *const kProtocols[] = {"Reserved", "Reserved", "IPMI", "MCTP", "Redfish over IP"};
    auto interfaceType = [&](const char *name) {
        unsigned type = view.u8(0x04);
        const char *found = nameTable(2, kMctpTypes).find(type);
        bool known = found != nullptr || type == 0x40 || type == 0xf0;
        // The MCTP range (up to 0x3F) is named as such even where the
        // standard leaves a value unassigned.
        const char *text = found          ? found
                           : type <= 0x3f ? "MCTP"
                           : type == 0x40 ? "Network"
                           : type == 0xf0 ? "OEM"
                                          : kOutOfRange;
        fields.enumerated(name, type, text, known);
        return type;
    };
    // Before 3.2 the structure held only the interface type and its data.
    if (!view.version().atLeast(3, 2)) {
        if (view.has(0x04) && interfaceType("Interface Type") == 0xf0 && view.has(0x05, 4)) {
            // An OEM interface's data starts with the vendor's IANA number.
            std::vector<uint8_t> vendor = rawBytes(view, 0x05, 4);
            std::string text = format("0x%02X%02X%02X%02X", vendor[0], vendor[1], vendor[2], vendor[3]);
            fields.bytes("Vendor ID", std::move(vendor), std::move(text));
        }
        return;
    }
    std::size_t length = view.length();
    if (!view.has(0x0A)) {
        return;
    }
    std::size_t dataSize = view.u8(0x05);
    if (!view.has(0x06, dataSize)) {
        return;
    }
    if (interfaceType("Host Interface Type") != 0x40) {
        return;
    }
    decodeNetworkDevice(view, dataSize, fields);
    // dmidecode notes where the records overrun the structure.
    auto overrun = [&](std::size_t total, unsigned record) {
        std::string where = format("handle 0x%04x", unsigned{view.handle()});
        if (record != 0) {
            where += format(", record %u", record);
        }
        fields.note(format("Total read length %u exceeds total structure length %u (%s)", static_cast<unsigned>(total),
                           static_cast<unsigned>(length), where.c_str()));
    };
    std::size_t at = 0x06 + dataSize;
    if (!view.has(at)) {
        overrun(at + 1, 0);
        return;
    }
    unsigned count = view.u8(at);
    ++at;
    for (unsigned record = 1; record <= count; ++record) {
        if (!view.has(at, 2)) {
            overrun(at + 2, record);
            return;
        }
        unsigned protocol = view.u8(at);
        std::size_t size = view.u8(at + 1);
        if (!view.has(at + 2, size)) {
            overrun(at + 2 + size, record);
            return;
        }
        const char *name = protocol == 0xf0 ? "OEM" : nameTable(0, kProtocols).find(protocol);
        Field &group = fields.group("Protocol ID", format("%02x (%s)", protocol, name ? name : kOutOfRange));
        group.number = protocol;
        group.known = name != nullptr && protocol >= 2;
        if (protocol == 4) {
            Fields children(group, fields);
            decodeRedfishOverIp(view, at + 2, size, children);
        }
        at += 2 + size;
    }
}

void decodeTpmDevice(StructureView &view, Fields &fields) {
    if (!view.has(0x1A)) {
        return;
    }
    // Shown as text even when empty: "Vendor ID: " keeps its space.
    std::string vendor = countedText(view, 0x04, 4);
    for (char &c : vendor) {
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 127) {
            c = '.';
        }
    }
    fields.text("Vendor ID", vendor).bytes = rawBytes(view, 0x04, 4);
    unsigned major = view.u8(0x08);
    unsigned minor = view.u8(0x09);
    fields.text("Specification Version", format("%u.%u", major, minor));
    if (major == 1) {
        // TPM 1.x gives a TCPA version structure: its revision bytes count.
        fields.text("Firmware Revision", format("%u.%u", view.u8(0x0C), view.u8(0x0D)));
    } else if (major == 2) {
        uint32_t revision = view.u32(0x0A);
        fields.text("Firmware Revision", format("%u.%u", revision >> 16, revision & 0xffff));
    }
    fields.string("Description", view, 0x12);
    uint64_t characteristics = view.u64(0x13);
    std::vector<std::string> items;
    if (characteristics & 0x04) {
        items.emplace_back("TPM Device characteristics not supported");
    } else {
        static const char *const kBits[] = {"Family configurable via firmware update",
                                            "Family configurable via platform software support",
                                            "Family configurable via OEM proprietary mechanism"};
        for (unsigned bit = 3; bit <= 5; ++bit) {
            if (characteristics >> bit & 1) {
                items.emplace_back(kBits[bit - 3]);
            }
        }
    }
    Field &flags = fields.flags("Characteristics", std::move(items), nullptr);
    flags.number = characteristics;
    if (view.has(0x1B, 4)) {
        uint32_t oem = view.u32(0x1B);
        fields.integer("OEM-specific Information", oem, "", format("0x%08X", oem));
    }
}

void decodeFirmwareInventory(StructureView &view, Fields &fields) {
    static const char *const kStates[] = {"Other",  "Unknown",          "Disabled",       "Enabled",
                                          "Absent", "Stand-by Offline", "Stand-by Spare", "Unavailable Offline"};
    if (!view.has(0x17)) {
        return;
    }
    // The formats of the version and the ID tell programs how to read
    // those strings; dmidecode's text leaves them out.
    static const char *const kVersionFormats[] = {"Free-form", "Major.Minor", "32-bit Hexadecimal",
                                                  "64-bit Hexadecimal"};
    static const char *const kIdFormats[] = {"Free-form", "UEFI GUID"};
    const auto formatField = [&](const char *name, unsigned value, const NameTable &names) {
        const char *range = value >= 0x80 ? "BIOS Vendor/OEM-specific" : "Reserved";
        Field &field = fields.enumeration(name, value, names, range);
        field.shown = Shown::ProgramsOnly;
    };
    fields.string("Firmware Component Name", view, 0x04);
    fields.string("Firmware Version", view, 0x05);
    formatField("Version Format", view.u8(0x06), nameTable(0, kVersionFormats));
    fields.string("Firmware ID", view, 0x07);
    formatField("Firmware ID Format", view.u8(0x08), nameTable(0, kIdFormats));
    fields.string("Release Date", view, 0x09);
    fields.string("Manufacturer", view, 0x0A);
    fields.string("Lowest Supported Firmware Version", view, 0x0B);
    uint64_t size = view.u64(0x0C);
    Field &image = fields.integer("Image Size", size, "bytes",
                                  size == ~uint64_t{0} ? "Unknown"
                                  : size == 0          ? "None"
                                                       : sizeText(size, 0, fields.dialect()));
    image.known = size != ~uint64_t{0};
    unsigned characteristics = view.u16(0x14);
    Field &traits = fields.integer("Characteristics", characteristics, "", "");
    traits.items = {std::string("Updatable: ") + yesNo(characteristics & 1),
                    std::string("Write-Protect: ") + yesNo(characteristics & 2)};
    fields.enumeration("State", view.u8(0x16), nameTable(1, kStates));
    unsigned count = view.u8(0x17);
    if (!view.has(0x18, 2 * std::size_t{count})) {
        return;
    }
    fields.handleList("Associated Components", view, 0x18, count, Shown::NotQuiet);
}

void decodeStringProperty(StructureView &view, Fields &fields) {
    static const char *const kProperties[] = {"UEFI Device Path"};
    if (!view.has(0x04, 2)) {
        return;
    }
    unsigned id = view.u16(0x04);
    const char *found = nameTable(1, kProperties).find(id);
    const char *range = id >= 0xC000 ? "OEM" : id >= 0x8000 ? "BIOS Vendor" : "Reserved";
    fields.enumerated("String Property ID", id, found ? std::string(found) : format("%s (0x%04X)", range, id),
                      found != nullptr);
    if (view.has(0x06)) {
        fields.string("String Property Value", view, 0x06);
    }
    if (view.has(0x07, 2)) {
        fields.handle("Parent Handle", view.u16(0x07));
    }
}

}  // namespace smbios::decode
