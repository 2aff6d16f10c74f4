// Decoded structures as JSON: the same fields as the text, typed, under keys
// that do not change with the words a release shows.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>
#include <string>

#include "decode/Decode.h"
#include "decode/DecodeSupport.h"

namespace smbios::decode {

namespace {

// The letters of the key of `words`, one at a time to `emit`: ASCII letters
// and digits in lower case, each run of anything else one '_' between them.
template <class Emit>
void keyLetters(const std::string &words, Emit emit) {
    bool gap = false;  // a run of other characters since the last letter
    bool any = false;
    for (const char c : words) {
        const bool lower = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (lower || (c >= 'A' && c <= 'Z')) {
            if (gap && any) {
                emit('_');
            }
            emit(lower ? c : static_cast<char>(c - 'A' + 'a'));
            gap = false;
            any = true;
        } else {
            gap = true;
        }
    }
}

const std::string &keyWords(const Field &field) {
    return field.key.empty() ? field.name : field.key;
}

}  // namespace

std::string jsonKey(const std::string &words) {
    // Written in place, not grown a letter at a time: a check makes the key
    // of every field of every structure.
    std::string key(words.size(), '\0');
    std::size_t length = 0;
    keyLetters(words, [&](char c) { key[length++] = c; });
    key.resize(length);
    return key;
}

std::string jsonKeyOf(const Field &field) {
    return field.name.empty() ? std::string() : jsonKey(keyWords(field));
}

namespace {

using Json = nlohmann::ordered_json;

Json valueOf(const Field &field);

// The fields of one level by key. A name that repeats (the protocol records
// of a host interface) keeps every value, in an array; fields without a name
// in a level of named ones go, in their order, under "items", as a list of
// unnamed fields does.
Json childrenOf(const std::vector<Field> &fields) {
    Json object = Json::object();
    std::set<std::string> repeated;
    for (const Field &field : fields) {
        if (isBlankLine(field)) {
            continue;
        }
        Json value = valueOf(field);
        if (field.name.empty()) {
            object["items"].push_back(std::move(value));
            continue;
        }
        const std::string key = jsonKeyOf(field);
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
        Json group = childrenOf(field.children);
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

Json structuresOf(const std::vector<Structure> &structures) {
    Json array = Json::array();
    for (const Structure &structure : structures) {
        Json object;
        object["handle"] = structure.handle;
        object["type"] = structure.type;
        object["length"] = structure.length;
        // The standard's name, which no release rewords.
        object["name"] = typeName(structure.type);
        object["fields"] = childrenOf(structure.fields);
        array.push_back(std::move(object));
    }
    return array;
}

// Strings that are not valid UTF-8 come out with U+FFFD in their place.
std::string written(const Json &document) {
    return document.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string toJson(const std::vector<Structure> &structures) {
    return written(structuresOf(structures));
}

std::string toJson(const TableFacts &table, const std::vector<Structure> &structures) {
    Json document;
    document["smbios_version"] = {
        {"major", table.version.major}, {"minor", table.version.minor}, {"docrev", table.version.docrev}};
    Json source = {{"kind", table.source}};
    if (!table.file.empty()) {
        source["file"] = table.file;
    }
    source["entry_point"] = table.entryPoint;
    document["source"] = std::move(source);
    document["table_length"] = table.tableLength;
    document["structure_count"] = table.structureCount;
    document["structures"] = structuresOf(structures);
    return written(document);
}

}  // namespace smbios::decode
