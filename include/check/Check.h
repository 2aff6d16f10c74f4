// What is wrong with an SMBIOS table: rules with stable identifiers, each
// resting on a clause of DSP0134 or of a platform's requirements, checked
// over the bytes of a table and the record in front of it, broken or not.
#ifndef TARNWICK_CHECK_CHECK_H
#define TARNWICK_CHECK_CHECK_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "smbios/SmbiosStrategy.h"

namespace smbios::check {

// Error: the standard is broken. Warning: legal, but almost surely a
// mistake. Info: worth knowing.
enum class Severity : uint8_t { Error, Warning, Info };

// "error", "warning" or "info".
const char *severityName(Severity severity);

struct Rule {
    const char *id;         // stable: "walk.end-of-table-missing"
    Severity severity;      // as the built-in profiles give it
    const char *reference;  // the clause it rests on: "DSP0134 3.9.0 6.1.3"
    const char *why;        // one sentence
};

// Every rule, grouped as the checks run (entry point, walk, structures,
// values, references, consistency, content, requirements).
const std::vector<Rule> &rules();
// The rule `id`, or nullptr.
const Rule *findRule(const std::string &id);

// One thing wrong with the table.
struct Finding {
    std::string rule;
    Severity severity = Severity::Error;
    std::optional<uint16_t> handle;  // none for a finding about the table or its entry point
    std::optional<uint8_t> type;
    // Where in the structure (from its first byte), or in the entry point
    // for a finding about it.
    std::optional<std::size_t> offset;
    std::string field;  // the JSON key of the field concerned, where there is one
    std::string message;
    std::string reference;
};

// What a check expects of a table beyond the rules: the structures and
// fields a platform requires, the values and handle references it allows,
// and each rule's severity (or none, to leave a rule out). Built-in
// profiles and one's own are written in one JSON form (docs/smbios-inspect.md).
class Profile {
public:
    struct Data;

    // A built-in profile: "dsp0134" or "arm-bbr". Throws ParameterException
    // for another name.
    static Profile builtIn(const std::string &name);
    static std::vector<std::string> builtInNames();
    // A profile of one's own; `origin` (its file) names it in a failure.
    // Throws ParseException for text that is not such a profile.
    static Profile fromJson(const std::string &text, const std::string &origin);

    const std::string &name() const;
    const Data &data() const { return *profile; }

private:
    explicit Profile(std::shared_ptr<const Data> data) : profile(std::move(data)) {}
    std::shared_ptr<const Data> profile;
};

struct Counts {
    std::size_t errors = 0;
    std::size_t warnings = 0;
    std::size_t infos = 0;
};

struct Report {
    std::vector<Finding> findings;  // in table order, table-level ones first
    Counts counts;
    std::size_t structures = 0;  // structures walked
};

// Checks the table and the record in front of it (an _SM_ or _SM3_ entry
// point, an RSMB header, or none), as far as they hold: every fault is a
// finding, never an exception, whatever the bytes.
Report checkTable(const smbios::SmbiosTableBytes &source, const Profile &profile);

}  // namespace smbios::check

#endif  // TARNWICK_CHECK_CHECK_H
