// Shared pieces of the fuzz targets: reading the input, a firmware-table
// platform that serves fuzzed bytes, and a walk that touches
// everything a table, its iterators and its items offer.
#ifndef TARNWICK_FUZZ_FUZZSUPPORT_H
#define TARNWICK_FUZZ_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"

namespace tarnwick_fuzz {

// Takes bytes from the front of the input; zeros once it runs out.
class InputReader {
public:
    InputReader(const uint8_t *data, std::size_t size) : data(data), size(size) {}
    uint8_t byte();
    uint16_t word();
    uint32_t dword();
    // The rest of the input.
    std::vector<uint8_t> rest();

private:
    const uint8_t *data;
    std::size_t size;
    std::size_t at = 0;
};

// Answers the 'RSMB' firmware-table query with fixed bytes.
class BufferFirmwarePlatform : public smbios::IFirmwareTablePlatform {
public:
    explicit BufferFirmwarePlatform(std::vector<uint8_t> rawBytes) : raw(std::move(rawBytes)) {}
    Module getModuleHandle(const char16_t *) override { return &token; }
    Function getProcAddress(Module, const char *) override { return &token; }
    uint32_t getSystemFirmwareTable(Function, uint32_t provider, uint32_t tableId, void *buffer,
                                    uint32_t bufferSize) override;
    std::unique_ptr<uint8_t[]> allocate(std::size_t bytes) override;

private:
    std::vector<uint8_t> raw;
    char token = 0;
};

// Walks every structure (all, then filtered by `filterType`), dereferences
// each, reads every string number from 0 to one past the last, reads data
// at offsets and sizes from `input`, copies and clones each item, and dumps
// items and table.
void exerciseTable(smbios::ISmbiosTable &table, InputReader &input, int filterType);

}  // namespace tarnwick_fuzz

#endif  // TARNWICK_FUZZ_FUZZSUPPORT_H
