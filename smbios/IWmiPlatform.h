// The COM and WMI services the WMI strategy relies on, and the four steps of
// its fetch written against them. The real services exist only on Windows;
// tests substitute a fake. Private to the library.
#ifndef TARNWICK_SMBIOS_IWMIPLATFORM_H
#define TARNWICK_SMBIOS_IWMIPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "smbios/RawSmbiosData.h"

namespace smbios {

// A property value, as far as the fetch looks at it.
struct WmiValue {
    static constexpr uint16_t kEmpty = 0x0000;      // VT_EMPTY
    static constexpr uint16_t kByte = 0x0011;       // VT_UI1
    static constexpr uint16_t kByteArray = 0x2011;  // VT_ARRAY | VT_UI1

    uint16_t type = kEmpty;
    uint8_t byte = 0;               // for kByte
    std::vector<uint8_t> elements;  // for kByteArray: the first dimension
};

class IWmiPlatform {
public:
    using Object = void *;    // a COM interface pointer, or a COM string
    using HResult = int32_t;  // negative means failure

    virtual ~IWmiPlatform();

    virtual HResult coInitialize() = 0;
    virtual void coUninitialize() = 0;
    // CoInitializeSecurity with default authentication, packet privacy,
    // impersonation and secure references.
    virtual HResult coInitializeSecurity() = 0;
    // CoCreateInstance of the WMI locator, in-process.
    virtual HResult createLocator(Object *locator) = 0;
    virtual HResult connectServer(Object locator, Object namespaceName, Object *services) = 0;
    virtual HResult createInstanceEnum(Object services, Object className, Object *enumerator) = 0;
    virtual HResult next(Object enumerator, int32_t timeoutMs, uint32_t count, Object *object, uint32_t *returned) = 0;
    // Reads a property of a class object; the platform clears its variant.
    virtual HResult getProperty(Object object, const char16_t *name, WmiValue *value) = 0;
    virtual void release(Object object) = 0;
    virtual Object allocString(const char16_t *text) = 0;
    virtual void freeString(Object string) = 0;
    // An array of `size` bytes, or null when memory runs out.
    virtual std::unique_ptr<uint8_t[]> allocate(std::size_t size) = 0;
};

// This system's services, or null where there is no WMI.
IWmiPlatform *systemWmiPlatform();

// Makes WMI strategies made from now on use `platform` instead of the
// system's services (null: the system's again). Lets tests run the strategy
// over a fake; `platform` must outlive those strategies.
void useWmiPlatform(IWmiPlatform *platform);

// The fetch. GetWMISMBIOSData initialises COM around the other three and
// uninitialises it again, also when they throw; then the record's data is
// released before the exception goes on.
void GetWMISMBIOSData(IWmiPlatform &platform, WmiSmbiosData &data);
// The first instance of "MSSmBios_RawSMBiosTables".
void GetWMISMBIOSInstance(IWmiPlatform &platform, IWmiPlatform::Object *instance);
// Copies "SMBiosData" into the record.
void GetWMISMBIOSTable(IWmiPlatform &platform, IWmiPlatform::Object instance, WmiSmbiosData &data);
// Reads "SmbiosMajorVersion" and "SmbiosMinorVersion" into the given places.
void GetWMISMBIOSVersion(IWmiPlatform &platform, IWmiPlatform::Object pSmbios, uint8_t *major, uint8_t *minor);

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_IWMIPLATFORM_H
