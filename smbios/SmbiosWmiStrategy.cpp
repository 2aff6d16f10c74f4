// The WMI strategy: the raw SMBIOS table as the WMI class
// MSSmBios_RawSMBiosTables publishes it.
#include <cstring>

#include "smbios/Exception.h"
#include "smbios/IWmiPlatform.h"
#include "smbios/SmbiosStrategy.h"

namespace smbios {
namespace {

using Object = IWmiPlatform::Object;

constexpr int32_t kNextTimeoutMs = 4000;

// Releases a COM string when the fetch step ends, however it ends.
class ComString {
public:
    ComString(IWmiPlatform &wmi, const char16_t *text) : platform(wmi), string(wmi.allocString(text)) {}
    ~ComString() {
        if (string != nullptr) {
            platform.freeString(string);
        }
    }
    ComString(const ComString &) = delete;
    ComString &operator=(const ComString &) = delete;
    Object get() const { return string; }

private:
    IWmiPlatform &platform;
    Object string;
};

uint8_t readVersionByte(IWmiPlatform &platform, Object pSmbios, const char16_t *property, const char *failure) {
    WmiValue value;
    if (platform.getProperty(pSmbios, property, &value) < 0 || value.type != WmiValue::kByte) {
        throw ParseExceptionImpl(failure);
    }
    return value.byte;
}

}  // namespace

IWmiPlatform::~IWmiPlatform() = default;

void GetWMISMBIOSInstance(IWmiPlatform &platform, Object *instance) {
    const ComString namespaceName(platform, u"root\\wmi");
    const ComString className(platform, u"MSSmBios_RawSMBiosTables");

    platform.coInitializeSecurity();  // already set for the process is fine too

    Object locator = nullptr;
    if (platform.createLocator(&locator) < 0) {
        throw InternalErrorImpl(
            "CoCreateInstance() failed for locator. Check that the security levels have been properly initialized.");
    }
    Object services = nullptr;
    const IWmiPlatform::HResult connected = platform.connectServer(locator, namespaceName.get(), &services);
    platform.release(locator);
    if (connected != 0) {
        if (services != nullptr) {
            platform.release(services);
        }
        throw InternalErrorImpl("ConnectServer() failed for namespace");
    }

    Object enumerator = nullptr;
    const IWmiPlatform::HResult enumerated = platform.createInstanceEnum(services, className.get(), &enumerator);
    platform.release(services);
    if (enumerated < 0) {
        throw InternalErrorImpl("CreateInstanceEnum() failed for MSSmBios_RawSMBiosTables");
    }

    uint32_t returned = 1;
    platform.next(enumerator, kNextTimeoutMs, 1, instance, &returned);
    platform.release(enumerator);
    if (returned != 1) {
        throw InternalErrorImpl("Next() failed for pEnumSMBIOS");
    }
}

void GetWMISMBIOSTable(IWmiPlatform &platform, Object instance, WmiSmbiosData &data) {
    if (instance == nullptr) {
        throw ParseExceptionImpl("GetWMISMBIOSTable: NULL pointer to SMBIOS Entry specified.");
    }
    WmiValue value;
    platform.getProperty(instance, u"SMBiosData", &value);
    if (value.type != WmiValue::kByteArray) {
        throw ParseExceptionImpl("GetWMISMBIOSTable: SMBiosData returned unknown entry type.");
    }
    data.length = static_cast<uint32_t>(value.elements.size());
    if (data.length == 0) {
        throw ParseExceptionImpl("GetWMISMBIOSTable: Buffer size was zero.");
    }
    std::unique_ptr<uint8_t[]> copy = platform.allocate(data.length);
    if (!copy) {
        throw ParseExceptionImpl("GetWMISMBIOSTable: Failed to allocate memory for SMBIOS table.");
    }
    std::memcpy(copy.get(), value.elements.data(), data.length);
    data.data = std::move(copy);
}

void GetWMISMBIOSVersion(IWmiPlatform &platform, Object pSmbios, uint8_t *major, uint8_t *minor) {
    if (pSmbios == nullptr) {
        throw ParseExceptionImpl("GetWMISMBIOSVersion: null pointer passed as pSmbios.");
    }
    const uint8_t majorVersion = readVersionByte(platform, pSmbios, u"SmbiosMajorVersion",
                                                 "GetWMISMBIOSVersion: problem accessing WMI SmbiosMajorVersion.");
    if (major != nullptr) {
        *major = majorVersion;
    }
    const uint8_t minorVersion = readVersionByte(platform, pSmbios, u"SmbiosMinorVersion",
                                                 "GetWMISMBIOSVersion: problem accessing WMI SmbiosMinorVersion.");
    if (minor != nullptr) {
        *minor = minorVersion;
    }
}

void GetWMISMBIOSData(IWmiPlatform &platform, WmiSmbiosData &data) {
    if (platform.coInitialize() < 0) {
        throw InternalErrorImpl("Could not initialize COM.");
    }
    Object instance = nullptr;
    try {
        GetWMISMBIOSInstance(platform, &instance);
        GetWMISMBIOSTable(platform, instance, data);
        GetWMISMBIOSVersion(platform, instance, &data.major, &data.minor);
    } catch (...) {
        data.data.reset();
        if (instance != nullptr) {
            platform.release(instance);
        }
        platform.coUninitialize();
        throw;
    }
    if (instance != nullptr) {
        platform.release(instance);
    }
    platform.coUninitialize();
}

namespace {

IWmiPlatform *wmiPlatformInUse = nullptr;  // null: the system's

}  // namespace

void useWmiPlatform(IWmiPlatform *platform) {
    wmiPlatformInUse = platform;
}

SmbiosWinWMIStrategy::SmbiosWinWMIStrategy()
    : platform(wmiPlatformInUse != nullptr ? wmiPlatformInUse : systemWmiPlatform()) {}

SmbiosWinWMIStrategy::~SmbiosWinWMIStrategy() = default;

bool SmbiosWinWMIStrategy::getSmbiosTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                          bool strict) {
    return readTableWithoutFacts(tableBuffer, entryPoint, strict);
}

bool SmbiosWinWMIStrategy::readTable(std::unique_ptr<uint8_t[]> &tableBuffer, SmbiosTableEntryPoint &entryPoint,
                                     TableFacts &facts, bool) {
    if (platform == nullptr) {
        throw NotImplementedImpl("WMI exists only on Windows: the SMBIOS table cannot be read through WMI here.");
    }
    WmiSmbiosData data;
    GetWMISMBIOSData(*platform, data);
    const std::size_t length = data.length;
    adoptWmiSmbiosData(data, tableBuffer, entryPoint);
    facts.length = length;
    facts.entryPoint = SourceEntryPoint();  // WMI gives the version alone
    return true;
}

}  // namespace smbios
