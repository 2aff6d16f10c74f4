// Test doubles for the SMBIOS tests.
#include "tests/smbios/TestDoubles.h"

#include <cstring>
#include <stdexcept>
#include <utility>

namespace tarnwick_test {

FakeStrategy::FakeStrategy(std::string strategyName, Outcome initialOutcome, StrategyLog &strategyLog,
                           std::vector<uint8_t> tableBytes)
    : outcome(initialOutcome), table(std::move(tableBytes)), name(std::move(strategyName)), log(strategyLog) {}

FakeStrategy::~FakeStrategy() {
    ++log.destroyed;
}

bool FakeStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer,
                                  smbios::SmbiosTableEntryPoint &tableEntryPoint, bool strict) {
    log.calls.push_back(name);
    log.strictSeen.push_back(strict);
    switch (outcome) {
    case Outcome::Fail:
        return false;
    case Outcome::Throw:
        throw std::runtime_error("strategy " + name + " failed");
    case Outcome::ThrowNonStandard:
        throw 42;
    case Outcome::SucceedWithoutBuffer:
        tableBuffer.reset();
        tableEntryPoint = entryPoint;
        return true;
    case Outcome::Succeed:
        break;
    }
    std::unique_ptr<uint8_t[]> copy(new uint8_t[table.size()]);
    if (!table.empty()) {
        std::memcpy(copy.get(), table.data(), table.size());
    }
    tableBuffer = std::move(copy);
    tableEntryPoint = entryPoint;
    if (!keepLength) {
        tableEntryPoint.table_length = static_cast<uint16_t>(table.size());
    }
    return true;
}

std::unique_ptr<smbios::SmbiosTable> tableOf(const std::vector<uint8_t> &table, StrategyLog &log,
                                             FakeStrategy **strategy) {
    auto only = std::make_unique<FakeStrategy>("only", FakeStrategy::Outcome::Succeed, log, table);
    if (strategy != nullptr) {
        *strategy = only.get();
    }
    std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
    strategies.push_back(std::move(only));
    return std::make_unique<smbios::SmbiosTable>(std::move(strategies), false);
}

namespace {

class IteratorPosition : public smbios::SmbiosTableIteratorBase {
public:
    explicit IteratorPosition(const smbios::SmbiosTableIteratorBase &iterator)
        : smbios::SmbiosTableIteratorBase(iterator) {}
    const uint8_t *position() const { return current; }
};

}  // namespace

const uint8_t *positionOf(const smbios::SmbiosTableIteratorBase &iterator) {
    return IteratorPosition(iterator).position();
}

uint8_t CountingMemory::getByte(uint64_t offset) {
    uint8_t byte = 0;
    fillBuffer(&byte, offset, 1);
    return byte;
}

void CountingMemory::putByte(uint64_t offset, uint8_t value) {
    image.putByte(offset, value);
}

void CountingMemory::fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) {
    readAddresses.push_back(offset);
    image.fillBuffer(buffer, offset, length);
}

CountingMemory &CountingMemoryFactory::install(const std::string &imagePath) {
    if (instance != nullptr) {
        instance->reset();
    }
    auto *factory = new CountingMemoryFactory(imagePath);
    instance = factory;
    return factory->memory;
}

}  // namespace tarnwick_test
