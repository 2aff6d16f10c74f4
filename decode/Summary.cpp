// The typed answers and dmidecode's string keywords, read off the decoded
// structures so that each field is decoded in one place only.
#include "decode/Summary.h"

#include <cstdlib>

#include "decode/Decode.h"
#include "smbios/SmbiosTable.h"

namespace smbios::decode {
namespace {

// By the key programs know the field by, whatever words the release shows.
const Field *fieldNamed(const Structure &structure, const char *name) {
    for (const Field &field : structure.fields) {
        if ((field.key.empty() ? field.name : field.key) == name) {
            return &field;
        }
    }
    return nullptr;
}

std::string textOf(const Structure &structure, const char *name) {
    const Field *field = fieldNamed(structure, name);
    return field ? field->text : std::string();
}

std::optional<std::string> optionalTextOf(const Structure &structure, const char *name) {
    const Field *field = fieldNamed(structure, name);
    return field ? std::optional<std::string>(field->text) : std::nullopt;
}

// A count or speed the structure states; absent when it does not say.
std::optional<uint32_t> numberOf(const Structure &structure, const char *name) {
    const Field *field = fieldNamed(structure, name);
    if (!field || field->kind != Kind::Integer || !field->known) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(field->number);
}

std::optional<uint64_t> bytesOf(const Structure &structure, const char *name) {
    const Field *field = fieldNamed(structure, name);
    if (!field || field->kind != Kind::Integer || !field->known) {
        return std::nullopt;
    }
    static const struct {
        const char *unit;
        unsigned shift;
    } kUnits[] = {{"bytes", 0}, {"kB", 10}, {"KB", 10}, {"MB", 20}, {"GB", 30}, {"TB", 40}, {"PB", 50}, {"EB", 60}};
    for (const auto &unit : kUnits) {
        if (field->unit == unit.unit) {
            return field->number << unit.shift;
        }
    }
    return std::nullopt;
}

struct Keyword {
    const char *name;
    uint8_t type;
    const char *field;
};

const Keyword kKeywords[] = {
    {"bios-vendor", 0, "Vendor"},
    {"bios-version", 0, "Version"},
    {"bios-release-date", 0, "Release Date"},
    {"bios-revision", 0, "BIOS Revision"},
    {"firmware-revision", 0, "Firmware Revision"},
    {"system-manufacturer", 1, "Manufacturer"},
    {"system-product-name", 1, "Product Name"},
    {"system-version", 1, "Version"},
    {"system-serial-number", 1, "Serial Number"},
    {"system-uuid", 1, "UUID"},
    {"system-sku-number", 1, "SKU Number"},
    {"system-family", 1, "Family"},
    {"baseboard-manufacturer", 2, "Manufacturer"},
    {"baseboard-product-name", 2, "Product Name"},
    {"baseboard-version", 2, "Version"},
    {"baseboard-serial-number", 2, "Serial Number"},
    {"baseboard-asset-tag", 2, "Asset Tag"},
    {"chassis-manufacturer", 3, "Manufacturer"},
    {"chassis-type", 3, "Type"},
    {"chassis-version", 3, "Version"},
    {"chassis-serial-number", 3, "Serial Number"},
    {"chassis-asset-tag", 3, "Asset Tag"},
    {"processor-family", 4, "Family"},
    {"processor-manufacturer", 4, "Manufacturer"},
    {"processor-version", 4, "Version"},
    {"processor-frequency", 4, "Current Speed"},
};

// Decodes the structures of `type` only: the questions name few types,
// and a table may hold thousands of structures of others.
template <class Visit>
void forEachOfType(const smbios::ISmbiosTable &table, uint8_t type, Version version, Visit visit) {
    for (auto it = table[type]; it != table.end(); ++it) {
        visit(decodeStructure(*it, version));
    }
}

}  // namespace

Summary summarize(const smbios::ISmbiosTable &table) {
    const Version version = versionOf(table);
    Summary summary;
    bool seen[4] = {};
    bool seenOemStrings = false;
    for (auto it = table.begin(); it != table.end(); ++it) {
        const uint8_t type = it->getType();
        if (type > 4 && type != 11 && type != 17) {
            continue;
        }
        if ((type < 4 && seen[type]) || (type == 11 && seenOemStrings)) {
            continue;
        }
        const Structure s = decodeStructure(*it, version);
        switch (type) {
        case 0:
            summary.bios = {textOf(s, "Vendor"), textOf(s, "Version"), textOf(s, "Release Date"),
                            optionalTextOf(s, "BIOS Revision"), optionalTextOf(s, "Firmware Revision")};
            break;
        case 1:
            summary.system = {textOf(s, "Manufacturer"),  textOf(s, "Product Name"), textOf(s, "Version"),
                              textOf(s, "Serial Number"), textOf(s, "UUID"),         textOf(s, "SKU Number"),
                              textOf(s, "Family")};
            break;
        case 2:
            summary.baseboard = {textOf(s, "Manufacturer"), textOf(s, "Product Name"), textOf(s, "Version"),
                                 textOf(s, "Serial Number"), textOf(s, "Asset Tag")};
            break;
        case 3:
            summary.chassis = {textOf(s, "Manufacturer"), textOf(s, "Type"), textOf(s, "Version"),
                               textOf(s, "Serial Number"), textOf(s, "Asset Tag")};
            break;
        case 4:
            summary.processors.push_back({textOf(s, "Socket Designation"), textOf(s, "Family"),
                                          textOf(s, "Manufacturer"), textOf(s, "Version"), numberOf(s, "Current Speed"),
                                          numberOf(s, "Core Count"), numberOf(s, "Thread Count")});
            break;
        case 11:
            summary.oemStrings = oemStringsOf(s);
            break;
        default:  // 17
            summary.memoryDevices.push_back({s.handle, textOf(s, "Locator"), textOf(s, "Bank Locator"),
                                             bytesOf(s, "Size"), textOf(s, "Type"), numberOf(s, "Speed"),
                                             textOf(s, "Manufacturer"), textOf(s, "Serial Number"),
                                             textOf(s, "Part Number")});
            break;
        }
        if (type < 4) {
            seen[type] = true;
        }
        seenOemStrings = seenOemStrings || type == 11;
    }
    return summary;
}

std::vector<std::string> oemStringsOf(const Structure &oemStrings) {
    std::vector<std::string> strings;
    for (const Field &field : oemStrings.fields) {
        if (field.kind == Kind::String) {
            strings.push_back(field.text);
        }
    }
    return strings;
}

const std::vector<std::string> &stringKeywords() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Keyword &keyword : kKeywords) {
            list.emplace_back(keyword.name);
        }
        return list;
    }();
    return names;
}

std::optional<std::vector<std::string>> valuesOf(const smbios::ISmbiosTable &table, const std::string &keyword) {
    for (const Keyword &known : kKeywords) {
        if (keyword != known.name) {
            continue;
        }
        std::vector<std::string> values;
        forEachOfType(table, known.type, versionOf(table), [&](const Structure &structure) {
            if (const Field *field = fieldNamed(structure, known.field)) {
                values.push_back(field->text);
            }
        });
        return values;
    }
    return std::nullopt;
}

}  // namespace smbios::decode
