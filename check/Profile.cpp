// Profiles: the JSON form read into what the rules apply, and the built-in
// profiles, written in the same form.
#include <algorithm>
#include <cstdio>
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

std::optional<Severity> severityNamed(const std::string &origin, const std::string &word, bool offAllowed) {
    if (word == "error") {
        return Severity::Error;
    }
    if (word == "warning") {
        return Severity::Warning;
    }
    if (word == "info") {
        return Severity::Info;
    }
    if (word == "off" && offAllowed) {
        return std::nullopt;
    }
    refuse(origin, "'" + word + "' is not a severity (error, warning, info" + (offAllowed ? ", off)" : ")"));
}

uint8_t typeOf(const std::string &origin, const Json &entry) {
    if (!entry.contains("type") || !entry["type"].is_number_unsigned() || entry["type"].get<unsigned>() > 255) {
        refuse(origin, "an entry without a structure type from 0 to 255: " + entry.dump());
    }
    return static_cast<uint8_t>(entry["type"].get<unsigned>());
}

decode::Version versionNamed(const std::string &origin, const std::string &text) {
    unsigned major = 0;
    unsigned minor = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%u.%u%c", &major, &minor, &end) != 2 || major > 255 || minor > 255) {
        refuse(origin, "'" + text + "' is not a version (such as 3.2)");
    }
    return decode::Version{static_cast<uint8_t>(major), static_cast<uint8_t>(minor), 0};
}

std::string textOf(const Json &value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

const BuiltInProfile *builtInNamed(const std::string &name) {
    const BuiltInProfile *end = kBuiltInProfiles + kBuiltInProfileCount;
    const BuiltInProfile *found =
        std::find_if(kBuiltInProfiles, end, [&](const BuiltInProfile &row) { return name == row.name; });
    return found == end ? nullptr : found;
}

// Reads `text` into `data`, on top of what it holds (a profile it extends).
void readProfile(const std::string &text, const std::string &origin, Profile::Data &data, int depth) {
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::exception &error) {
        refuse(origin, std::string("not JSON: ") + error.what());
    }
    if (!document.is_object()) {
        refuse(origin, "not a JSON object");
    }
    try {
        if (document.contains("extends")) {
            const std::string base = document["extends"].get<std::string>();
            const BuiltInProfile *row = builtInNamed(base);
            if (row == nullptr || depth > 4) {
                refuse(origin, "extends '" + base + "', which is no built-in profile");
            }
            readProfile(row->json, row->name, data, depth + 1);
        }
        data.name = document.value("name", origin);
        data.description = document.value("description", std::string());
        // Held here: items() of a temporary would outlive it.
        const Json severities = document.value("severities", Json::object());
        for (const auto &[rule, word] : severities.items()) {
            if (findRule(rule) == nullptr) {
                refuse(origin, "no rule is called '" + rule + "'");
            }
            data.severities[rule] = severityNamed(origin, word.get<std::string>(), true);
        }
        for (const Json &entry : document.value("required", Json::array())) {
            Profile::Data::Requirement requirement;
            requirement.type = typeOf(origin, entry);
            requirement.minCount = entry.value("min_count", 1U);
            requirement.since = versionNamed(origin, entry.value("since", std::string("2.0")));
            requirement.fields = entry.value("fields", std::vector<std::string>());
            requirement.severity = *severityNamed(origin, entry.value("severity", std::string("error")), false);
            requirement.reference = entry.value("reference", std::string());
            data.required.push_back(std::move(requirement));
        }
        for (const Json &entry : document.value("allowed", Json::array())) {
            Profile::Data::Allowed allowed;
            allowed.type = typeOf(origin, entry);
            allowed.field = entry.at("field").get<std::string>();
            for (const Json &value : entry.value("values", Json::array())) {
                allowed.values.push_back(textOf(value));
            }
            allowed.pattern = entry.value("pattern", std::string());
            if (!allowed.pattern.empty()) {
                try {
                    (void)std::regex(allowed.pattern);
                } catch (const std::regex_error &) {
                    refuse(origin, "'" + allowed.pattern + "' is not a pattern (ECMAScript)");
                }
            }
            allowed.severity = *severityNamed(origin, entry.value("severity", std::string("error")), false);
            allowed.reference = entry.value("reference", std::string());
            data.allowed.push_back(std::move(allowed));
        }
        for (const Json &entry : document.value("references", Json::array())) {
            Profile::Data::Reference reference;
            reference.type = typeOf(origin, entry);
            reference.field = entry.at("field").get<std::string>();
            for (const Json &to : entry.at("to")) {
                reference.to.push_back(static_cast<uint8_t>(to.get<unsigned>()));
            }
            reference.reference = entry.value("reference", std::string());
            data.references.push_back(std::move(reference));
        }
    } catch (const Json::exception &error) {
        refuse(origin, error.what());
    }
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
