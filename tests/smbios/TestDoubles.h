// Test doubles for the SMBIOS tests: a strategy with a scripted outcome, and
// a memory factory whose memory counts the reads it serves.
#ifndef TARNWICK_TESTS_SMBIOS_TESTDOUBLES_H
#define TARNWICK_TESTS_SMBIOS_TESTDOUBLES_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "factory/TFactory.h"
#include "memory/MemoryFactory.h"
#include "memory/MemoryFile.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"

namespace tarnwick_test {

// What the strategies of one test did.
struct StrategyLog {
    std::vector<std::string> calls;  // the name of each strategy asked, in order
    std::vector<bool> strictSeen;
    int destroyed = 0;
};

class FakeStrategy : public smbios::SmbiosStrategy {
public:
    enum class Outcome { Succeed, SucceedWithoutBuffer, Fail, Throw, ThrowNonStandard };

    FakeStrategy(std::string name, Outcome outcome, StrategyLog &log, std::vector<uint8_t> table = {});
    ~FakeStrategy() override;

    bool getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, smbios::SmbiosTableEntryPoint &entryPoint,
                        bool strict) override;

    Outcome outcome;
    std::vector<uint8_t> table;
    // Written into the table's entry point on success; table_length is set
    // to the table's size unless keepLength is set.
    smbios::SmbiosTableEntryPoint entryPoint{};
    bool keepLength = false;

private:
    std::string name;
    StrategyLog &log;
};

// A table read by one succeeding strategy that delivers `table`.
std::unique_ptr<smbios::SmbiosTable> tableOf(const std::vector<uint8_t> &table, StrategyLog &log,
                                             FakeStrategy **strategy = nullptr);

// The raw-buffer position an iterator holds (the table's cache key).
const uint8_t *positionOf(const smbios::SmbiosTableIteratorBase &iterator);

// An image reader that counts and records the reads it serves.
class CountingMemory : public memory::IMemory {
public:
    explicit CountingMemory(const std::string &imagePath) : image(imagePath) {}
    uint8_t getByte(uint64_t offset) override;
    void putByte(uint64_t offset, uint8_t value) override;
    void fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) override;

    std::vector<uint64_t> readAddresses;

private:
    memory::MemoryFile image;
};

// Takes the memory factory's slot for the lifetime of the object: the
// library's readers then read through a CountingMemory over `imagePath`.
class CountingMemoryFactory : public factory::TFactory<memory::MemoryFactory> {
public:
    // Installs a new factory over the image and returns its memory.
    static CountingMemory &install(const std::string &imagePath);

    explicit CountingMemoryFactory(const std::string &imagePath) : path(imagePath), memory(imagePath) {}
    memory::IMemory *getSingleton() override { return &memory; }
    memory::IMemory *makeNew() override { return new CountingMemory(path); }

private:
    std::string path;
    CountingMemory memory;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SMBIOS_TESTDOUBLES_H
