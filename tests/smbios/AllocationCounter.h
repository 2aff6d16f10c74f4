// Counts the allocations made while an AllocationCounter lives, to check
// code that must not allocate.
#ifndef TARNWICK_TESTS_SMBIOS_ALLOCATIONCOUNTER_H
#define TARNWICK_TESTS_SMBIOS_ALLOCATIONCOUNTER_H

namespace tarnwick_test {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter &) = delete;
    AllocationCounter &operator=(const AllocationCounter &) = delete;

    long count() const;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SMBIOS_ALLOCATIONCOUNTER_H
