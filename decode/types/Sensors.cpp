// Decoders of the sensor and power structures: types 15, 26-29, 34-36 and 39.
#include <string>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

// The value the standard gives a probe, a speed or a threshold that is not
// known.
constexpr uint16_t kUnknownWord = 0x8000;
// The handle of a structure that is not there.
constexpr uint16_t kNoHandle = 0xFFFF;

const char *const kAccessMethods[] = {
    "Indexed I/O, one 8-bit index port, one 8-bit data port",
    "Indexed I/O, two 8-bit index ports, one 8-bit data port",
    "Indexed I/O, one 16-bit index port, one 8-bit data port",
    "Memory-mapped physical 32-bit address",
    "General-purpose non-volatile data functions",
};

const char *const kLogHeaderFormats[] = {"No Header", "Type 1"};

const char *const kLogTypes[] = {
    nullptr,
    "Single-bit ECC memory error",
    "Multi-bit ECC memory error",
    "Parity memory error",
    "Bus timeout",
    "I/O channel block",
    "Software NMI",
    "POST memory resize",
    "POST error",
    "PCI parity error",
    "PCI system error",
    "CPU failure",
    "EISA failsafe timer timeout",
    "Correctable memory log disabled",
    "Logging disabled",
    nullptr,
    "System limit exceeded",
    "Asynchronous hardware timer expired",
    "System configuration information",
    "Hard disk information",
    "System reconfigured",
    "Uncorrectable CPU-complex error",
    "Log area reset/cleared",
    "System boot",
};

const char *const kLogDataFormats[] = {
    "None",
    "Handle",
    "Multiple-event",
    "Multiple-event handle",
    "POST results bitmap",
    "System management",
    "Multiple-event system management",
};

// Temperature probes add the last four; voltage and current probes stop
// before them.
const char *const kProbeLocations[] = {
    "Other",
    "Unknown",
    "Processor",
    "Disk",
    "Peripheral Bay",
    "System Management Module",
    "Motherboard",
    "Memory Module",
    "Processor Module",
    "Power Unit",
    "Add-in Card",
    "Front Panel Board",
    "Back Panel Board",
    "Power System Board",
    "Drive Back Plane",
};

const char *const kProbeStatuses[] = {"Other", "Unknown", "OK", "Non-critical", "Critical", "Non-recoverable"};

const char *const kCoolingTypes[] = {
    "Other",       "Unknown",          "Fan",       "Centrifugal Blower",       "Chip Fan",
    "Cabinet Fan", "Power Supply Fan", "Heat Pipe", "Integrated Refrigeration",
};

// The standard leaves 0Ah-0Fh unassigned and goes on at 10h.
const char *const kCoolingTypesFrom16[] = {"Active Cooling", "Passive Cooling"};

const char *const kManagementDeviceTypes[] = {
    "Other",   "Unknown", "LM75",    "LM78",    "LM79",    "LM80",     "LM81",
    "ADM9240", "DS1780",  "MAX1617", "GL518SM", "W83781D", "HT82H791",
};

const char *const kManagementAddressTypes[] = {"Other", "Unknown", "I/O Port", "Memory", "SMBus"};

const char *const kPowerSupplyTypes[] = {"Other",   "Unknown", "Linear",    "Switching",
                                         "Battery", "UPS",     "Converter", "Regulator"};

const char *const kPowerSupplyStatuses[] = {"Other", "Unknown", "OK", "Non-critical", "Critical"};

const char *const kVoltageRangeSwitching[] = {"Other", "Unknown", "Manual", "Auto-switch", "Wide Range", "N/A"};

// A value the vendor may define beyond the standard's list.
Field &vendorEnumeration(Fields &fields, const char *name, unsigned value, const NameTable &names, unsigned vendorFirst,
                         const char *vendorText = "OEM-specific") {
    if (value >= vendorFirst) {
        return fields.enumerated(name, value, vendorText, false);
    }
    return fields.enumeration(name, value, names);
}

// How one probe type words its readings: stored in small units, shown in
// larger ones. The readings proper are signed (a probe may read below
// zero); resolution and accuracy are not.
struct ProbeUnits {
    const char *valueUnit;     // the stored unit of the maximum, minimum, tolerance and nominal value
    const char *valuePattern;  // printf of the value in the shown unit
    double valueScale;         // stored units per shown unit
    const char *resolutionUnit;
    const char *resolutionPattern;
    double resolutionScale;
    std::size_t locations;  // how many of kProbeLocations the type names
};

Field &probeReading(Fields &fields, const char *name, uint16_t raw, const char *unit, const char *pattern, double scale,
                    bool isSigned) {
    if (raw == kUnknownWord) {
        Field &field = fields.integer(name, raw, unit, "Unknown");
        field.known = false;
        return field;
    }
    const int64_t value = isSigned ? int64_t{static_cast<int16_t>(raw)} : int64_t{raw};
    Field &field =
        fields.integer(name, static_cast<uint64_t>(value), unit, format(pattern, static_cast<double>(value) / scale));
    field.isSigned = isSigned;
    return field;
}

// A word in `unit`, or 8000h where the structure does not know it.
Field &measuredWord(Fields &fields, const char *name, uint16_t value, const char *unit, const char *unknown) {
    if (value == kUnknownWord) {
        Field &field = fields.integer(name, value, unit, unknown);
        field.known = false;
        return field;
    }
    return fields.integer(name, value, unit, format("%u %s", unsigned{value}, unit));
}

// Types 26, 28 and 29 share one layout and differ in their units only.
void decodeProbe(StructureView &view, Fields &fields, const ProbeUnits &units) {
    if (!view.has(0x04, 0x10)) {
        return;
    }
    fields.string("Description", view, 0x04);
    uint8_t locationAndStatus = view.u8(0x05);
    fields.enumeration(
        "Location", locationAndStatus & 0x1F,
        NameTable{1, kProbeLocations, units.locations, {units.locations, units.locations, units.locations}});
    fields.enumeration("Status", locationAndStatus >> 5, nameTable(1, kProbeStatuses));
    probeReading(fields, "Maximum Value", view.u16(0x06), units.valueUnit, units.valuePattern, units.valueScale, true);
    probeReading(fields, "Minimum Value", view.u16(0x08), units.valueUnit, units.valuePattern, units.valueScale, true);
    probeReading(fields, "Resolution", view.u16(0x0A), units.resolutionUnit, units.resolutionPattern,
                 units.resolutionScale, false);
    probeReading(fields, "Tolerance", view.u16(0x0C), units.valueUnit, units.valuePattern, units.valueScale, true);
    probeReading(fields, "Accuracy", view.u16(0x0E), "0.01 %", "%.2f%%", 100.0, false);
    fields.integer("OEM-specific Information", view.u32(0x10), {}, format("0x%08X", view.u32(0x10)));
    if (view.has(0x14, 2)) {
        probeReading(fields, "Nominal Value", view.u16(0x14), units.valueUnit, units.valuePattern, units.valueScale,
                     true);
    }
}

void optionalHandle(Fields &fields, const char *name, uint16_t handle) {
    if (handle != kNoHandle) {
        fields.handle(name, handle);
    }
}

}  // namespace

void decodeSystemEventLog(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 0x10)) {
        return;
    }
    uint16_t headerStart = view.u16(0x06);
    uint16_t dataStart = view.u16(0x08);
    fields.integer("Area Length", view.u16(0x04), "bytes", format("%u bytes", unsigned{view.u16(0x04)}));
    fields.integer("Header Start Offset", headerStart, {}, format("0x%04X", unsigned{headerStart}));
    if (dataStart != headerStart) {
        // A data area before its header leaves the length undefined; the
        // text keeps the difference modulo 2^32 (and "byte" unless it is
        // above 1) so that it stays identical to the reference output.
        int difference = int{dataStart} - int{headerStart};
        auto headerLength = static_cast<uint32_t>(difference);
        Field &field = fields.integer("Header Length", headerLength, "bytes",
                                      format("%u byte%s", headerLength, difference > 1 ? "s" : ""));
        field.known = difference > 0;
    }
    fields.integer("Data Start Offset", dataStart, {}, format("0x%04X", unsigned{dataStart}));
    uint8_t method = view.u8(0x0A);
    vendorEnumeration(fields, "Access Method", method, nameTable(0, kAccessMethods), 0x80);
    uint32_t address = view.u32(0x10);
    std::string addressText;
    if (method <= 2) {
        addressText = format("Index 0x%04X, Data 0x%04X", unsigned{view.u16(0x10)}, unsigned{view.u16(0x12)});
    } else if (method == 3) {
        addressText = format("0x%08X", address);
    } else if (method == 4) {
        addressText = format("0x%04X", unsigned{view.u16(0x10)});
    } else {
        addressText = "Unknown";
    }
    fields.integer("Access Address", address, {}, addressText).known = method <= 4;
    // Both bits are always worded, set or not, so the status reads as one
    // of four values.
    uint8_t status = view.u8(0x0B);
    fields.enumerated("Status", status & 0x03,
                      std::string((status & 0x01) != 0 ? "Valid" : "Invalid") +
                          ((status & 0x02) != 0 ? ", Full" : ", Not Full"));
    fields.integer("Change Token", view.u32(0x0C), {}, format("0x%08X", view.u32(0x0C)));
    if (!view.has(0x14, 3)) {
        return;
    }
    vendorEnumeration(fields, "Header Format", view.u8(0x14), nameTable(0, kLogHeaderFormats), 0x80);
    unsigned count = view.u8(0x15);
    unsigned size = view.u8(0x16);
    fields.integer("Supported Log Type Descriptors", count, {}, format("%u", count));
    if (size < 2 || !view.has(0x17, std::size_t{count} * size)) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        std::size_t at = 0x17 + std::size_t{i} * size;
        uint8_t logType = view.u8(at);
        uint8_t dataFormat = view.u8(at + 1);
        if (logType == 0xFF) {
            fields.enumerated(format("Descriptor %u", i + 1), logType, "End of log", true);
        } else if (logType >= 0x80) {
            fields.enumerated(format("Descriptor %u", i + 1), logType, "OEM-specific", false);
        } else {
            const char *name = nameTable(0, kLogTypes).find(logType);
            fields.enumerated(format("Descriptor %u", i + 1), logType, name ? name : kOutOfRange, name != nullptr);
        }
        vendorEnumeration(fields, format("Data Format %u", i + 1).c_str(), dataFormat, nameTable(0, kLogDataFormats),
                          0x80);
    }
}

void decodeVoltageProbe(StructureView &view, Fields &fields) {
    decodeProbe(view, fields, ProbeUnits{"mV", "%.3f V", 1000.0, "0.1 mV", "%.1f mV", 10.0, 11});
}

void decodeCoolingDevice(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 0x08)) {
        return;
    }
    optionalHandle(fields, "Temperature Probe Handle", view.u16(0x04));
    uint8_t typeAndStatus = view.u8(0x06);
    unsigned deviceType = typeAndStatus & 0x1F;
    if (deviceType >= 0x10) {
        fields.enumeration("Type", deviceType, nameTable(0x10, kCoolingTypesFrom16));
    } else {
        fields.enumeration("Type", deviceType, nameTable(1, kCoolingTypes));
    }
    fields.enumeration("Status", typeAndStatus >> 5, nameTable(1, kProbeStatuses));
    if (view.u8(0x07) != 0) {
        fields.integer("Cooling Unit Group", view.u8(0x07), {}, format("%u", unsigned{view.u8(0x07)}));
    }
    fields.integer("OEM-specific Information", view.u32(0x08), {}, format("0x%08X", view.u32(0x08)));
    if (view.has(0x0C, 2)) {
        measuredWord(fields, "Nominal Speed", view.u16(0x0C), "rpm", "Unknown Or Non-rotating");
    }
    if (view.has(0x0E)) {
        fields.string("Description", view, 0x0E);
    }
}

void decodeTemperatureProbe(StructureView &view, Fields &fields) {
    decodeProbe(view, fields,
                ProbeUnits{"0.1 degC", "%.1f deg C", 10.0, "0.001 degC", "%.3f deg C", 1000.0,
                           sizeof kProbeLocations / sizeof kProbeLocations[0]});
}

void decodeCurrentProbe(StructureView &view, Fields &fields) {
    decodeProbe(view, fields, ProbeUnits{"mA", "%.3f A", 1000.0, "0.1 mA", "%.1f mA", 10.0, 11});
}

void decodeManagementDevice(StructureView &view, Fields &fields) {
    // Some firmware sets the length byte to 16 but ends the formatted area
    // at 11, where the strings begin: five printable bytes there can only
    // be the first string. Without quirks the length is taken as it is.
    if (view.quirks() && view.length() == 16 && view.has(11, 5)) {
        bool printable = true;
        for (std::size_t at = 11; at < 16; ++at) {
            uint8_t byte = view.u8(at);
            printable = printable && byte >= 0x20 && byte < 0x7F;
        }
        if (printable) {
            view.readStringsFrom(11);
            fields.note("Invalid entry length (16). Fixed up to 11.");
        }
    }
    if (!view.has(0x04, 0x07)) {
        return;
    }
    fields.string("Description", view, 0x04);
    fields.enumeration("Type", view.u8(0x05), nameTable(1, kManagementDeviceTypes));
    fields.integer("Address", view.u32(0x06), {}, format("0x%08X", view.u32(0x06)));
    fields.enumeration("Address Type", view.u8(0x0A), nameTable(1, kManagementAddressTypes));
}

void decodeManagementDeviceComponent(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 0x07)) {
        return;
    }
    fields.string("Description", view, 0x04);
    fields.handle("Management Device Handle", view.u16(0x05));
    fields.handle("Component Handle", view.u16(0x07));
    optionalHandle(fields, "Threshold Handle", view.u16(0x09));
}

void decodeManagementDeviceThreshold(StructureView &view, Fields &fields) {
    static const char *const kThresholds[] = {
        "Lower Non-critical Threshold", "Upper Non-critical Threshold",    "Lower Critical Threshold",
        "Upper Critical Threshold",     "Lower Non-recoverable Threshold", "Upper Non-recoverable Threshold",
    };
    if (!view.has(0x04, 0x0C)) {
        return;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        uint16_t value = view.u16(0x04 + 2 * i);
        if (value != kUnknownWord) {
            int reading = static_cast<int16_t>(value);
            fields.integer(kThresholds[i], value, {}, format("%d", reading)).known = reading >= 0;
        }
    }
}

void decodeSystemPowerSupply(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 0x0C)) {
        return;
    }
    if (view.u8(0x04) != 0) {
        fields.integer("Power Unit Group", view.u8(0x04), {}, format("%u", unsigned{view.u8(0x04)}));
    }
    fields.string("Location", view, 0x05);
    fields.string("Name", view, 0x06);
    fields.string("Manufacturer", view, 0x07);
    fields.string("Serial Number", view, 0x08);
    fields.string("Asset Tag", view, 0x09);
    fields.string("Model Part Number", view, 0x0A);
    fields.string("Revision", view, 0x0B);
    measuredWord(fields, "Max Power Capacity", view.u16(0x0C), "W", "Unknown");
    uint16_t characteristics = view.u16(0x0E);
    if ((characteristics & 0x0002) != 0) {
        unsigned status = (characteristics >> 7) & 0x07;
        const char *name = nameTable(1, kPowerSupplyStatuses).find(status);
        fields.enumerated("Status", status, std::string("Present, ") + (name ? name : kOutOfRange), name != nullptr);
    } else {
        fields.enumerated("Status", 0, "Not Present", true);
    }
    fields.enumeration("Type", (characteristics >> 10) & 0x0F, nameTable(1, kPowerSupplyTypes));
    fields.enumeration("Input Voltage Range Switching", (characteristics >> 3) & 0x0F,
                       nameTable(1, kVoltageRangeSwitching));
    // The bit says unplugged; the field says plugged.
    bool plugged = (characteristics & 0x0004) == 0;
    fields.enumerated("Plugged", plugged ? 1 : 0, plugged ? "Yes" : "No");
    fields.enumerated("Hot Replaceable", characteristics & 1, (characteristics & 0x0001) != 0 ? "Yes" : "No");
    if (!view.has(0x10, 6)) {
        return;
    }
    optionalHandle(fields, "Input Voltage Probe Handle", view.u16(0x10));
    optionalHandle(fields, "Cooling Device Handle", view.u16(0x12));
    optionalHandle(fields, "Input Current Probe Handle", view.u16(0x14));
}

}  // namespace smbios::decode
