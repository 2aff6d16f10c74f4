// Scripted stand-ins for the firmware-table query and for COM/WMI, which
// record what the strategies asked and inject each failure.
#ifndef TARNWICK_TESTS_SMBIOS_PLATFORMFAKES_H
#define TARNWICK_TESTS_SMBIOS_PLATFORMFAKES_H

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "smbios/IFirmwareTablePlatform.h"
#include "smbios/IWmiPlatform.h"

namespace tarnwick_test {

class FakeFirmwareTablePlatform : public smbios::IFirmwareTablePlatform {
public:
    bool kernel32Loaded = true;
    bool hasFunction = true;
    std::vector<uint8_t> rawBuffer;  // what 'RSMB' table 0 holds
    bool overrideSize = false;       // answer the size query with `size`
    int32_t size = 0;
    bool failAllocation = false;

    int moduleLookups = 0;
    int functionLookups = 0;
    std::vector<uint32_t> providersAsked;
    int fills = 0;

    Module getModuleHandle(const char16_t *moduleName) override;
    Function getProcAddress(Module module, const char *functionName) override;
    uint32_t getSystemFirmwareTable(Function function, uint32_t provider, uint32_t tableId, void *buffer,
                                    uint32_t bufferSize) override;
    std::unique_ptr<uint8_t[]> allocate(std::size_t bytes) override;

private:
    char moduleToken = 0;
    char functionToken = 0;
};

class FakeWmiPlatform : public smbios::IWmiPlatform {
public:
    enum class Step { CoInitialize, CreateLocator, ConnectServer, CreateInstanceEnum };

    // Results the fake answers with.
    std::map<Step, HResult> results;  // 0 unless set
    uint32_t nextReturns = 1;         // objects Next() hands out
    bool nextFailsSilently = false;   // Next() fails without writing the count or the object
    std::map<std::u16string, smbios::WmiValue> properties;
    std::map<std::u16string, HResult> propertyResults;
    bool failAllocation = false;

    // What the fake saw.
    int coInitializeCalls = 0;
    int coInitializeSucceeded = 0;
    int coUninitializeCalls = 0;
    int securityCalls = 0;
    std::vector<std::u16string> stringsMade;
    std::u16string connectedNamespace;
    std::u16string enumeratedClass;
    int32_t nextTimeout = 0;
    uint32_t nextCount = 0;
    std::vector<std::u16string> propertiesRead;

    // Objects and strings handed out and not yet released or freed.
    std::size_t liveObjects() const { return objects.size(); }
    std::size_t liveStrings() const { return strings.size(); }

    HResult coInitialize() override;
    void coUninitialize() override;
    HResult coInitializeSecurity() override;
    HResult createLocator(Object *locator) override;
    HResult connectServer(Object locator, Object namespaceName, Object *services) override;
    HResult createInstanceEnum(Object services, Object className, Object *enumerator) override;
    HResult next(Object enumerator, int32_t timeoutMs, uint32_t count, Object *object, uint32_t *returned) override;
    HResult getProperty(Object object, const char16_t *name, smbios::WmiValue *value) override;
    void release(Object object) override;
    Object allocString(const char16_t *text) override;
    void freeString(Object string) override;
    std::unique_ptr<uint8_t[]> allocate(std::size_t bytes) override;

    // A WMI instance publishing `table` as version major.minor.
    void publish(const std::vector<uint8_t> &table, uint8_t major, uint8_t minor);

private:
    Object makeObject(const std::string &kind);

    std::map<Object, std::string> objects;
    std::map<Object, std::u16string> strings;
    std::vector<std::unique_ptr<char>> storage;
};

// While one lives, the firmware-table or WMI strategies made use `platform`.
class UsingFirmwareTablePlatform {
public:
    explicit UsingFirmwareTablePlatform(smbios::IFirmwareTablePlatform &platform) {
        smbios::useFirmwareTablePlatform(&platform);
    }
    ~UsingFirmwareTablePlatform() { smbios::useFirmwareTablePlatform(nullptr); }
    UsingFirmwareTablePlatform(const UsingFirmwareTablePlatform &) = delete;
    UsingFirmwareTablePlatform &operator=(const UsingFirmwareTablePlatform &) = delete;
};

class UsingWmiPlatform {
public:
    explicit UsingWmiPlatform(smbios::IWmiPlatform &platform) { smbios::useWmiPlatform(&platform); }
    ~UsingWmiPlatform() { smbios::useWmiPlatform(nullptr); }
    UsingWmiPlatform(const UsingWmiPlatform &) = delete;
    UsingWmiPlatform &operator=(const UsingWmiPlatform &) = delete;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SMBIOS_PLATFORMFAKES_H
