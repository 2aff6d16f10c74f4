// smbios-inspect decode: the structures' fields through the decoding layer,
// as dmidecode shows them or as JSON.
#include <algorithm>

#include "decode/Decode.h"
#include "smbios-inspect/Inspect.h"

namespace smbios_inspect {
namespace {

// What --quiet leaves out: structures that carry no decoded field.
bool isQuietlySkipped(const smbios::decode::Structure &structure) {
    return structure.type == 126 || structure.type == 127 || structure.type >= 128 ||
           structure.name == "Unknown Type";
}

}  // namespace

int decodeCommand(TableSource &source, const std::vector<int> &types, std::optional<int> handle, bool quiet,
                  bool json, Output &out, Output &errors) {
    smbios::ISmbiosTable &table = source.table();
    const smbios::decode::Version version = smbios::decode::versionOf(table);
    std::vector<smbios::decode::Structure> shown;
    std::size_t count = 0;
    for (auto it = table.begin(); it != table.end(); ++it) {
        ++count;
        const smbios::ISmbiosItem &item = *it;
        if (!types.empty() && std::find(types.begin(), types.end(), item.getType()) == types.end()) {
            continue;
        }
        if (handle && item.getHandle() != *handle) {
            continue;
        }
        smbios::decode::Structure structure = smbios::decode::decodeStructure(item, version);
        if (quiet && isQuietlySkipped(structure)) {
            continue;
        }
        for (const std::string &note : structure.notes) {
            errors << note << '\n';
        }
        shown.push_back(std::move(structure));
    }
    if (handle && shown.empty()) {
        throw ToolError("no structure with handle " + std::to_string(*handle));
    }
    if (json) {
        out << smbios::decode::toJson(shown) << '\n';
        return 0;
    }
    std::string text = "# smbios-inspect 0.1.0 (Tarnwick)\n";
    text += "SMBIOS " + std::to_string(version.major) + "." + std::to_string(version.minor);
    if (version.major >= 3) {
        text += "." + std::to_string(version.docrev);
    }
    text += " present.\n" + std::to_string(count) + " structures occupying " +
            std::to_string(table.getTableLength()) + " bytes.\n\n";
    for (const smbios::decode::Structure &structure : shown) {
        smbios::decode::appendText(text, structure);
    }
    out << text;
    return 0;
}

}  // namespace smbios_inspect
