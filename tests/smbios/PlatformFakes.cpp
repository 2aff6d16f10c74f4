// Scripted firmware-table and WMI services for the strategy tests.
#include "tests/smbios/PlatformFakes.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace tarnwick_test {

using Object = smbios::IWmiPlatform::Object;
using HResult = smbios::IWmiPlatform::HResult;

FakeFirmwareTablePlatform::Module FakeFirmwareTablePlatform::getModuleHandle(const char16_t *moduleName) {
    ++moduleLookups;
    return kernel32Loaded && std::u16string(moduleName) == u"kernel32.dll" ? &moduleToken : nullptr;
}

FakeFirmwareTablePlatform::Function FakeFirmwareTablePlatform::getProcAddress(Module module, const char *functionName) {
    ++functionLookups;
    return hasFunction && module == &moduleToken && std::string(functionName) == "GetSystemFirmwareTable"
               ? &functionToken
               : nullptr;
}

uint32_t FakeFirmwareTablePlatform::getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId,
                                                           void *buffer, uint32_t bufferSize) {
    providersAsked.push_back(provider);
    if (function != &functionToken || provider != kRsmbProvider || tableId != 0) {
        return 0;
    }
    if (buffer == nullptr) {
        return overrideSize ? static_cast<uint32_t>(size) : static_cast<uint32_t>(rawBuffer.size());
    }
    ++fills;
    std::memcpy(buffer, rawBuffer.data(), std::min<std::size_t>(bufferSize, rawBuffer.size()));
    return static_cast<uint32_t>(rawBuffer.size());
}

std::unique_ptr<uint8_t[]> FakeFirmwareTablePlatform::allocate(std::size_t bytes) {
    if (failAllocation) {
        return nullptr;
    }
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]);
}

Object FakeWmiPlatform::makeObject(const std::string &kind) {
    storage.push_back(std::make_unique<char>(0));
    Object object = storage.back().get();
    objects[object] = kind;
    return object;
}

HResult FakeWmiPlatform::coInitialize() {
    ++coInitializeCalls;
    if (results[Step::CoInitialize] >= 0) {
        ++coInitializeSucceeded;
    }
    return results[Step::CoInitialize];
}

void FakeWmiPlatform::coUninitialize() {
    ++coUninitializeCalls;
}

HResult FakeWmiPlatform::coInitializeSecurity() {
    ++securityCalls;
    return static_cast<HResult>(0x80010119);  // RPC_E_TOO_LATE: ignored
}

HResult FakeWmiPlatform::createLocator(Object *locator) {
    if (results[Step::CreateLocator] < 0) {
        return results[Step::CreateLocator];
    }
    *locator = makeObject("locator");
    return results[Step::CreateLocator];
}

HResult FakeWmiPlatform::connectServer(Object locator, Object namespaceName, Object *services) {
    connectedNamespace = strings.count(namespaceName) != 0 ? strings[namespaceName] : u"<not a string>";
    if (objects.count(locator) == 0 || results[Step::ConnectServer] < 0) {
        return results[Step::ConnectServer] < 0 ? results[Step::ConnectServer] : static_cast<HResult>(0x80004003);
    }
    *services = makeObject("services");
    return results[Step::ConnectServer];
}

HResult FakeWmiPlatform::createInstanceEnum(Object services, Object className, Object *enumerator) {
    enumeratedClass = strings.count(className) != 0 ? strings[className] : u"<not a string>";
    if (objects.count(services) == 0 || results[Step::CreateInstanceEnum] < 0) {
        return results[Step::CreateInstanceEnum] < 0 ? results[Step::CreateInstanceEnum]
                                                     : static_cast<HResult>(0x80004003);
    }
    *enumerator = makeObject("enumerator");
    return results[Step::CreateInstanceEnum];
}

HResult FakeWmiPlatform::next(Object enumerator, int32_t timeoutMs, uint32_t count, Object *object,
                              uint32_t *returned) {
    nextTimeout = timeoutMs;
    nextCount = count;
    if (objects.count(enumerator) == 0) {
        return static_cast<HResult>(0x80004003);
    }
    if (nextFailsSilently) {
        return static_cast<HResult>(0x80041001);  // WBEM_E_FAILED
    }
    *returned = nextReturns;
    if (nextReturns == 0) {
        return 1;  // WBEM_S_FALSE: no more objects
    }
    *object = makeObject("instance");
    return 0;
}

HResult FakeWmiPlatform::getProperty(Object object, const char16_t *name, smbios::WmiValue *value) {
    propertiesRead.emplace_back(name);
    if (objects.count(object) == 0) {
        return static_cast<HResult>(0x80004003);
    }
    const auto result = propertyResults.find(name);
    const auto found = properties.find(name);
    if (found != properties.end()) {
        *value = found->second;
    }
    return result != propertyResults.end() ? result->second
                                           : (found != properties.end() ? 0 : static_cast<HResult>(0x80041002));
}

void FakeWmiPlatform::release(Object object) {
    objects.erase(object);
}

Object FakeWmiPlatform::allocString(const char16_t *text) {
    storage.push_back(std::make_unique<char>(0));
    Object string = storage.back().get();
    strings[string] = text;
    stringsMade.emplace_back(text);
    return string;
}

void FakeWmiPlatform::freeString(Object string) {
    strings.erase(string);
}

std::unique_ptr<uint8_t[]> FakeWmiPlatform::allocate(std::size_t bytes) {
    if (failAllocation) {
        return nullptr;
    }
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]);
}

void FakeWmiPlatform::publish(const std::vector<uint8_t> &table, uint8_t major, uint8_t minor) {
    smbios::WmiValue data;
    data.type = smbios::WmiValue::kByteArray;
    data.elements = table;
    properties[u"SMBiosData"] = data;
    smbios::WmiValue majorValue;
    majorValue.type = smbios::WmiValue::kByte;
    majorValue.byte = major;
    properties[u"SmbiosMajorVersion"] = majorValue;
    smbios::WmiValue minorValue = majorValue;
    minorValue.byte = minor;
    properties[u"SmbiosMinorVersion"] = minorValue;
}

}  // namespace tarnwick_test
