// Decoders of IBM's and Lenovo's own structure types (ThinkPad, ThinkVantage),
// as dmidecode decodes them. No public document of Lenovo's lays them out:
// the layouts are those dmidecode's output shows (tests/data/decode/oem.md).
// Each type number carries several forms; dmidecode decodes one of each,
// told by its length, signature or first string, and shows the others
// undecoded.
#include <cstring>
#include <string>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

bool bytesAre(const StructureView &view, std::size_t offset, const char *text) {
    const std::size_t size = std::strlen(text);
    return view.has(offset, size) && std::memcmp(view.data() + offset, text, size) == 0;
}

// 131: the form of exactly 22 bytes whose first string is "TVT-Enablement".
void decodeThinkVantage(StructureView &view, Fields &fields) {
    const std::string *first = view.string(1);
    if (view.length() != 0x16 || !view.has(0x15) || first == nullptr || *first != "TVT-Enablement") {
        view.leaveUndecoded();
        return;
    }
    fields.integer("Version", view.u8(0x04), "", format("%u", view.u8(0x04)));
    const bool diagnostics = (view.u8(0x14) & 0x80) != 0;
    fields.enumerated("Diagnostics", diagnostics ? 1 : 0, diagnostics ? "Available" : "No");
}

// 135: the ThinkPad form ("TP", 07h) of subtype 03h, version 01h.
void decodeDevicePresence(StructureView &view, Fields &fields) {
    if (!view.has(0x09) || !bytesAre(view, 0x04, "TP") || view.u8(0x06) != 0x07 || view.u8(0x07) != 0x03 ||
        view.u8(0x08) != 0x01) {
        view.leaveUndecoded();
        return;
    }
    const bool present = (view.u8(0x09) & 0x01) != 0;
    fields.enumerated("Fingerprint Reader", present ? 1 : 0, present ? "Present" : "No");
}

// 140: the "LENOVO" form (0Bh) of subtype 07h, version 01h; its strings
// are the first two, whatever the bytes after the version hold.
void decodeEmbeddedController(StructureView &view, Fields &fields) {
    if (!view.has(0x0E) || !bytesAre(view, 0x04, "LENOVO") || view.u8(0x0A) != 0x0B || view.u8(0x0B) != 0x07 ||
        view.u8(0x0C) != 0x01) {
        view.leaveUndecoded();
        return;
    }
    fields.numberedString("Version ID", view, 1);
    fields.numberedString("Release Date", view, 2);
}

constexpr Reworded same(const char *name) {
    return Reworded{name, Dialect::Dmidecode34, name};
}

const OemTypeDecoder kIbmLenovoTypes[] = {
    {131,
     Dialect::Dmidecode34,
     {"ThinkVantage Technologies", same("ThinkVantage Technologies"), same("ThinkVantage Technologies"),
      decodeThinkVantage}},
    {135,
     Dialect::Dmidecode34,
     {"ThinkPad Device Presence Detection", same("ThinkPad Device Presence Detection"),
      same("ThinkPad Device Presence Detection"), decodeDevicePresence}},
    {140,
     Dialect::Dmidecode34,
     {"ThinkPad Embedded Controller Program", same("ThinkPad Embedded Controller Program"),
      same("ThinkPad Embedded Controller Program"), decodeEmbeddedController}},
};

}  // namespace

OemTypeTable ibmLenovoTypes() {
    return {kIbmLenovoTypes, sizeof kIbmLenovoTypes / sizeof kIbmLenovoTypes[0]};
}

}  // namespace smbios::decode
