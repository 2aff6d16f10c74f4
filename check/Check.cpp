// The check of a table: one walk, one decoding of each structure, then each
// group of rules over what they found.
#include "check/Check.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "check/CheckContext.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios::check {
namespace {

namespace fmt = smbios::format;

const RuleGroup &group(std::size_t index) {
    static const RuleGroup groups[] = {entryPointRules(), walkRules(),        structureRules(), valueRules(),
                                       referenceRules(),  consistencyRules(), contentRules(),   requirementRules()};
    return groups[index];
}
constexpr std::size_t kGroups = 8;

// The structure's size with its strings, and whether they end in the table.
std::pair<std::size_t, bool> measure(const uint8_t *table, std::size_t length, std::size_t at) {
    const std::size_t size = fmt::structureSize(table, length, at);
    const std::size_t end = at + size;
    const std::size_t formattedEnd = at + table[at + 1];
    const bool ends = end <= length && end >= formattedEnd + 2 && table[end - 1] == 0 && table[end - 2] == 0;
    return {size, ends};
}

}  // namespace

const char *severityName(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Info:
        return "info";
    }
    return "error";
}

const std::vector<Rule> &rules() {
    static const std::vector<Rule> all = [] {
        std::vector<Rule> list;
        for (std::size_t i = 0; i < kGroups; ++i) {
            list.insert(list.end(), group(i).rules, group(i).rules + group(i).count);
        }
        return list;
    }();
    return all;
}

const Rule *findRule(const std::string &id) {
    const std::vector<Rule> &all = rules();
    const auto found = std::find_if(all.begin(), all.end(), [&](const Rule &rule) { return id == rule.id; });
    return found == all.end() ? nullptr : &*found;
}

const decode::Field *fieldByKey(const WalkedStructure &structure, const std::string &key) {
    for (std::size_t i = 0; i < structure.keys.size(); ++i) {
        if (structure.keys[i] == key) {
            return &structure.decoded.fields[i];
        }
    }
    return nullptr;
}

Context::Context(const smbios::SmbiosTableBytes &source, const Profile &profile)
    : tableSource(source), profileData(profile.data()), tableVersion(decode::versionOf(source)),
      kind(fmt::kindOf(source.entryPoint)) {
    const uint8_t *table = source.table.data();
    const std::size_t length = source.table.size();
    walked.reserve(fmt::surveyTable(table, length).structures);
    for (std::size_t at = fmt::nextStructure(table, length, fmt::kNoStructure); at != fmt::kNoStructure;
         at = fmt::nextStructure(table, length, at)) {
        WalkedStructure structure;
        structure.offset = at;
        std::tie(structure.size, structure.stringsEnd) = measure(table, length, at);
        structure.type = table[at];
        structure.length = table[at + 1];
        structure.handle = static_cast<uint16_t>(fmt::readLe(table + at + 2, 2));
        if (structure.length < structure.size) {
            structure.stringCount = fmt::countStrings(table + at + structure.length, table + at + structure.size);
        }
        handles.emplace(structure.handle, walked.size());
        walkEnd = std::min(length, at + structure.size);
        walked.push_back(std::move(structure));
    }
}

WalkedStructure &Context::decode(std::size_t index) {
    WalkedStructure &structure = walked[index];
    const decode::DecodeOptions options(decode::kJsonDialect, false);
    try {
        structure.item = std::make_unique<smbios::SmbiosItem>(tableSource.table.data() + structure.offset,
                                                              tableSource.table.size() - structure.offset);
        structure.decodable = true;
        structure.decoded = decode::decodeStructure(*structure.item, tableVersion, options);
        structure.keys.reserve(structure.decoded.fields.size());
        for (const decode::Field &field : structure.decoded.fields) {
            structure.keys.push_back(decode::jsonKeyOf(field));
        }
    } catch (const std::exception &) {
        structure.item.reset();  // a header the item refuses: the walk's rules say why
    }
    return structure;
}

void Context::release(std::size_t index) {
    WalkedStructure &structure = walked[index];
    structure.item.reset();
    structure.decoded = decode::Structure();
    structure.keys = std::vector<std::string>();
}

namespace {

// The rule `id` names, which must be one of a group's: compared as C
// strings, so that no string is made for each finding.
const Rule &ruleNamed(const char *id) {
    const std::vector<Rule> &all = rules();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const Rule &candidate) { return std::strcmp(candidate.id, id) == 0; });
    if (found == all.end()) {
        std::terminate();  // a rule of no group: a fault of this library, caught by every test
    }
    return *found;
}

}  // namespace

const WalkedStructure *Context::byHandle(uint16_t handle) const {
    const auto found = handles.find(handle);
    return found == handles.end() ? nullptr : &walked[found->second];
}

void Context::report(const char *id, const WalkedStructure *structure, std::optional<std::size_t> offset,
                     const std::string &field, std::string message) {
    const Rule &rule = ruleNamed(id);
    report(id, structure, offset, field, std::move(message), rule.severity, rule.reference);
}

void Context::report(const char *id, const WalkedStructure *structure, std::optional<std::size_t> offset,
                     const std::string &field, std::string message, Severity severity, const std::string &reference) {
    const Rule &rule = ruleNamed(id);
    const auto set = profileData.severities.find(id);
    if (set != profileData.severities.end()) {
        if (!set->second) {
            return;
        }
        severity = *set->second;
    }
    Finding finding;
    finding.rule = id;
    finding.severity = severity;
    if (structure != nullptr) {
        finding.handle = structure->handle;
        finding.type = structure->type;
    }
    finding.offset = offset;
    finding.field = field;
    finding.message = std::move(message);
    finding.reference = reference.empty() ? rule.reference : reference;
    findings.push_back(std::move(finding));
    places.push_back(structure != nullptr ? structure->offset + 1 : 0);
}

std::vector<Finding> Context::takeFindings() {
    std::vector<std::size_t> order(findings.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return places[a] < places[b]; });
    std::vector<Finding> sorted;
    sorted.reserve(order.size());
    for (const std::size_t index : order) {
        sorted.push_back(std::move(findings[index]));
    }
    findings.clear();
    places.clear();
    return sorted;
}

Report checkTable(const smbios::SmbiosTableBytes &source, const Profile &profile) {
    Context context(source, profile);
    TypeSet kept;
    for (std::size_t i = 0; i < kGroups; ++i) {
        if (group(i).keep != nullptr) {
            group(i).keep(context, kept);
        }
    }
    for (std::size_t index = 0; index < context.structures().size(); ++index) {
        const WalkedStructure &structure = context.decode(index);
        for (std::size_t i = 0; i < kGroups; ++i) {
            if (group(i).each != nullptr) {
                group(i).each(context, structure);
            }
        }
        if (!kept[structure.type]) {
            context.release(index);
        }
    }
    for (std::size_t i = 0; i < kGroups; ++i) {
        if (group(i).run != nullptr) {
            group(i).run(context);
        }
    }
    Report report;
    report.structures = context.structures().size();
    report.findings = context.takeFindings();
    for (const Finding &finding : report.findings) {
        switch (finding.severity) {
        case Severity::Error:
            ++report.counts.errors;
            break;
        case Severity::Warning:
            ++report.counts.warnings;
            break;
        case Severity::Info:
            ++report.counts.infos;
            break;
        }
    }
    return report;
}

}  // namespace smbios::check
