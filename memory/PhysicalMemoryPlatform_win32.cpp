// The real Windows services behind IPhysicalMemoryPlatform. The ntdll and
// firmware-table functions arrive as addresses looked up by name, and are
// called here through their documented signatures.
#include "memory/IPhysicalMemoryPlatform.h"

#include <memory>
#include <new>

#include "platform/WindowsApi.h"

#include <winternl.h>

namespace memory {
namespace {

static_assert(sizeof(NtUnicodeString) == sizeof(UNICODE_STRING), "UNICODE_STRING layout");
static_assert(sizeof(NtObjectAttributes) == sizeof(OBJECT_ATTRIBUTES), "OBJECT_ATTRIBUTES layout");
static_assert(sizeof(NtLuid) == sizeof(LUID), "LUID layout");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters are UTF-16 on Windows");

using RtlInitUnicodeStringFn = VOID(NTAPI *)(NtUnicodeString *, PCWSTR);
using NtOpenSectionFn = LONG(NTAPI *)(PHANDLE, ACCESS_MASK, NtObjectAttributes *);
using NtMapViewOfSectionFn = LONG(NTAPI *)(HANDLE, HANDLE, PVOID *, ULONG_PTR, SIZE_T, PLARGE_INTEGER, PSIZE_T, int,
                                           ULONG, ULONG);
using NtUnmapViewOfSectionFn = LONG(NTAPI *)(HANDLE, PVOID);
using NtCloseFn = LONG(NTAPI *)(HANDLE);
using ZwSystemDebugControlFn = LONG(NTAPI *)(int, PVOID, ULONG, PVOID, ULONG, PULONG);
using EnumSystemFirmwareTablesFn = UINT(WINAPI *)(DWORD, PVOID, DWORD);
using GetSystemFirmwareTableFn = UINT(WINAPI *)(DWORD, DWORD, PVOID, DWORD);

template <class Fn>
Fn as(IPhysicalMemoryPlatform::Function function) {
    return reinterpret_cast<Fn>(function);
}

const wchar_t *wide(const char16_t *text) {
    return reinterpret_cast<const wchar_t *>(text);
}

class PhysicalMemoryPlatformImpl final : public IPhysicalMemoryPlatform {
public:
    Module getModuleHandle(const char16_t *moduleName) override { return GetModuleHandleW(wide(moduleName)); }

    Function getProcAddress(Module module, const char *functionName) override {
        return reinterpret_cast<Function>(GetProcAddress(static_cast<HMODULE>(module), functionName));
    }

    Handle getCurrentProcess() override { return GetCurrentProcess(); }

    bool openProcessToken(Handle process, uint32_t desiredAccess, Handle *token) override {
        return OpenProcessToken(process, desiredAccess, token) != FALSE;
    }

    bool lookupPrivilegeValue(const char16_t *systemName, const char16_t *privilegeName, NtLuid *luid) override {
        LUID value{};
        if (!LookupPrivilegeValueW(wide(systemName), wide(privilegeName), &value)) {
            return false;
        }
        luid->lowPart = value.LowPart;
        luid->highPart = value.HighPart;
        return true;
    }

    bool adjustTokenPrivileges(Handle token, bool disableAll, const NtLuid &privilege, uint32_t attributes) override {
        TOKEN_PRIVILEGES state{};
        state.PrivilegeCount = 1;
        state.Privileges[0].Luid.LowPart = privilege.lowPart;
        state.Privileges[0].Luid.HighPart = privilege.highPart;
        state.Privileges[0].Attributes = attributes;
        return AdjustTokenPrivileges(token, disableAll ? TRUE : FALSE, &state, 0, nullptr, nullptr) != FALSE;
    }

    bool closeHandle(Handle handle) override { return CloseHandle(handle) != FALSE; }

    void rtlInitUnicodeString(Function function, NtUnicodeString *target, const char16_t *source) override {
        as<RtlInitUnicodeStringFn>(function)(target, wide(source));
    }

    Status ntOpenSection(Function function, Handle *section, uint32_t desiredAccess,
                         NtObjectAttributes *attributes) override {
        return as<NtOpenSectionFn>(function)(section, desiredAccess, attributes);
    }

    Status ntMapViewOfSection(Function function, Handle section, Handle process, void **baseAddress, uintptr_t zeroBits,
                              std::size_t commitSize, int64_t *sectionOffset, std::size_t *viewSize,
                              uint32_t inheritDisposition, uint32_t allocationType, uint32_t protection) override {
        LARGE_INTEGER offset{};
        offset.QuadPart = *sectionOffset;
        SIZE_T size = *viewSize;
        const LONG status =
            as<NtMapViewOfSectionFn>(function)(section, process, baseAddress, zeroBits, commitSize, &offset, &size,
                                               static_cast<int>(inheritDisposition), allocationType, protection);
        *sectionOffset = offset.QuadPart;
        *viewSize = size;
        return status;
    }

    Status ntUnmapViewOfSection(Function function, Handle process, void *baseAddress) override {
        return as<NtUnmapViewOfSectionFn>(function)(process, baseAddress);
    }

    Status ntClose(Function function, Handle handle) override { return as<NtCloseFn>(function)(handle); }

    Status zwSystemDebugControl(Function function, uint32_t command, void *input, uint32_t inputLength, void *output,
                                uint32_t outputLength, uint32_t *returnLength) override {
        ULONG returned = 0;
        const LONG status = as<ZwSystemDebugControlFn>(function)(static_cast<int>(command), input, inputLength, output,
                                                                 outputLength, &returned);
        *returnLength = returned;
        return status;
    }

    uint32_t enumSystemFirmwareTables(Function function, uint32_t provider, void *buffer,
                                      uint32_t bufferSize) override {
        return as<EnumSystemFirmwareTablesFn>(function)(provider, buffer, bufferSize);
    }

    uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                    uint32_t bufferSize) override {
        return as<GetSystemFirmwareTableFn>(function)(provider, tableId, buffer, bufferSize);
    }

    std::unique_ptr<uint8_t[]> allocate(std::size_t size) override {
        return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
    }
};

}  // namespace

IPhysicalMemoryPlatform &windowsPhysicalMemoryPlatform() {
    static PhysicalMemoryPlatformImpl platform;
    return platform;
}

}  // namespace memory
