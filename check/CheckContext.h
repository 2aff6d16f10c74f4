// What the rule groups share while a table is checked: its structures as
// walked and decoded once, the profile, and the one way findings are made.
#ifndef TARNWICK_CHECK_CHECKCONTEXT_H
#define TARNWICK_CHECK_CHECKCONTEXT_H

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "check/Check.h"
#include "check/ProfileData.h"
#include "decode/Decode.h"
#include "smbios/SmbiosItem.h"

namespace smbios::check {

// One structure of the table as the walk met it.
struct WalkedStructure {
    std::size_t offset = 0;  // of its first byte in the table
    std::size_t size = 0;    // with its strings, as far as the table holds them
    uint8_t type = 0;
    uint8_t length = 0;
    uint16_t handle = 0;
    // Whether its string set ends (a double zero) inside the table.
    bool stringsEnd = true;
    std::size_t stringCount = 0;  // the strings its string numbers may name
    // The structure as an item, and its fields as the standard lays them out
    // (no quirks), in the words programs read (decode::kJsonDialect): while
    // its own checks run, and after them for the types a group keeps. No
    // item: a header the item refuses, which the walk's rules report.
    std::unique_ptr<smbios::ISmbiosItem> item;
    bool decodable = false;  // whether it had an item once its turn came
    decode::Structure decoded;
    // The JSON key of each of its top-level fields, made once: the rules
    // look fields up by key many times over.
    std::vector<std::string> keys;
};

// A group of rules: the rules it makes findings of, and its checks. A
// table is walked first; then each structure in turn is decoded, checked by
// every group's `each`, and its decoding dropped unless a group's `keep`
// asks for its type; then every group's `run` checks the table as a whole.
// So a check holds the decoded fields of the few structures that are
// compared with others, not of the whole table.
class Context;
using TypeSet = std::bitset<256>;
struct RuleGroup {
    const Rule *rules;
    std::size_t count;
    void (*run)(Context &context) = nullptr;
    void (*each)(Context &context, const WalkedStructure &structure) = nullptr;
    // Adds the types whose decoded fields `run` reads.
    void (*keep)(const Context &context, TypeSet &types) = nullptr;
};

// Each group in its own file under check/rules/, in the order they run.
RuleGroup entryPointRules();
RuleGroup walkRules();
RuleGroup structureRules();
RuleGroup valueRules();
RuleGroup referenceRules();
RuleGroup consistencyRules();
RuleGroup contentRules();
RuleGroup requirementRules();

class Context {
public:
    Context(const smbios::SmbiosTableBytes &source, const Profile &profile);

    const smbios::SmbiosTableBytes &source() const { return tableSource; }
    const Profile::Data &profile() const { return profileData; }
    // The version the record in front of the table claims; for a bare
    // table, the one it is decoded as.
    decode::Version version() const { return tableVersion; }
    // What the record in front of the table is.
    smbios::EntryPointKind entryPointKind() const { return kind; }

    // The structures the walk met, in table order; `walkedLength` is where
    // the last one ends.
    const std::vector<WalkedStructure> &structures() const { return walked; }
    std::size_t walkedLength() const { return walkEnd; }
    // The first structure with `handle`, or nullptr.
    const WalkedStructure *byHandle(uint16_t handle) const;

    // Decodes structure `index` (its item, fields and keys), and drops the
    // decoding again.
    WalkedStructure &decode(std::size_t index);
    void release(std::size_t index);

    // A finding of rule `id` (which must be one of the group's) about the
    // table, or about `structure`, at `offset` in it (or in the entry point
    // when `structure` is null), on `field`. Left out when the profile
    // turns the rule off; its severity is the profile's.
    void report(const char *id, const WalkedStructure *structure, std::optional<std::size_t> offset,
                const std::string &field, std::string message);
    // As report, for a finding that rests on an entry of the profile: its
    // severity unless the profile sets the rule's, and its reference where
    // it gives one.
    void report(const char *id, const WalkedStructure *structure, std::optional<std::size_t> offset,
                const std::string &field, std::string message, Severity severity, const std::string &reference);

    // The findings in table order: the table's own first, then by the
    // structure's place, each structure's in the order they were made.
    std::vector<Finding> takeFindings();

private:
    const smbios::SmbiosTableBytes &tableSource;
    const Profile::Data &profileData;
    decode::Version tableVersion;
    smbios::EntryPointKind kind;
    std::vector<WalkedStructure> walked;
    std::size_t walkEnd = 0;
    std::unordered_map<uint16_t, std::size_t> handles;
    std::vector<Finding> findings;
    std::vector<std::size_t> places;  // of each finding: 0 for the table, else 1 + its structure's offset
};

// The top-level field of `structure` whose JSON key is `key`, or nullptr.
const decode::Field *fieldByKey(const WalkedStructure &structure, const std::string &key);

}  // namespace smbios::check

#endif  // TARNWICK_CHECK_CHECKCONTEXT_H
