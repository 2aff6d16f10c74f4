// Building the benchmarks' memory images from the test data.
#include "BenchImages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "smbios/format/SmbiosFormat.h"

namespace tarnwick_bench {
namespace {

namespace fmt = smbios::format;

constexpr uint32_t kBiosArea = 0xE0000;
constexpr uint32_t kBiosAreaEnd = 0x100000;

std::string dataPath(const std::string &relative) {
    return std::string(TARNWICK_TEST_DATA_DIR) + "/" + relative;
}

uint64_t readLe(const std::vector<uint8_t> &bytes, std::size_t at, std::size_t width) {
    if (at + width > bytes.size()) {
        throw std::runtime_error("an entry point field lies past the end of the image");
    }
    return fmt::readLe(&bytes[at], width);
}

// The first "_SM_" entry point of a captured image, and its table.
smbios::SmbiosTableBytes sourceOfImage(const std::vector<uint8_t> &image, uint32_t &entryPointAddress) {
    for (uint32_t at = kBiosArea; at + 0x20 <= kBiosAreaEnd && at + 0x20 <= image.size(); at += 16) {
        if (std::memcmp(&image[at], "_SM_", 4) == 0) {
            entryPointAddress = at;
            smbios::SmbiosTableBytes source;
            source.entryPoint.assign(image.begin() + at, image.begin() + at + fmt::kEntryPoint2Size);
            const auto tableAddress = static_cast<std::size_t>(readLe(image, at + 0x18, 4));
            const auto tableLength = static_cast<std::size_t>(readLe(image, at + 0x16, 2));
            source.table.assign(image.begin() + static_cast<std::ptrdiff_t>(tableAddress),
                                image.begin() + static_cast<std::ptrdiff_t>(tableAddress + tableLength));
            return source;
        }
    }
    throw std::runtime_error("no _SM_ entry point in the captured image");
}

// The temporary directory of this run, removed with its images at exit.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tarnwick-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary directory for the benchmark images");
        }
        path = pattern;
    }
    ~ScratchDirectory() {
        for (const std::string &file : files) {
            (void)std::remove(file.c_str());
        }
        (void)::rmdir(path.c_str());
    }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;

    std::string add(const std::string &name, const std::vector<uint8_t> &bytes) {
        const std::string file = path + "/" + name + ".img";
        fmt::writeFileBytes(file, bytes);
        files.push_back(file);
        return file;
    }

    std::string path;
    std::vector<std::string> files;
};

struct ImageSet {
    ScratchDirectory scratch;
    std::map<std::string, BenchImage> images;
    std::map<std::string, std::vector<uint8_t>> contents;

    void add(const std::string &name, std::vector<uint8_t> bytes, uint32_t entryPointAddress) {
        BenchImage image;
        image.name = name;
        image.entryPointAddress = entryPointAddress;
        image.smbios3 = std::memcmp(&bytes.at(entryPointAddress), "_SM3_", 5) == 0;
        if (image.smbios3) {
            image.tableAddress = static_cast<uint32_t>(readLe(bytes, entryPointAddress + 0x10, 8));
            image.tableLength = static_cast<std::size_t>(readLe(bytes, entryPointAddress + 0x0C, 4));
        } else {
            image.tableAddress = static_cast<uint32_t>(readLe(bytes, entryPointAddress + 0x18, 4));
            image.tableLength = static_cast<std::size_t>(readLe(bytes, entryPointAddress + 0x16, 2));
        }
        image.structures = fmt::surveyTable(bytes.data() + image.tableAddress, image.tableLength).structures;
        image.path = scratch.add(name, bytes);
        images[name] = image;
        contents[name] = std::move(bytes);
    }
};

ImageSet &imageSet() {
    static ImageSet made;
    if (made.images.empty()) {
        uint32_t capturedAt = 0;
        std::vector<uint8_t> captured = fmt::readFileBytes(dataPath("qemu/seabios-pc.img"));
        const smbios::SmbiosTableBytes seabios = sourceOfImage(captured, capturedAt);
        for (const uint32_t address : {0xF0000u, 0xFFFD0u}) {
            fmt::ImageLayout layout;
            layout.entryPointAddress = address;
            char name[8];
            std::snprintf(name, sizeof name, "%05X", address);
            made.add(name, fmt::buildMemoryImage(seabios, layout), address);
        }
        made.add("SeaBIOS", std::move(captured), capturedAt);

        const smbios::SmbiosTableBytes vmware =
            fmt::parseDumpBin(fmt::readFileBytes(dataPath("real-smbios/dump-bin/VMWare.bin")));
        const uint32_t entryPoint = fmt::ImageLayout().entryPointAddress;
        made.add("VMWare", fmt::buildMemoryImage(vmware), entryPoint);
        made.add("Full64K", fmt::buildMemoryImage(fmt::sourceWithEntryPoint(makeFullTable(), 2, 8)), entryPoint);
        // SMBIOS 3 tables of real structures, past what a 2.x entry point can
        // describe: about 87 KB, and about 1 MiB (above 1 MiB in the image).
        made.add("VMWare87K",
                 fmt::buildMemoryImage(fmt::sourceWithEntryPoint(fmt::replicateTable(vmware.table, 3), 2, 7)),
                 entryPoint);
        made.add("Table1M",
                 fmt::buildMemoryImage(fmt::sourceWithEntryPoint(fmt::replicateTable(vmware.table, 36), 2, 7)),
                 entryPoint);

        uint32_t oemAt = 0;
        std::vector<uint8_t> oem = fmt::readFileBytes(dataPath("qemu/seabios-pc-oem-strings.img"));
        (void)sourceOfImage(oem, oemAt);
        made.add("OemStrings", std::move(oem), oemAt);
    }
    return made;
}

}  // namespace

std::vector<uint8_t> makeFullTable() {
    std::vector<uint8_t> table;
    uint16_t handle = 0;
    auto addStructure = [&](uint8_t type, uint8_t length, const std::string &strings) {
        const std::size_t at = table.size();
        table.resize(at + length);
        table[at] = type;
        table[at + 1] = length;
        table[at + 2] = static_cast<uint8_t>(handle);
        table[at + 3] = static_cast<uint8_t>(handle >> 8);
        for (std::size_t i = 4; i < length; ++i) {
            table[at + i] = static_cast<uint8_t>(i < 6 ? i - 3 : handle + i);  // string numbers 1 and 2 first
        }
        table.insert(table.end(), strings.begin(), strings.end());
        table.insert(table.end(), {0, 0});
        ++handle;
    };
    // An OEM-type structure of 12 formatted bytes and two strings: 27 bytes.
    const std::string strings = std::string("Vendor ", 7) + '\0' + std::string("1.0.7", 5);
    constexpr std::size_t kTarget = 65535;
    constexpr std::size_t kEnd = 6;  // the end-of-table structure: header and double zero
    while (table.size() + 12 + strings.size() + 2 + 12 + 2 + 2 + kEnd <= kTarget) {
        addStructure(0x80, 12, strings);
    }
    // One last structure whose strings take up what is left exactly.
    const std::size_t left = kTarget - table.size() - kEnd - 12 - 2;
    std::string filler(left, 'x');
    filler[left / 2] = '\0';
    addStructure(0x81, 12, filler);
    addStructure(127, 4, std::string());
    return table;
}

const BenchImage &benchImage(const std::string &name) {
    return imageSet().images.at(name);
}

const std::vector<std::string> &benchImageNames() {
    static const std::vector<std::string> names = {"F0000",   "FFFD0",     "SeaBIOS", "VMWare",
                                                   "Full64K", "VMWare87K", "Table1M", "OemStrings"};
    return names;
}

bool writeBenchImages(const std::string &directory) {
    try {
        for (const std::string &name : benchImageNames()) {
            fmt::writeFileBytes(directory + "/" + name + ".img", imageSet().contents.at(name));
        }
        return true;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tarnwick-bench: cannot write the images to %s: %s\n", directory.c_str(), error.what());
        return false;
    }
}

}  // namespace tarnwick_bench
