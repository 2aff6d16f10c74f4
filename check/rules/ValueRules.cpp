// The value rules: each field of a standard structure whose value DSP0134
// does not define, and each bit set with bits it reserves set, as the
// decoding layer marks them (decode::Field::undefined and reservedBits).
#include <cinttypes>
#include <cstdio>

#include "check/CheckContext.h"
#include "decode/DecodeSupport.h"

namespace smbios::check {
namespace {

const Rule kRules[] = {
    {"value.undefined", Severity::Error, "DSP0134 3.9.0 7",
     "An enumeration, unit or position outside the values the structure's clause defines, or one it reserves, "
     "means nothing a reader can rely on."},
    {"value.reserved-bits-set", Severity::Warning, "DSP0134 3.9.0 7",
     "Bits a bit set reserves are 0; one set is meaningless now and would be misread once a later version gives it "
     "a meaning."},
};

// The last type whose structure the standard defines.
constexpr uint8_t kLastStandardType = 46;

std::string hex(uint64_t value) {
    char text[24];
    (void)std::snprintf(text, sizeof text, "%02" PRIX64 "h", value);
    return text;
}

// Each structure type's clause is 7.(type + 1).
std::string clauseOf(uint8_t type) {
    return "DSP0134 7." + std::to_string(unsigned{type} + 1);
}

// A field of its own value: a text alone (an address shown in a format
// the structure gives elsewhere) or a string carries none.
bool carriesValue(const decode::Field &field) {
    switch (field.kind) {
    case decode::Kind::Enum:
    case decode::Kind::Integer:
    case decode::Kind::Handle:
    case decode::Kind::Group:
        return true;
    default:
        return false;
    }
}

// What is wrong with a field the decoder marks undefined.
std::string undefinedMessage(const decode::Field &field, const std::string &key, uint8_t type) {
    std::string message = key;
    if (field.kind == decode::Kind::Handle) {
        message += " names handle ";
        message += hex(field.number);
        message += " by a structure type ";
    } else if (field.kind == decode::Kind::Enum || field.text == decode::kOutOfRange) {
        // The value alone: the text says no more than that it is undefined.
        message += " is ";
        message += hex(field.number);
        message += ", a value ";
    } else {
        // A quantity or a record whose unit or kind is the undefined part:
        // its text says which.
        message += " reads \"";
        message += field.text;
        message += "\" (";
        message += hex(field.number);
        message += "), a value ";
    }
    message += clauseOf(type);
    message += " does not define";
    return message;
}

std::string reservedBitsMessage(const decode::Field &field, const std::string &key, uint8_t type) {
    std::string message = key;
    message += " has reserved bits ";
    message += hex(field.reservedBits);
    message += " set; ";
    message += clauseOf(type);
    message += " reserves them";
    return message;
}

// The key a finding on `field` names: its own, or for an unnamed item its
// parent's. Made only for a finding: most fields have none.
std::string keyOf(const decode::Field &field, const decode::Field *parent) {
    std::string key = decode::jsonKeyOf(field);
    if (key.empty() && parent != nullptr) {
        key = decode::jsonKeyOf(*parent);
    }
    return key;
}

void visit(Context &context, const WalkedStructure &structure, const std::vector<decode::Field> &fields,
           const decode::Field *parent) {
    for (const decode::Field &field : fields) {
        if (field.undefined && carriesValue(field)) {
            const std::string key = keyOf(field, parent);
            context.report("value.undefined", &structure, {}, key, undefinedMessage(field, key, structure.type));
        }
        if (field.reservedBits != 0) {
            const std::string key = keyOf(field, parent);
            context.report("value.reserved-bits-set", &structure, {}, key,
                           reservedBitsMessage(field, key, structure.type));
        }
        visit(context, structure, field.children, &field);
    }
}

void each(Context &context, const WalkedStructure &structure) {
    if (structure.item && structure.type <= kLastStandardType) {
        visit(context, structure, structure.decoded.fields, nullptr);
    }
}

}  // namespace

RuleGroup valueRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], nullptr, each};
}

}  // namespace smbios::check
