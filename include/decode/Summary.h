// Typed answers to the questions asked of a table most often: which
// machine, which firmware, which processors and which memory, and the
// string keywords dmidecode's -s knows, each answered from the decoded
// structures.
#ifndef TARNWICK_DECODE_SUMMARY_H
#define TARNWICK_DECODE_SUMMARY_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace smbios {
class ISmbiosTable;
}  // namespace smbios

namespace smbios::decode {

struct Structure;

struct BiosSummary {
    std::string vendor;
    std::string version;
    std::string releaseDate;
    std::optional<std::string> biosRevision;      // "4.6"; absent when the firmware says none
    std::optional<std::string> firmwareRevision;  // of the embedded controller
};

struct SystemSummary {
    std::string manufacturer;
    std::string productName;
    std::string version;
    std::string serialNumber;
    std::string uuid;  // as dmidecode shows it, byte order per the table's version
    std::string skuNumber;
    std::string family;
};

struct BaseboardSummary {
    std::string manufacturer;
    std::string productName;
    std::string version;
    std::string serialNumber;
    std::string assetTag;
};

struct ChassisSummary {
    std::string manufacturer;
    std::string type;  // "Notebook", "Main Server Chassis", ...
    std::string version;
    std::string serialNumber;
    std::string assetTag;
};

struct ProcessorSummary {
    std::string socket;
    std::string family;
    std::string manufacturer;
    std::string version;
    std::optional<uint32_t> currentSpeedMHz;  // absent when unknown
    std::optional<uint32_t> coreCount;
    std::optional<uint32_t> threadCount;
};

struct MemoryDeviceSummary {
    uint16_t handle = 0;
    std::string locator;
    std::string bankLocator;
    // Absent when the slot is empty or the size is unknown.
    std::optional<uint64_t> sizeBytes;
    std::string type;                  // "DDR4", ...
    std::optional<uint32_t> speedMTs;  // in MT/s; absent when unknown
    std::string manufacturer;
    std::string serialNumber;
    std::string partNumber;
};

// What the structures of types 0 to 4, 11 and 17 say. The first structure
// of each of types 0 to 3 and 11 answers for the machine, as in dmidecode's
// -s and --oem-string; every processor and memory device is listed.
// Strings are as dmidecode shows them.
struct Summary {
    BiosSummary bios;
    SystemSummary system;
    BaseboardSummary baseboard;
    ChassisSummary chassis;
    std::vector<ProcessorSummary> processors;
    std::vector<MemoryDeviceSummary> memoryDevices;
    std::vector<std::string> oemStrings;
};

Summary summarize(const smbios::ISmbiosTable &table);

// The strings of a decoded OEM strings structure (type 11), in order.
std::vector<std::string> oemStringsOf(const Structure &oemStrings);

// The keywords of dmidecode's -s ("bios-vendor", ..., "processor-frequency"),
// in its order.
const std::vector<std::string> &stringKeywords();

// The answer to a keyword: one line per structure of its type that carries
// the field, as `dmidecode -s KEYWORD` prints them. Returns nullopt for an
// unknown keyword.
std::optional<std::vector<std::string>> valuesOf(const smbios::ISmbiosTable &table, const std::string &keyword);

}  // namespace smbios::decode

#endif  // TARNWICK_DECODE_SUMMARY_H
