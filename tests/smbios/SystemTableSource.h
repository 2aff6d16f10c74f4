// The running system's own table source, second in AutoMode, stood in for
// by a table the test gives: Windows' firmware-table query through a fake,
// or a copy of the sysfs files elsewhere.
#ifndef TARNWICK_TESTS_SMBIOS_SYSTEMTABLESOURCE_H
#define TARNWICK_TESTS_SMBIOS_SYSTEMTABLESOURCE_H

#include <cstdint>
#include <memory>
#include <vector>

namespace tarnwick_test {

class SystemTableSource {
public:
    // Serves `table` of SMBIOS version major.minor to strategies made from
    // now on, until destroyed.
    SystemTableSource(uint8_t major, uint8_t minor, const std::vector<uint8_t> &table);
    // A system source that fails.
    SystemTableSource();
    ~SystemTableSource();
    SystemTableSource(const SystemTableSource &) = delete;
    SystemTableSource &operator=(const SystemTableSource &) = delete;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SMBIOS_SYSTEMTABLESOURCE_H
