// Profiles: the JSON form read into what the rules apply, and the built-in
// profiles, written in the same form (docs/check-profiles.md).
#include <algorithm>
#include <initializer_list>
#include <regex>

#include <nlohmann/json.hpp>

#include "check/ProfileData.h"
#include "smbios/Exception.h"
#include "smbios/VerbatimText.h"

namespace smbios::check {

struct BuiltInProfile {
    const char *name;
    const char *json;
};
extern const BuiltInProfile kBuiltInProfiles[];
extern const std::size_t kBuiltInProfileCount;

namespace {

using Json = nlohmann::json;

// A fault of the profile's text, said with where it is.
[[noreturn]] void refuse(const std::string &origin, const std::string &what) {
    smbios::ParseExceptionImpl failure;
    smbios::setMessageWithVerbatimValues(failure, "Profile %(profile)s: %(fault)s",
                                         {{"profile", origin}, {"fault", what}});
    throw failure;
}

// One JSON object of a profile, read key by key: a key it does not know and
// a value of the wrong JSON type are refused, each named with where it is.
class Entry {
public:
    Entry(const std::string &profileOrigin, const Json &value, std::string where,
          std::initializer_list<const char *> keys)
        : origin(profileOrigin), object(value), place(std::move(where)) {
        if (!object.is_object()) {
            fail("is not a JSON object");
        }
        for (const auto &item : object.items()) {
            if (std::none_of(keys.begin(), keys.end(), [&](const char *key) { return item.key() == key; })) {
                fail("has an unknown key '" + item.key() + "'");
            }
        }
    }

    [[noreturn]] void fail(const std::string &what) const { refuse(origin, place + " " + what); }
    [[noreturn]] void failAt(const char *key, const std::string &what) const {
        refuse(origin, place + "'s \"" + key + "\" " + what);
    }
    bool has(const char *key) const { return object.contains(key); }
    const Json &at(const char *key) const { return object.at(key); }

    std::string text(const char *key, const std::string &otherwise) const {
        if (!has(key)) {
            return otherwise;
        }
        if (!at(key).is_string()) {
            failAt(key, "is not a string");
        }
        return at(key).get<std::string>();
    }
    std::string requiredText(const char *key) const {
        if (!has(key)) {
            fail("has no \"" + std::string(key) + "\"");
        }
        return text(key, {});
    }
    unsigned number(const char *key, unsigned otherwise, unsigned most) const {
        if (!has(key)) {
            return otherwise;
        }
        if (!at(key).is_number_unsigned() || at(key).get<uint64_t>() > most) {
            failAt(key, "is not a whole number from 0 to " + std::to_string(most));
        }
        return at(key).get<unsigned>();
    }
    const Json &array(const char *key) const {
        static const Json none = Json::array();
        if (!has(key)) {
            return none;
        }
        if (!at(key).is_array()) {
            failAt(key, "is not an array");
        }
        return at(key);
    }
    std::vector<std::string> texts(const char *key) const {
        std::vector<std::string> all;
        for (const Json &item : array(key)) {
            if (!item.is_string()) {
                failAt(key, "holds " + item.dump() + ", which is not a string");
            }
            all.push_back(item.get<std::string>());
        }
        return all;
    }
    uint8_t type() const {
        if (!has("type")) {
            fail("has no structure \"type\"");
        }
        return static_cast<uint8_t>(number("type", 0, 255));
    }

private:
    const std::string &origin;
    const Json &object;
    std::string place;
};

std::optional<Severity> severityNamed(const Entry &entry, const char *key, const std::string &word, bool offAllowed) {
    if (word != "error" && word != "warning" && word != "info" && (word != "off" || !offAllowed)) {
        entry.failAt(key, "'" + word + "' is not a severity (error, warning, info" + (offAllowed ? ", off)" : ")"));
    }
    if (word == "error") {
        return Severity::Error;
    }
    if (word == "warning") {
        return Severity::Warning;
    }
    if (word == "info") {
        return Severity::Info;
    }
    return std::nullopt;  // off
}

Severity entrySeverity(const Entry &entry) {
    return *severityNamed(entry, "severity", entry.text("severity", "error"), false);
}

// The whole number of decimal digits from `at` to the next '.' or the end,
// if there is one and it is at most 255; `at` then stands past it.
std::optional<uint8_t> versionPart(const std::string &text, std::size_t &at) {
    unsigned value = 0;
    const std::size_t from = at;
    for (; at < text.size() && text[at] != '.'; ++at) {
        if (text[at] < '0' || text[at] > '9' || value > 25) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
    }
    if (at == from || value > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

decode::Version versionOf(const Entry &entry) {
    const std::string text = entry.text("since", "2.0");
    std::size_t at = 0;
    const std::optional<uint8_t> major = versionPart(text, at);
    std::optional<uint8_t> minor;
    if (major && at < text.size()) {
        ++at;
        minor = versionPart(text, at);
    }
    if (!major || !minor || at != text.size()) {
        entry.failAt("since", "'" + text + "' is not a version (such as 3.2)");
    }
    return decode::Version{*major, *minor, 0};
}

const BuiltInProfile *builtInNamed(const std::string &name) {
    const BuiltInProfile *end = kBuiltInProfiles + kBuiltInProfileCount;
    const BuiltInProfile *found =
        std::find_if(kBuiltInProfiles, end, [&](const BuiltInProfile &row) { return name == row.name; });
    return found == end ? nullptr : found;
}

std::string placeOf(const char *list, std::size_t index) {
    return std::string("\"") + list + "\" entry " + std::to_string(index + 1);
}

void readRequired(const std::string &origin, const Entry &profile, Profile::Data &data) {
    const Json &list = profile.array("required");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Entry entry(origin, list[i], placeOf("required", i),
                          {"type", "min_count", "since", "fields", "known", "severity", "reference"});
        Profile::Data::Requirement requirement;
        requirement.type = entry.type();
        requirement.minCount = entry.number("min_count", 1, 0xFFFF);
        requirement.since = versionOf(entry);
        requirement.fields = entry.texts("fields");
        requirement.known = entry.texts("known");
        requirement.severity = entrySeverity(entry);
        requirement.reference = entry.text("reference", {});
        data.required.push_back(std::move(requirement));
    }
}

void readAllowed(const std::string &origin, const Entry &profile, Profile::Data &data) {
    const Json &list = profile.array("allowed");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Entry entry(origin, list[i], placeOf("allowed", i),
                          {"type", "field", "values", "pattern", "severity", "reference"});
        Profile::Data::Allowed allowed;
        allowed.type = entry.type();
        allowed.field = entry.requiredText("field");
        for (const Json &value : entry.array("values")) {
            if (value.is_string()) {
                allowed.values.push_back(value.get<std::string>());
            } else if (value.is_number_integer()) {
                allowed.values.push_back(value.dump());
            } else {
                entry.failAt("values", "holds " + value.dump() + ", which is neither a string nor a whole number");
            }
        }
        allowed.pattern = entry.text("pattern", {});
        if (allowed.values.empty() && allowed.pattern.empty()) {
            entry.fail("allows nothing: it has neither \"values\" nor a \"pattern\"");
        }
        if (!allowed.pattern.empty()) {
            try {
                (void)std::regex(allowed.pattern);
            } catch (const std::regex_error &) {
                entry.failAt("pattern", "'" + allowed.pattern + "' is not a pattern (ECMAScript)");
            }
        }
        allowed.severity = entrySeverity(entry);
        allowed.reference = entry.text("reference", {});
        data.allowed.push_back(std::move(allowed));
    }
}

void readReferences(const std::string &origin, const Entry &profile, Profile::Data &data) {
    const Json &list = profile.array("references");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Entry entry(origin, list[i], placeOf("references", i), {"type", "field", "to", "reference"});
        Profile::Data::Reference reference;
        reference.type = entry.type();
        reference.field = entry.requiredText("field");
        if (!entry.has("to")) {
            entry.fail("has no \"to\" (the types the handle may name; [] for any)");
        }
        for (const Json &to : entry.array("to")) {
            if (!to.is_number_unsigned() || to.get<uint64_t>() > 255) {
                entry.failAt("to", "holds " + to.dump() + ", which is no structure type from 0 to 255");
            }
            reference.to.push_back(static_cast<uint8_t>(to.get<unsigned>()));
        }
        reference.reference = entry.text("reference", {});
        data.references.push_back(std::move(reference));
    }
}

// Reads `text` into `data`, on top of what it holds (a profile it extends).
void readProfile(const std::string &text, const std::string &origin, Profile::Data &data, int depth) {
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::exception &error) {
        refuse(origin, std::string("not JSON: ") + error.what());
    }
    const Entry profile(origin, document, "the profile",
                        {"name", "description", "extends", "severities", "required", "allowed", "references"});
    if (profile.has("extends")) {
        const std::string base = profile.text("extends", {});
        const BuiltInProfile *row = builtInNamed(base);
        if (row == nullptr || depth > 4) {
            profile.failAt("extends", "names '" + base + "', which is no built-in profile");
        }
        readProfile(row->json, row->name, data, depth + 1);
    }
    data.name = profile.text("name", origin);
    data.description = profile.text("description", data.description);
    if (profile.has("severities")) {
        const Json &severities = profile.at("severities");
        if (!severities.is_object()) {
            profile.failAt("severities", "is not a JSON object");
        }
        for (const auto &item : severities.items()) {
            if (findRule(item.key()) == nullptr) {
                profile.failAt("severities", "names '" + item.key() + "', which is no rule");
            }
            if (!item.value().is_string()) {
                profile.failAt("severities", "gives '" + item.key() + "' " + item.value().dump() +
                                                 ", which is not a severity (error, warning, info, off)");
            }
            data.severities[item.key()] = severityNamed(profile, "severities", item.value().get<std::string>(), true);
        }
    }
    readRequired(origin, profile, data);
    readAllowed(origin, profile, data);
    readReferences(origin, profile, data);
}

}  // namespace

Profile Profile::builtIn(const std::string &name) {
    const BuiltInProfile *row = builtInNamed(name);
    if (row == nullptr) {
        std::string names;
        for (const std::string &known : builtInNames()) {
            names += (names.empty() ? "" : ", ") + known;
        }
        smbios::ParameterExceptionImpl failure;
        smbios::setMessageWithVerbatimValues(failure, "No built-in profile is called '%(name)s' (%(names)s).",
                                             {{"name", name}, {"names", names}});
        throw failure;
    }
    auto data = std::make_shared<Data>();
    readProfile(row->json, row->name, *data, 0);
    return Profile(std::move(data));
}

std::vector<std::string> Profile::builtInNames() {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kBuiltInProfileCount; ++i) {
        names.emplace_back(kBuiltInProfiles[i].name);
    }
    return names;
}

Profile Profile::fromJson(const std::string &text, const std::string &origin) {
    auto data = std::make_shared<Data>();
    readProfile(text, origin, *data, 0);
    return Profile(std::move(data));
}

const std::string &Profile::name() const {
    return profile->name;
}

}  // namespace smbios::check
