// A scripted stand-in for the Windows services behind physical-memory
// reading: it serves 'FIRM' firmware tables and a simulated physical memory,
// limits view sizes, records every call and injects each failure.
#ifndef TARNWICK_TESTS_MEMORY_FAKEPHYSICALMEMORYPLATFORM_H
#define TARNWICK_TESTS_MEMORY_FAKEPHYSICALMEMORYPLATFORM_H

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "memory/IPhysicalMemoryPlatform.h"

namespace tarnwick_test {

class FakePhysicalMemoryPlatform : public memory::IPhysicalMemoryPlatform {
public:
    struct FirmwareTable {
        uint32_t id;
        std::vector<uint8_t> bytes;
    };

    struct MapCall {
        int64_t requestedOffset;
        std::size_t requestedSize;
        std::size_t commitSize;
        int64_t grantedOffset;
        std::size_t grantedSize;
        Handle process;
        uintptr_t zeroBits;
        uint32_t inheritDisposition;
        uint32_t allocationType;
        uint32_t protection;
    };

    FakePhysicalMemoryPlatform();

    // --- The machine the fake plays. ---
    bool ntdllLoaded = true;
    bool kernel32Loaded = true;
    std::set<std::string> missingFunctions;     // names getProcAddress() does not find
    std::vector<FirmwareTable> firmwareTables;  // listed in this order
    bool sectionOpens = true;
    // Simulated physical memory for the section and debug-control ways:
    // byte N is physicalMemory[N - physicalBase].
    uint64_t physicalBase = 0;
    std::vector<uint8_t> physicalMemory;
    std::size_t viewGranularity = 0x1000;  // views start at multiples of this
    std::size_t maxViewSize = 0x100000;    // and are at most this long

    // --- Failures to inject. ---
    bool failOpenProcessToken = false;
    bool failLookupPrivilege = false;
    bool enumReturnsZero = false;
    bool tableSizeReturnsZero = false;
    int failMapCall = -1;            // 0-based number of the map call that fails
    int failUnmapCall = -1;          // likewise for unmapping
    bool viewMissesAddress = false;  // the view starts after the wanted address
    bool emptyViews = false;         // views of size 0
    bool failDebugControl = false;
    bool failAllocation = false;  // allocate() runs out of memory

    // --- What the fake saw. ---
    std::vector<std::string> calls;  // one entry per platform call, in order
    std::vector<MapCall> mapCalls;
    int unmapCount = 0;
    std::vector<Handle> unmapProcesses;
    int openViews = 0;  // mapped and not yet unmapped
    uint32_t tokenAccess = 0;
    std::u16string privilegeName;
    uint32_t privilegeAttributes = 0;
    int tokensOpen = 0;
    uint32_t sectionAccess = 0;
    uint32_t attributesLength = 0;
    uint32_t attributesFlags = 0;
    bool attributesHaveExtras = false;  // root, security descriptor or QoS set
    std::u16string sectionName;
    std::vector<uint8_t> debugRequest;
    uint32_t debugCommand = 0;
    bool debugHadOutput = false;
    int sectionsClosed = 0;

    std::size_t callCount(const std::string &prefix) const;

    Module getModuleHandle(const char16_t *moduleName) override;
    Function getProcAddress(Module module, const char *functionName) override;
    Handle getCurrentProcess() override;
    bool openProcessToken(Handle process, uint32_t desiredAccess, Handle *token) override;
    bool lookupPrivilegeValue(const char16_t *systemName, const char16_t *privilegeName, memory::NtLuid *luid) override;
    bool adjustTokenPrivileges(Handle token, bool disableAll, const memory::NtLuid &privilege,
                               uint32_t attributes) override;
    bool closeHandle(Handle handle) override;
    void rtlInitUnicodeString(Function function, memory::NtUnicodeString *target, const char16_t *source) override;
    Status ntOpenSection(Function function, Handle *section, uint32_t desiredAccess,
                         memory::NtObjectAttributes *attributes) override;
    Status ntMapViewOfSection(Function function, Handle section, Handle process, void **baseAddress, uintptr_t zeroBits,
                              std::size_t commitSize, int64_t *sectionOffset, std::size_t *viewSize,
                              uint32_t inheritDisposition, uint32_t allocationType, uint32_t protection) override;
    Status ntUnmapViewOfSection(Function function, Handle process, void *baseAddress) override;
    Status ntClose(Function function, Handle handle) override;
    Status zwSystemDebugControl(Function function, uint32_t command, void *input, uint32_t inputLength, void *output,
                                uint32_t outputLength, uint32_t *returnLength) override;
    uint32_t enumSystemFirmwareTables(Function function, uint32_t provider, void *buffer, uint32_t bufferSize) override;
    uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                    uint32_t bufferSize) override;
    std::unique_ptr<uint8_t[]> allocate(std::size_t size) override;

private:
    Function functionToken(const std::string &name);

    std::map<std::string, std::unique_ptr<char>> functionTokens;
    std::map<void *, std::unique_ptr<uint8_t[]>> views;
    char ntdllToken = 0;
    char kernel32Token = 0;
    char processToken = 0;
    char tokenToken = 0;
    char sectionToken = 0;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_MEMORY_FAKEPHYSICALMEMORYPLATFORM_H
