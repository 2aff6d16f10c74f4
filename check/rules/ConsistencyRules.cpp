// The consistency rules: what structures say of one another, or one field of
// another, where DSP0134 ties them: memory arrays, their devices and their
// mapped ranges (7.17 to 7.21), and a processor's counts (7.5).
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "check/CheckContext.h"

namespace smbios::check {
namespace {

const Rule kRules[] = {
    {"consistency.array-devices-over-count", Severity::Error, "DSP0134 3.9.0 7.17",
     "A physical memory array's number of memory devices counts its slots; more memory devices naming the array "
     "than it has slots mean the count is wrong."},
    {"consistency.mapped-ranges-overlap", Severity::Error, "DSP0134 3.9.0 6.2",
     "Each memory array mapped address range is unique: two that overlap map the same addresses twice."},
    {"consistency.mapped-range-over-capacity", Severity::Warning, "DSP0134 3.9.0 7.17",
     "Mapped ranges that come to more than their array's maximum capacity count holes as memory, or the "
     "capacity is wrong."},
    {"consistency.device-range-outside-array-range", Severity::Error, "DSP0134 3.9.0 7.21",
     "A memory device's mapped addresses lie within those of the memory array mapped address structure it names."},
    {"consistency.cores-enabled-over-count", Severity::Error, "DSP0134 3.9.0 7.5",
     "A processor's enabled cores are some of its cores: never more than its core count."},
    {"consistency.threads-enabled-over-count", Severity::Error, "DSP0134 3.9.0 7.5",
     "A processor's enabled threads are some of its threads: never more than its thread count."},
};

constexpr uint8_t kProcessorType = 4;
constexpr uint8_t kArrayType = 16;
constexpr uint8_t kDeviceType = 17;
constexpr uint8_t kArrayRangeType = 19;
constexpr uint8_t kDeviceRangeType = 20;

std::string hex(uint64_t value, int digits) {
    char text[24];
    (void)std::snprintf(text, sizeof text, "%0*" PRIX64 "h", digits, value);
    return text;
}

std::string handleText(uint16_t handle) {
    return hex(handle, 4);
}

// The number a decoded field gives, when the structure holds it and the
// standard does not mark it unknown.
std::optional<uint64_t> numberOf(const WalkedStructure &structure, const char *key) {
    const decode::Field *field = fieldByKey(structure, key);
    if (field == nullptr || !field->known ||
        (field->kind != decode::Kind::Integer && field->kind != decode::Kind::Handle)) {
        return std::nullopt;
    }
    return field->number;
}

// A size field in bytes: the decoders give it in bytes or in kB.
std::optional<uint64_t> bytesOf(const WalkedStructure &structure, const char *key) {
    const decode::Field *field = fieldByKey(structure, key);
    const std::optional<uint64_t> number = numberOf(structure, key);
    if (!number) {
        return std::nullopt;
    }
    if (field->unit == "kB") {
        return *number << 10;
    }
    return field->unit == "bytes" ? number : std::nullopt;
}

// An address range, its ends in bytes, both inclusive.
struct Range {
    uint64_t first = 0;
    uint64_t last = 0;
};

// The range a type 19 or 20 structure maps (the decoders give both ends in
// bytes), or none where it is unreadable or ends before it starts.
std::optional<Range> rangeOf(const WalkedStructure &structure) {
    const std::optional<uint64_t> first = numberOf(structure, "starting_address");
    const std::optional<uint64_t> last = numberOf(structure, "ending_address");
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    return Range{*first, *last};
}

std::string rangeText(const Range &range) {
    return hex(range.first, 1) + "-" + hex(range.last, 1);
}

std::string sizeText(uint64_t bytes) {
    static const char *const kUnits[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    std::size_t unit = 0;
    while (unit + 1 < sizeof kUnits / sizeof kUnits[0] && bytes % 1024 == 0 && bytes >= 1024) {
        bytes /= 1024;
        ++unit;
    }
    return std::to_string(bytes) + " " + kUnits[unit];
}

void checkArrayDevices(Context &context) {
    for (const WalkedStructure &array : context.structures()) {
        if (array.type != kArrayType) {
            continue;
        }
        const std::optional<uint64_t> declared = numberOf(array, "number_of_devices");
        if (!declared) {
            continue;
        }
        uint64_t naming = 0;
        for (const WalkedStructure &device : context.structures()) {
            if (device.type == kDeviceType && numberOf(device, "array_handle") == uint64_t{array.handle}) {
                ++naming;
            }
        }
        if (naming > *declared) {
            context.report("consistency.array-devices-over-count", &array, 0x0D, "number_of_devices",
                           "the array's number of memory devices is " + std::to_string(*declared) + "; " +
                               std::to_string(naming) + " memory device(s) name it");
        }
    }
}

void checkArrayRanges(Context &context) {
    struct Mapped {
        const WalkedStructure *structure;
        Range range;
    };
    std::vector<Mapped> seen;
    for (const WalkedStructure &structure : context.structures()) {
        if (structure.type != kArrayRangeType) {
            continue;
        }
        const std::optional<Range> range = rangeOf(structure);
        if (!range) {
            continue;
        }
        for (const Mapped &earlier : seen) {
            if (range->first <= earlier.range.last && earlier.range.first <= range->last) {
                context.report("consistency.mapped-ranges-overlap", &structure, 0x04, "starting_address",
                               "range " + rangeText(*range) + " overlaps range " + rangeText(earlier.range) +
                                   " of handle " + handleText(earlier.structure->handle));
                break;
            }
        }
        seen.push_back({&structure, *range});
    }

    // What each array has mapped, against its capacity: reported once, on
    // the range that takes the total past it.
    for (const WalkedStructure &array : context.structures()) {
        if (array.type != kArrayType) {
            continue;
        }
        const std::optional<uint64_t> capacity = bytesOf(array, "maximum_capacity");
        if (!capacity) {
            continue;
        }
        uint64_t total = 0;
        for (const Mapped &mapped : seen) {
            if (numberOf(*mapped.structure, "physical_array_handle") != uint64_t{array.handle}) {
                continue;
            }
            const uint64_t size = mapped.range.last - mapped.range.first;
            total = size >= UINT64_MAX - total ? UINT64_MAX : total + size + 1;
            if (total > *capacity) {
                context.report("consistency.mapped-range-over-capacity", mapped.structure, 0x04, "range_size",
                               "the ranges mapped to array " + handleText(array.handle) + " come to " +
                                   sizeText(total) + ", past its maximum capacity of " + sizeText(*capacity));
                break;
            }
        }
    }
}

void checkDeviceRanges(Context &context) {
    for (const WalkedStructure &structure : context.structures()) {
        if (structure.type != kDeviceRangeType) {
            continue;
        }
        const std::optional<Range> range = rangeOf(structure);
        const std::optional<uint64_t> named = numberOf(structure, "memory_array_mapped_address_handle");
        if (!range || !named) {
            continue;
        }
        const WalkedStructure *array = context.byHandle(static_cast<uint16_t>(*named));
        if (array == nullptr || array->type != kArrayRangeType) {
            continue;  // a reference to no such structure: the reference rules say so
        }
        const std::optional<Range> outer = rangeOf(*array);
        if (outer && (range->first < outer->first || range->last > outer->last)) {
            context.report("consistency.device-range-outside-array-range", &structure, 0x04, "starting_address",
                           "range " + rangeText(*range) + " lies outside range " + rangeText(*outer) +
                               " of the memory array mapped address " + handleText(array->handle));
        }
    }
}

// Whether a processor's count says a number: 0 is unknown, and FFFFh,
// in the two-byte form of 3.0, reserved.
bool isCount(const std::optional<uint64_t> &count) {
    return count && *count != 0 && *count != 0xFFFF;
}

// A processor's counts, each within its own: a check of one structure.
void each(Context &context, const WalkedStructure &structure) {
    if (structure.type != kProcessorType) {
        return;
    }
    const std::optional<uint64_t> cores = numberOf(structure, "core_count");
    const std::optional<uint64_t> enabledCores = numberOf(structure, "core_enabled");
    if (isCount(cores) && isCount(enabledCores) && *enabledCores > *cores) {
        context.report("consistency.cores-enabled-over-count", &structure, 0x24, "core_enabled",
                       "core enabled " + std::to_string(*enabledCores) + " is more than the core count " +
                           std::to_string(*cores));
    }
    const std::optional<uint64_t> threads = numberOf(structure, "thread_count");
    const std::optional<uint64_t> enabledThreads = numberOf(structure, "thread_enabled");
    if (isCount(threads) && isCount(enabledThreads) && *enabledThreads > *threads) {
        context.report("consistency.threads-enabled-over-count", &structure, 0x30, "thread_enabled",
                       "thread enabled " + std::to_string(*enabledThreads) + " is more than the thread count " +
                           std::to_string(*threads));
    }
}

// The types whose fields the checks of the table compare: memory arrays,
// memory devices and the mapped ranges.
void keep(const Context &, TypeSet &types) {
    for (const uint8_t type : {16, 17, 19, 20}) {
        types.set(type);
    }
}

void run(Context &context) {
    checkArrayDevices(context);
    checkArrayRanges(context);
    checkDeviceRanges(context);
}

}  // namespace

RuleGroup consistencyRules() {
    return RuleGroup{kRules, sizeof kRules / sizeof kRules[0], run, each, keep};
}

}  // namespace smbios::check
