// Reading the physical memory of a running Windows machine: the choice among
// the firmware tables, the physical-memory section and the debug-control
// call, the firmware-table caches and the view-by-view copy. Portable logic
// over IPhysicalMemoryPlatform; private to the library.
#ifndef TARNWICK_MEMORY_WINDOWSPHYSICALMEMORY_H
#define TARNWICK_MEMORY_WINDOWSPHYSICALMEMORY_H

#include <cstdint>
#include <memory>

#include "memory/IMemory.h"
#include "memory/IPhysicalMemoryPlatform.h"

namespace memory {

class WindowsPhysicalMemory : public IMemory {
public:
    // Provider signature 'FIRM' of the firmware-table interface.
    static constexpr uint32_t kFirmProvider = 0x4649524D;
    // Each 'FIRM' table covers this many bytes from the address equal to its ID.
    static constexpr uint32_t kFirmwareTableSpan = 0x20000;
    static constexpr uint32_t kDebugReadPhysicalMemory = 10;
    static constexpr uint32_t kDebugRequestSize = 20;

    // Looks up the platform functions, enables the debug privilege where the
    // account holds it, and opens the physical-memory section if it can.
    // Throws AccessError if ntdll.dll or kernel32.dll is not loaded.
    explicit WindowsPhysicalMemory(IPhysicalMemoryPlatform &platform);
    // Closes the section and empties the process-wide firmware-table caches.
    ~WindowsPhysicalMemory() override;

    WindowsPhysicalMemory(const WindowsPhysicalMemory &) = delete;
    WindowsPhysicalMemory &operator=(const WindowsPhysicalMemory &) = delete;

    uint8_t getByte(uint64_t offset) override;
    // Always throws NotImplemented: physical memory is never written.
    void putByte(uint64_t offset, uint8_t value) override;
    // Uses the firmware tables when the platform has that interface, else the
    // section when it is open, else the debug-control call; never falls back
    // from one to another.
    void fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) override;

    bool hasSection() const { return section != nullptr; }

private:
    void readFirmwareTables(uint8_t *buffer, uint64_t address, uint32_t length);
    // The ID of the firmware table that covers `address`; throws AccessError
    // when the list is empty or no table covers it.
    uint32_t firmwareTableCovering(uint64_t address);
    // The table's bytes and size; throws AccessError when it has none or
    // cannot be held.
    std::unique_ptr<uint8_t[]> fetchFirmwareTable(uint32_t tableId, uint32_t &tableSize);
    void readSection(uint8_t *buffer, uint64_t address, uint32_t length);
    void readDebugControl(uint8_t *buffer, uint64_t address, uint32_t length);

    IPhysicalMemoryPlatform &platform;
    IPhysicalMemoryPlatform::Handle section = nullptr;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_WINDOWSPHYSICALMEMORY_H
