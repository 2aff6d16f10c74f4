// The reference rules: each handle a structure holds names a structure of
// the table, of a type it may name (DSP0134 6.1.2, the handle; each
// structure's clause for what its handles name). Which handles name what is
// the profile's "references" (check/profiles/dsp0134.json).
#include <algorithm>
#include <set>

#include "check/CheckContext.h"

namespace smbios::check {
namespace {

const Rule kRules[] = {
    {"reference.unresolved", Severity::Error, "DSP0134 3.9.0 6.1.2",
     "A handle that names no structure of the table leaves a reader without what it points to; FFFFh or FFFEh say "
     "that there is none."},
    {"reference.wrong-type", Severity::Error, "DSP0134 3.9.0 6.1.2",
     "A handle names a structure of the type its field is defined for; one of another type means something else."},
};

// Whether `key` from `at` is `pattern` from `from`, in which '*' stands for
// any run of characters.
bool matches(const std::string &pattern, std::size_t from, const std::string &key, std::size_t at) {
    if (from == pattern.size()) {
        return at == key.size();
    }
    if (pattern[from] == '*') {
        for (std::size_t rest = at; rest <= key.size(); ++rest) {
            if (matches(pattern, from + 1, key, rest)) {
                return true;
            }
        }
        return false;
    }
    return at < key.size() && key[at] == pattern[from] && matches(pattern, from + 1, key, at + 1);
}

// The handles `field` holds: itself, or those inside it for a group.
void collectHandles(const decode::Field &field, std::vector<const decode::Field *> &handles) {
    if (field.kind == decode::Kind::Handle) {
        handles.push_back(&field);
    }
    for (const decode::Field &child : field.children) {
        collectHandles(child, handles);
    }
}

std::string hex4(uint64_t value) {
    const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += digits[(value >> shift) & 0xF];
    }
    return text + "h";
}

std::string typesText(const std::vector<uint8_t> &types) {
    std::string text;
    for (std::size_t i = 0; i < types.size(); ++i) {
        text += i == 0 ? "" : (i + 1 == types.size() ? " or " : ", ");
        text += std::to_string(types[i]) + " (" + decode::typeName(types[i]) + ")";
    }
    return text;
}

// `unresolved` holds the structure's handles found naming nothing, each
// said once whatever number of entries name its field.
void checkHandle(Context &context, const WalkedStructure &structure, const Profile::Data::Reference &reference,
                 const std::string &key, const decode::Field &handle, std::set<const decode::Field *> &unresolved) {
    if (handle.number >= 0xFFFE) {
        return;
    }
    const WalkedStructure *named = context.byHandle(static_cast<uint16_t>(handle.number));
    const std::string expected = reference.to.empty() ? "a structure of the table" : "type " + typesText(reference.to);
    if (named == nullptr) {
        if (!unresolved.insert(&handle).second) {
            return;
        }
        context.report("reference.unresolved", &structure, std::nullopt, key,
                       key + " " + hex4(handle.number) + " names no structure; " + expected + " or FFFFh expected",
                       kRules[0].severity, reference.reference);
        return;
    }
    if (!reference.to.empty() &&
        std::find(reference.to.begin(), reference.to.end(), named->type) == reference.to.end()) {
        context.report("reference.wrong-type", &structure, std::nullopt, key,
                       key + " " + hex4(handle.number) + " names a structure of type " + std::to_string(named->type) +
                           " (" + decode::typeName(named->type) + "); " + expected + " expected",
                       kRules[1].severity, reference.reference);
    }
}

void each(Context &context, const WalkedStructure &structure) {
    if (!structure.item) {
        return;
    }
    std::set<const decode::Field *> unresolved;
    for (const Profile::Data::Reference &reference : context.profile().references) {
        if (reference.type != structure.type) {
            continue;
        }
        const bool pattern = reference.field.find('*') != std::string::npos;
        for (std::size_t i = 0; i < structure.keys.size(); ++i) {
            const decode::Field &field = structure.decoded.fields[i];
            const std::string &key = structure.keys[i];
            if (pattern ? !matches(reference.field, 0, key, 0) : key != reference.field) {
                continue;
            }
            std::vector<const decode::Field *> handles;
            collectHandles(field, handles);
            for (const decode::Field *handle : handles) {
                checkHandle(context, structure, reference, key, *handle, unresolved);
            }
        }
    }
}

}  // namespace

RuleGroup referenceRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], nullptr, each};
}

}  // namespace smbios::check
