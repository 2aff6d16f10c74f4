// The environment probes: Server Core edition, and the start location with
// the checks a network start needs.
#include <cstring>

#include "launcher/Launcher.h"

namespace launcher {
namespace {

constexpr uint32_t kLongVersionRecord = 156;   // OSVERSIONINFOEXA
constexpr uint32_t kShortVersionRecord = 148;  // OSVERSIONINFOA
constexpr int kSystemDriveSize = 4;

bool isServerCoreProduct(uint32_t productType) {
    return productType == 12 || productType == 13 || productType == 14;  // datacenter, standard, enterprise
}

}  // namespace

int isServerCoreEdition() {
    VersionInformation version;
    version.size = kLongVersionRecord;
    if (!platform->getVersionEx(&version)) {
        version.size = kShortVersionRecord;
        if (!platform->getVersionEx(&version)) {
            return 2;
        }
    }
    uint32_t productType = 0;
    const Module kernel32 = platform->getModuleHandle("kernel32");
    const Function getProductInfo =
        kernel32 != nullptr ? platform->getProcAddress(kernel32, "GetProductInfo") : nullptr;
    if (getProductInfo != nullptr) {
        platform->getProductInfo(getProductInfo, version.majorVersion, version.minorVersion, version.servicePackMajor,
                                 version.servicePackMinor, &productType);
    }
    return isServerCoreProduct(productType) ? 1 : 0;
}

StartLocation classifyStartLocation() {
    char directory[kPathBufferSize] = {};
    platform->getCurrentDirectory(kPathBufferSize, directory);
    // Every part gets room for the whole path: _splitpath does not check.
    char drive[kPathBufferSize] = {};
    char directoryPart[kPathBufferSize] = {};
    char fileName[kPathBufferSize] = {};
    char extension[kPathBufferSize] = {};
    platform->splitPath(directory, drive, directoryPart, fileName, extension);

    switch (platform->getDriveType(drive)) {
    case kDriveRemote:
        return checkNetworkPrerequisites();
    case kDriveNoRootDir:
        // A UNC path (\\server\share...) has no drive part.
        if (std::strlen(directoryPart) > 2 && directoryPart[0] == '\\' && directoryPart[1] == '\\') {
            return checkNetworkPrerequisites();
        }
        return LocalDrive;
    case kDriveUnknown:
        return InvalidDrive;
    default:
        return LocalDrive;
    }
}

StartLocation checkNetworkPrerequisites() {
    // Starts empty: when SYSTEMDRIVE is unset or longer than 3 characters the
    // platform leaves it untouched.
    char systemDrive[kSystemDriveSize] = {};
    platform->getEnvironmentVariable("SYSTEMDRIVE", systemDrive, kSystemDriveSize);
    platform->getEnvironmentVariable("TEMP", tempPath, kTempPathSize);
    // Compared byte for byte, without case folding. An unset TEMP is always
    // refused, also when SYSTEMDRIVE is unset too.
    if (tempPath[0] == '\0' || tempPath[0] != systemDrive[0]) {
        return TempNotOnSystemDrive;
    }
    uint64_t freeBytesAvailable = 0;
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
    if (!platform->getDiskFreeSpaceEx(systemDrive, &freeBytesAvailable, &totalBytes, &totalFreeBytes)) {
        return InvalidDrive;
    }
    // The volume's free bytes, not those available to this user.
    if (static_cast<int64_t>(totalFreeBytes) < kMinimumFreeBytes) {
        return NotEnoughSpace;
    }
    return NetworkPath;
}

}  // namespace launcher
