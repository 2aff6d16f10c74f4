// The Windows services that physical-memory reading relies on, as one small
// interface. The real implementation calls Windows; tests substitute a
// recording fake, so the reading logic runs on any platform. Private to the
// library.
#ifndef TARNWICK_MEMORY_IPHYSICALMEMORYPLATFORM_H
#define TARNWICK_MEMORY_IPHYSICALMEMORYPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace memory {

// Layout-compatible with Windows' UNICODE_STRING.
struct NtUnicodeString {
    uint16_t length;
    uint16_t maximumLength;
    char16_t *buffer;
};

// Layout-compatible with Windows' OBJECT_ATTRIBUTES (48 bytes on x86-64).
struct NtObjectAttributes {
    uint32_t length;
    void *rootDirectory;
    NtUnicodeString *objectName;
    uint32_t attributes;
    void *securityDescriptor;
    void *securityQualityOfService;
};

// Layout-compatible with Windows' LUID.
struct NtLuid {
    uint32_t lowPart;
    int32_t highPart;
};

class IPhysicalMemoryPlatform {
public:
    using Module = void *;
    using Function = void *;  // an entry point found by getProcAddress()
    using Handle = void *;
    using Status = int32_t;  // NTSTATUS: negative means failure

    virtual ~IPhysicalMemoryPlatform();

    // kernel32 and advapi32.
    virtual Module getModuleHandle(const char16_t *moduleName) = 0;
    virtual Function getProcAddress(Module module, const char *functionName) = 0;
    virtual Handle getCurrentProcess() = 0;
    virtual bool openProcessToken(Handle process, uint32_t desiredAccess, Handle *token) = 0;
    virtual bool lookupPrivilegeValue(const char16_t *systemName, const char16_t *privilegeName, NtLuid *luid) = 0;
    // Enables (or, with attributes 0, disables) one privilege of the token.
    virtual bool adjustTokenPrivileges(Handle token, bool disableAll, const NtLuid &privilege, uint32_t attributes) = 0;
    virtual bool closeHandle(Handle handle) = 0;

    // Calls through entry points found by getProcAddress(); `function` is
    // never null here.
    virtual void rtlInitUnicodeString(Function function, NtUnicodeString *target, const char16_t *source) = 0;
    virtual Status ntOpenSection(Function function, Handle *section, uint32_t desiredAccess,
                                 NtObjectAttributes *attributes) = 0;
    virtual Status ntMapViewOfSection(Function function, Handle section, Handle process, void **baseAddress,
                                      uintptr_t zeroBits, std::size_t commitSize, int64_t *sectionOffset,
                                      std::size_t *viewSize, uint32_t inheritDisposition, uint32_t allocationType,
                                      uint32_t protection) = 0;
    virtual Status ntUnmapViewOfSection(Function function, Handle process, void *baseAddress) = 0;
    virtual Status ntClose(Function function, Handle handle) = 0;
    virtual Status zwSystemDebugControl(Function function, uint32_t command, void *input, uint32_t inputLength,
                                        void *output, uint32_t outputLength, uint32_t *returnLength) = 0;
    virtual uint32_t enumSystemFirmwareTables(Function function, uint32_t provider, void *buffer,
                                              uint32_t bufferSize) = 0;
    virtual uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                            uint32_t bufferSize) = 0;
    // An array of `size` bytes for a firmware table, or null when memory
    // runs out.
    virtual std::unique_ptr<uint8_t[]> allocate(std::size_t size) = 0;
};

// The running system's services; exists only in Windows builds.
IPhysicalMemoryPlatform &windowsPhysicalMemoryPlatform();

}  // namespace memory

#endif  // TARNWICK_MEMORY_IPHYSICALMEMORYPLATFORM_H
