// The content rules: strings and identifiers a firmware kit fills in for
// the maker to replace, left as they came, where a serial number, an asset
// tag, a version or a UUID identifies a system (DSP0134 6.1.3, 7.2.1).
#include <algorithm>
#include <cctype>

#include "check/CheckContext.h"

namespace smbios::check {
namespace {

const Rule kRules[] = {
    {"content.placeholder-string", Severity::Warning, "DSP0134 3.9.0 6.1.3",
     "A string a firmware kit fills in for the maker to replace identifies nothing, yet programs take it for the "
     "system's own serial number, asset tag or version."},
    {"content.placeholder-uuid", Severity::Warning, "DSP0134 3.9.0 7.2.1",
     "A UUID a firmware kit ships with is the same on every system built with it, so it tells no system from another."},
    {"content.uuid-absent", Severity::Info, "DSP0134 3.9.0 7.2.1",
     "A UUID of all 00h says the system has none, and one of all FFh that it is not set yet; both are legal, and "
     "programs that tell systems apart by it cannot."},
};

// The fields that identify a part, by structure type and JSON key.
struct IdentifyingField {
    uint8_t type;
    const char *key;
};
const IdentifyingField kIdentifyingFields[] = {
    {1, "manufacturer"},   {1, "product_name"}, {1, "version"},       {1, "serial_number"}, {1, "sku_number"},
    {1, "family"},         {2, "manufacturer"}, {2, "product_name"},  {2, "version"},       {2, "serial_number"},
    {2, "asset_tag"},      {3, "manufacturer"}, {3, "version"},       {3, "serial_number"}, {3, "asset_tag"},
    {3, "sku_number"},     {4, "version"},      {4, "serial_number"}, {4, "asset_tag"},     {4, "part_number"},
    {17, "serial_number"}, {17, "asset_tag"},   {17, "part_number"},
};

// Strings firmware kits fill in, as tables of real systems show them;
// compared without regard to case or to the spaces around them.
const char *const kPlaceholders[] = {
    "To be filled by O.E.M.",  // AMI's Aptio and AMIBIOS default (ASRock boards: "To Be Filled By O.E.M.")
    "Default string",          // AMI's Aptio V default
    "System manufacturer",     // ASUS's defaults of type 1, on AMI firmware
    "System Product Name",
    "System Version",
    "System Serial Number",
    "SKU",
    "Chassis Manufacture",  // ASUS's defaults of type 3
    "Chassis Version",
    "Chassis Serial Number",
    "Asset-1234567890",
    "OEM",  // the maker's place, named and not filled
    "O.E.M.",
    "Not Specified",  // written out: string 0, which says the same, is no placeholder
};

// UUIDs firmware kits ship with, in DSP0134's textual form (7.2.1).
const char *const kPlaceholderUuids[] = {
    "03000200-0400-0500-0006-000700080009",  // AMI's Aptio default
    "00020003-0004-0005-0006-000700080009",  // the same bytes, read in the order of SMBIOS before 2.6
};

bool sameWords(const std::string &a, const std::string &b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trimmed(const std::string &text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Digits counting up from 0 or 1, six or more of them (123456789).
bool isCountingDigits(const std::string &text) {
    if (text.size() < 6 || (text[0] != '0' && text[0] != '1')) {
        return false;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != static_cast<char>('0' + (text[0] - '0' + i) % 10)) {
            return false;
        }
    }
    return true;
}

// One character four or more times over: xxxxx, 00000000.
bool isOneCharacterRepeated(const std::string &text) {
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(text.empty() ? '\0' : text[0])));
    return text.size() >= 4 && (first == 'x' || first == '0') && std::all_of(text.begin(), text.end(), [&](char c) {
               return std::tolower(static_cast<unsigned char>(c)) == first;
           });
}

bool isPlaceholder(const std::string &text) {
    const std::string words = trimmed(text);
    return std::any_of(std::begin(kPlaceholders), std::end(kPlaceholders),
                       [&](const char *placeholder) { return sameWords(words, placeholder); }) ||
           isCountingDigits(words) || isOneCharacterRepeated(words);
}

void checkUuid(Context &context, const WalkedStructure &structure, const decode::Field &uuid) {
    if (uuid.bytes.size() != 16) {
        return;
    }
    const bool zeros = std::all_of(uuid.bytes.begin(), uuid.bytes.end(), [](uint8_t b) { return b == 0x00; });
    const bool ones = std::all_of(uuid.bytes.begin(), uuid.bytes.end(), [](uint8_t b) { return b == 0xFF; });
    if (zeros || ones) {
        context.report("content.uuid-absent", &structure, 8, "uuid",
                       zeros ? "uuid is all 00h (the system has none); a UUID of its own expected"
                             : "uuid is all FFh (not set yet); a UUID of its own expected");
        return;
    }
    if (std::any_of(std::begin(kPlaceholderUuids), std::end(kPlaceholderUuids),
                    [&](const char *placeholder) { return sameWords(uuid.text, placeholder); })) {
        context.report("content.placeholder-uuid", &structure, 8, "uuid",
                       "uuid " + uuid.text + " is a firmware kit's default; a UUID of the system's own expected");
    }
}

void each(Context &context, const WalkedStructure &structure) {
    if (!structure.item) {
        return;
    }
    // An empty memory socket identifies no part: what its strings say
    // names nothing.
    const decode::Field *size = structure.type == 17 ? fieldByKey(structure, "size") : nullptr;
    if (size != nullptr && size->number == 0) {
        return;
    }
    for (const IdentifyingField &identifying : kIdentifyingFields) {
        if (identifying.type != structure.type) {
            continue;
        }
        const decode::Field *field = fieldByKey(structure, identifying.key);
        if (field != nullptr && field->kind == decode::Kind::String && field->stringNumber != 0 &&
            isPlaceholder(field->text)) {
            context.report("content.placeholder-string", &structure, std::nullopt, identifying.key,
                           std::string(identifying.key) + " \"" + field->text +
                               "\" is a firmware kit's placeholder; the part's own expected");
        }
    }
    if (structure.type == 1) {
        const decode::Field *uuid = fieldByKey(structure, "uuid");
        if (uuid != nullptr && uuid->kind == decode::Kind::Uuid) {
            checkUuid(context, structure, *uuid);
        }
    }
}

}  // namespace

RuleGroup contentRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], nullptr, each};
}

}  // namespace smbios::check
