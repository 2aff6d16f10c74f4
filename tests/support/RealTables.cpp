// The real SMBIOS tables of the test data, in their own forms and as memory
// images.
#include "tests/support/RealTables.h"

#include "smbios/format/SmbiosFormat.h"
#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

namespace fmt = smbios::format;
using F = RealTable::Format;

constexpr const char *kVmware = "real-smbios/dump-bin/VMWare.bin";

// The file's own table and record, before any copies are made.
smbios::SmbiosTableBytes fileSource(const RealTable &table) {
    const std::string path = testDataPath(table.path);
    switch (table.format) {
    case F::DumpBin:
        return fmt::parseDumpBin(fmt::readFileBytes(path));
    case F::Rsmb:
        return fmt::parseRawSmbiosData(fmt::readFileBytes(path));
    case F::Sysfs:
        return fmt::readSysfsTables(path);
    case F::Raw:
    case F::Image:
        break;
    }
    smbios::SmbiosTableBytes raw;
    raw.table = fmt::readFileBytes(path);
    return raw;
}

}  // namespace

const std::vector<RealTable> &realTables() {
    // Structure counts are those dmidecode reads.
    static const std::vector<RealTable> tables = {
        {"AsusUX307LA", F::DumpBin, "real-smbios/dump-bin/Asus-UX307LA.bin", 27},
        {"GigabyteMA74", F::DumpBin, "real-smbios/dump-bin/Gigabyte-GA-MA74GMT-S2.bin", 54},
        {"LenovoW510", F::DumpBin, "real-smbios/dump-bin/Lenovo-ThinkPad-W510.bin", 82},
        {"LenovoI5", F::DumpBin, "real-smbios/dump-bin/Lenovo-i5-3320M-laptop-2.7.bin", 69},
        {"MsiMS7816", F::DumpBin, "real-smbios/dump-bin/MSI-MS-7816.bin", 81},
        {"SuperMicroX9DBL", F::DumpBin, "real-smbios/dump-bin/SuperMicro-X9DBL.bin", 115},
        {"SynologyRS3614", F::DumpBin, "real-smbios/dump-bin/Synology-RS3614xsp.bin", 69},
        {"ToshibaL70", F::DumpBin, "real-smbios/dump-bin/Toshiba-Satellite-Pro-L70.bin", 69},
        {"VMWare", F::DumpBin, kVmware, 620},
        {"BeelinkSmbios3", F::DumpBin, "real-smbios/dump-bin/Beelink-EQ12-3.5-no-end-of-table.bin", 72},
        {"GigabyteX399Smbios3", F::DumpBin, "real-smbios/dump-bin/GigaByte-X399.bin", 82},
        {"LenovoT480Smbios3", F::DumpBin, "real-smbios/dump-bin/Lenovo-ThinkPad-T480.bin", 63},
        {"UefiSmbios3", F::DumpBin, "real-smbios/dump-bin/uefi-3.1.1-smbios_table.bin", 69},
        {"ASRockRaw", F::Raw, "real-smbios/raw/ASRock-Single-Ryzen.DMI", 28},
        {"HyperVRaw", F::Raw, "real-smbios/raw/HyperV.DMI", 5},
        {"SuperMicroDualXeonRaw", F::Raw, "real-smbios/raw/SuperMicro-Dual-Xeon.DMI", 149},
        {"SuperMicroQuadOpteronRaw", F::Raw, "real-smbios/raw/SuperMicro-Quad-Opteron.DMI", 96},
        {"AmdDesktopRsmb", F::Rsmb, "real-smbios/rsmb/AMD-desktop-3.2.rsmb", 20},
        {"LenovoI5Sysfs", F::Sysfs, "real-smbios/sysfs/lenovo-i5-3320m-2.7", 69},
        {"SuperMicroSysfsSmbios3", F::Sysfs, "real-smbios/sysfs/supermicro-3.0-short", 102},
        {"SeaBiosPc", F::Image, "qemu/seabios-pc.img", 9},
        {"SeaBiosOemStrings", F::Image, "qemu/seabios-pc-oem-strings.img", 10},
        {"SeaBiosSmbios3", F::Image, "qemu/seabios-pc-smbios3.img", 9},
        {"SeaBiosQ35Smbios3", F::Image, "qemu/seabios-q35-smbios3.img", 9},
        {"SeaBiosSmbios3Oem", F::Image, "qemu/seabios-pc-smbios3-oem.img", 11},
        // 87,168 bytes: VMWare's structures three times over, in every form.
        {"VMWare87KDump", F::DumpBin, kVmware, 1858, 3},
        {"VMWare87KRaw", F::Raw, kVmware, 1858, 3},
        {"VMWare87KRsmb", F::Rsmb, kVmware, 1858, 3},
        {"VMWare87KSysfs", F::Sysfs, kVmware, 1858, 3},
        {"VMWare87KImage", F::Image, kVmware, 1858, 3},
    };
    return tables;
}

smbios::SmbiosTableBytes sourceOf(const RealTable &table) {
    if (table.copies <= 1) {
        return fileSource(table);
    }
    RealTable base = table;
    base.format = F::DumpBin;
    base.copies = 1;
    const smbios::SmbiosTableBytes original = fileSource(base);
    const std::pair<uint8_t, uint8_t> version = fmt::versionOf(original);
    smbios::SmbiosTableBytes large =
        fmt::sourceWithEntryPoint(fmt::replicateTable(original.table, table.copies), version.first, version.second);
    switch (table.format) {
    case F::DumpBin:
        return fmt::parseDumpBin(fmt::buildDumpBin(large));
    case F::Rsmb:
        return fmt::parseRawSmbiosData(fmt::buildRawSmbiosData(version.first, version.second, large.table));
    case F::Raw:
        return smbios::SmbiosTableBytes{{}, large.table};
    case F::Sysfs:
    case F::Image:
        break;
    }
    return large;
}

std::vector<uint8_t> memoryImageOf(const RealTable &table) {
    if (table.format == F::Image && table.copies <= 1) {
        return fmt::readFileBytes(testDataPath(table.path));
    }
    return fmt::buildMemoryImage(sourceOf(table));
}

void PrintTo(const RealTable &table, std::ostream *out) {
    *out << table.name;
}

}  // namespace tarnwick_test
