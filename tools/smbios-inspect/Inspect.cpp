// smbios-inspect's sources and commands, over the library's factories as a
// client uses them.
#include "smbios-inspect/Inspect.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <utility>

#include <nlohmann/json.hpp>

#include "image/SmbiosImage.h"
#include "memory/MemoryFactory.h"
#include "smbios-inspect/SmbiosTypeNames.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosTableEntryPoint.h"
#include "smbios/SmbiosWorkaround.h"
#include "smbios/SystemId.h"

namespace smbios_inspect {
namespace {

using Json = nlohmann::ordered_json;

void resetFactories() {
    smbios::SmbiosFactory::getFactory()->reset();
    smbios::SmbiosWorkaroundFactory::getFactory()->reset();
    memory::MemoryFactory::getFactory()->reset();
}

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

std::string hex16(uint32_t value) {
    return format("0x%04X", static_cast<unsigned>(value));
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

// The SMBIOS version a converted table's entry point gets.
std::pair<uint8_t, uint8_t> versionOf(const tarnwick_tools::SmbiosSource &source) {
    if (source.isSmbios3()) {
        return {source.entryPoint[7], source.entryPoint[8]};
    }
    return {source.entryPoint[6], source.entryPoint[7]};
}

std::vector<uint8_t> readInput(const std::string &path) {
    try {
        return tarnwick_tools::readBinaryFile(path);
    } catch (const std::exception &error) {
        throw ToolError(error.what());
    }
}

// A table of a dump, raw table or RSMB buffer, with an SMBIOS 2.x entry
// point: the library's memory search reads those. An SMBIOS 3 entry point
// is replaced by a 2.x one naming the same version.
tarnwick_tools::SmbiosSource convertedSource(const SourceOptions &options) {
    try {
        if (!options.dump.empty()) {
            tarnwick_tools::SmbiosSource source = tarnwick_tools::readDumpBin(readInput(options.dump));
            if (source.isSmbios3()) {
                const auto version = versionOf(source);
                return tarnwick_tools::fromRawTable(std::move(source.table), version.first, version.second);
            }
            return source;
        }
        if (!options.rsmb.empty()) {
            return tarnwick_tools::fromRsmb(readInput(options.rsmb));
        }
        // A raw table takes its version from the entry point beside it, as
        // sysfs publishes them; without one, 2.8.
        std::pair<uint8_t, uint8_t> version{2, 8};
        const std::filesystem::path entryPointFile =
            std::filesystem::path(options.raw).parent_path() / "smbios_entry_point";
        std::error_code ignored;
        if (std::filesystem::exists(entryPointFile, ignored)) {
            tarnwick_tools::SmbiosSource sysfs;
            sysfs.entryPoint = readInput(entryPointFile.string());
            if (sysfs.entryPoint.size() >= 9) {
                version = versionOf(sysfs);
            }
        }
        return tarnwick_tools::fromRawTable(readInput(options.raw), version.first, version.second);
    } catch (const ToolError &) {
        throw;
    } catch (const std::exception &error) {
        const std::string &file =
            !options.dump.empty() ? options.dump : (!options.rsmb.empty() ? options.rsmb : options.raw);
        throw ToolError(file + ": " + error.what());
    }
}

// Unique also among several smbios-inspect processes at once.
std::string temporaryImagePath() {
    const unsigned long long tag = std::random_device{}() * 0x100000000ull + std::random_device{}();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return (std::filesystem::temp_directory_path() /
            ("smbios-inspect-" + std::to_string(tag) + "-" + std::to_string(stamp) + ".img"))
        .string();
}

// The structures as the firmware delivered them, without the workarounds'
// corrections: what an export writes.
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

tarnwick_tools::SmbiosSource exportSource(TableSource &source) {
    smbios::ISmbiosTable &table = source.table();
    const smbios::SmbiosTableEntryPoint header = table.getTableHeader();
    std::vector<uint8_t> bytes = rawStructures(table);
    try {
        return tarnwick_tools::fromRawTable(std::move(bytes), header.major_version, header.minor_version);
    } catch (const std::exception &error) {
        throw ToolError(error.what());
    }
}

void writeOutput(const std::string &path, const std::vector<uint8_t> &bytes) {
    try {
        tarnwick_tools::writeBinaryFile(path, bytes);
    } catch (const std::exception &error) {
        throw ToolError(error.what());
    }
}

Json structureJson(const StructureInfo &info, bool withContents) {
    Json entry;
    entry["handle"] = info.handle;
    entry["handleHex"] = hex16(info.handle);
    entry["type"] = info.type;
    entry["name"] = structureTypeName(info.type);
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

TableSource::TableSource(const SourceOptions &options) {
    resetFactories();
    memory::MemoryFactory *memorySource = memory::MemoryFactory::getFactory();
    smbios::SmbiosFactory *tables = smbios::SmbiosFactory::getFactory();
    tables->setParameter("offset", options.offset);
    tables->setParameter("strictValidation", options.strict ? 1u : 0u);

    std::string image = options.image;
    if (image.empty() && (!options.dump.empty() || !options.raw.empty() || !options.rsmb.empty())) {
        const tarnwick_tools::SmbiosSource converted = convertedSource(options);
        std::vector<uint8_t> bytes;
        try {
            bytes = tarnwick_tools::buildMemoryImage(converted);
        } catch (const std::exception &error) {
            throw ToolError(error.what());
        }
        temporaryImage = temporaryImagePath();
        writeOutput(temporaryImage, bytes);
        image = temporaryImage;
    }
    if (!image.empty()) {
        memorySource->setParameter("memFile", image);
        memorySource->setMode(memory::MemoryFactory::FileMode);
        tables->setMode(smbios::SmbiosFactory::MemoryMode);
        // An image that cannot be opened says so here, rather than as a
        // table that could not be read.
        memorySource->getSingleton();
    }
}

TableSource::~TableSource() {
    resetFactories();
    if (!temporaryImage.empty()) {
        (void)std::remove(temporaryImage.c_str());  // a leftover temporary file is harmless
    }
}

smbios::ISmbiosTable &TableSource::table() {
    return *smbios::SmbiosFactory::getFactory()->getSingleton();
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
    const uint8_t *const end = bytes.get() + size;
    unsigned count = 0;
    for (const uint8_t *at = bytes.get() + formatted; at < end && *at != 0 && count < 255; ++count) {
        at = std::find(at, end, uint8_t{0}) + 1;
    }
    for (unsigned number = 1; number <= count; ++number) {
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
    std::vector<StructureInfo> structures;
    for (auto it = table.begin(); it != table.end(); ++it) {
        structures.push_back(describeStructure(*it));
    }
    if (json) {
        printStructuresJson(structures, false, out);
        return 0;
    }
    out << "Handle  Type  Name                                  Length   Size  Strings\n";
    for (const StructureInfo &info : structures) {
        out << format("%s  %4u  %-36s  %6u  %5zu  %7zu\n", hex16(info.handle).c_str(), info.type,
                      structureTypeName(info.type), info.length, info.size, info.strings.size());
    }
    out << structures.size() << " structures\n";
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
            << structureTypeName(info.type) << "), " << unsigned{info.length} << " bytes, " << info.size
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

int entryPointCommand(TableSource &source, bool json, Output &out) {
    const smbios::SmbiosTableEntryPoint ep = source.table().getTableHeader();
    smbios::ParseExceptionImpl report;
    const bool valid = smbios::validateEntryPoint(ep, true, report);
    const std::string reportText = report.what();
    if (json) {
        Json document;
        document["anchor"] = anchorText(ep.anchor, sizeof ep.anchor);
        document["checksum"] = ep.checksum;
        document["epsLength"] = ep.eps_length;
        document["majorVersion"] = ep.major_version;
        document["minorVersion"] = ep.minor_version;
        document["maxStructureSize"] = ep.max_structure_size;
        document["entryPointRevision"] = ep.entry_point_revision;
        document["formattedArea"] = hexBytes(ep.formatted_area, sizeof ep.formatted_area);
        document["dmiAnchor"] = anchorText(ep.dmi_anchor, sizeof ep.dmi_anchor);
        document["intermediateChecksum"] = ep.intermediate_checksum;
        document["tableLength"] = ep.table_length;
        document["tableAddress"] = ep.table_address;
        document["tableAddressHex"] = hex32(ep.table_address);
        document["numStructures"] = ep.num_structures;
        document["bcdRevision"] = ep.bcd_revision;
        document["strictValidation"] = valid ? "passed" : "failed";
        document["report"] = reportText;
        printJson(document, out);
        return 0;
    }
    auto field = [&](const char *name, const std::string &value) {
        out << format("\t%-22s: %s\n", name, value.c_str());
    };
    out << "Entry point\n";
    field("anchor", anchorText(ep.anchor, sizeof ep.anchor));
    field("checksum", hex8(ep.checksum));
    field("eps_length", std::to_string(ep.eps_length));
    field("version", std::to_string(ep.major_version) + "." + std::to_string(ep.minor_version));
    field("max_structure_size", std::to_string(ep.max_structure_size));
    field("entry_point_revision", std::to_string(ep.entry_point_revision));
    field("formatted_area", hexBytes(ep.formatted_area, sizeof ep.formatted_area));
    field("dmi_anchor", anchorText(ep.dmi_anchor, sizeof ep.dmi_anchor));
    field("intermediate_checksum", hex8(ep.intermediate_checksum));
    field("table_length", std::to_string(ep.table_length));
    field("table_address", hex32(ep.table_address));
    field("num_structures", std::to_string(ep.num_structures));
    field("bcd_revision", hex8(ep.bcd_revision));
    out << "Strict validation: " << (valid ? "passed" : "failed") << '\n';
    if (!valid) {
        std::string indented;
        for (char c : reportText) {
            indented += c;
            if (c == '\n') {
                indented += '\t';
            }
        }
        out << '\t' << indented.substr(0, indented.size() - 1);
    }
    return 0;
}

int systemIdCommand(TableSource &, bool json, Output &out, Output &errors) {
    smbios::lastError.setMessageString("");
    const uint16_t systemId = smbios::getSystemId();
    const std::string lastError = smbios::lastError.what();

    static const std::pair<const char *, smbios::SystemIdGetter> sources[] = {
        {"getSystemIdFromOemString", smbios::getSystemIdFromOemString},
        {"getSystemIdFromMemoryId", smbios::getSystemIdFromMemoryId},
        {"getSystemIdFromMemoryMarkers", smbios::getSystemIdFromMemoryMarkers},
        {"getSystemIdFromTypeD0", smbios::getSystemIdFromTypeD0},
    };
    Json document;
    document["systemId"] = systemId;
    document["systemIdHex"] = hex16(systemId);
    document["sources"] = Json::array();
    if (!json) {
        out << "System ID: " << hex16(systemId) << " (" << systemId << ")\n";
    }
    for (const auto &entry : sources) {
        Json answer;
        answer["source"] = entry.first;
        std::string text;
        try {
            const uint16_t found = entry.second();
            answer["systemId"] = found;
            text = hex16(found) + " (" + std::to_string(found) + ")";
        } catch (const smbios::IException &error) {
            answer["error"] = error.what();
            text = std::string("failed: ") + error.what();
        }
        document["sources"].push_back(answer);
        if (!json) {
            out << format("\t%-30s: %s\n", entry.first, text.c_str());
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

int vendorCommand(TableSource &, bool json, Output &out) {
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

int exportImageCommand(TableSource &source, const std::string &path, Output &out) {
    const tarnwick_tools::SmbiosSource table = exportSource(source);
    const tarnwick_tools::ImageLayout layout;
    std::vector<uint8_t> image;
    try {
        image = tarnwick_tools::buildMemoryImage(table, layout);
    } catch (const std::exception &error) {
        throw ToolError(error.what());
    }
    writeOutput(path, image);
    out << "wrote " << path << ": a 1 MiB memory image, " << tarnwick_tools::surveyTable(table.table).structures
        << " structures (" << table.table.size() << " bytes) at " << hex32(layout.tableAddress) << ", entry point at "
        << hex32(layout.entryPointAddress) << '\n';
    return 0;
}

int exportDumpCommand(TableSource &source, const std::string &path, Output &out) {
    const tarnwick_tools::SmbiosSource table = exportSource(source);
    writeOutput(path, tarnwick_tools::buildDumpBin(table));
    out << "wrote " << path << ": a dmidecode dump of " << tarnwick_tools::surveyTable(table.table).structures
        << " structures (" << table.table.size() << " bytes)\n";
    return 0;
}

}  // namespace smbios_inspect
