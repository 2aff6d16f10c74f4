// Decoded structures as JSON: the same fields as the text, typed.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <string>

#include "decode/Decode.h"
#include "decode/DecodeSupport.h"

namespace smbios::decode {
namespace {

using Json = nlohmann::ordered_json;

Json valueOf(const Field &field);

// Fields of one level by name. A name that repeats (the protocol records
// of a host interface) keeps every value, in an array.
Json childrenOf(const std::vector<Field> &fields) {
    Json object = Json::object();
    std::set<std::string> repeated;
    for (const Field &field : fields) {
        if (isBlankLine(field)) {
            continue;
        }
        const std::string &key = field.name.empty() ? field.text : field.key.empty() ? field.name : field.key;
        Json value = valueOf(field);
        if (!object.contains(key)) {
            object[key] = std::move(value);
            continue;
        }
        if (repeated.insert(key).second) {
            object[key] = Json::array({std::move(object[key])});
        }
        object[key].push_back(std::move(value));
    }
    return object;
}

Json valueOf(const Field &field) {
    switch (field.kind) {
    case Kind::Integer:
        if (!field.known) {
            return Json{{"raw", field.number}, {"text", field.text}};
        }
        if (field.isSigned) {
            const auto number = static_cast<int64_t>(field.number);
            return field.unit.empty() ? Json(number) : Json{{"value", number}, {"unit", field.unit}};
        }
        return field.unit.empty() ? Json(field.number) : Json{{"value", field.number}, {"unit", field.unit}};
    case Kind::Enum:
        if (!field.known) {
            return Json{{"raw", field.number}, {"text", field.text}};
        }
        return field.text;
    case Kind::Handle:
        // FFFEh and FFFFh stand for "none" rather than for a structure.
        if (!field.known) {
            return Json{{"raw", field.number}, {"text", field.text}};
        }
        return field.number;
    case Kind::Flags:
        return field.items;
    case Kind::String:
        if (!field.known) {
            return nullptr;  // no string, or a number past the last one
        }
        // The text replaces what is not printable, so the JSON stays valid
        // UTF-8 only if the rest is; the stored bytes are kept beside it
        // whenever they differ from the text.
        if (std::string(field.bytes.begin(), field.bytes.end()) == field.text) {
            return field.text;
        }
        return Json{{"text", field.text}, {"bytes", field.bytes}};
    case Kind::Bytes:
        return field.bytes;
    case Kind::Group: {
        // A list under a count (languages, contained handles) has children
        // without names, which may repeat: an array keeps them all.
        const bool unnamed =
            !field.children.empty() && std::all_of(field.children.begin(), field.children.end(),
                                                   [](const Field &child) { return child.name.empty(); });
        Json group = Json::object();
        if (unnamed) {
            Json items = Json::array();
            for (const Field &child : field.children) {
                items.push_back(valueOf(child));
            }
            group["items"] = std::move(items);
        } else {
            group = childrenOf(field.children);
        }
        if (!field.text.empty()) {
            group["value"] = field.text;
        }
        return group;
    }
    case Kind::Uuid:
    case Kind::Text:
        break;
    }
    if (!field.items.empty()) {
        return field.items;
    }
    return field.text;
}

}  // namespace

std::string toJson(const std::vector<Structure> &structures) {
    Json array = Json::array();
    for (const Structure &structure : structures) {
        Json object;
        object["handle"] = structure.handle;
        object["type"] = structure.type;
        object["length"] = structure.length;
        object["name"] = structure.name;
        object["fields"] = childrenOf(structure.fields);
        array.push_back(std::move(object));
    }
    // Strings that are not valid UTF-8 come out with U+FFFD in their place.
    return array.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace smbios::decode
