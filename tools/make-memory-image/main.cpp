// make-memory-image: turns an SMBIOS table (a dmidecode binary dump, a raw
// sysfs table or a Windows RSMB buffer) into an image of physical memory
// that this library and `dmidecode --no-sysfs -d` both read.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "smbios/format/SmbiosFormat.h"

namespace {

const char *const kUsage = "Usage: make-memory-image [OPTIONS] INPUT OUTPUT\n"
                           "Writes a memory image holding the SMBIOS table of INPUT: the entry point in\n"
                           "the F segment, the table where the entry point says, checksums fixed, zero\n"
                           "elsewhere. The image is 1 MiB, or larger when the table only fits above\n"
                           "1 MiB. A table longer than 65535 bytes or of version 3 and above gets a\n"
                           "64-bit SMBIOS 3 entry point (_SM3_), others a 2.x one (_SM_); a dump keeps\n"
                           "the entry point it has.\n"
                           "\n"
                           "Options:\n"
                           "  --format dump|raw|rsmb  what INPUT is: a `dmidecode --dump-bin` file, a raw\n"
                           "                          table (/sys/firmware/dmi/tables/DMI) or the buffer of\n"
                           "                          the Windows 'RSMB' query (default: dump when INPUT\n"
                           "                          starts with _SM_ or _SM3_, raw otherwise)\n"
                           "  --entry-point ADDR      address of the entry point (default 0xF0000)\n"
                           "  --table-address ADDR    address of the table (default 0x10000, or 0x100000\n"
                           "                          for a table that does not fit below the entry point)\n"
                           "  --version MAJOR.MINOR   SMBIOS version of a raw table's entry point (default 2.8)\n"
                           "  --copies N              the structures of INPUT N times over (handles\n"
                           "                          renumbered, one end-of-table structure): a large\n"
                           "                          table from real structures (default 1)\n"
                           "  --help                  show this text\n"
                           "\n"
                           "Exit status: 0 on success, 1 when INPUT cannot be converted, 2 on a usage error.\n";

int usageError(const std::string &message) {
    std::cerr << "make-memory-image: " << message << "\nTry 'make-memory-image --help'.\n";
    return 2;
}

bool parseAddress(const std::string &text, uint32_t &value) {
    char *end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || parsed > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

// MAJOR.MINOR, each 0 to 255.
bool parseVersion(const std::string &text, unsigned &major, unsigned &minor) {
    const std::size_t dot = text.find('.');
    uint32_t parsedMajor = 0;
    uint32_t parsedMinor = 0;
    if (dot == std::string::npos || !parseAddress(text.substr(0, dot), parsedMajor) ||
        !parseAddress(text.substr(dot + 1), parsedMinor) || parsedMajor > 255 || parsedMinor > 255) {
        return false;
    }
    major = parsedMajor;
    minor = parsedMinor;
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    std::string format;
    uint32_t entryPointAddress = 0;
    uint32_t tableAddress = 0;
    uint32_t copies = 1;
    unsigned major = 2;
    unsigned minor = 8;
    std::vector<std::string> files;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--format" && hasValue) {
            format = argv[++i];
            if (format != "dump" && format != "raw" && format != "rsmb") {
                return usageError("unknown format '" + format + "'");
            }
        } else if (arg == "--entry-point" && hasValue) {
            if (!parseAddress(argv[++i], entryPointAddress)) {
                return usageError(std::string("bad address '") + argv[i] + "'");
            }
        } else if (arg == "--table-address" && hasValue) {
            if (!parseAddress(argv[++i], tableAddress)) {
                return usageError(std::string("bad address '") + argv[i] + "'");
            }
        } else if (arg == "--copies" && hasValue) {
            if (!parseAddress(argv[++i], copies) || copies == 0 || copies > 100000) {
                return usageError(std::string("bad number of copies '") + argv[i] + "'");
            }
        } else if (arg == "--version" && hasValue) {
            if (!parseVersion(argv[++i], major, minor)) {
                return usageError(std::string("bad version '") + argv[i] + "'");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option or missing value: " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        return usageError("expected INPUT and OUTPUT");
    }

    namespace fmt = smbios::format;
    try {
        const fmt::Bytes input = fmt::readFileBytes(files[0]);
        if (format.empty()) {
            const smbios::EntryPointKind kind = fmt::kindOf(input);
            format =
                kind == smbios::EntryPointKind::Smbios2 || kind == smbios::EntryPointKind::Smbios3 ? "dump" : "raw";
        }
        smbios::SmbiosTableBytes source;
        if (format == "dump") {
            source = fmt::parseDumpBin(input);
        } else if (format == "rsmb") {
            source = fmt::parseRawSmbiosData(input);
        } else {
            source = fmt::sourceWithEntryPoint(input, static_cast<uint8_t>(major), static_cast<uint8_t>(minor));
        }
        if (copies > 1) {
            const std::pair<uint8_t, uint8_t> version = fmt::versionOf(source);
            source =
                fmt::sourceWithEntryPoint(fmt::replicateTable(source.table, copies), version.first, version.second);
        }
        source = fmt::withSmbiosEntryPoint(source);
        fmt::ImageLayout layout = fmt::layoutFor(source.table.size());
        if (entryPointAddress != 0) {
            layout.entryPointAddress = entryPointAddress;
        }
        if (tableAddress != 0) {
            layout.tableAddress = tableAddress;
            layout.imageSize =
                std::max<std::size_t>(0x100000, (tableAddress + source.table.size() + 0xFFF) & ~0xFFFull);
        }
        fmt::writeFileBytes(files[1], fmt::buildMemoryImage(source, layout));
        const bool smbios3 = fmt::kindOf(source.entryPoint) == smbios::EntryPointKind::Smbios3;
        std::cout << files[1] << ": " << (smbios3 ? "SMBIOS 3" : "SMBIOS 2") << " table of " << source.table.size()
                  << " bytes, entry point at 0x" << std::hex << std::uppercase << layout.entryPointAddress
                  << ", table at 0x" << layout.tableAddress << '\n';
    } catch (const std::exception &error) {
        std::cerr << "make-memory-image: " << files[0] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
