// Decoders of Acer's own structure types, as dmidecode decodes them. No
// public document of Acer's lays them out: the layout is the one dmidecode's
// output shows (tests/data/decode/oem.md).
#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

const char *yesNo(bool value) {
    return value ? "Yes" : "No";
}

// 170: five button bitmaps and a key number; a structure too short for the
// key number shows the name alone.
void decodeHotkeyFunction(StructureView &view, Fields &fields) {
    if (!view.has(0x0E)) {
        return;
    }
    struct Bit {
        const char *name;
        unsigned bit;
    };
    static const Bit kCommunicationBits[] = {{"WiFi", 0}, {"3G", 6}, {"WiMAX", 7}, {"Bluetooth", 11}};
    const uint16_t communication = view.u16(0x04);
    Field &bitmap = fields.group("Function bitmap for Communication Button", format("0x%04x", communication));
    bitmap.number = communication;
    Fields bits(bitmap, fields);
    for (const Bit &bit : kCommunicationBits) {
        const bool set = (communication >> bit.bit & 1) != 0;
        bits.enumerated(bit.name, set ? 1 : 0, yesNo(set));
    }
    static const char *const kButtons[] = {"Application", "Media", "Display", "Others"};
    for (std::size_t i = 0; i < 4; ++i) {
        const uint16_t value = view.u16(0x06 + 2 * i);
        fields.integer(format("Function bitmap for %s Button", kButtons[i]), value, "", format("0x%04x", value));
    }
    fields.integer("Communication Function Key Number", view.u8(0x0E), "", format("%u", view.u8(0x0E)));
}

constexpr Reworded same(const char *name) {
    return Reworded{name, Dialect::Dmidecode34, name};
}

const OemTypeDecoder kAcerTypes[] = {
    {170,
     Dialect::Dmidecode34,
     {"Acer Hotkey Function", same("Acer Hotkey Function"), same("Acer Hotkey Function"), decodeHotkeyFunction}},
};

}  // namespace

OemTypeTable acerTypes() {
    return {kAcerTypes, sizeof kAcerTypes / sizeof kAcerTypes[0]};
}

}  // namespace smbios::decode
