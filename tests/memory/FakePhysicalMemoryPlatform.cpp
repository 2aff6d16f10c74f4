// The scripted Windows services of the physical-memory tests.
#include "tests/memory/FakePhysicalMemoryPlatform.h"

#include <algorithm>
#include <cstring>

namespace tarnwick_test {
namespace {

std::string narrow(const char16_t *text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        out += static_cast<char>(*text);
    }
    return out;
}

}  // namespace

FakePhysicalMemoryPlatform::FakePhysicalMemoryPlatform() = default;

std::size_t FakePhysicalMemoryPlatform::callCount(const std::string &prefix) const {
    return static_cast<std::size_t>(std::count_if(calls.begin(), calls.end(), [&](const std::string &call) {
        return call.compare(0, prefix.size(), prefix) == 0;
    }));
}

FakePhysicalMemoryPlatform::Function FakePhysicalMemoryPlatform::functionToken(const std::string &name) {
    auto &token = functionTokens[name];
    if (!token) {
        token = std::make_unique<char>(0);
    }
    return token.get();
}

FakePhysicalMemoryPlatform::Module FakePhysicalMemoryPlatform::getModuleHandle(const char16_t *moduleName) {
    const std::string name = narrow(moduleName);
    calls.push_back("GetModuleHandleW " + name);
    if (name == "ntdll.dll") {
        return ntdllLoaded ? &ntdllToken : nullptr;
    }
    if (name == "kernel32.dll") {
        return kernel32Loaded ? &kernel32Token : nullptr;
    }
    return nullptr;
}

FakePhysicalMemoryPlatform::Function FakePhysicalMemoryPlatform::getProcAddress(Module module,
                                                                                const char *functionName) {
    const std::string name = functionName;
    calls.push_back("GetProcAddress " + name);
    const bool inNtdll =
        name.compare(0, 2, "Nt") == 0 || name.compare(0, 2, "Zw") == 0 || name.compare(0, 3, "Rtl") == 0;
    if ((inNtdll && module != &ntdllToken) || (!inNtdll && module != &kernel32Token)) {
        return nullptr;  // looked up in the wrong module
    }
    if (missingFunctions.count(name) != 0) {
        return nullptr;
    }
    return functionToken(name);
}

FakePhysicalMemoryPlatform::Handle FakePhysicalMemoryPlatform::getCurrentProcess() {
    calls.push_back("GetCurrentProcess");
    return &processToken;
}

bool FakePhysicalMemoryPlatform::openProcessToken(Handle process, uint32_t desiredAccess, Handle *token) {
    calls.push_back("OpenProcessToken");
    tokenAccess = desiredAccess;
    if (failOpenProcessToken || process != &processToken) {
        return false;
    }
    *token = &tokenToken;
    ++tokensOpen;
    return true;
}

bool FakePhysicalMemoryPlatform::lookupPrivilegeValue(const char16_t *systemName, const char16_t *name,
                                                      memory::NtLuid *luid) {
    calls.push_back("LookupPrivilegeValueW");
    privilegeName.clear();
    for (const char16_t *c = name; *c != 0; ++c) {
        privilegeName += *c;
    }
    if (failLookupPrivilege || systemName != nullptr) {
        return false;
    }
    luid->lowPart = 20;  // SE_DEBUG_PRIVILEGE
    luid->highPart = 0;
    return true;
}

bool FakePhysicalMemoryPlatform::adjustTokenPrivileges(Handle token, bool disableAll, const memory::NtLuid &privilege,
                                                       uint32_t attributes) {
    calls.push_back("AdjustTokenPrivileges");
    privilegeAttributes = attributes;
    return token == &tokenToken && !disableAll && privilege.lowPart == 20;
}

bool FakePhysicalMemoryPlatform::closeHandle(Handle handle) {
    calls.push_back("CloseHandle");
    if (handle == &tokenToken) {
        --tokensOpen;
        return true;
    }
    return false;
}

void FakePhysicalMemoryPlatform::rtlInitUnicodeString(Function, memory::NtUnicodeString *target,
                                                      const char16_t *source) {
    calls.push_back("RtlInitUnicodeString");
    std::size_t length = 0;
    while (source[length] != 0) {
        ++length;
    }
    target->length = static_cast<uint16_t>(length * 2);
    target->maximumLength = static_cast<uint16_t>(length * 2 + 2);
    target->buffer = const_cast<char16_t *>(source);
}

FakePhysicalMemoryPlatform::Status FakePhysicalMemoryPlatform::ntOpenSection(Function, Handle *section,
                                                                             uint32_t desiredAccess,
                                                                             memory::NtObjectAttributes *attributes) {
    calls.push_back("NtOpenSection");
    sectionAccess = desiredAccess;
    attributesLength = attributes->length;
    attributesFlags = attributes->attributes;
    attributesHaveExtras = attributes->rootDirectory != nullptr || attributes->securityDescriptor != nullptr ||
                           attributes->securityQualityOfService != nullptr;
    sectionName.assign(attributes->objectName->buffer, attributes->objectName->length / 2);
    if (!sectionOpens) {
        return static_cast<Status>(0xC0000022);  // STATUS_ACCESS_DENIED
    }
    *section = &sectionToken;
    return 0;
}

FakePhysicalMemoryPlatform::Status
FakePhysicalMemoryPlatform::ntMapViewOfSection(Function, Handle section, Handle process, void **baseAddress,
                                               uintptr_t zeroBits, std::size_t commitSize, int64_t *sectionOffset,
                                               std::size_t *viewSize, uint32_t inheritDisposition,
                                               uint32_t allocationType, uint32_t protection) {
    calls.push_back("NtMapViewOfSection");
    const int callNumber = static_cast<int>(mapCalls.size());
    MapCall record{*sectionOffset, *viewSize,          commitSize,     0,         0, process,
                   zeroBits,       inheritDisposition, allocationType, protection};
    if (callNumber == failMapCall || section != &sectionToken) {
        mapCalls.push_back(record);
        return static_cast<Status>(0xC0000018);  // STATUS_CONFLICTING_ADDRESSES
    }

    // Round the start down to the granularity; the view grows accordingly
    // and is cut to the largest view the platform hands out.
    const uint64_t wanted = static_cast<uint64_t>(*sectionOffset);
    uint64_t start = wanted - wanted % viewGranularity;
    std::size_t size = std::min<std::size_t>(*viewSize + static_cast<std::size_t>(wanted - start), maxViewSize);
    if (viewMissesAddress) {
        start = wanted + 0x10;
    }
    if (emptyViews) {
        size = 0;
    }
    auto view = std::make_unique<uint8_t[]>(size + 1);
    for (std::size_t i = 0; i < size; ++i) {
        const uint64_t address = start + i;
        view[i] = address >= physicalBase && address - physicalBase < physicalMemory.size()
                      ? physicalMemory[static_cast<std::size_t>(address - physicalBase)]
                      : 0xFF;
    }
    *baseAddress = view.get();
    views[view.get()] = std::move(view);
    ++openViews;
    *sectionOffset = static_cast<int64_t>(start);
    *viewSize = size;
    record.grantedOffset = static_cast<int64_t>(start);
    record.grantedSize = size;
    mapCalls.push_back(record);
    return 0;
}

FakePhysicalMemoryPlatform::Status FakePhysicalMemoryPlatform::ntUnmapViewOfSection(Function, Handle process,
                                                                                    void *baseAddress) {
    calls.push_back("NtUnmapViewOfSection");
    unmapProcesses.push_back(process);
    const int callNumber = unmapCount++;
    if (views.erase(baseAddress) != 0) {
        --openViews;
    }
    return callNumber == failUnmapCall ? static_cast<Status>(0xC0000019) : 0;  // STATUS_NOT_MAPPED_VIEW
}

FakePhysicalMemoryPlatform::Status FakePhysicalMemoryPlatform::ntClose(Function, Handle handle) {
    calls.push_back("NtClose");
    if (handle == &sectionToken) {
        ++sectionsClosed;
    }
    return 0;
}

FakePhysicalMemoryPlatform::Status FakePhysicalMemoryPlatform::zwSystemDebugControl(Function, uint32_t command,
                                                                                    void *input, uint32_t inputLength,
                                                                                    void *output, uint32_t,
                                                                                    uint32_t *returnLength) {
    calls.push_back("ZwSystemDebugControl");
    debugCommand = command;
    debugHadOutput = output != nullptr;
    const auto *request = static_cast<const uint8_t *>(input);
    debugRequest.assign(request, request + inputLength);
    *returnLength = 0;
    if (failDebugControl || inputLength != 20) {
        return static_cast<Status>(0xC0000022);
    }
    uint64_t address = 0;
    uint64_t destination = 0;
    uint32_t length = 0;
    for (int i = 7; i >= 0; --i) {
        address = (address << 8) | request[i];
        destination = (destination << 8) | request[8 + i];
    }
    for (int i = 3; i >= 0; --i) {
        length = (length << 8) | request[16 + i];
    }
    // The request carries the destination as an address, as the real call's does.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    auto *out = reinterpret_cast<uint8_t *>(static_cast<uintptr_t>(destination));
    for (uint32_t i = 0; i < length; ++i) {
        const uint64_t at = address + i;
        out[i] = at >= physicalBase && at - physicalBase < physicalMemory.size()
                     ? physicalMemory[static_cast<std::size_t>(at - physicalBase)]
                     : 0xFF;
    }
    *returnLength = length;
    return 0;
}

uint32_t FakePhysicalMemoryPlatform::enumSystemFirmwareTables(Function, uint32_t provider, void *buffer,
                                                              uint32_t bufferSize) {
    calls.push_back("EnumSystemFirmwareTables");
    if (enumReturnsZero || provider != 0x4649524D) {
        return 0;
    }
    const uint32_t needed = static_cast<uint32_t>(firmwareTables.size() * 4);
    if (buffer != nullptr && bufferSize >= needed) {
        auto *out = static_cast<uint8_t *>(buffer);
        for (std::size_t t = 0; t < firmwareTables.size(); ++t) {
            for (int i = 0; i < 4; ++i) {
                out[t * 4 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(firmwareTables[t].id >> (8 * i));
            }
        }
    }
    return needed;
}

uint32_t FakePhysicalMemoryPlatform::getSystemFirmwareTable(Function, uint32_t provider, uint32_t tableId, void *buffer,
                                                            uint32_t bufferSize) {
    calls.push_back("GetSystemFirmwareTable " + std::to_string(tableId));
    if (tableSizeReturnsZero || provider != 0x4649524D) {
        return 0;
    }
    for (const FirmwareTable &table : firmwareTables) {
        if (table.id == tableId) {
            const auto size = static_cast<uint32_t>(table.bytes.size());
            if (buffer != nullptr && bufferSize >= size) {
                std::memcpy(buffer, table.bytes.data(), size);
            }
            return size;
        }
    }
    return 0;
}

std::unique_ptr<uint8_t[]> FakePhysicalMemoryPlatform::allocate(std::size_t size) {
    return failAllocation ? nullptr : std::unique_ptr<uint8_t[]>(new uint8_t[size]);
}

}  // namespace tarnwick_test
