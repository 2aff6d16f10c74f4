// What a profile holds, once read from its JSON form: private to the rules
// that apply it.
#ifndef TARNWICK_CHECK_PROFILEDATA_H
#define TARNWICK_CHECK_PROFILEDATA_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "check/Check.h"
#include "decode/Decode.h"

namespace smbios::check {

struct Profile::Data {
    std::string name;
    std::string description;
    // Each rule's severity where the profile sets it; nullopt turns the rule off.
    std::map<std::string, std::optional<Severity>> severities;

    // Structures of `type` a table of `since` or later must hold, at least
    // `minCount` of them, each with `fields` (top-level JSON keys) carried
    // and known. `severity` and `reference` are those of its findings where
    // the profile does not set the rule's severity.
    struct Requirement {
        uint8_t type = 0;
        unsigned minCount = 1;
        decode::Version since{2, 0, 0};
        std::vector<std::string> fields;
        std::vector<std::string> known;  // fields whose value must also be known
        Severity severity = Severity::Error;
        std::string reference;
    };
    std::vector<Requirement> required;

    // Values a field of `type` may take: one of `values` (the decoded text,
    // or the number in decimal), or text matching `pattern` (ECMAScript, the
    // whole text).
    struct Allowed {
        uint8_t type = 0;
        std::string field;
        std::vector<std::string> values;
        std::string pattern;
        Severity severity = Severity::Error;
        std::string reference;
    };
    std::vector<Allowed> allowed;

    // A handle field of `type` that must name a structure of one of the
    // types `to` (of any type when `to` is empty) where it names one (FFFFh
    // and FFFEh name none). `field` is a top-level JSON key, in which '*'
    // stands for any run of characters (device_*_handle); a group so named
    // stands for every handle inside it (contained_object_handles).
    struct Reference {
        uint8_t type = 0;
        std::string field;
        std::vector<uint8_t> to;
        std::string reference;
    };
    std::vector<Reference> references;
};

}  // namespace smbios::check

#endif  // TARNWICK_CHECK_PROFILEDATA_H
