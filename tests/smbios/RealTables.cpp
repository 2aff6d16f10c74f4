// The real SMBIOS tables of the test data, turned into memory images.
#include "smbios/RealTables.h"

#include "image/SmbiosImage.h"
#include "support/SmbiosBuilder.h"

namespace tarnwick_test {

const std::vector<RealTable> &realTables() {
    using F = RealTable::Format;
    // Structure counts are those the tables' own entry points (or, for raw
    // tables, dmidecode) give.
    static const std::vector<RealTable> tables = {
        {"AsusUX307LA", F::DumpBin, "real-smbios/dump-bin/Asus-UX307LA.bin", false, 27},
        {"GigabyteMA74", F::DumpBin, "real-smbios/dump-bin/Gigabyte-GA-MA74GMT-S2.bin", false, 54},
        {"LenovoW510", F::DumpBin, "real-smbios/dump-bin/Lenovo-ThinkPad-W510.bin", false, 82},
        {"LenovoI5", F::DumpBin, "real-smbios/dump-bin/Lenovo-i5-3320M-laptop-2.7.bin", false, 69},
        {"MsiMS7816", F::DumpBin, "real-smbios/dump-bin/MSI-MS-7816.bin", false, 81},
        {"SuperMicroX9DBL", F::DumpBin, "real-smbios/dump-bin/SuperMicro-X9DBL.bin", false, 115},
        {"SynologyRS3614", F::DumpBin, "real-smbios/dump-bin/Synology-RS3614xsp.bin", false, 69},
        {"ToshibaL70", F::DumpBin, "real-smbios/dump-bin/Toshiba-Satellite-Pro-L70.bin", false, 69},
        {"VMWare", F::DumpBin, "real-smbios/dump-bin/VMWare.bin", false, 620},
        {"BeelinkSmbios3", F::DumpBin, "real-smbios/dump-bin/Beelink-EQ12-3.5-no-end-of-table.bin", true, 0},
        {"GigabyteX399Smbios3", F::DumpBin, "real-smbios/dump-bin/GigaByte-X399.bin", true, 0},
        {"LenovoT480Smbios3", F::DumpBin, "real-smbios/dump-bin/Lenovo-ThinkPad-T480.bin", true, 0},
        {"UefiSmbios3", F::DumpBin, "real-smbios/dump-bin/uefi-3.1.1-smbios_table.bin", true, 0},
        {"ASRockRaw", F::Raw, "real-smbios/raw/ASRock-Single-Ryzen.DMI", false, 28},
        {"HyperVRaw", F::Raw, "real-smbios/raw/HyperV.DMI", false, 5},
        {"SuperMicroDualXeonRaw", F::Raw, "real-smbios/raw/SuperMicro-Dual-Xeon.DMI", false, 149},
        {"SuperMicroQuadOpteronRaw", F::Raw, "real-smbios/raw/SuperMicro-Quad-Opteron.DMI", false, 96},
        {"AmdDesktopRsmb", F::Rsmb, "real-smbios/rsmb/AMD-desktop-3.2.rsmb", false, 20, false},
        {"LenovoI5Sysfs", F::Sysfs, "real-smbios/sysfs/lenovo-i5-3320m-2.7", false, 69},
        {"SuperMicroSysfsSmbios3", F::Sysfs, "real-smbios/sysfs/supermicro-3.0-short", true, 0},
        {"SeaBiosPc", F::Image, "qemu/seabios-pc.img", false, 9},
        {"SeaBiosOemStrings", F::Image, "qemu/seabios-pc-oem-strings.img", false, 10},
        {"SeaBiosSmbios3", F::Image, "qemu/seabios-pc-smbios3.img", true, 0},
    };
    return tables;
}

std::vector<uint8_t> memoryImageOf(const RealTable &table) {
    const std::string path = testDataPath(table.path);
    switch (table.format) {
    case RealTable::Format::DumpBin:
        return tarnwick_tools::buildMemoryImage(tarnwick_tools::readDumpBin(tarnwick_tools::readBinaryFile(path)));
    case RealTable::Format::Raw:
        return tarnwick_tools::buildMemoryImage(tarnwick_tools::fromRawTable(tarnwick_tools::readBinaryFile(path)));
    case RealTable::Format::Rsmb:
        return tarnwick_tools::buildMemoryImage(tarnwick_tools::fromRsmb(tarnwick_tools::readBinaryFile(path)));
    case RealTable::Format::Sysfs: {
        tarnwick_tools::SmbiosSource source;
        source.entryPoint = tarnwick_tools::readBinaryFile(path + "/smbios_entry_point");
        source.table = tarnwick_tools::readBinaryFile(path + "/DMI");
        return tarnwick_tools::buildMemoryImage(source);
    }
    case RealTable::Format::Image:
        break;
    }
    return tarnwick_tools::readBinaryFile(path);
}

std::string dumpPathOf(const RealTable &table) {
    return table.format == RealTable::Format::DumpBin ? testDataPath(table.path) : std::string();
}

void PrintTo(const RealTable &table, std::ostream *out) {
    *out << table.name;
}

}  // namespace tarnwick_test
