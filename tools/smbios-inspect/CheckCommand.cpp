// smbios-inspect check: the source's bytes read as they are, checked by the
// rules of smbios::check, and the findings as text, JSON or a SARIF log.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "check/Check.h"
#include "decode/Decode.h"
#include "smbios-inspect/DmidecodeCommand.h"
#include "smbios-inspect/Inspect.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios_inspect {
namespace {

using Json = nlohmann::ordered_json;
namespace fmt = smbios::format;
namespace chk = smbios::check;

constexpr int kErrorFound = 3;
constexpr const char kToolVersion[] = "0.1.0";
constexpr const char kSarifSchema[] = "https://json.schemastore.org/sarif-2.1.0.json";

// What was read, and from where.
struct CheckedSource {
    smbios::SmbiosTableBytes bytes;
    const char *kind = "machine";  // as TableSource::kind()
    std::string file;              // the file read; empty when the library read the machine
};

template <class... Arguments>
std::string format(const char *pattern, Arguments... arguments) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, pattern, arguments...);
    return length < 0 ? std::string() : std::string(text, std::min<std::size_t>(length, sizeof text - 1));
}

// An offset as DSP0134 writes one: 08h, 1A3Ch.
std::string offsetText(std::size_t offset) {
    return format("%02zXh", offset);
}

// An image file, read only where the check looks: the BIOS area, then the
// table (a whole image is mostly the memory around them).
class ImageFile {
public:
    explicit ImageFile(const std::string &path) : name(path), file(std::fopen(path.c_str(), "rb"), std::fclose) {
        if (!file || std::fseek(file.get(), 0, SEEK_END) != 0 || (length = std::ftell(file.get())) < 0) {
            fail();
        }
    }

    // The `count` bytes at `at`, as far as the file holds them.
    fmt::Bytes read(uint64_t at, uint64_t count) const {
        const auto size = static_cast<uint64_t>(length);
        if (at >= size) {
            return {};
        }
        fmt::Bytes bytes(static_cast<std::size_t>(std::min(count, size - at)));
        if (std::fseek(file.get(), static_cast<long>(at), SEEK_SET) != 0 ||
            std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
            fail();
        }
        return bytes;
    }

private:
    [[noreturn]] void fail() const { throw ToolError("cannot read the image " + name + ": " + std::strerror(errno)); }

    std::string name;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file;
    long length = 0;
};

smbios::SmbiosTableBytes imageSource(const std::string &path, uint32_t offset) {
    refuseNonFile(path, true);
    const ImageFile image(path);
    try {
        return fmt::tableOfImage([&](uint64_t at, uint64_t count) { return image.read(at, count); }, offset);
    } catch (const smbios::IException &error) {
        throw ToolError(path + ": " + error.what());
    }
}

// The running machine: the sysfs pair where the kernel publishes it, read
// as it is; else the table the library reads, with the record it found.
CheckedSource machineSource(const SourceOptions &options) {
    CheckedSource checked;
    const std::string directory = fmt::kSysfsTablesDirectory;
    std::error_code ignored;
    if (std::filesystem::exists(directory + "/DMI", ignored)) {
        try {
            checked.bytes.table = fileBytes(directory + "/DMI");
            checked.bytes.entryPoint = fileBytes(directory + "/smbios_entry_point");
            checked.file = directory + "/DMI";
            return checked;
        } catch (const ToolError &) {
            checked = CheckedSource();  // unreadable (not root): the library tries every source
        }
    }
    TableSource source(options);
    smbios::ISmbiosTable &table = source.table();
    checked.bytes.entryPoint = table.getSourceEntryPoint().bytes;
    checked.bytes.table = rawStructures(table);
    return checked;
}

CheckedSource readSource(const SourceOptions &options) {
    CheckedSource checked;
    if (!options.image.empty()) {
        checked.kind = "image";
        checked.file = options.image;
        checked.bytes = imageSource(options.image, options.offset);
        return checked;
    }
    if (options.dump.empty() && options.raw.empty() && options.rsmb.empty()) {
        return machineSource(options);
    }
    checked.kind = !options.dump.empty() ? "dump" : !options.raw.empty() ? "raw" : "rsmb";
    checked.file = !options.dump.empty() ? options.dump : !options.raw.empty() ? options.raw : options.rsmb;
    SourceOptions lenient = options;
    lenient.lenient = true;  // a table cut short is a finding, not a refusal
    checked.bytes = loadedSource(lenient);
    if (checked.bytes.table.empty() && checked.bytes.entryPoint.empty()) {
        throw ToolError(checked.file + ": no SMBIOS table in the file");
    }
    return checked;
}

chk::Profile loadProfile(const CheckOptions &options) {
    if (!options.profileIsFile) {
        return chk::Profile::builtIn(options.profile);
    }
    // A profile is a few KiB: the bound keeps a device or a huge file from
    // being read whole.
    constexpr std::size_t kLargestProfile = std::size_t{1} << 20;
    refuseNonFile(options.profile, false);
    fmt::Bytes bytes;
    try {
        bytes = fmt::readFileBytes(options.profile, kLargestProfile);
    } catch (const std::exception &error) {
        throw ToolError("cannot read the profile " + options.profile + ": " + oneLine(error.what()));
    }
    const std::string text(bytes.begin(), bytes.end());
    return chk::Profile::fromJson(text, options.profile);
}

std::string plural(std::size_t count, const char *word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// Where a finding is, as the text line says it.
std::string placeOf(const chk::Finding &finding) {
    std::string place = finding.handle ? "handle " + hex16(*finding.handle) : std::string("table");
    if (finding.type) {
        place += " (type " + std::to_string(unsigned{*finding.type}) + ")";
    }
    if (finding.offset) {
        place += ", offset " + offsetText(*finding.offset);
    }
    if (!finding.field.empty()) {
        place += ", " + finding.field;
    }
    return place;
}

void printText(const chk::Report &report, const chk::Profile &profile, Output &out) {
    for (const chk::Finding &finding : report.findings) {
        out << format("%-8s", chk::severityName(finding.severity)) << finding.rule << ' ' << placeOf(finding) << ": "
            << finding.message << " [" << finding.reference << "]\n";
    }
    out << plural(report.counts.errors, "error") << ", " << plural(report.counts.warnings, "warning") << ", "
        << plural(report.counts.infos, "info") << " in " << plural(report.structures, "structure") << " (profile "
        << profile.name() << ")\n";
}

template <class Value>
Json orNull(const std::optional<Value> &value) {
    return value ? Json(*value) : Json(nullptr);
}

void printJsonDocument(const Json &document, Output &out) {
    // Messages quote firmware strings, which need not be UTF-8.
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

void printJson(const chk::Report &report, const chk::Profile &profile, const CheckedSource &source, Output &out) {
    Json document;
    document["profile"] = profile.name();
    Json where = {{"kind", source.kind}};
    if (!source.file.empty()) {
        where["file"] = source.file;
    }
    where["entry_point"] = entryPointKindName(fmt::kindOf(source.bytes.entryPoint));
    document["source"] = std::move(where);
    const smbios::decode::Version version = smbios::decode::versionOf(source.bytes);
    document["smbios_version"] = {{"major", version.major}, {"minor", version.minor}, {"docrev", version.docrev}};
    document["findings"] = Json::array();
    for (const chk::Finding &finding : report.findings) {
        document["findings"].push_back({{"rule", finding.rule},
                                        {"severity", chk::severityName(finding.severity)},
                                        {"handle", orNull(finding.handle)},
                                        {"type", orNull(finding.type)},
                                        {"offset", orNull(finding.offset)},
                                        {"field", finding.field.empty() ? Json(nullptr) : Json(finding.field)},
                                        {"message", finding.message},
                                        {"reference", finding.reference}});
    }
    document["summary"] = {{"errors", report.counts.errors},
                           {"warnings", report.counts.warnings},
                           {"infos", report.counts.infos},
                           {"structures", report.structures}};
    printJsonDocument(document, out);
}

const char *sarifLevel(chk::Severity severity) {
    switch (severity) {
    case chk::Severity::Error:
        return "error";
    case chk::Severity::Warning:
        return "warning";
    case chk::Severity::Info:
        break;
    }
    return "note";
}

// A file's path as a URI reference: '/' separators, and every byte but
// the unreserved ones and '/' percent-encoded.
std::string uriOf(const std::string &path) {
    std::string uri;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::strchr("-._~/", c) != nullptr) {
            uri += c;
        } else if (c == '\\') {
            uri += '/';
        } else {
            uri += format("%%%02X", byte);
        }
    }
    return uri;
}

void printSarif(const chk::Report &report, const CheckedSource &source, Output &out) {
    const std::vector<chk::Rule> &rules = chk::rules();
    std::unordered_map<std::string, std::size_t> indexOf;
    Json driverRules = Json::array();
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const chk::Rule &rule = rules[i];
        indexOf.emplace(rule.id, i);
        driverRules.push_back({{"id", rule.id},
                               {"shortDescription", {{"text", rule.why}}},
                               {"fullDescription", {{"text", std::string(rule.why) + " (" + rule.reference + ")"}}},
                               {"defaultConfiguration", {{"level", sarifLevel(rule.severity)}}},
                               {"properties", {{"reference", rule.reference}}}});
    }
    Json results = Json::array();
    for (const chk::Finding &finding : report.findings) {
        Json location;
        if (!source.file.empty()) {
            location["physicalLocation"] = {{"artifactLocation", {{"uri", uriOf(source.file)}}}};
        }
        location["logicalLocations"] = Json::array(
            {finding.handle ? Json{{"name", hex16(*finding.handle)},
                                   {"fullyQualifiedName", "handle " + hex16(*finding.handle) + " (type " +
                                                              std::to_string(unsigned{finding.type.value_or(0)}) + ")"},
                                   {"kind", "object"}}
                            : Json{{"name", "table"}, {"fullyQualifiedName", "table"}, {"kind", "module"}}});
        Json properties = {{"reference", finding.reference}};
        if (finding.type) {
            properties["type"] = *finding.type;
        }
        if (finding.offset) {
            properties["offset"] = *finding.offset;
        }
        if (!finding.field.empty()) {
            properties["field"] = finding.field;
        }
        const auto index = indexOf.find(finding.rule);
        Json result = {{"ruleId", finding.rule}};
        if (index != indexOf.end()) {
            result["ruleIndex"] = index->second;
        }
        result["level"] = sarifLevel(finding.severity);
        result["message"] = {{"text", finding.message}};
        result["locations"] = Json::array({std::move(location)});
        result["properties"] = std::move(properties);
        results.push_back(std::move(result));
    }
    Json run = {{"tool",
                 {{"driver",
                   {{"name", "smbios-inspect"},
                    {"version", kToolVersion},
                    {"informationUri", "https://www.dmtf.org/standards/smbios"},
                    {"rules", std::move(driverRules)}}}}}};
    if (!source.file.empty()) {
        run["artifacts"] = Json::array({{{"location", {{"uri", uriOf(source.file)}}}}});
    }
    run["results"] = std::move(results);
    printJsonDocument({{"$schema", kSarifSchema}, {"version", "2.1.0"}, {"runs", Json::array({std::move(run)})}}, out);
}

void listRules(bool json, Output &out) {
    const std::vector<chk::Rule> &rules = chk::rules();
    if (json) {
        Json list = Json::array();
        for (const chk::Rule &rule : rules) {
            list.push_back({{"id", rule.id},
                            {"severity", chk::severityName(rule.severity)},
                            {"reference", rule.reference},
                            {"why", rule.why}});
        }
        printJsonDocument({{"rules", std::move(list)}}, out);
        return;
    }
    std::size_t idWidth = 0;
    std::size_t referenceWidth = 0;
    for (const chk::Rule &rule : rules) {
        idWidth = std::max(idWidth, std::strlen(rule.id));
        referenceWidth = std::max(referenceWidth, std::strlen(rule.reference));
    }
    for (const chk::Rule &rule : rules) {
        std::string line = rule.id;
        line.resize(idWidth + 2, ' ');
        line += format("%-9s", chk::severityName(rule.severity));
        line += rule.reference;
        line.resize(idWidth + 2 + 9 + referenceWidth + 2, ' ');
        out << line << rule.why << '\n';
    }
    out << plural(rules.size(), "rule") << '\n';
}

}  // namespace

int checkCommand(const SourceOptions &sourceOptions, const CheckOptions &options, bool json, Output &out) {
    if (options.listRules) {
        listRules(json, out);
        return 0;
    }
    // The profile first: a profile that cannot be read fails before any
    // source is read.
    const chk::Profile profile = loadProfile(options);
    const CheckedSource source = readSource(sourceOptions);
    const chk::Report report = chk::checkTable(source.bytes, profile);
    if (options.sarif) {
        printSarif(report, source, out);
    } else if (json) {
        printJson(report, profile, source, out);
    } else {
        printText(report, profile, out);
    }
    return report.counts.errors > 0 ? kErrorFound : 0;
}

}  // namespace smbios_inspect
