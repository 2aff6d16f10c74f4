// Reading Windows physical memory through the firmware tables, the
// physical-memory section or the debug-control call.
#include "memory/WindowsPhysicalMemory.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "memory/ByteRead.h"
#include "smbios/Exception.h"

namespace memory {
namespace {

using Function = IPhysicalMemoryPlatform::Function;
using Handle = IPhysicalMemoryPlatform::Handle;

// Entry points looked up anew by every construction; null where the system
// lacks the function. Shared by all objects, like the caches below.
struct EntryPoints {
    Function ntOpenSection = nullptr;
    Function ntClose = nullptr;
    Function ntMapViewOfSection = nullptr;
    Function ntUnmapViewOfSection = nullptr;
    Function rtlInitUnicodeString = nullptr;
    Function zwSystemDebugControl = nullptr;
    Function enumSystemFirmwareTables = nullptr;
    Function getSystemFirmwareTable = nullptr;
};
EntryPoints entryPoints;

struct CachedFirmwareTable {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size = 0;

    void release() {
        bytes.reset();
        size = 0;
    }
};
CachedFirmwareTable cachedTableC0000;
CachedFirmwareTable cachedTableE0000;

constexpr uint32_t kTableC0000 = 0xC0000;
constexpr uint32_t kTableE0000 = 0xE0000;

// Access rights and flags of the Windows calls.
constexpr uint32_t kTokenAdjustPrivilegesAndQuery = 0x28;
constexpr uint32_t kPrivilegeEnabled = 2;
constexpr uint32_t kObjectCaseInsensitive = 0x40;
constexpr uint32_t kSectionMapRead = 4;
constexpr uint32_t kViewShare = 1;
constexpr uint32_t kPageReadOnly = 2;
// Windows' pseudo-handle of the calling process.
// NOLINTNEXTLINE(performance-no-int-to-ptr)
const Handle kCurrentProcess = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));

const char16_t kPhysicalMemorySection[] = u"\\device\\physicalmemory";

[[noreturn]] void throwAccessError(const char *message) {
    throw AccessErrorImpl(message);
}

// Clears `length` destination bytes and copies those that lie inside the
// table, starting `start` bytes into it.
void copyFromTable(uint8_t *destination, uint32_t length, const uint8_t *table, uint32_t tableSize, uint64_t start) {
    std::memset(destination, 0, length);
    if (start < tableSize) {
        const uint64_t available = tableSize - start;
        std::memcpy(destination, table + start, static_cast<std::size_t>(std::min<uint64_t>(length, available)));
    }
}

// Serves the read from the table of C0000h or E0000h fetched before, if
// there is one.
bool copyFromCachedTable(uint8_t *buffer, uint64_t address, uint32_t length) {
    if (address >= kTableC0000 && address < kTableE0000 && cachedTableC0000.bytes) {
        copyFromTable(buffer, length, cachedTableC0000.bytes.get(), cachedTableC0000.size, address - kTableC0000);
        return true;
    }
    if (address >= kTableE0000 && address <= 0xFFFFF && cachedTableE0000.bytes) {
        copyFromTable(buffer, length, cachedTableE0000.bytes.get(), cachedTableE0000.size, address - kTableE0000);
        return true;
    }
    return false;
}

// Keeps the tables of C0000h and E0000h, which every later read of the BIOS
// area asks for again.
void cacheFirmwareTable(uint32_t tableId, std::unique_ptr<uint8_t[]> table, uint32_t tableSize) {
    if (tableId == kTableC0000) {
        cachedTableC0000.bytes = std::move(table);
        cachedTableC0000.size = tableSize;
    } else if (tableId == kTableE0000) {
        cachedTableE0000.bytes = std::move(table);
        cachedTableE0000.size = tableSize;
    }
}

void putLittleEndian(uint8_t *out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace

IPhysicalMemoryPlatform::~IPhysicalMemoryPlatform() = default;

WindowsPhysicalMemory::WindowsPhysicalMemory(IPhysicalMemoryPlatform &memoryPlatform) : platform(memoryPlatform) {
    const auto ntdll = platform.getModuleHandle(u"ntdll.dll");
    const auto kernel32 = platform.getModuleHandle(u"kernel32.dll");
    if (ntdll == nullptr || kernel32 == nullptr) {
        throwAccessError("Could not load ntdll functions!");
    }

    entryPoints.ntOpenSection = platform.getProcAddress(ntdll, "NtOpenSection");
    entryPoints.ntClose = platform.getProcAddress(ntdll, "NtClose");
    entryPoints.ntMapViewOfSection = platform.getProcAddress(ntdll, "NtMapViewOfSection");
    entryPoints.ntUnmapViewOfSection = platform.getProcAddress(ntdll, "NtUnmapViewOfSection");
    entryPoints.rtlInitUnicodeString = platform.getProcAddress(ntdll, "RtlInitUnicodeString");
    entryPoints.zwSystemDebugControl = platform.getProcAddress(ntdll, "ZwSystemDebugControl");
    entryPoints.enumSystemFirmwareTables = platform.getProcAddress(kernel32, "EnumSystemFirmwareTables");
    entryPoints.getSystemFirmwareTable = platform.getProcAddress(kernel32, "GetSystemFirmwareTable");

    // The debug privilege opens the section and the debug-control call to
    // administrators; where the account lacks it, those ways simply fail.
    Handle token = nullptr;
    if (platform.openProcessToken(platform.getCurrentProcess(), kTokenAdjustPrivilegesAndQuery, &token)) {
        NtLuid debugPrivilege{};
        if (platform.lookupPrivilegeValue(nullptr, u"SeDebugPrivilege", &debugPrivilege)) {
            platform.adjustTokenPrivileges(token, false, debugPrivilege, kPrivilegeEnabled);
        }
        platform.closeHandle(token);
    }

    if (entryPoints.rtlInitUnicodeString != nullptr && entryPoints.ntOpenSection != nullptr) {
        NtUnicodeString name{};
        platform.rtlInitUnicodeString(entryPoints.rtlInitUnicodeString, &name, kPhysicalMemorySection);
        NtObjectAttributes attributes{};
        attributes.length = sizeof(NtObjectAttributes);
        attributes.objectName = &name;
        attributes.attributes = kObjectCaseInsensitive;
        Handle opened = nullptr;
        if (platform.ntOpenSection(entryPoints.ntOpenSection, &opened, kSectionMapRead, &attributes) >= 0) {
            section = opened;
        }
    }
}

WindowsPhysicalMemory::~WindowsPhysicalMemory() {
    if (section != nullptr && entryPoints.ntClose != nullptr) {
        platform.ntClose(entryPoints.ntClose, section);
    }
    cachedTableC0000.release();
    cachedTableE0000.release();
}

uint8_t WindowsPhysicalMemory::getByte(uint64_t offset) {
    return readByteThroughFillBuffer(*this, offset);
}

void WindowsPhysicalMemory::putByte(uint64_t, uint8_t) {
    throw smbios::NotImplementedImpl("writing to physical memory is not implemented on Windows yet.");
}

void WindowsPhysicalMemory::fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) {
    if (entryPoints.enumSystemFirmwareTables != nullptr && entryPoints.getSystemFirmwareTable != nullptr) {
        readFirmwareTables(buffer, offset, length);
    } else if (section != nullptr) {
        readSection(buffer, offset, length);
    } else {
        readDebugControl(buffer, offset, length);
    }
}

void WindowsPhysicalMemory::readFirmwareTables(uint8_t *buffer, uint64_t address, uint32_t length) {
    if (copyFromCachedTable(buffer, address, length)) {
        return;
    }
    const uint32_t tableId = firmwareTableCovering(address);
    uint32_t tableSize = 0;
    std::unique_ptr<uint8_t[]> table = fetchFirmwareTable(tableId, tableSize);
    copyFromTable(buffer, length, table.get(), tableSize, address - tableId);
    cacheFirmwareTable(tableId, std::move(table), tableSize);
}

uint32_t WindowsPhysicalMemory::firmwareTableCovering(uint64_t address) {
    const uint32_t listSize =
        platform.enumSystemFirmwareTables(entryPoints.enumSystemFirmwareTables, kFirmProvider, nullptr, 0);
    if (listSize == 0) {
        throwAccessError("EnumSystemFirmwareTables returned 0 for table size.");
    }
    std::unique_ptr<uint8_t[]> list(new uint8_t[listSize]());
    platform.enumSystemFirmwareTables(entryPoints.enumSystemFirmwareTables, kFirmProvider, list.get(), listSize);

    // The last listed table that covers the address wins.
    bool found = false;
    uint32_t tableId = 0;
    for (uint32_t at = 0; at + 4 <= listSize; at += 4) {
        uint32_t id = 0;
        for (int i = 3; i >= 0; --i) {
            id = (id << 8) | list[at + static_cast<uint32_t>(i)];
        }
        if (id != 0 && id <= address && address < uint64_t{id} + kFirmwareTableSpan) {
            tableId = id;
            found = true;
        }
    }
    if (!found) {
        throwAccessError("Could not locate a table which can be used.");
    }
    return tableId;
}

std::unique_ptr<uint8_t[]> WindowsPhysicalMemory::fetchFirmwareTable(uint32_t tableId, uint32_t &tableSize) {
    tableSize = platform.getSystemFirmwareTable(entryPoints.getSystemFirmwareTable, kFirmProvider, tableId, nullptr, 0);
    if (tableSize == 0) {
        throwAccessError("GetSystemFirmwareTable returned 0 for table length.");
    }
    std::unique_ptr<uint8_t[]> table = platform.allocate(tableSize);
    if (!table) {
        throwAccessError("Failed to allocate memory for Firmware table.");
    }
    std::memset(table.get(), 0, tableSize);
    platform.getSystemFirmwareTable(entryPoints.getSystemFirmwareTable, kFirmProvider, tableId, table.get(), tableSize);
    return table;
}

void WindowsPhysicalMemory::readSection(uint8_t *buffer, uint64_t offset, uint32_t length) {
    if (section == nullptr) {
        throwAccessError("Handle to physical memory was not set or could not be opened.");
    }
    if (buffer == nullptr) {
        throwAccessError("Error accessing buffer.");
    }
    // The section takes 32-bit physical addresses.
    uint64_t address = offset & 0xFFFFFFFFu;
    uint32_t copied = 0;
    while (copied < length) {
        void *view = nullptr;
        int64_t viewOffset = static_cast<int64_t>(address & 0xFFFFFFFFu);
        std::size_t viewSize = length - copied;
        if (entryPoints.ntMapViewOfSection == nullptr ||
            platform.ntMapViewOfSection(entryPoints.ntMapViewOfSection, section, kCurrentProcess, &view, 0, viewSize,
                                        &viewOffset, &viewSize, kViewShare, 0, kPageReadOnly) < 0) {
            throwAccessError("Error mapping physical memory.");
        }

        // The platform moves the view's start down to a boundary it likes;
        // the wanted address lies `position` bytes into the view.
        const uint64_t viewStart = static_cast<uint64_t>(viewOffset);
        const uint32_t copiedBefore = copied;
        uint64_t position = address >= viewStart ? address - viewStart : viewSize;
        const auto *bytes = static_cast<const uint8_t *>(view);
        while (position < viewSize && copied < length) {
            buffer[copied++] = bytes[position++];
        }

        if (entryPoints.ntUnmapViewOfSection == nullptr ||
            platform.ntUnmapViewOfSection(entryPoints.ntUnmapViewOfSection, kCurrentProcess, view) < 0) {
            throwAccessError("Error unmapping physical memory.");
        }
        // A view that does not cover the address would make no progress and
        // repeat for ever.
        if (copied == copiedBefore) {
            throwAccessError("Error mapping physical memory.");
        }
        address = viewStart + position;
    }
}

void WindowsPhysicalMemory::readDebugControl(uint8_t *buffer, uint64_t address, uint32_t length) {
    uint8_t request[kDebugRequestSize];
    putLittleEndian(request, address & 0xFFFFFFFFu, 8);
    putLittleEndian(request + 8, reinterpret_cast<uintptr_t>(buffer), 8);
    putLittleEndian(request + 16, length, 4);
    uint32_t returned = 0;
    if (entryPoints.zwSystemDebugControl == nullptr ||
        platform.zwSystemDebugControl(entryPoints.zwSystemDebugControl, kDebugReadPhysicalMemory, request,
                                      kDebugRequestSize, nullptr, 0, &returned) < 0) {
        throwAccessError("Could not use Debug Sysctl to read physical memory.");
    }
}

}  // namespace memory
