// The requirement rules: the structures and fields a table must hold, and
// the values a field may take, as the profile's "required" and "allowed"
// entries say (DSP0134 6.2 for the dsp0134 profile; a platform's
// requirements for its own).
#include <optional>
#include <regex>
#include <set>

#include "check/CheckContext.h"
#include "check/rules/StructureLengths.h"

namespace smbios::check {
namespace {

const Rule kRules[] = {
    {"required.type-missing", Severity::Error, "DSP0134 3.9.0 6.2",
     "The table lacks a structure type its version, or the platform, requires."},
    {"required.too-few", Severity::Error, "DSP0134 3.9.0 6.2",
     "The table holds fewer structures of a type than are required of it (one for each processor, cache, slot or "
     "memory device, say)."},
    {"required.field-absent", Severity::Error, "DSP0134 3.9.0 6.2",
     "A required field is not carried: it lies beyond the structure's length, or the structure's own data leaves it "
     "out (as a firmware address of 0 does)."},
    {"required.string-absent", Severity::Warning, "DSP0134 3.9.0 6.2",
     "A required string field is string 0: the structure names no string for data that is required of it."},
    {"required.field-unknown", Severity::Error, "DSP0134 3.9.0 6.2",
     "A field the profile requires a known value of says nothing: a value such as Unknown, or no string."},
    {"required.value-not-allowed", Severity::Error, "DSP0134 3.9.0 6.2",
     "A field holds a value that the profile does not allow for it."},
};

std::string versionText(const decode::Version &version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor);
}

std::string hex2(unsigned value) {
    const char digits[] = "0123456789ABCDEF";
    return std::string{digits[(value >> 4) & 0xF], digits[value & 0xF], 'h'};
}

std::string typeText(uint8_t type) {
    return "type " + std::to_string(type) + " (" + decode::typeName(type) + ")";
}

bool isNumeric(const decode::Field &field) {
    return field.kind == decode::Kind::Integer || field.kind == decode::Kind::Enum ||
           field.kind == decode::Kind::Handle;
}

// Whether the field's value is one the entry names: the decoded text, or
// for a number the decimal number; or text that `pattern` (the entry's,
// compiled once) matches whole.
bool isAllowed(const decode::Field &field, const Profile::Data::Allowed &allowed, const std::regex *pattern) {
    for (const std::string &value : allowed.values) {
        if (value == field.text || (isNumeric(field) && value == std::to_string(field.number))) {
            return true;
        }
    }
    return pattern != nullptr && std::regex_match(field.text, *pattern);
}

// " (3)" for a field that holds a number, as "allowed" entries may name it.
std::string numberText(const decode::Field &field) {
    return isNumeric(field) ? " (" + std::to_string(field.number) + ")" : std::string();
}

std::string allowedText(const Profile::Data::Allowed &allowed) {
    std::string text;
    for (const std::string &value : allowed.values) {
        text += (text.empty() ? "\"" : ", \"") + value + "\"";
    }
    if (!allowed.pattern.empty()) {
        text += (text.empty() ? "text matching " : " or text matching ") + allowed.pattern;
    }
    return text;
}

void checkFields(Context &context, const WalkedStructure &structure, const Profile::Data::Requirement &requirement) {
    const uint8_t *bytes = context.source().table.data() + structure.offset;
    const bool whole = structure.offset + structure.length <= context.source().table.size();
    for (const std::string &key : requirement.fields) {
        const decode::Field *field = fieldByKey(structure, key);
        if (field == nullptr && whole && structure.length >= lengthOfVersion(structure, bytes, requirement.since)) {
            // Long enough to carry it: the decoder leaves out a field whose
            // value says there is nothing to show (a thread count of 0, for
            // "unknown"), which `known` asks about.
            continue;
        }
        if (field == nullptr) {
            context.report("required.field-absent", &structure, std::nullopt, key,
                           key + " is not carried by the structure, " + hex2(structure.length) +
                               " bytes long; the profile requires it of " + typeText(requirement.type) +
                               " from SMBIOS " + versionText(requirement.since),
                           requirement.severity, requirement.reference);
        } else if (field->kind == decode::Kind::String && field->stringNumber == 0) {
            context.report("required.string-absent", &structure, std::nullopt, key,
                           key + " is string 0 (none); a string expected", Severity::Warning, requirement.reference);
        }
    }
    // Fields whose value must also be known: the profile's `known`. A value
    // the standard does not define, and a string number past the last
    // string, are the value and structure rules' findings; a UUID that is
    // not there (all 00h) or not set (all FFh), the content rules'.
    for (const std::string &key : requirement.known) {
        const decode::Field *field = fieldByKey(structure, key);
        if (field == nullptr || field->undefined || field->kind == decode::Kind::Uuid ||
            (field->kind == decode::Kind::String && field->stringNumber > structure.stringCount)) {
            continue;
        }
        if (!field->known || (field->kind == decode::Kind::String && field->stringNumber == 0)) {
            context.report("required.field-unknown", &structure, std::nullopt, key,
                           key + " is \"" + field->text + "\", which tells nothing of it; a known value expected",
                           requirement.severity, requirement.reference);
        }
    }
}

// Whether `requirement` is asked of the table at all.
bool applies(const Context &context, const Profile::Data::Requirement &requirement) {
    if (!context.version().atLeast(requirement.since.major, requirement.since.minor)) {
        return false;
    }
    // A bare table claims no version (it is decoded as the last 2.x one):
    // only what every version requires can be asked of it.
    return context.entryPointKind() != smbios::EntryPointKind::None || !requirement.since.atLeast(2, 1);
}

// `counted` holds the types whose count has been found short: one finding
// for a type, whatever number of entries require it.
void checkCount(Context &context, const Profile::Data::Requirement &requirement, std::set<uint8_t> &counted) {
    if (!applies(context, requirement)) {
        return;
    }
    unsigned count = 0;
    for (const WalkedStructure &structure : context.structures()) {
        if (structure.type == requirement.type && structure.decodable) {
            ++count;
        }
    }
    if (count >= requirement.minCount || !counted.insert(requirement.type).second) {
        return;
    }
    if (count == 0) {
        context.report(
            "required.type-missing", nullptr, std::nullopt, {},
            "no structure of " + typeText(requirement.type) + "; a table of SMBIOS " + versionText(requirement.since) +
                " or later holds " +
                (requirement.minCount == 1 ? std::string("one") : "at least " + std::to_string(requirement.minCount)),
            requirement.severity, requirement.reference);
    } else {
        context.report("required.too-few", nullptr, std::nullopt, {},
                       std::to_string(count) + " structure(s) of " + typeText(requirement.type) + "; at least " +
                           std::to_string(requirement.minCount) + " expected",
                       requirement.severity, requirement.reference);
    }
}

// The fields each structure must carry. A structure too short to decode at
// all carries no field: the structure rules say so, once.
void each(Context &context, const WalkedStructure &structure) {
    if (!structure.item || structure.decoded.fields.empty()) {
        return;
    }
    for (const Profile::Data::Requirement &requirement : context.profile().required) {
        if (requirement.type == structure.type && applies(context, requirement)) {
            checkFields(context, structure, requirement);
        }
    }
}

// The types whose values the allowed entries compare after the walk.
void keep(const Context &context, TypeSet &types) {
    for (const Profile::Data::Allowed &allowed : context.profile().allowed) {
        types.set(allowed.type);
    }
}

void checkAllowed(Context &context, const Profile::Data::Allowed &allowed) {
    std::optional<std::regex> pattern;
    if (!allowed.pattern.empty()) {
        pattern.emplace(allowed.pattern);
    }
    for (const WalkedStructure &structure : context.structures()) {
        if (structure.type != allowed.type || !structure.item) {
            continue;
        }
        const decode::Field *field = fieldByKey(structure, allowed.field);
        // A field not carried, or string 0, holds no value: the "required"
        // entries say whether it must.
        if (field == nullptr || (field->kind == decode::Kind::String && field->stringNumber == 0)) {
            continue;
        }
        if (!isAllowed(*field, allowed, pattern ? &*pattern : nullptr)) {
            context.report("required.value-not-allowed", &structure, std::nullopt, allowed.field,
                           allowed.field + " is \"" + field->text + "\"" + numberText(*field) + "; " +
                               allowedText(allowed) + " expected",
                           allowed.severity, allowed.reference);
        }
    }
}

void run(Context &context) {
    std::set<uint8_t> counted;
    for (const Profile::Data::Requirement &requirement : context.profile().required) {
        checkCount(context, requirement, counted);
    }
    for (const Profile::Data::Allowed &allowed : context.profile().allowed) {
        checkAllowed(context, allowed);
    }
}

}  // namespace

RuleGroup requirementRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], run, each, keep};
}

}  // namespace smbios::check
