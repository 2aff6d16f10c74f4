// The length DSP0134 gives a structure of each type in each version: kept
// with the structure rules, and read by the requirements, which ask whether
// a structure is long enough to carry a field.
#ifndef TARNWICK_CHECK_RULES_STRUCTURELENGTHS_H
#define TARNWICK_CHECK_RULES_STRUCTURELENGTHS_H

#include <cstddef>
#include <cstdint>

#include "check/CheckContext.h"

namespace smbios::check {

// The length that `version` gives `structure`'s type, with the items the
// structure's own counts declare (`bytes` is its formatted area); 0 for a
// type DSP0134 does not define by then.
std::size_t lengthOfVersion(const WalkedStructure &structure, const uint8_t *bytes, decode::Version version);

}  // namespace smbios::check

#endif  // TARNWICK_CHECK_RULES_STRUCTURELENGTHS_H
