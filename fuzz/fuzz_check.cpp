// Fuzz target: the check over any bytes. The input is split into an entry
// point and the table behind it, and checked under each built-in profile;
// every fault must come back as a finding of a known rule, never as a
// crash, a read outside the input or an exception.
//
// Input: a profile selector, the entry point's length (0 for a bare
// table), the entry point, then the table.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "check/Check.h"

namespace {

namespace chk = smbios::check;

const std::vector<chk::Profile> &profiles() {
    static const std::vector<chk::Profile> all = [] {
        std::vector<chk::Profile> built;
        for (const std::string &name : chk::Profile::builtInNames()) {
            built.push_back(chk::Profile::builtIn(name));
        }
        return built;
    }();
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    tarnwick_fuzz::InputReader input(data, size);
    const uint8_t selector = input.byte();
    const uint8_t entryPointLength = input.byte();
    smbios::SmbiosTableBytes source;
    for (uint8_t i = 0; i < entryPointLength && i < size; ++i) {
        source.entryPoint.push_back(input.byte());
    }
    source.table = input.rest();
    const chk::Profile &profile = profiles()[selector % profiles().size()];
    const chk::Report report = chk::checkTable(source, profile);
    std::size_t errors = 0;
    std::size_t warnings = 0;
    std::size_t infos = 0;
    for (const chk::Finding &finding : report.findings) {
        if (chk::findRule(finding.rule) == nullptr || finding.message.empty() || finding.reference.empty() ||
            finding.handle.has_value() != finding.type.has_value()) {
            __builtin_trap();
        }
        errors += finding.severity == chk::Severity::Error ? 1 : 0;
        warnings += finding.severity == chk::Severity::Warning ? 1 : 0;
        infos += finding.severity == chk::Severity::Info ? 1 : 0;
    }
    // Counted as found, and no more structures than the table has room for.
    if (errors != report.counts.errors || warnings != report.counts.warnings || infos != report.counts.infos ||
        report.structures > source.table.size() / 4 + 1) {
        __builtin_trap();
    }
    return 0;
}
