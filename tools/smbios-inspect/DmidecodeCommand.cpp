// smbios-dmidecode, the drop-in for dmidecode 3.7 (its command line, rules,
// output and exit statuses over the library and smbios-inspect's commands),
// and the heading dmidecode prints before the structures.
#include "smbios-inspect/DmidecodeCommand.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "decode/DecodeSupport.h"
#include "decode/Summary.h"
#include "smbios-inspect/CommandLine.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios_inspect {
namespace {

namespace fmt = smbios::format;
using smbios::EntryPointKind;
using smbios::decode::Dialect;

// The newest SMBIOS version each release knows: the heading warns of a
// table that claims a newer one.
struct NewestKnown {
    Dialect dialect;
    smbios::decode::Version version;
};
constexpr NewestKnown kNewestKnown[] = {
    {Dialect::Dmidecode34, {3, 5, 0}},
    {Dialect::Dmidecode36, {3, 7, 0}},
    {Dialect::Dmidecode37, {3, 9, 0}},
};

bool isNewer(const smbios::decode::Version &version, const smbios::decode::Version &than) {
    if (version.major != than.major) {
        return version.major > than.major;
    }
    if (version.minor != than.minor) {
        return version.minor > than.minor;
    }
    return version.docrev > than.docrev;
}

template <class... Arguments>
std::string format(const char *pattern, Arguments... arguments) {
    char text[256];
    const int length = std::snprintf(text, sizeof text, pattern, arguments...);
    return length < 0 ? std::string() : std::string(text, std::min<std::size_t>(length, sizeof text - 1));
}

bool holdsEntryPoint2(const smbios::SourceEntryPoint &entryPoint) {
    return entryPoint.kind == EntryPointKind::Smbios2 && entryPoint.bytes.size() >= fmt::kEntryPoint2Size;
}

bool holdsEntryPoint3(const smbios::SourceEntryPoint &entryPoint) {
    return entryPoint.kind == EntryPointKind::Smbios3 && entryPoint.bytes.size() >= fmt::kEntryPoint3Size;
}

// The line that names the source; for the running machine, the source the
// table came from (known once it is read: `entryPoint`).
std::string sourceLine(HeadingSource source, const std::string &path, const smbios::SourceEntryPoint *entryPoint) {
    switch (source) {
    case HeadingSource::DumpFile:
        return "Reading SMBIOS/DMI data from file " + path + ".\n";
    case HeadingSource::MemoryFile:
        return "Scanning " + path + " for entry point.\n";
    case HeadingSource::Machine:
        if (entryPoint == nullptr || (!holdsEntryPoint2(*entryPoint) && !holdsEntryPoint3(*entryPoint))) {
            return "";
        }
        return entryPoint->address != 0 ? "Scanning /dev/mem for entry point.\n" : "Getting SMBIOS data from sysfs.\n";
    case HeadingSource::None:
        break;
    }
    return "";
}

}  // namespace

HeadingSource headingSourceOf(const SourceOptions &source, std::string &path) {
    if (!source.dump.empty()) {
        path = source.dump;
        return HeadingSource::DumpFile;
    }
    if (!source.image.empty()) {
        path = source.image;
        return HeadingSource::MemoryFile;
    }
    path.clear();
    return source.raw.empty() && source.rsmb.empty() ? HeadingSource::Machine : HeadingSource::None;
}

std::string dmidecodeHeading(const smbios::ISmbiosTable &table, const HeadingOptions &options) {
    const smbios::SourceEntryPoint entryPoint = table.getSourceEntryPoint();
    std::string text = options.firstLine + '\n' + sourceLine(options.source, options.path, &entryPoint);
    const bool smbios2 = holdsEntryPoint2(entryPoint);
    const bool smbios3 = holdsEntryPoint3(entryPoint);
    // A bare table claims no version; the one decoding assumes is not
    // the firmware's to print.
    if (!smbios2 && !smbios3 && entryPoint.kind != EntryPointKind::RawSmbiosData) {
        return text + '\n';
    }
    smbios::decode::Version version = smbios::decode::versionOf(table);
    if (smbios2 && !options.decodeOptions.quirks) {  // as stored, without the fix of impossible versions
        version = {entryPoint.bytes[6], entryPoint.bytes[7], 0};
    }
    text += smbios3 ? format("SMBIOS %u.%u.%u present.\n", version.major, version.minor, version.docrev)
                    : format("SMBIOS %u.%u present.\n", version.major, version.minor);
    for (const NewestKnown &newest : kNewestKnown) {
        if (newest.dialect == options.decodeOptions.dialect && isNewer(version, newest.version)) {
            text += format("# SMBIOS implementations newer than version %u.%u.%u are not\n"
                           "# fully supported by this version of dmidecode.\n",
                           newest.version.major, newest.version.minor, newest.version.docrev);
        }
    }
    if (!options.byType) {
        if (smbios2) {
            text += format("%u structures occupying %u bytes.\n",
                           static_cast<unsigned>(fmt::readLe(&entryPoint.bytes[0x1C], 2)),
                           static_cast<unsigned>(fmt::readLe(&entryPoint.bytes[0x16], 2)));
        }
        // Only where the table lies in physical memory: a dump's address
        // is the place in the file.
        if ((smbios2 || smbios3) &&
            (options.source == HeadingSource::MemoryFile || options.source == HeadingSource::Machine)) {
            const uint64_t address =
                smbios3 ? fmt::readLe(&entryPoint.bytes[0x10], 8) : fmt::readLe(&entryPoint.bytes[0x18], 4);
            text += format("Table at 0x%08llX.\n", static_cast<unsigned long long>(address));
        }
    }
    return text + '\n';
}

std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
        text.replace(at, 1, "; ");
    }
    return text;
}

namespace {

const char kFirstLine[] = "# smbios-dmidecode 0.1.0 (Tarnwick)";
// The release whose output the drop-in gives, as `dmidecode -V` says it.
const char kRelease[] = "3.7\n";

const char kHelp[] = "Usage: smbios-dmidecode [OPTIONS]\n"
                     "Options are:\n"
                     " -d, --dev-mem FILE     Read memory from device FILE (default: this machine)\n"
                     " -h, --help             Display this help text and exit\n"
                     " -q, --quiet            Less verbose output\n"
                     "     --no-quirks        Decode everything without quirks\n"
                     " -s, --string KEYWORD   Only display the value of the given DMI string\n"
                     "     --list-strings     List available string keywords and exit\n"
                     " -t, --type TYPE        Only display the entries of given type\n"
                     "     --list-types       List available type keywords and exit\n"
                     " -H, --handle HANDLE    Only display the entry of given handle\n"
                     " -u, --dump             Do not decode the entries\n"
                     "     --dump-bin FILE    Dump the DMI data to a binary file\n"
                     "     --from-dump FILE   Read the DMI data from a binary file\n"
                     "     --no-sysfs         Do not attempt to read DMI data from sysfs files\n"
                     "     --oem-string N     Only display the value of the given OEM string\n"
                     " -V, --version          Display the version and exit\n";

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

// The command line, as dmidecode 3.7 takes it.
struct DropInLine {
    std::string devMem;
    std::string fromDump;
    std::string dumpBin;
    std::string keyword;    // -s, in lower case
    std::string oemString;  // --oem-string N or count
    int strings = 0;        // how many of -s and --oem-string were given
    bool quiet = false;
    bool dump = false;
    bool noSysfs = false;
    bool quirks = true;
    bool help = false;
    bool version = false;
    bool typeGiven = false;
    std::set<int> types;
    std::optional<int> handle;
};

// Why the command line is refused: the reason goes to stderr and the
// program exits 2; a list asked for is printed and the program exits 0.
struct Stop {
    int status;
    std::string text;
};

std::string lowerCase(std::string text) {
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string listOf(const std::vector<std::string> &names) {
    std::string text;
    for (const std::string &name : names) {
        text += name + '\n';
    }
    return text;
}

// -t: a type keyword, or numbers separated by commas.
void takeTypes(DropInLine &line, const std::string &value) {
    line.typeGiven = true;
    if (const std::vector<int> *types = typesOfKeyword(value)) {
        line.types.insert(types->begin(), types->end());
        return;
    }
    const char *at = value.c_str();
    while (*at != '\0') {
        char *end = nullptr;
        errno = 0;
        const unsigned long type = std::strtoul(at, &end, 0);
        if (end == at || (*end != ',' && *end != '\0')) {
            throw Stop{kUsageError, "invalid type keyword '" + std::string(at) + "' (--list-types lists them)"};
        }
        if (type > 0xFF || errno == ERANGE) {
            throw Stop{kUsageError, "invalid type number " + std::to_string(type) + " (types are 0 to 255)"};
        }
        line.types.insert(static_cast<int>(type));
        at = end;
        while (*at == ',') {
            ++at;
        }
    }
}

void takeString(DropInLine &line, int option, const std::string &value) {
    if (line.strings++ > 0) {
        throw Stop{kUsageError, "only one string can be asked for: one --string or --oem-string"};
    }
    if (option == 's') {
        line.keyword = lowerCase(value);
        const std::vector<std::string> &known = smbios::decode::stringKeywords();
        if (std::find(known.begin(), known.end(), line.keyword) == known.end()) {
            throw Stop{kUsageError, "invalid string keyword '" + value + "' (--list-strings lists them)"};
        }
        return;
    }
    const bool digits =
        !value.empty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    const unsigned long number = digits && value.size() <= 3 ? std::stoul(value) : 0;
    if (value != "count" && (number == 0 || number > 0xFF)) {
        throw Stop{kUsageError, "invalid OEM string number '" + value + "' (1 to 255, or count)"};
    }
    line.oemString = value;
}

void takeHandle(DropInLine &line, const std::string &value) {
    char *end = nullptr;
    errno = 0;
    const unsigned long handle = std::strtoul(value.c_str(), &end, 0);
    if (value.empty() || *end != '\0' || handle > 0xFFFF || errno == ERANGE) {
        throw Stop{kUsageError, "invalid handle '" + value + "' (a number from 0 to 0xFFFF)"};
    }
    line.handle = static_cast<int>(handle);
}

enum LongOnly { kNoQuirks = 256, kListStrings, kListTypes, kDumpBin, kFromDump, kNoSysfs, kOemString };

// getopt_long, as dmidecode parses: options may be abbreviated and follow
// the words that are no options, which are ignored; a list asked for is
// printed as soon as it is met.
DropInLine parseDropIn(int argc, char **argv) {
    static const option kOptions[] = {
        {"dev-mem", required_argument, nullptr, 'd'},
        {"help", no_argument, nullptr, 'h'},
        {"quiet", no_argument, nullptr, 'q'},
        {"no-quirks", no_argument, nullptr, kNoQuirks},
        {"string", required_argument, nullptr, 's'},
        {"list-strings", no_argument, nullptr, kListStrings},
        {"type", required_argument, nullptr, 't'},
        {"list-types", no_argument, nullptr, kListTypes},
        {"handle", required_argument, nullptr, 'H'},
        {"dump", no_argument, nullptr, 'u'},
        {"dump-bin", required_argument, nullptr, kDumpBin},
        {"from-dump", required_argument, nullptr, kFromDump},
        {"no-sysfs", no_argument, nullptr, kNoSysfs},
        {"oem-string", required_argument, nullptr, kOemString},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    DropInLine line;
    opterr = 0;
    optind = 1;
    for (int option = 0; (option = getopt_long(argc, argv, ":d:hqs:t:uH:V", kOptions, nullptr)) != -1;) {
        const std::string value = optarg != nullptr ? optarg : "";
        switch (option) {
        case 'd':
            line.devMem = value;
            break;
        case 'h':
            line.help = true;
            break;
        case 'q':
            line.quiet = true;
            break;
        case kNoQuirks:
            line.quirks = false;
            break;
        case 's':
        case kOemString:
            takeString(line, option, value);
            break;
        case kListStrings:
            throw Stop{0, listOf(smbios::decode::stringKeywords())};
        case 't':
            takeTypes(line, value);
            break;
        case kListTypes:
            throw Stop{0, listOf(typeKeywords())};
        case 'H':
            takeHandle(line, value);
            break;
        case 'u':
            line.dump = true;
            break;
        case kDumpBin:
            line.dumpBin = value;
            break;
        case kFromDump:
            line.fromDump = value;
            break;
        case kNoSysfs:
            line.noSysfs = true;
            break;
        case 'V':
            line.version = true;
            break;
        case ':':
            throw Stop{kUsageError, std::string("option ") + argv[optind - 1] + " needs a value"};
        default:
            throw Stop{kUsageError, optopt != 0 && optopt < 256 ? format("unknown option -%c", optopt)
                                                                : std::string("unknown option ") + argv[optind - 1]};
        }
    }
    if ((line.strings > 0) + line.typeGiven + line.handle.has_value() + !line.dumpBin.empty() > 1) {
        throw Stop{kUsageError, "--string, --type, --handle and --dump-bin exclude one another"};
    }
    if (!line.fromDump.empty() && !line.dumpBin.empty()) {
        throw Stop{kUsageError, "--from-dump excludes --dump-bin"};
    }
    if (line.help) {
        throw Stop{0, kHelp};
    }
    if (line.version) {
        throw Stop{0, kRelease};
    }
    return line;
}

// A structure as -u shows it: its bytes, and each string's bytes with
// the string beneath them. The formatted area ends where the decoder took
// it to (`decoded`), as dmidecode corrects a length byte there too.
void appendDumpText(std::string &out, const smbios::ISmbiosItem &item, const smbios::decode::Structure &decoded) {
    smbios::decode::StructureView view(item, {});
    view.readStringsFrom(decoded.formattedLength);
    out += format("Handle 0x%04X, DMI type %u, %u bytes\n\tHeader and Data:\n", unsigned{view.handle()},
                  unsigned{view.type()}, unsigned{view.length()});
    for (const std::string &row : smbios::decode::hexRows(view.data(), view.formattedLength())) {
        out += "\t\t" + row + '\n';
    }
    if (view.stringCount() > 0) {
        out += "\tStrings:\n";
    }
    for (const std::string &stored : view.allStrings()) {
        const std::string bytes = stored + '\0';
        for (const std::string &row :
             smbios::decode::hexRows(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size())) {
            out += "\t\t" + row + '\n';
        }
        out += "\t\t" + smbios::decode::shownString(stored) + '\n';
    }
    out += '\n';
}

// Whether the file was read and held no table, which dmidecode says on
// stdout and exits 0 for, rather than could not be read at all.
bool isReadableFile(const std::string &path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) && std::ifstream(path, std::ios::binary).good();
}

// The "SMBIOS version fixup" note dmidecode gives on stderr for a version
// that never existed, read as the one meant.
void noteVersionFixup(const smbios::ISmbiosTable &table, Output &errors) {
    const smbios::SourceEntryPoint entryPoint = table.getSourceEntryPoint();
    if (!holdsEntryPoint2(entryPoint)) {
        return;
    }
    const smbios::decode::Version meant = smbios::decode::versionOf(table);
    if (meant.major != entryPoint.bytes[6] || meant.minor != entryPoint.bytes[7]) {
        errors << format("SMBIOS version fixup (%u.%u -> %u.%u).\n", entryPoint.bytes[6], entryPoint.bytes[7],
                         meant.major, meant.minor);
    }
}

int writeDumpBin(TableSource &source, const std::string &path, bool quiet, Output &out, Output &errors) {
    smbios::SmbiosTableBytes written;
    std::error_code ignored;
    // As dmidecode: a dump never replaces a file.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ignored))) {
        errors << "smbios-dmidecode: " << path << ": the file exists; the dump is not written over it\n";
        return 0;
    }
    try {
        Output said;
        exportDumpCommand(source, path, said);
        written = fmt::readDumpFile(path);
    } catch (const std::exception &error) {
        // dmidecode too exits 0 when the dump cannot be written.
        errors << "smbios-dmidecode: " << oneLine(error.what()) << '\n';
        return 0;
    }
    if (!quiet) {
        const std::size_t entryPoint =
            fmt::kindOf(written.entryPoint) == EntryPointKind::Smbios3 ? fmt::kEntryPoint3Size : fmt::kEntryPoint2Size;
        out << "# Writing " << entryPoint << " bytes to " << path << ".\n";
        out << "# Writing " << written.table.size() << " bytes to " << path << ".\n";
    }
    return 0;
}

void decodeStructures(smbios::ISmbiosTable &table, const DropInLine &line, Output &out, Output &errors) {
    smbios::decode::DecodeRun run;
    smbios::decode::DecodeOptions options =
        smbios::decode::decodeOptionsFor(table, smbios::decode::Dialect::Dmidecode37, line.quirks);
    options.run = &run;
    const smbios::decode::Version version = smbios::decode::versionOf(table);
    // dmidecode shows the structures as the firmware delivered them, without
    // the library's workarounds' corrections.
    table.setInitializing(true);
    table.clearItemCache();
    // A 2.x entry point says how many structures the table holds and how
    // long it is: dmidecode reads no more structures than it says, and notes
    // on stderr where the table disagrees.
    const smbios::SourceEntryPoint entryPoint = table.getSourceEntryPoint();
    const bool counted = holdsEntryPoint2(entryPoint);
    const std::size_t announced = counted ? fmt::readLe(&entryPoint.bytes[0x1C], 2) : 0;
    const std::size_t announcedLength = counted ? fmt::readLe(&entryPoint.bytes[0x16], 2) : 0;
    std::size_t walked = 0;
    std::size_t occupied = 0;
    std::string text;
    std::size_t decodedSinceClear = 0;
    constexpr std::size_t kStructuresKept = 64;
    for (auto it = table.begin(); it != table.end() && (!counted || walked < announced); ++it) {
        const smbios::ISmbiosItem &item = *it;
        ++walked;
        occupied += item.getBufferSize();
        if ((line.typeGiven && line.types.count(item.getType()) == 0) ||
            (line.handle && item.getHandle() != *line.handle)) {
            continue;
        }
        text.clear();
        const smbios::decode::Structure structure = smbios::decode::decodeStructure(item, version, options);
        for (const std::string &note : structure.notes) {
            errors << note << '\n';
        }
        if (line.dump) {
            // Quiet, the bytes of every structure but the inactive and the
            // end-of-table ones.
            if (!line.quiet || (item.getType() != 126 && item.getType() != fmt::kEndOfTableType)) {
                appendDumpText(text, item, structure);
            }
        } else if (line.quiet) {
            smbios::decode::appendQuietText(text, structure);
        } else {
            smbios::decode::appendText(text, structure);
        }
        out << text;
        // As decode: the decoded structures are not needed again.
        if (++decodedSinceClear == kStructuresKept) {
            table.clearItemCache();
            decodedSinceClear = 0;
        }
    }
    if (counted && walked < announced) {
        errors << "Wrong DMI structures count: " << announced << " announced, only " << walked << " decoded.\n";
    } else if (counted && occupied != announcedLength) {
        errors << "Wrong DMI structures length: " << announcedLength << " bytes announced, structures occupy "
               << occupied << " bytes.\n";
    }
}

int runDropIn(const DropInLine &line, Output &out, Output &errors) {
    SourceOptions sourceOptions;
    sourceOptions.lenient = true;
    HeadingOptions heading;
    heading.firstLine = kFirstLine;
    heading.decodeOptions.quirks = line.quirks;
    heading.byType = line.typeGiven;
    // dmidecode's -d /dev/mem is this machine's physical memory, which the
    // library reads itself; any other file is a memory image.
    const bool physicalMemory = line.fromDump.empty() && (line.noSysfs || line.devMem == "/dev/mem");
    if (!line.fromDump.empty()) {
        sourceOptions.dump = line.fromDump;
    } else if (!line.devMem.empty() && line.devMem != "/dev/mem") {
        sourceOptions.image = line.devMem;
    }
    heading.source = headingSourceOf(sourceOptions, heading.path);
    // -s and --oem-string print the answer alone.
    const bool quiet = line.quiet || line.strings > 0;

    std::unique_ptr<TableSource> source;
    smbios::ISmbiosTable *table = nullptr;
    try {
        source = std::make_unique<TableSource>(sourceOptions);
        if (physicalMemory) {
            smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
        }
        table = &source->table();
    } catch (const std::exception &error) {
        if (!quiet) {
            out << heading.firstLine << '\n' << sourceLine(heading.source, heading.path, nullptr);
        }
        if (!heading.path.empty() && isReadableFile(heading.path)) {
            if (!quiet) {
                out << "# No SMBIOS nor DMI entry point found, sorry.\n";
            }
            return 0;
        }
        errors << "smbios-dmidecode: " << oneLine(error.what()) << '\n';
        return kFailure;
    }
    if (line.quirks) {
        noteVersionFixup(*table, errors);
    }
    if (!quiet) {
        out << dmidecodeHeading(*table, heading);
    }
    if (!line.dumpBin.empty()) {
        return writeDumpBin(*source, line.dumpBin, quiet, out, errors);
    }
    if (!line.keyword.empty()) {
        for (const std::string &value :
             smbios::decode::valuesOf(*table, line.keyword).value_or(std::vector<std::string>{})) {
            out << value << '\n';
        }
        return 0;
    }
    if (!line.oemString.empty()) {
        return getCommand(*source, "", false, line.oemString, false, heading.decodeOptions, out, errors);
    }
    decodeStructures(*table, line, out, errors);
    return 0;
}

void write(std::FILE *stream, const std::string &text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int dmidecodeMain(int argc, char **argv) {
    DropInLine line;
    try {
        line = parseDropIn(argc, argv);
    } catch (const Stop &stop) {
        write(stop.status == 0 ? stdout : stderr,
              stop.status == 0 ? stop.text : "smbios-dmidecode: " + stop.text + '\n');
        return stop.status;
    }
    Output out(stdout);
    Output errors;
    int status = kFailure;
    try {
        status = runDropIn(line, out, errors);
    } catch (const std::exception &error) {
        errors << "smbios-dmidecode: " << oneLine(error.what()) << '\n';
        status = kFailure;
    }
    write(stdout, out.text());
    write(stderr, errors.text());
    if (std::fflush(stdout) != 0) {
        write(stderr, "smbios-dmidecode: cannot write the output\n");
        return kFailure;
    }
    return status;
}

}  // namespace smbios_inspect
