// make-memory-image: turns an SMBIOS table (a dmidecode binary dump, a raw
// sysfs table or a Windows RSMB buffer) into a 1 MiB image of physical
// memory that this library and `dmidecode --no-sysfs -d` both read.
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "image/SmbiosImage.h"

namespace {

const char *const kUsage = "Usage: make-memory-image [OPTIONS] INPUT OUTPUT\n"
                           "Writes a 1 MiB memory image holding the SMBIOS table of INPUT: the entry\n"
                           "point in the F segment, the table where the entry point says, checksums\n"
                           "fixed, zero elsewhere.\n"
                           "\n"
                           "Options:\n"
                           "  --format dump|raw|rsmb  what INPUT is: a `dmidecode --dump-bin` file, a raw\n"
                           "                          table (/sys/firmware/dmi/tables/DMI) or the buffer of\n"
                           "                          the Windows 'RSMB' query (default: dump when INPUT\n"
                           "                          starts with _SM_ or _SM3_, raw otherwise)\n"
                           "  --entry-point ADDR      address of the entry point (default 0xF0000)\n"
                           "  --table-address ADDR    address of the table (default 0x10000)\n"
                           "  --version MAJOR.MINOR   SMBIOS version of a raw table's entry point (default 2.8)\n"
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
    tarnwick_tools::ImageLayout layout;
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
            if (!parseAddress(argv[++i], layout.entryPointAddress)) {
                return usageError(std::string("bad address '") + argv[i] + "'");
            }
        } else if (arg == "--table-address" && hasValue) {
            if (!parseAddress(argv[++i], layout.tableAddress)) {
                return usageError(std::string("bad address '") + argv[i] + "'");
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

    try {
        const std::vector<uint8_t> input = tarnwick_tools::readBinaryFile(files[0]);
        if (format.empty()) {
            const bool hasAnchor =
                input.size() >= 4 && (std::memcmp(input.data(), "_SM_", 4) == 0 ||
                                      (input.size() >= 5 && std::memcmp(input.data(), "_SM3_", 5) == 0));
            format = hasAnchor ? "dump" : "raw";
        }
        tarnwick_tools::SmbiosSource source;
        if (format == "dump") {
            source = tarnwick_tools::readDumpBin(input);
        } else if (format == "rsmb") {
            source = tarnwick_tools::fromRsmb(input);
        } else {
            source = tarnwick_tools::fromRawTable(input, static_cast<uint8_t>(major), static_cast<uint8_t>(minor));
        }
        tarnwick_tools::writeBinaryFile(files[1], tarnwick_tools::buildMemoryImage(source, layout));
        std::cout << files[1] << ": " << (source.isSmbios3() ? "SMBIOS 3" : "SMBIOS 2") << " table of "
                  << source.table.size() << " bytes, entry point at 0x" << std::hex << std::uppercase
                  << layout.entryPointAddress << ", table at 0x" << layout.tableAddress << '\n';
    } catch (const std::exception &error) {
        std::cerr << "make-memory-image: " << files[0] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
