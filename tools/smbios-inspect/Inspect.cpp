// smbios-inspect's sources and commands, over the library's factories as a
// client uses them.
#include "smbios-inspect/Inspect.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <utility>

#include <nlohmann/json.hpp>

#include "decode/Decode.h"
#include "factory/TFactory.h"
#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "smbios-inspect/Privileges.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosFactoryImpl.h"
#include "smbios/SmbiosTableEntryPoint.h"
#include "smbios/SystemId.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios_inspect {

std::string hex16(uint32_t value) {
    char text[8];
    (void)std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value & 0xFFFF));
    return text;
}

// What cannot be known here (a missing file, one that cannot be read) the
// read says.
void refuseNonFile(const std::string &path, bool deviceAllowed) {
    std::error_code failed;
    const std::filesystem::file_status status = std::filesystem::status(path, failed);
    if (failed) {
        return;
    }
    if (std::filesystem::is_directory(status)) {
        throw ToolError(path + ": is a directory, not a file");
    }
    if (!deviceAllowed && (std::filesystem::is_character_file(status) || std::filesystem::is_block_file(status))) {
        throw ToolError(path + ": is a device, not a file");
    }
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, failed) == 0 && !failed) {
        throw ToolError(path + ": is empty");
    }
}

namespace {

using Json = nlohmann::ordered_json;
namespace fmt = smbios::format;

// printf-style formatting into a string (lines here are short).
template <class... Arguments>
std::string format(const char *pattern, Arguments... arguments) {
    char text[256];
    const int length = std::snprintf(text, sizeof text, pattern, arguments...);
    return length < 0 ? std::string() : std::string(text, std::min<std::size_t>(length, sizeof text - 1));
}

std::string hexBytes(const uint8_t *bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += format(i == 0 ? "%02X" : " %02X", bytes[i]);
    }
    return text;
}

std::string hex8(uint32_t value) {
    return format("0x%02X", static_cast<unsigned>(value & 0xFF));
}

std::string hex32(uint32_t value) {
    return format("0x%08X", static_cast<unsigned>(value));
}

// Text of a fixed-size field: the bytes themselves when they are printable,
// else their hex.
std::string anchorText(const uint8_t *bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (bytes[i] < 0x20 || bytes[i] > 0x7E) {
            return hexBytes(bytes, count);
        }
    }
    return std::string(reinterpret_cast<const char *>(bytes), count);
}

void printJson(const Json &document, Output &out) {
    // Strings from firmware need not be UTF-8: invalid bytes become U+FFFD.
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

// The physical memory of a source that is only a table (a dump, a raw
// table, an RSMB buffer): all zeros, so that the system ID's sources in the
// BIOS area find nothing there, as over an image that holds the table
// alone, and never read the running machine's memory instead.
class BlankMemory final : public memory::IMemory {
public:
    uint8_t getByte(uint64_t) override { return 0; }
    void putByte(uint64_t, uint8_t) override {
        throw smbios::NotImplementedImpl("The source holds a table, not physical memory: nothing can be written.");
    }
    void fillBuffer(uint8_t *buffer, uint64_t, uint32_t length) override { std::memset(buffer, 0, length); }
};

class BlankMemoryFactory final : public factory::TFactory<memory::MemoryFactory> {
public:
    static void install() {
        if (instance != nullptr) {
            instance->reset();
        }
        instance = new BlankMemoryFactory();
    }
    memory::IMemory *getSingleton() override { return &blank; }
    memory::IMemory *makeNew() override { return new BlankMemory(); }

private:
    BlankMemory blank;
};

// Runs `read` on the file, naming the file in a failure.
template <class Reader>
auto fromFile(const std::string &path, Reader read) {
    refuseNonFile(path, false);
    try {
        return read(path);
    } catch (const std::exception &error) {
        const std::string text = error.what();
        throw ToolError(text.find(path) != std::string::npos ? text : path + ": " + text);
    }
}

fmt::Bytes wholeFile(const std::string &path) {
    return fmt::readFileBytes(path);
}

}  // namespace

std::vector<uint8_t> fileBytes(const std::string &path) {
    return fromFile(path, wholeFile);
}

// The table of a dump, raw table or RSMB buffer, with the record its file
// holds in front of it. A file whose table holds no structure is refused:
// an empty table is no answer.
smbios::SmbiosTableBytes loadedSource(const SourceOptions &options) {
    const std::string &path = !options.dump.empty() ? options.dump : !options.rsmb.empty() ? options.rsmb : options.raw;
    smbios::SmbiosTableBytes source;
    if (!options.dump.empty()) {
        source = options.lenient ? fromFile(options.dump,
                                            [](const std::string &file) { return fmt::parseDumpBin(wholeFile(file)); })
                                 : fromFile(options.dump, fmt::readDumpFile);
    } else if (!options.rsmb.empty()) {
        source = options.lenient
                     ? fromFile(options.rsmb,
                                [](const std::string &file) { return fmt::parseRawSmbiosData(wholeFile(file)); })
                     : fromFile(options.rsmb, fmt::readRawSmbiosDataFile);
    } else {
        source.table = fromFile(options.raw, wholeFile);
        // A raw table takes its entry point from the file beside it, as
        // sysfs publishes them; without one it has none.
        const std::filesystem::path entryPointFile =
            std::filesystem::path(options.raw).parent_path() / "smbios_entry_point";
        std::error_code ignored;
        if (std::filesystem::is_regular_file(entryPointFile, ignored)) {
            fmt::Bytes entryPoint = fromFile(entryPointFile.string(),
                                             [](const std::string &file) { return fmt::readFileBytes(file, 0x100); });
            const smbios::EntryPointKind kind = fmt::kindOf(entryPoint);
            if (kind == smbios::EntryPointKind::Smbios2 || kind == smbios::EntryPointKind::Smbios3) {
                source.entryPoint = std::move(entryPoint);
            }
        }
    }
    if (fmt::surveyTable(source.table).structures == 0 && !options.lenient) {
        throw ToolError(path + ": holds no SMBIOS structure" +
                        (source.table.empty()
                             ? std::string(" (its table is empty)")
                             : " (" + std::to_string(source.table.size()) + " bytes, no structure header)"));
    }
    return source;
}

std::vector<uint8_t> rawStructures(smbios::ISmbiosTable &table) {
    table.setInitializing(true);
    table.clearItemCache();
    std::vector<uint8_t> bytes;
    try {
        for (auto it = table.begin(); it != table.end(); ++it) {
            std::size_t size = 0;
            std::unique_ptr<uint8_t[]> copy = it->getBufferCopy(size);
            bytes.insert(bytes.end(), copy.get(), copy.get() + size);
        }
    } catch (...) {
        table.setInitializing(false);
        table.clearItemCache();
        throw;
    }
    table.setInitializing(false);
    table.clearItemCache();
    return bytes;
}

namespace {

// The table as an export writes it: the structures as delivered, behind
// an entry point made for them (3.x where the table needs one).
smbios::SmbiosTableBytes exportSource(TableSource &source) {
    smbios::ISmbiosTable &table = source.table();
    const smbios::SmbiosTableEntryPoint header = table.getTableHeader();
    try {
        return fmt::sourceWithEntryPoint(rawStructures(table), header.major_version, header.minor_version);
    } catch (const smbios::IException &error) {
        throw ToolError(error.what());
    }
}

void writeOutput(const std::string &path, const std::vector<uint8_t> &bytes) {
    try {
        fmt::writeFileBytes(path, bytes);
    } catch (const std::exception &error) {
        throw ToolError(error.what());
    }
}

Json structureJson(const StructureInfo &info, bool withContents) {
    Json entry;
    entry["handle"] = info.handle;
    entry["handleHex"] = hex16(info.handle);
    entry["type"] = info.type;
    entry["name"] = smbios::decode::typeName(info.type);
    entry["length"] = info.length;
    entry["size"] = info.size;
    if (withContents) {
        entry["formatted"] = hexBytes(info.formatted.data(), info.formatted.size());
        entry["strings"] = info.strings;
    } else {
        entry["strings"] = info.strings.size();
    }
    return entry;
}

// {"structures": [...]}, each with its bytes and strings when `withContents`.
void printStructuresJson(const std::vector<StructureInfo> &structures, bool withContents, Output &out) {
    Json document;
    document["structures"] = Json::array();
    for (const StructureInfo &info : structures) {
        document["structures"].push_back(structureJson(info, withContents));
    }
    printJson(document, out);
}

}  // namespace

TableSource::TableSource(const SourceOptions &sourceOptions)
    : options(sourceOptions),
      fromMachine(options.image.empty() && options.dump.empty() && options.raw.empty() && options.rsmb.empty()) {
    smbios::resetLibraryFactories();
    smbios::SmbiosFactory *tables = smbios::SmbiosFactory::getFactory();
    tables->setParameter("offset", options.offset);
    tables->setParameter("strictValidation", options.strict ? 1u : 0u);
    tables->setParameter("smbios3", 1u);  // every machine's table, 64-bit entry points too

    if (!options.dump.empty() || !options.raw.empty() || !options.rsmb.empty()) {
        tables->setTableBytes(std::make_shared<const smbios::SmbiosTableBytes>(loadedSource(options)));
        tables->setMode(smbios::SmbiosFactory::BufferMode);
        BlankMemoryFactory::install();
    } else if (!options.image.empty()) {
        refuseNonFile(options.image, true);
        memory::MemoryFactory *memorySource = memory::MemoryFactory::getFactory();
        memorySource->setParameter("memFile", options.image);
        memorySource->setMode(memory::MemoryFactory::FileMode);
        tables->setMode(smbios::SmbiosFactory::MemoryMode);
        // An image that cannot be opened says so here, rather than as a
        // table that could not be read.
        memorySource->getSingleton();
    }
}

TableSource::~TableSource() {
    smbios::resetLibraryFactories();
}

namespace {

// Why the running machine gave no table: each source of the SMBIOS
// factory's AutoMode tried again on its own, in the factory's order, with
// the reason it failed.
std::string whyTheMachineGaveNoTable(const SourceOptions &options) {
    std::string reasons;
    auto add = [&](const char *source, const std::string &failure) {
        reasons += reasons.empty() ? "" : "; ";
        reasons += std::string(source) + ": " + failure;
        if (failedForWantOfRights(failure)) {
            reasons += std::string(" (needs ") + privilegedUser() + ")";
        }
    };
    try {
        smbios::SmbiosMemoryStrategy memory(options.offset);
        smbios::SmbiosTableEntryPoint entryPoint{};
        memory.getSmbiosEntryPoint(entryPoint, options.strict);
        std::unique_ptr<uint8_t[]> table;
        smbios::readStructureTable(table, entryPoint);
        add("physical memory", "the table named by its entry point could not be read");
    } catch (const memory::AccessError &error) {
        add("physical memory", error.what());
    } catch (const smbios::IException &) {
        add("physical memory", "no SMBIOS entry point (_SM_ or _SM3_) in the BIOS area");
    }
    std::unique_ptr<uint8_t[]> table;
    smbios::SmbiosTableEntryPoint entryPoint{};
    try {
        smbios::makeSystemTableStrategy()->getSmbiosTable(table, entryPoint, options.strict);
    } catch (const smbios::IException &error) {
        add("the firmware tables", error.what());
    }
    try {
        smbios::SmbiosWinWMIStrategy().getSmbiosTable(table, entryPoint, options.strict);
    } catch (const smbios::IException &error) {
        add("WMI", error.what());
    }
    return "no SMBIOS table on this machine: " + reasons;
}

}  // namespace

const char *TableSource::kind() const {
    return !options.image.empty()  ? "image"
           : !options.dump.empty() ? "dump"
           : !options.raw.empty()  ? "raw"
           : !options.rsmb.empty() ? "rsmb"
                                   : "machine";
}

const std::string &TableSource::file() const {
    return !options.image.empty()  ? options.image
           : !options.dump.empty() ? options.dump
           : !options.raw.empty()  ? options.raw
                                   : options.rsmb;
}

const char *entryPointKindName(smbios::EntryPointKind kind) {
    switch (kind) {
    case smbios::EntryPointKind::Smbios2:
        return "smbios2";
    case smbios::EntryPointKind::Smbios3:
        return "smbios3";
    case smbios::EntryPointKind::RawSmbiosData:
        return "rsmb";
    case smbios::EntryPointKind::None:
        break;
    }
    return "none";
}

smbios::ISmbiosTable &TableSource::table() {
    try {
        return *smbios::SmbiosFactory::getFactory()->getSingleton();
    } catch (const smbios::InternalError &) {
        // The library keeps no reasons of its strategies: the tool finds
        // them itself for the running machine.
        if (!options.image.empty()) {
            char where[40] = "in its BIOS area (E0000h to FFFFFh)";
            if (options.offset != 0) {
                (void)std::snprintf(where, sizeof where, "at offset %Xh", static_cast<unsigned>(options.offset));
            }
            throw ToolError(options.image + ": no SMBIOS table in it: no valid entry point (_SM3_ or _SM_) " + where +
                            ", or none whose table lies inside the image");
        }
        if (!fromMachine) {
            throw;
        }
        throw ToolError(whyTheMachineGaveNoTable(options));
    }
}

StructureInfo describeStructure(const smbios::ISmbiosItem &item) {
    StructureInfo info;
    info.handle = item.getHandle();
    info.type = item.getType();
    info.length = item.getLength();
    info.size = item.getBufferSize();
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> bytes = item.getBufferCopy(size);
    // A structure cut short by the table's end holds less than its length.
    const std::size_t formatted = std::min<std::size_t>(info.length, size >= 2 ? size - 2 : 0);
    info.formatted.assign(bytes.get(), bytes.get() + formatted);
    // The strings are the non-empty ones before the first empty one (at
    // most 255, the largest string number). They are counted in the copy
    // first, so that a table is not read by way of one exception per
    // structure; the library still gives each string, and has the last word.
    const std::size_t count = fmt::countStrings(bytes.get() + formatted, bytes.get() + size);
    for (std::size_t number = 1; number <= count; ++number) {
        try {
            info.strings.emplace_back(item.getStringByStringNumber(static_cast<uint8_t>(number)));
        } catch (const smbios::IException &) {
            break;
        }
    }
    return info;
}

int dumpCommand(TableSource &source, Output &out) {
    std::ostringstream text;
    text << source.table();
    out << text.str();
    return 0;
}

int listCommand(TableSource &source, bool json, Output &out) {
    smbios::ISmbiosTable &table = source.table();
    // Each row goes out as its structure is read, so that a large table is
    // never held whole.
    StructureCacheTrim trim(table);
    Json document;
    document["structures"] = Json::array();
    std::size_t count = 0;
    if (!json) {
        out << "Handle  Type  Name                                  Length   Size  Strings\n";
    }
    for (auto it = table.begin(); it != table.end(); ++it) {
        const StructureInfo info = describeStructure(*it);
        ++count;
        trim.structureDone();
        if (json) {
            document["structures"].push_back(structureJson(info, false));
            continue;
        }
        out << format("%s  %4u  %-36s  %6u  %5zu  %7zu\n", hex16(info.handle).c_str(), info.type,
                      smbios::decode::typeName(info.type), info.length, info.size, info.strings.size());
    }
    if (json) {
        printJson(document, out);
        return 0;
    }
    out << count << " structures\n";
    return 0;
}

int showCommand(TableSource &source, std::optional<int> type, std::optional<int> handle, bool json, Output &out) {
    smbios::ISmbiosTable &table = source.table();
    std::vector<StructureInfo> shown;
    for (auto it = type ? table[*type] : table.begin(); it != table.end(); ++it) {
        if (!handle || it->getHandle() == *handle) {
            shown.push_back(describeStructure(*it));
        }
    }
    if (shown.empty()) {
        throw ToolError(type ? "no structure of type " + std::to_string(*type)
                             : "no structure with handle " + hex16(static_cast<uint32_t>(*handle)));
    }
    if (json) {
        printStructuresJson(shown, true, out);
        return 0;
    }
    for (const StructureInfo &info : shown) {
        out << "Handle " << hex16(info.handle) << ", DMI type " << unsigned{info.type} << " ("
            << smbios::decode::typeName(info.type) << "), " << unsigned{info.length} << " bytes, " << info.size
            << " in all\n\tFormatted area:\n";
        for (std::size_t at = 0; at < info.formatted.size(); at += 16) {
            out << "\t\t" << hexBytes(info.formatted.data() + at, std::min<std::size_t>(16, info.formatted.size() - at))
                << '\n';
        }
        out << "\tStrings:" << (info.strings.empty() ? " none" : "") << '\n';
        for (std::size_t i = 0; i < info.strings.size(); ++i) {
            out << "\t\t" << i + 1 << ": " << info.strings[i] << '\n';
        }
        out << '\n';
    }
    return 0;
}

namespace {

// One field of an entry point as both outputs show it.
struct EntryPointField {
    const char *name;  // text
    const char *key;   // JSON
    std::string text;
    Json value;
};

std::string hex64(uint64_t value) {
    return format("0x%016llX", static_cast<unsigned long long>(value));
}

std::string indentedReport(const std::string &report) {
    std::string indented = "\t";
    for (char c : report) {
        indented += c;
        if (c == '\n') {
            indented += '\t';
        }
    }
    return indented.substr(0, indented.size() - 1);
}

std::vector<EntryPointField> entryPoint2Fields(const smbios::SmbiosTableEntryPoint &ep) {
    return {
        {"anchor", "anchor", anchorText(ep.anchor, sizeof ep.anchor), anchorText(ep.anchor, sizeof ep.anchor)},
        {"checksum", "checksum", hex8(ep.checksum), ep.checksum},
        {"eps_length", "epsLength", std::to_string(ep.eps_length), ep.eps_length},
        {"version", "version", std::to_string(ep.major_version) + "." + std::to_string(ep.minor_version),
         Json{{"majorVersion", ep.major_version}, {"minorVersion", ep.minor_version}}},
        {"max_structure_size", "maxStructureSize", std::to_string(ep.max_structure_size), ep.max_structure_size},
        {"entry_point_revision", "entryPointRevision", std::to_string(ep.entry_point_revision),
         ep.entry_point_revision},
        {"formatted_area", "formattedArea", hexBytes(ep.formatted_area, sizeof ep.formatted_area),
         hexBytes(ep.formatted_area, sizeof ep.formatted_area)},
        {"dmi_anchor", "dmiAnchor", anchorText(ep.dmi_anchor, sizeof ep.dmi_anchor),
         anchorText(ep.dmi_anchor, sizeof ep.dmi_anchor)},
        {"intermediate_checksum", "intermediateChecksum", hex8(ep.intermediate_checksum), ep.intermediate_checksum},
        {"table_length", "tableLength", std::to_string(ep.table_length), ep.table_length},
        {"table_address", "tableAddress", hex32(ep.table_address), ep.table_address},
        {"num_structures", "numStructures", std::to_string(ep.num_structures), ep.num_structures},
        {"bcd_revision", "bcdRevision", hex8(ep.bcd_revision), ep.bcd_revision},
    };
}

std::vector<EntryPointField> entryPoint3Fields(const fmt::Smbios3EntryPoint &ep) {
    return {
        {"anchor", "anchor", anchorText(ep.anchor, sizeof ep.anchor), anchorText(ep.anchor, sizeof ep.anchor)},
        {"checksum", "checksum", hex8(ep.checksum), ep.checksum},
        {"eps_length", "epsLength", std::to_string(ep.eps_length), ep.eps_length},
        {"version", "version",
         std::to_string(ep.major_version) + "." + std::to_string(ep.minor_version) + "." + std::to_string(ep.docrev),
         Json{{"majorVersion", ep.major_version}, {"minorVersion", ep.minor_version}, {"docrev", ep.docrev}}},
        {"entry_point_revision", "entryPointRevision", std::to_string(ep.entry_point_revision),
         ep.entry_point_revision},
        {"reserved", "reserved", hex8(ep.reserved), ep.reserved},
        {"max_table_size", "maxTableSize", std::to_string(ep.max_table_size), ep.max_table_size},
        {"table_address", "tableAddress", hex64(ep.table_address), ep.table_address},
    };
}

std::vector<EntryPointField> rawSmbiosDataFields(const std::vector<uint8_t> &header) {
    const auto length = static_cast<uint32_t>(fmt::readLe(&header[4], 4));
    return {
        {"calling_method", "callingMethod", std::to_string(header[0]), header[0]},
        {"version", "version", std::to_string(header[1]) + "." + std::to_string(header[2]),
         Json{{"majorVersion", header[1]}, {"minorVersion", header[2]}}},
        {"dmi_revision", "dmiRevision", std::to_string(header[3]), header[3]},
        {"length", "length", std::to_string(length), length},
    };
}

// The checks a 3.x entry point failed, one line each.
std::string entryPoint3Report(const std::vector<uint8_t> &bytes) {
    const unsigned failed = fmt::checkEntryPoint3(bytes.data(), bytes.size());
    const fmt::Smbios3EntryPoint ep = fmt::readEntryPoint3(bytes.data());
    std::string report = "validation of the 64-bit entry point failed\n";
    if ((failed & fmt::kChecksumCheck) != 0) {
        report += "Checksum over the entry point should be zero: " +
                  std::to_string(fmt::entryPoint3Checksum(bytes.data(), bytes.size())) + "\n";
    }
    if ((failed & fmt::kMajorVersionCheck) != 0) {
        report += "Major version should be at least 3: " + std::to_string(ep.major_version) + "\n";
    }
    if ((failed & fmt::kLengthCheck) != 0) {
        report += "Entry point length should be at least 0x18: " + std::to_string(ep.eps_length) + "\n";
    }
    if ((failed & fmt::kTableSizeCheck) != 0) {
        report += "Maximum table size should be above zero: 0\n";
    }
    return failed == 0 ? std::string() : report;
}

// What the entry-point command says of the record a source published, in
// text and in JSON alike.
struct EntryPointView {
    std::vector<EntryPointField> fields;
    const char *title = "Entry point";
    const char *kind = "none";         // entryPointKindName
    const char *validation = nullptr;  // the line's label, when the record is validated
    std::string report;
    bool valid = true;
};

EntryPointView viewOf(const smbios::SourceEntryPoint &held) {
    EntryPointView view;
    view.kind = entryPointKindName(held.kind);
    switch (held.kind) {
    case smbios::EntryPointKind::Smbios2: {
        smbios::SmbiosTableEntryPoint ep{};
        std::memcpy(&ep, held.bytes.data(), std::min(held.bytes.size(), sizeof ep));
        view.fields = entryPoint2Fields(ep);
        view.validation = "Strict validation";
        smbios::ParseExceptionImpl failure;
        view.valid = smbios::validateEntryPoint(ep, true, failure);
        view.report = view.valid ? std::string() : failure.what();
        break;
    }
    case smbios::EntryPointKind::Smbios3:
        view.fields = entryPoint3Fields(fmt::readEntryPoint3(held.bytes.data()));
        view.title = "Entry point (SMBIOS 3, 64-bit)";
        view.validation = "Validation";
        view.report = entryPoint3Report(held.bytes);
        view.valid = view.report.empty();
        break;
    case smbios::EntryPointKind::RawSmbiosData:
        view.fields = rawSmbiosDataFields(held.bytes);
        view.title = "Entry point: none; RSMB header (Windows firmware-table query)";
        break;
    case smbios::EntryPointKind::None:
        view.title = "Entry point: none (the source holds the table alone)";
        break;
    }
    return view;
}

void printEntryPointJson(const EntryPointView &view, uint64_t address, std::size_t tableLength, Output &out) {
    Json document;
    document["kind"] = view.kind;
    if (address != 0) {
        document["address"] = address;
    }
    for (const EntryPointField &field : view.fields) {
        if (field.value.is_object()) {  // the version's parts, each a number
            document.update(field.value);
        } else {
            document[field.key] = field.value;
        }
        if (std::strcmp(field.key, "tableAddress") == 0) {
            document["tableAddressHex"] = field.text;
        }
    }
    document["tableLengthInBytes"] = tableLength;
    if (view.validation != nullptr) {
        document[view.validation == std::string("Strict validation") ? "strictValidation" : "validation"] =
            view.valid ? "passed" : "failed";
        document["report"] = view.report;
    }
    printJson(document, out);
}

void printEntryPointText(const EntryPointView &view, uint64_t address, std::size_t tableLength, Output &out) {
    out << view.title;
    if (address != 0) {
        out << " at " << hex32(static_cast<uint32_t>(address));
    }
    out << '\n';
    for (const EntryPointField &field : view.fields) {
        out << format("\t%-22s: %s\n", field.name, field.text.c_str());
    }
    out << "Table: " << tableLength << " bytes\n";
    if (view.validation != nullptr) {
        out << view.validation << ": " << (view.valid ? "passed" : "failed") << '\n';
        if (!view.valid) {
            out << indentedReport(view.report);
        }
    }
}

}  // namespace

int entryPointCommand(TableSource &source, bool json, Output &out) {
    smbios::ISmbiosTable &table = source.table();
    const smbios::SourceEntryPoint held = table.getSourceEntryPoint();
    const EntryPointView view = viewOf(held);
    if (json) {
        printEntryPointJson(view, held.address, table.getTableLength(), out);
    } else {
        printEntryPointText(view, held.address, table.getTableLength(), out);
    }
    return 0;
}

int systemIdCommand(bool json, Output &out, Output &errors) {
    smbios::lastError.setMessageString("");
    std::array<smbios::SystemIdAnswer, 4> answers;
    const uint16_t systemId = smbios::getSystemId(answers);
    const std::string lastError = smbios::lastError.what();

    // In the order of smbios::systemIdGetters.
    static const char *const kSourceNames[] = {"getSystemIdFromOemString", "getSystemIdFromMemoryId",
                                               "getSystemIdFromMemoryMarkers", "getSystemIdFromTypeD0"};
    Json document;
    document["systemId"] = systemId;
    document["systemIdHex"] = hex16(systemId);
    document["sources"] = Json::array();
    if (!json) {
        out << "System ID: " << hex16(systemId) << " (" << systemId << ")\n";
    }
    for (std::size_t source = 0; source < answers.size(); ++source) {
        smbios::SystemIdAnswer &said = answers[source];
        // The sources after the one that found the ID are asked here, once.
        if (!said.asked) {
            try {
                said.systemId = smbios::systemIdGetters[source]();
            } catch (const smbios::IException &error) {
                said.failed = true;
                said.failure = error.what();
            }
        }
        Json answer;
        answer["source"] = kSourceNames[source];
        std::string text;
        if (said.failed) {
            answer["error"] = said.failure;
            text = "failed: " + said.failure;
        } else {
            answer["systemId"] = said.systemId;
            text = hex16(said.systemId) + " (" + std::to_string(said.systemId) + ")";
        }
        document["sources"].push_back(answer);
        if (!json) {
            out << format("\t%-30s: %s\n", kSourceNames[source], text.c_str());
        }
    }
    document["lastError"] = lastError;
    if (json) {
        printJson(document, out);
    }
    if (systemId == 0) {
        errors << "smbios-inspect: no system ID: " << (lastError.empty() ? "no source found one" : lastError) << '\n';
        return 1;
    }
    return 0;
}

int vendorCommand(bool json, Output &out) {
    static const std::pair<const char *, smbios::VendorCheck> checks[] = {
        {"isVornByMemoryMarker", smbios::vendorChecks[0]},
        {"isVornByOemString", smbios::vendorChecks[1]},
        {"isSystemId8C", smbios::vendorChecks[2]},
    };
    Json document;
    for (const auto &check : checks) {
        std::string text;
        try {
            const bool yes = check.second();
            document[check.first] = yes;
            text = yes ? "yes" : "no";
        } catch (const smbios::IException &error) {
            document[check.first] = Json{{"error", error.what()}};
            text = std::string("failed: ") + error.what();
        }
        if (!json) {
            out << format("%-21s: %s\n", check.first, text.c_str());
        }
    }
    if (json) {
        printJson(document, out);
    }
    return 0;
}

namespace {

std::string entryPointName(const smbios::SmbiosTableBytes &table) {
    return fmt::kindOf(table.entryPoint) == smbios::EntryPointKind::Smbios3 ? "_SM3_" : "_SM_";
}

std::string sizeText(std::size_t bytes) {
    return bytes % 0x100000 == 0 ? std::to_string(bytes / 0x100000) + " MiB" : std::to_string(bytes) + "-byte";
}

}  // namespace

int exportImageCommand(TableSource &source, const std::string &path, Output &out) {
    const smbios::SmbiosTableBytes table = exportSource(source);
    const fmt::ImageLayout layout = fmt::layoutFor(table.table.size());
    std::vector<uint8_t> image;
    try {
        image = fmt::buildMemoryImage(table, layout);
    } catch (const smbios::IException &error) {
        throw ToolError(error.what());
    }
    writeOutput(path, image);
    out << "wrote " << path << ": a " << sizeText(image.size()) << " memory image, "
        << fmt::surveyTable(table.table).structures << " structures (" << table.table.size() << " bytes) at "
        << hex32(layout.tableAddress) << ", entry point (" << entryPointName(table) << ") at "
        << hex32(layout.entryPointAddress) << '\n';
    return 0;
}

int exportDumpCommand(TableSource &source, const std::string &path, Output &out) {
    const smbios::SmbiosTableBytes table = exportSource(source);
    writeOutput(path, fmt::buildDumpBin(table));
    out << "wrote " << path << ": a dmidecode dump of " << fmt::surveyTable(table.table).structures << " structures ("
        << table.table.size() << " bytes), entry point " << entryPointName(table) << '\n';
    return 0;
}

}  // namespace smbios_inspect
