// smbios-inspect decode and get: the structures' fields through the
// decoding layer, as dmidecode shows them or as JSON, and single fields by
// dmidecode's keywords.
#include <algorithm>

#include <nlohmann/json.hpp>

#include "decode/Decode.h"
#include "decode/Summary.h"
#include "memory/MemoryFactory.h"
#include "smbios-inspect/DmidecodeCommand.h"
#include "smbios-inspect/Inspect.h"

namespace smbios_inspect {
int decodeCommand(TableSource &source, const std::vector<int> &types, std::optional<int> handle, bool quiet, bool json,
                  const smbios::decode::DecodeOptions &options, Output &out, Output &errors) {
    smbios::ISmbiosTable &table = source.table();
    memory::MemoryFactory::getFactory()->reset();
    const smbios::decode::Version version = smbios::decode::versionOf(table);
    // The maker's own types are decoded for the maker the table names. JSON
    // takes one release's words whatever --dmidecode says; the corrections
    // of firmware faults are no words, and stay as asked.
    smbios::decode::DecodeRun run;
    smbios::decode::DecodeOptions tableOptions =
        smbios::decode::decodeOptionsFor(table, json ? smbios::decode::kJsonDialect : options.dialect, options.quirks);
    tableOptions.run = &run;
    if (!json && !quiet) {
        HeadingOptions heading;
        heading.firstLine = "# smbios-inspect 0.1.0 (Tarnwick)";
        heading.source = headingSourceOf(source.sourceOptions(), heading.path);
        heading.byType = !types.empty();
        heading.decodeOptions = options;
        out << dmidecodeHeading(table, heading);
    }
    // The text goes out as each structure is decoded, so that a large table
    // is never held decoded as a whole; JSON is one document.
    std::vector<smbios::decode::Structure> forJson;
    std::string text;
    std::size_t shown = 0;
    StructureCacheTrim trim(table);
    for (auto it = table.begin(); it != table.end(); ++it) {
        const smbios::ISmbiosItem &item = *it;
        if (!types.empty() && std::find(types.begin(), types.end(), item.getType()) == types.end()) {
            continue;
        }
        if (handle && item.getHandle() != *handle) {
            continue;
        }
        smbios::decode::Structure structure = smbios::decode::decodeStructure(item, version, tableOptions);
        if (quiet && !smbios::decode::isShownQuietly(structure)) {
            continue;
        }
        for (const std::string &note : structure.notes) {
            errors << note << '\n';
        }
        trim.structureDone();
        ++shown;
        if (json) {
            forJson.push_back(std::move(structure));
            continue;
        }
        text.clear();
        if (quiet) {
            smbios::decode::appendQuietText(text, structure);
        } else {
            smbios::decode::appendText(text, structure);
        }
        out << text;
    }
    if (handle && shown == 0) {
        throw ToolError("no structure with handle " + hex16(static_cast<uint32_t>(*handle)));
    }
    if (json) {
        smbios::decode::TableFacts facts;
        facts.version = version;
        facts.source = source.kind();
        facts.file = source.file();
        facts.entryPoint = entryPointKindName(table.getSourceEntryPoint().kind);
        facts.tableLength = table.getTableLength();
        for (auto it = table.begin(); it != table.end(); ++it) {
            ++facts.structureCount;
        }
        out << smbios::decode::toJson(facts, forJson) << '\n';
    }
    return 0;
}

int getCommand(TableSource &source, const std::string &keyword, bool listKeywords, const std::string &oemString,
               bool json, const smbios::decode::DecodeOptions &options, Output &out, Output &errors) {
    // With --json, one document of what the lines would say: {"keywords"},
    // {"keyword", "values"}, or {"oem_string", "values"} ("counts" for
    // count), each value as a line shows it.
    using Json = nlohmann::ordered_json;
    Json document;
    Json values = Json::array();
    const auto answer = [&](const std::string &line) {
        if (json) {
            values.push_back(line);
        } else {
            out << line << '\n';
        }
    };
    const auto finish = [&](const char *name) {
        if (json) {
            document[name] = std::move(values);
            // Strings from firmware need not be UTF-8: invalid bytes become U+FFFD.
            out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
        }
        return 0;
    };
    if (listKeywords) {
        for (const std::string &name : smbios::decode::stringKeywords()) {
            answer(name);
        }
        return finish("keywords");
    }
    smbios::ISmbiosTable &table = source.table();
    if (!oemString.empty()) {
        smbios::decode::DecodeOptions decodeOptions = options;
        if (json) {
            decodeOptions.dialect = smbios::decode::kJsonDialect;
        }
        const bool count = oemString == "count";
        const auto number = count ? std::size_t{0} : static_cast<std::size_t>(std::stoul(oemString));
        document["oem_string"] = count ? Json(oemString) : Json(number);
        // As dmidecode: an answer for each OEM strings structure, and none
        // when there is none.
        const smbios::decode::Version version = smbios::decode::versionOf(table);
        for (auto it = table[11]; it != table.end(); ++it) {
            const std::vector<std::string> strings =
                smbios::decode::oemStringsOf(smbios::decode::decodeStructure(*it, version, decodeOptions));
            if (count) {
                if (json) {
                    values.push_back(strings.size());
                } else {
                    out << std::to_string(strings.size()) << '\n';
                }
                continue;
            }
            if (number > strings.size()) {
                // A string the table does not hold is no failure of the
                // tool, only nothing to print.
                errors << "No OEM string number " << oemString << '\n';
                continue;
            }
            answer(strings[number - 1]);
        }
        return finish(count ? "counts" : "values");
    }
    const std::optional<std::vector<std::string>> found = smbios::decode::valuesOf(table, keyword);
    if (!found) {
        throw ToolError("unknown keyword '" + keyword + "'");  // the command line lets none through
    }
    document["keyword"] = keyword;
    for (const std::string &value : *found) {
        answer(value);
    }
    return finish("values");
}

}  // namespace smbios_inspect
