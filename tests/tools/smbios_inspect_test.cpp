// smbios-inspect as its users run it: every command on the real fixtures,
// checked against dmidecode, round trips through its exports, JSON against
// the text output, and exit statuses with their one-line messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "check/Check.h"
#include "decode/Decode.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/check/CheckCases.h"
#include "tests/support/Command.h"
#include "tests/support/Dmidecode.h"
#include "tests/support/RealTables.h"
#include "tests/support/SmbiosBuilder.h"
#include "tests/support/TempFile.h"

namespace {

using Json = nlohmann::json;
using tarnwick_test::RealTable;

using Result = tarnwick_test::CommandResult;

// Runs smbios-inspect with `arguments` (already quoted where needed).
Result inspect(const std::string &arguments) {
    return tarnwick_test::runCommand(tarnwick_test::shellQuoted(TARNWICK_SMBIOS_INSPECT) + " " + arguments);
}

std::string quoted(const std::string &path) {
    return tarnwick_test::shellQuoted(path);
}

// The option that reads a fixture, as a user would name it. The tables made
// of copies are written as their files into `directory` first.
std::string sourceOf(const RealTable &table, const std::string &directory) {
    namespace fmt = smbios::format;
    const bool made = table.copies > 1;
    const std::string path = quoted(tarnwick_test::testDataPath(table.path));
    const std::string file = directory + "/" + table.name;
    switch (table.format) {
    case RealTable::Format::DumpBin:
        if (made) {
            fmt::writeFileBytes(file + ".bin", fmt::buildDumpBin(tarnwick_test::sourceOf(table)));
            return "--dump " + quoted(file + ".bin");
        }
        return "--dump " + path;
    case RealTable::Format::Rsmb:
        if (made) {
            const smbios::SmbiosTableBytes source = tarnwick_test::sourceOf(table);
            fmt::writeFileBytes(file + ".rsmb",
                                fmt::buildRawSmbiosData(source.entryPoint[1], source.entryPoint[2], source.table));
            return "--rsmb " + quoted(file + ".rsmb");
        }
        return "--rsmb " + path;
    case RealTable::Format::Raw:
    case RealTable::Format::Sysfs:
        if (made) {
            const smbios::SmbiosTableBytes source = tarnwick_test::sourceOf(table);
            if (!source.entryPoint.empty()) {
                fmt::writeFileBytes(directory + "/smbios_entry_point", source.entryPoint);
            }
            fmt::writeFileBytes(directory + "/DMI", source.table);
            return "--raw " + quoted(directory + "/DMI");
        }
        return "--raw " + (table.format == RealTable::Format::Raw
                               ? path
                               : quoted(tarnwick_test::testDataPath(std::string(table.path) + "/DMI")));
    case RealTable::Format::Image:
        if (made) {
            fmt::writeFileBytes(file + ".img", tarnwick_test::memoryImageOf(table));
            return "--image " + quoted(file + ".img");
        }
        break;
    }
    return "--image " + path;
}

std::vector<std::string> splitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// What `list --json` and `show --json` say, as the oracle's structures.
std::vector<tarnwick_test::Structure> structuresOf(const std::string &source) {
    const Result list = inspect(source + " list --json");
    EXPECT_EQ(list.status, 0) << list.err;
    const Json listed = Json::parse(list.out);
    std::set<int> types;
    for (const Json &entry : listed["structures"]) {
        types.insert(entry["type"].get<int>());
    }
    // show, type by type, gives the bytes and strings of every structure.
    std::map<int, std::vector<Json>> shownByType;
    for (int type : types) {
        const Result show = inspect(source + " show --type " + std::to_string(type) + " --json");
        EXPECT_EQ(show.status, 0) << show.err;
        const Json shown = Json::parse(show.out);
        for (const Json &entry : shown["structures"]) {
            shownByType[type].push_back(entry);
        }
    }
    std::map<int, std::size_t> nextOfType;
    std::vector<tarnwick_test::Structure> structures;
    for (const Json &entry : listed["structures"]) {
        const int type = entry["type"].get<int>();
        const Json &shown = shownByType[type].at(nextOfType[type]++);
        EXPECT_EQ(shown["handle"], entry["handle"]);
        EXPECT_EQ(shown["strings"].size(), entry["strings"].get<std::size_t>());
        tarnwick_test::Structure s;
        s.handle = entry["handle"].get<uint16_t>();
        s.type = type;
        s.length = entry["length"].get<int>();
        std::istringstream hex(shown["formatted"].get<std::string>());
        std::string byte;
        while (hex >> byte) {
            s.formatted.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
        }
        s.strings = shown["strings"].get<std::vector<std::string>>();
        structures.push_back(s);
    }
    return structures;
}

// The tool's JSON documents, each kept in a file to be checked against the
// definition of the command that wrote it in docs/schema, by one run of
// tests/tools/validate-json (python3-jsonschema) for all of them.
class SchemaCheck {
public:
    // Whether the validator can run: python3-jsonschema with draft 2020-12.
    static bool available() {
        static const bool found =
            tarnwick_test::runCommand(quoted(TARNWICK_PYTHON3) + " -c 'from jsonschema import Draft202012Validator'")
                .status == 0;
        return found;
    }

    // Runs the tool with `arguments`, expects `status` and one document,
    // and keeps it for the schema's `definition`.
    std::string run(const std::string &definition, const std::string &arguments, int status = 0) {
        const Result result = inspect(arguments);
        EXPECT_EQ(result.status, status) << arguments << ": " << result.err;
        const std::string path = files.path() + "/" + std::to_string(documents.size()) + ".json";
        smbios::format::writeFileBytes(path, std::vector<uint8_t>(result.out.begin(), result.out.end()));
        documents.push_back(definition + "=" + path);
        names.push_back(arguments);
        return result.out;
    }

    // The validator's verdict on every document kept: empty when each is
    // valid, else its lines, with the commands that wrote the documents.
    std::string failures() const {
        std::string command =
            quoted(TARNWICK_PYTHON3) + " " + quoted(TARNWICK_VALIDATE_JSON) + " " + quoted(TARNWICK_JSON_SCHEMA);
        for (const std::string &document : documents) {
            command += " " + quoted(document);
        }
        const Result result = tarnwick_test::runCommand(command);
        if (result.status == 0 && result.out.empty()) {
            return {};
        }
        std::string report = "validate-json exited " + std::to_string(result.status) + ":\n" + result.out + result.err;
        for (std::size_t i = 0; i < names.size(); ++i) {
            report += files.path() + "/" + std::to_string(i) + ".json: smbios-inspect " + names[i] + "\n";
        }
        return report;
    }

    std::size_t size() const { return documents.size(); }

private:
    tarnwick_test::TempDirectory files;
    std::vector<std::string> documents;  // DEFINITION=FILE
    std::vector<std::string> names;
};

// Every command's JSON on the table `source` reads: each against its
// definition in the schema.
void expectEveryDocumentValid(const std::string &source) {
    if (!SchemaCheck::available()) {
        GTEST_SKIP() << "python3-jsonschema (draft 2020-12) is not installed for " << TARNWICK_PYTHON3
                     << " (scripts/install-deps installs it)";
    }
    SchemaCheck check;
    const Json listed = Json::parse(check.run("list", source + " list --json"));
    std::set<int> types;
    for (const Json &entry : listed["structures"]) {
        types.insert(entry["type"].get<int>());
    }
    for (int type : types) {
        check.run("show", source + " show --type " + std::to_string(type) + " --json");
    }
    if (!listed["structures"].empty()) {
        check.run("show", source + " show --handle " + std::to_string(listed["structures"][0]["handle"].get<int>()) +
                              " --json");
    }
    check.run("decode", source + " decode --json");
    check.run("decode", source + " decode --quiet --no-quirks --type memory --json");
    check.run("entry-point", source + " entry-point --json");
    check.run("vendor", source + " vendor --json");
    // system-id exits 1 where no source finds an ID, with its document.
    const bool found = Json::parse(inspect(source + " system-id --json").out)["systemId"] != 0;
    check.run("system-id", source + " system-id --json", found ? 0 : 1);
    check.run("get", source + " get --list --json");
    for (const std::string &keyword : splitLines(inspect("get --list").out)) {
        std::string arguments = source;
        arguments += " get " + keyword + " --json";
        check.run("get", arguments);
    }
    check.run("get", source + " get --oem-string count --json");
    check.run("get", source + " get --oem-string 1 --json");
    // check exits 3 where a finding is an error, with its document.
    for (const char *profile : {"dsp0134", "arm-bbr"}) {
        const std::string arguments = source + " check --profile " + profile;
        const Json checked = Json::parse(inspect(arguments + " --json").out);
        const int status = checked["summary"]["errors"].get<std::size_t>() > 0 ? 3 : 0;
        check.run("check", arguments + " --json", status);
        check.run("sarif", arguments + " --sarif", status);
    }
    EXPECT_GT(check.size(), 30u);
    EXPECT_EQ(check.failures(), "");
}

// The documents a test has read, against the schema where the validator
// can run (the tests above report SKIPPED where it cannot).
void expectValidWhereCheckable(const SchemaCheck &check) {
    if (SchemaCheck::available()) {
        EXPECT_EQ(check.failures(), "");
    }
}

class SmbiosInspectFixtureTest : public tarnwick_test::DmidecodeTest<RealTable> {
protected:
    void SetUp() override {
        DmidecodeTest::SetUp();
        source = sourceOf(GetParam(), files.path());
    }
    tarnwick_test::TempDirectory files;
    std::string source;
};

TEST_P(SmbiosInspectFixtureTest, ListAndShowAgreeWithDmidecode) {
    // dmidecode reads the dump or image itself, or else the image the tool
    // exports.
    tarnwick_test::DmidecodeReport oracle;
    const tarnwick_test::TempFile image({});
    const std::string file = source.substr(source.find(' ') + 1);
    if (GetParam().format == RealTable::Format::DumpBin) {
        oracle = tarnwick_test::runDmidecode(dmidecode, "--from-dump " + file);
    } else if (GetParam().format == RealTable::Format::Image) {
        oracle = tarnwick_test::runDmidecode(dmidecode, "--no-sysfs -d " + file);
    } else {
        ASSERT_EQ(inspect(source + " export-image -o " + quoted(image.path())).status, 0);
        oracle = tarnwick_test::runDmidecode(dmidecode, "--no-sysfs -d " + quoted(image.path()));
    }
    ASSERT_FALSE(oracle.structures.empty());
    tarnwick_test::expectSameStructures(structuresOf(source), oracle);
}

TEST_P(SmbiosInspectFixtureTest, ExportedDumpDecodesLikeTheSource) {
    const tarnwick_test::TempFile dump({});
    const Result exported = inspect(source + " export-dump -o " + quoted(dump.path()));
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("wrote "), std::string::npos);
    const tarnwick_test::DmidecodeReport fromExport =
        tarnwick_test::runDmidecode(dmidecode, "--from-dump " + quoted(dump.path()));
    tarnwick_test::expectSameStructures(structuresOf(source), fromExport);
}

TEST_P(SmbiosInspectFixtureTest, ExportedImageReadsBackIdentically) {
    const tarnwick_test::TempFile image({});
    ASSERT_EQ(inspect(source + " export-image -o " + quoted(image.path())).status, 0);
    EXPECT_EQ(tarnwick_test::readFile(image.path()).size(), 0x100000u);
    const Result original = inspect(source + " list --json");
    const Result roundTrip = inspect("--image " + quoted(image.path()) + " list --json");
    ASSERT_EQ(roundTrip.status, 0) << roundTrip.err;
    EXPECT_EQ(Json::parse(roundTrip.out), Json::parse(original.out));
    tarnwick_test::expectSameStructures(
        structuresOf(source), tarnwick_test::runDmidecode(dmidecode, "--no-sysfs -d " + quoted(image.path())));
}

TEST_P(SmbiosInspectFixtureTest, ListJsonMatchesTheText) {
    const Result text = inspect(source + " list");
    const Result json = inspect(source + " list --json");
    ASSERT_EQ(text.status, 0);
    const Json listed = Json::parse(json.out);
    std::istringstream lines(text.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("Handle  Type  Name", 0), 0u);
    for (const Json &entry : listed["structures"]) {
        ASSERT_TRUE(std::getline(lines, line));
        unsigned handle = 0;
        unsigned type = 0;
        // NOLINTNEXTLINE(cert-err34-c): both fields matched, or the test fails here
        ASSERT_EQ(std::sscanf(line.c_str(), "0x%x %u", &handle, &type), 2) << line;
        EXPECT_EQ(handle, entry["handle"].get<unsigned>());
        EXPECT_EQ(type, entry["type"].get<unsigned>());
        EXPECT_NE(line.find(entry["name"].get<std::string>()), std::string::npos);
        std::istringstream tail(line.substr(line.size() - 24));
        unsigned length = 0;
        unsigned size = 0;
        unsigned strings = 0;
        tail >> length >> size >> strings;
        EXPECT_EQ(length, entry["length"].get<unsigned>());
        EXPECT_EQ(size, entry["size"].get<unsigned>());
        EXPECT_EQ(strings, entry["strings"].get<unsigned>());
    }
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, std::to_string(listed["structures"].size()) + " structures");
}

// decode, decode --type, get and --oem-string against dmidecode's text,
// -t, -s and --oem-string on the same table, and decode --json against the
// text: the same structures and, in each, the same top-level fields.
// Judged by dmidecode 3.4, which reads images as root, in its words.
TEST_P(SmbiosInspectFixtureTest, DecodeAndGetAgreeWithDmidecode) {
    const tarnwick_test::Release &release = *std::find_if(
        tarnwick_test::releases().begin(), tarnwick_test::releases().end(),
        [](const tarnwick_test::Release &known) { return known.dialect == smbios::decode::Dialect::Dmidecode34; });
    const std::string dmidecode = tarnwick_test::findDmidecode(release);
    if (dmidecode.empty()) {
        GTEST_SKIP() << "dmidecode " << release.name << " is not installed";
    }
    const tarnwick_test::TempFile image({});
    std::string oracle = source.substr(source.find(' ') + 1);
    if (GetParam().format == RealTable::Format::DumpBin) {
        oracle = dmidecode + " --from-dump " + oracle;
    } else if (GetParam().format == RealTable::Format::Image) {
        oracle = dmidecode + " --no-sysfs -d " + oracle;
    } else {
        ASSERT_EQ(inspect(source + " export-image -o " + quoted(image.path())).status, 0);
        oracle = dmidecode + " --no-sysfs -d " + quoted(image.path());
    }
    const auto dmidecodeSays = [&](const std::string &arguments) {
        return tarnwick_test::runCommand(oracle + " " + arguments + " 2>/dev/null").out;
    };
    const std::string words = std::string(" --dmidecode ") + release.name;
    const Result decoded = inspect(source + " decode" + words);
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    tarnwick_test::expectSameBlocks(tarnwick_test::textBlocks(dmidecodeSays("")),
                                    tarnwick_test::textBlocks(decoded.out), release);
    for (const char *keyword :
         {"bios", "system", "baseboard", "chassis", "processor", "memory", "cache", "connector", "slot"}) {
        SCOPED_TRACE(keyword);
        tarnwick_test::expectSameBlocks(
            tarnwick_test::textBlocks(dmidecodeSays(std::string("-t ") + keyword)),
            tarnwick_test::textBlocks(inspect(source + " decode --type " + keyword + words).out), release);
    }
    for (const std::string &keyword : splitLines(inspect("get --list").out)) {
        std::string get = source + " get ";
        get += keyword;
        get += words;
        EXPECT_EQ(inspect(get).out, dmidecodeSays("-s " + keyword)) << keyword;
    }
    for (const char *oemString : {"count", "1", "3"}) {
        EXPECT_EQ(inspect(source + " get --oem-string " + oemString).out,
                  dmidecodeSays(std::string("--oem-string ") + oemString))
            << oemString;
    }

    // In each structure, the JSON's fields are the text's, in its order
    // (a name that repeats once, its values in an array), each under the
    // key of the words 3.4's text shows, which are the words a field was
    // first named by: the lines one tab in, or the headings of a structure
    // shown under headings (several on-board devices, the entries of
    // additional information). A field that 3.4 does not show has the key
    // of the 3.7 text's name, or of the words 3.4 gave it before.
    // The document is the same whichever release's words the text takes.
    const std::string document = inspect(source + " decode --json").out;
    for (const char *other : {"3.4", "3.6"}) {
        EXPECT_EQ(inspect(source + " decode --json --dmidecode " + other).out, document) << other;
    }
    const nlohmann::ordered_json json = nlohmann::ordered_json::parse(document);
    const std::vector<std::string> blocks = tarnwick_test::textBlocks(inspect(source + " decode").out);
    const std::vector<std::string> blocks34 = tarnwick_test::textBlocks(decoded.out);
    const nlohmann::ordered_json &structures = json["structures"];
    ASSERT_EQ(structures.size(), blocks.size());
    ASSERT_EQ(blocks34.size(), blocks.size());
    const auto topLevelNames = [](const std::string &block, bool headings) {
        std::vector<std::string> names;
        const std::vector<std::string> lines = splitLines(block);
        for (std::size_t n = headings ? 1 : 2; n < lines.size(); ++n) {
            const std::string &line = lines[n];
            if (headings ? !line.empty() && line[0] != '\t' : line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
                names.push_back(line.substr(headings ? 0 : 1, line.find(':') - (headings ? 0 : 1)));
            }
        }
        return names;
    };
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const nlohmann::ordered_json &structure = structures[i];
        const int type = structure["type"].get<int>();
        const nlohmann::ordered_json &fields = structure["fields"];
        const bool headings = (type == 10 || type == 40) && !fields.empty() &&
                              std::all_of(fields.begin(), fields.end(),
                                          [](const nlohmann::ordered_json &value) { return value.is_object(); });
        EXPECT_EQ(structure["handle"].get<unsigned>(), std::stoul(blocks[i].substr(9, 4), nullptr, 16));
        EXPECT_EQ(structure["name"], smbios::decode::typeName(type));
        const auto keysOf = [](const std::vector<std::string> &names) {
            std::vector<std::string> keys;
            std::set<std::string> seen;
            for (const std::string &name : names) {
                if (seen.insert(smbios::decode::jsonKey(name)).second) {
                    keys.push_back(smbios::decode::jsonKey(name));
                }
            }
            return keys;
        };
        const std::vector<std::string> names = topLevelNames(blocks[i], headings);
        const std::vector<std::string> names34 = topLevelNames(blocks34[i], headings);
        std::vector<std::string> keys;
        for (const auto &field : fields.items()) {
            keys.push_back(field.key());
        }
        const std::vector<std::string> keys34 = keysOf(names34);
        if (keys == keys34) {
            continue;
        }
        // Where the releases show different fields (3.4 lacks some newer
        // ones, 3.7 leaves out some unknown values that programs still
        // get), the document holds the fields of both, each under the key of
        // its first words.
        const std::vector<std::string> keys37 = keysOf(names);
        EXPECT_GE(keys.size(), std::max(keys34.size(), keys37.size())) << blocks[i];
        for (const std::string &key : keys) {
            EXPECT_TRUE(std::count(keys37.begin(), keys37.end(), key) == 1 ||
                        std::count(keys34.begin(), keys34.end(), key) == 1)
                << key << " in\n"
                << blocks[i];
        }
    }
    EXPECT_EQ(json["structure_count"].get<std::size_t>(),
              Json::parse(inspect(source + " list --json").out)["structures"].size());
}

TEST_P(SmbiosInspectFixtureTest, RealMachinesHaveNoSystemId) {
    const Result result = inspect(source + " system-id --json");
    const Json answer = Json::parse(result.out);
    if (std::string(GetParam().path).find("oem") != std::string::npos) {  // SeaBIOS with the maker's OEM strings
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(answer["systemId"], 0x0286);
        return;
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(answer["systemId"], 0);
    EXPECT_EQ(answer["sources"].size(), 4u);
    EXPECT_EQ(result.err, "smbios-inspect: no system ID: no source found one\n");
}

TEST_P(SmbiosInspectFixtureTest, EveryCommandsJsonFollowsTheSchema) {
    expectEveryDocumentValid(source);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SmbiosInspectFixtureTest, ::testing::ValuesIn(tarnwick_test::realTables()),
                         [](const ::testing::TestParamInfo<RealTable> &info) { return std::string(info.param.name); });

// The built tables of tests/data/decode, read bare (--raw).
std::vector<std::string> builtTables() {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(tarnwick_test::testDataPath("decode"))) {
        if (entry.path().extension() == ".raw") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class BuiltTableJsonTest : public ::testing::TestWithParam<std::string> {};

TEST_P(BuiltTableJsonTest, EveryCommandsJsonFollowsTheSchema) {
    expectEveryDocumentValid("--raw " + quoted(tarnwick_test::testDataPath("decode/" + GetParam())));
}

INSTANTIATE_TEST_SUITE_P(BuiltTables, BuiltTableJsonTest, ::testing::ValuesIn(builtTables()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param.substr(0, info.param.rfind('.'));
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// ---------------------------------------------------------------------------
// The commands on SeaBIOS with the maker's marks.

const std::string kOemImage = quoted(tarnwick_test::testDataPath("qemu/seabios-pc-oem-strings.img"));
const std::string kVariantImage = quoted(tarnwick_test::testDataPath("qemu/vorn-variant.img"));

TEST(SmbiosInspectTest, SystemIdNamesTheIdAndEverySource) {
    const Result result = inspect("--image " + kOemImage + " system-id");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("System ID: 0x0286 (646)\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("getSystemIdFromOemString      : 0x0286 (646)"), std::string::npos);
    EXPECT_NE(result.out.find("getSystemIdFromTypeD0"), std::string::npos);
    EXPECT_EQ(result.err, "");
}

TEST(SmbiosInspectTest, VendorChecks) {
    SchemaCheck check;
    const Json checks = Json::parse(check.run("vendor", "--image " + kOemImage + " vendor --json"));
    EXPECT_EQ(checks["isVornByMemoryMarker"], false);
    EXPECT_EQ(checks["isVornByOemString"], true);
    EXPECT_EQ(checks["isSystemId8C"], false);
    const Result text = inspect("--image " + kOemImage + " vendor");
    EXPECT_EQ(text.out, "isVornByMemoryMarker : no\nisVornByOemString    : yes\nisSystemId8C         : no\n");
    expectValidWhereCheckable(check);
}

TEST(SmbiosInspectTest, ShowByHandleAndByType) {
    const Result byHandle = inspect("--image " + kOemImage + " show --handle 0x0E00");
    EXPECT_EQ(byHandle.status, 0);
    EXPECT_EQ(byHandle.out, "Handle 0x0E00, DMI type 11 (OEM Strings), 5 bytes, 26 in all\n"
                            "\tFormatted area:\n\t\t0B 05 00 0E 02\n"
                            "\tStrings:\n\t\t1: Vorn System\n\t\t2: 1[0286]\n\n");
    SchemaCheck check;
    const Json byType = Json::parse(check.run("show", "--image " + kOemImage + " show --type 11 --json"));
    ASSERT_EQ(byType["structures"].size(), 1u);
    EXPECT_EQ(byType["structures"][0]["strings"], Json::array({"Vorn System", "1[0286]"}));
    EXPECT_EQ(byType["structures"][0]["formatted"], "0B 05 00 0E 02");
    expectValidWhereCheckable(check);
}

// The image with the maker's variant marks, whose type 212 the workarounds
// correct, is no real table: its JSON too.
TEST(SmbiosInspectTest, VariantImageJsonFollowsTheSchema) {
    expectEveryDocumentValid("--image " + kVariantImage);
}

TEST(SmbiosInspectTest, ShowSeesTheWorkaroundsCorrection) {
    const Json shown = Json::parse(inspect("--image " + kVariantImage + " show --type 212 --json").out);
    EXPECT_EQ(shown["structures"][0]["formatted"], "D4 0B 02 D4 00 00 00 00 01 00 00");
    const tarnwick_test::TempFile image({});
    inspect("--image " + kVariantImage + " export-image -o " + quoted(image.path()));
    const std::vector<uint8_t> exported = tarnwick_test::readFile(image.path());
    const std::vector<uint8_t> needle = {0xD4, 0x0B, 0x02, 0xD4};
    const auto at = std::search(exported.begin(), exported.end(), needle.begin(), needle.end());
    ASSERT_GT(exported.end() - at, 8) << "the type 212 structure is in the image";
    EXPECT_EQ(*(at + 8), 3) << "exports carry the firmware's bytes";
}

TEST(SmbiosInspectTest, EntryPointAndItsValidation) {
    SchemaCheck check;
    const Json ep = Json::parse(check.run("entry-point", "--image " + kOemImage + " entry-point --json"));
    EXPECT_EQ(ep["anchor"], "_SM_");
    EXPECT_EQ(ep["dmiAnchor"], "_DMI_");
    EXPECT_EQ(ep["majorVersion"], 2);
    EXPECT_EQ(ep["minorVersion"], 8);
    EXPECT_EQ(ep["numStructures"], 10);
    EXPECT_EQ(ep["strictValidation"], "passed");
    const Result text = inspect("--image " + kOemImage + " entry-point");
    EXPECT_NE(text.out.find("\ttable_address         : 0x000F5A00\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Strict validation: passed"), std::string::npos);
    expectValidWhereCheckable(check);
}

// The record each kind of source really holds, and the table's whole length.
TEST(SmbiosInspectTest, EntryPointIsTheOneTheSourceHolds) {
    const std::string data = tarnwick_test::testDataPath("");
    struct Case {
        std::string source;
        std::string firstLine;
        const char *kind;
        std::size_t length;
    };
    const Case cases[] = {
        {"--image " + quoted(data + "qemu/seabios-pc-smbios3.img"), "Entry point (SMBIOS 3, 64-bit) at 0x000F59F0",
         "smbios3", 394},
        {"--dump " + quoted(data + "real-smbios/dump-bin/GigaByte-X399.bin"), "Entry point (SMBIOS 3, 64-bit)",
         "smbios3", 3415},
        {"--rsmb " + quoted(data + "real-smbios/rsmb/AMD-desktop-3.2.rsmb"),
         "Entry point: none; RSMB header (Windows firmware-table query)", "rsmb", 1071},
        {"--raw " + quoted(data + "real-smbios/raw/HyperV.DMI"), "Entry point: none (the source holds the table alone)",
         "none", 17307},
    };
    SchemaCheck check;
    for (const Case &c : cases) {
        const Result text = inspect(c.source + " entry-point");
        ASSERT_EQ(text.status, 0) << c.source << ": " << text.err;
        EXPECT_EQ(text.out.substr(0, text.out.find('\n')), c.firstLine);
        EXPECT_NE(text.out.find("Table: " + std::to_string(c.length) + " bytes\n"), std::string::npos) << text.out;
        const Json json = Json::parse(check.run("entry-point", c.source + " entry-point --json"));
        EXPECT_EQ(json["kind"], c.kind);
        EXPECT_EQ(json["tableLengthInBytes"], c.length);
    }
    const Json smbios3 = Json::parse(inspect(cases[0].source + " entry-point --json").out);
    EXPECT_EQ(smbios3["address"], 0xF59F0);
    EXPECT_EQ(smbios3["tableAddressHex"], "0x00000000000F5A10");
    EXPECT_EQ(smbios3["maxTableSize"], 394);
    EXPECT_EQ(smbios3["validation"], "passed");
    expectValidWhereCheckable(check);
}

TEST(SmbiosInspectTest, DumpIsTheLibrarysOwnDump) {
    const std::string path = tarnwick_test::testDataPath("qemu/seabios-pc-oem-strings.img");
    std::ostringstream expected;
    {
        tarnwick_test::MemoryImageFixture image(path);
        std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategies;
        strategies.push_back(std::make_unique<smbios::SmbiosMemoryStrategy>());
        smbios::SmbiosTable table(std::move(strategies), false);
        table.initializeWorkaround();
        expected << table;
    }
    EXPECT_EQ(inspect("--image " + quoted(path) + " dump").out, expected.str());
}

TEST(SmbiosInspectTest, OffsetAndStrict) {
    const tarnwick_test::TempFile image({});
    ASSERT_EQ(inspect("--image " + kOemImage + " export-image -o " + quoted(image.path())).status, 0);
    EXPECT_EQ(inspect("--image " + quoted(image.path()) + " --offset 0xF0000 --strict list").status, 0);
    const Result wrong = inspect("--image " + quoted(image.path()) + " --offset 0xF0010 list");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "smbios-inspect: " + image.path() +
                             ": no SMBIOS table in it: no valid entry point (_SM3_ or _SM_) at offset F0010h, or "
                             "none whose table lies inside the image\n");
}

// ---------------------------------------------------------------------------
// smbios-dmidecode, the drop-in for dmidecode 3.7, against dmidecode 3.7.

Result dropIn(const std::string &arguments) {
    return tarnwick_test::runCommand(tarnwick_test::shellQuoted(TARNWICK_SMBIOS_DMIDECODE) + " " + arguments);
}

std::string withoutFirstLine(const std::string &text) {
    const std::size_t end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}

// The first line where dmidecode's text and ours differ, for a failure message.
std::string firstDifference(const std::string &theirs, const std::string &ours) {
    const std::vector<std::string> a = splitLines(theirs);
    const std::vector<std::string> b = splitLines(ours);
    std::size_t line = 0;
    while (line < a.size() && line < b.size() && a[line] == b[line]) {
        ++line;
    }
    return (a.empty() ? "" : a[0]) + ": line " + std::to_string(line + 1) + ": dmidecode '" +
           (line < a.size() ? a[line] : "") + "', smbios-dmidecode '" + (line < b.size() ? b[line] : "") + "'";
}

class DropInTest : public SmbiosInspectFixtureTest {
protected:
    void SetUp() override {
        SmbiosInspectFixtureTest::SetUp();
        dmidecode37 = tarnwick_test::findDmidecode(release37());
        if (dmidecode37.empty()) {
            GTEST_SKIP() << "dmidecode 3.7 is not installed (scripts/install-deps installs it)";
        }
    }
    static const tarnwick_test::Release &release37() {
        const std::vector<tarnwick_test::Release> &known = tarnwick_test::releases();
        return *std::find_if(known.begin(), known.end(), [](const tarnwick_test::Release &release) {
            return release.dialect == smbios::decode::Dialect::Dmidecode37;
        });
    }
    std::string dmidecode37;
};

// Every option that selects or shows, on the table as a dump both read:
// the same exit status and the same output but for the first comment line.
// Decoded structures of a type dmidecode decodes from a maker's document
// (isJudgedByDmidecode) agree in their Handle line only.
TEST_P(DropInTest, OutputIsDmidecode37s) {
    const tarnwick_test::TempFile dump({});
    ASSERT_EQ(inspect(source + " export-dump -o " + quoted(dump.path())).status, 0);
    const std::string from = "--from-dump " + quoted(dump.path()) + " ";
    for (const char *arguments : {"", "-t memory", "-t 4,7 -t 17", "-H 0x0002", "--no-quirks -t 0", "-u", "-u -q",
                                  "-s system-uuid", "-s processor-frequency", "--oem-string count", "--oem-string 1"}) {
        SCOPED_TRACE(arguments);
        const Result theirs = tarnwick_test::runCommand(dmidecode37 + " " + from + arguments);
        const Result ours = dropIn(from + arguments);
        EXPECT_EQ(ours.status, theirs.status) << ours.err;
        if (theirs.out.rfind("# dmidecode 3.7\n", 0) != 0) {  // -s, --oem-string: the values alone
            EXPECT_EQ(ours.out, theirs.out);
            continue;
        }
        EXPECT_EQ(ours.out.substr(0, ours.out.find('\n')), "# smbios-dmidecode 0.1.0 (Tarnwick)");
        const std::vector<std::string> theirBlocks = tarnwick_test::textBlocks(theirs.out);
        const std::vector<std::string> ourBlocks = tarnwick_test::textBlocks(ours.out);
        EXPECT_EQ(withoutFirstLine(ours.out.substr(0, ours.out.find("\nHandle 0x") + 1)),
                  withoutFirstLine(theirs.out.substr(0, theirs.out.find("\nHandle 0x") + 1)))
            << "the heading";
        ASSERT_EQ(ourBlocks.size(), theirBlocks.size()) << "structures shown";
        for (std::size_t i = 0; i < theirBlocks.size(); ++i) {
            if (tarnwick_test::isJudgedByDmidecode(theirBlocks[i], release37())) {
                EXPECT_EQ(ourBlocks[i], theirBlocks[i]) << firstDifference(theirBlocks[i], ourBlocks[i]);
            } else {
                EXPECT_EQ(ourBlocks[i].substr(0, ourBlocks[i].find('\n')),
                          theirBlocks[i].substr(0, theirBlocks[i].find('\n')));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DropInTest, ::testing::ValuesIn(tarnwick_test::realTables()),
                         [](const ::testing::TestParamInfo<RealTable> &info) { return std::string(info.param.name); });

// -d reads a memory image, as root too (dmidecode 3.5 and later refuse a
// file there), and --dump-bin writes what dmidecode writes, never over a
// file.
TEST(DropInDumpTest, MemoryImageToDump) {
    const std::string dmidecode = tarnwick_test::findDmidecode();
    if (dmidecode.empty()) {
        GTEST_SKIP() << "dmidecode is not installed";
    }
    const tarnwick_test::TempDirectory files;
    const std::string ours = files.path() + "/ours.bin";
    const std::string theirs = files.path() + "/theirs.bin";
    const Result written = dropIn("-d " + kOemImage + " --dump-bin " + quoted(ours));
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "# smbios-dmidecode 0.1.0 (Tarnwick)\nScanning " +
                               tarnwick_test::testDataPath("qemu/seabios-pc-oem-strings.img") +
                               " for entry point.\nSMBIOS 2.8 present.\n10 structures occupying 401 bytes.\n"
                               "Table at 0x000F5A00.\n\n# Writing 31 bytes to " +
                               ours + ".\n# Writing 401 bytes to " + ours + ".\n");
    ASSERT_EQ(
        tarnwick_test::runCommand(dmidecode + " --no-sysfs -d " + kOemImage + " --dump-bin " + quoted(theirs)).status,
        0);
    EXPECT_EQ(tarnwick_test::readFile(ours), tarnwick_test::readFile(theirs));
    const Result again = dropIn("-q -d " + kOemImage + " --dump-bin " + quoted(ours));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(std::count(again.err.begin(), again.err.end(), '\n'), 1) << again.err;
}

struct DropInUsage {
    const char *name;
    std::string arguments;
    int status;
};

void PrintTo(const DropInUsage &usage, std::ostream *out) {
    *out << usage.name;
}

class DropInUsageTest : public ::testing::TestWithParam<DropInUsage> {};

// dmidecode 3.7's exit statuses, each refusal one line on stderr (a file
// that cannot be read comes after the heading on stdout, as dmidecode's).
TEST_P(DropInUsageTest, ExitsAsDmidecode) {
    const Result result = dropIn(GetParam().arguments);
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_EQ(result.err.rfind("smbios-dmidecode: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DropInUsageTest,
    ::testing::Values(DropInUsage{"UnknownOption", "--frobnicate", 2}, DropInUsage{"MissingValue", "-t", 2},
                      DropInUsage{"TypeNumber", "-t 256", 2}, DropInUsage{"TypeKeyword", "-t 1,memroy", 2},
                      DropInUsage{"StringKeyword", "-s bios", 2}, DropInUsage{"Handle", "-H 0x10000", 2},
                      DropInUsage{"OemStringZero", "--oem-string 0", 2},
                      DropInUsage{"TwoStrings", "-s bios-version --oem-string 1", 2},
                      DropInUsage{"TypeAndHandle", "-t 1 -H 2", 2},
                      DropInUsage{"FromDumpAndDumpBin", "--from-dump a --dump-bin b", 2},
                      DropInUsage{"MissingDump", "--from-dump " + quoted(tarnwick_test::missingFilePath()), 1}),
    [](const ::testing::TestParamInfo<DropInUsage> &info) { return std::string(info.param.name); });

TEST(DropInHelpTest, HelpVersionAndLists) {
    const Result help = dropIn("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: smbios-dmidecode [OPTIONS]\n", 0), 0u) << help.out;
    for (const char *option :
         {"--dev-mem", "--quiet", "--no-quirks", "--string", "--list-strings", "--type", "--list-types", "--handle",
          "--dump", "--dump-bin", "--from-dump", "--no-sysfs", "--oem-string", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(dropIn("-V").out, "3.7\n");
    EXPECT_EQ(dropIn("--list-types").out,
              "bios\nsystem\nbaseboard\nchassis\nprocessor\nmemory\ncache\nconnector\nslot\n");
    EXPECT_EQ(dropIn("--list-strings").out, inspect("get --list").out);
}

// ---------------------------------------------------------------------------
// check: the findings of a built table in every output, exit 3 on an error,
// and the sources that are broken or missing.

namespace fmt = smbios::format;

// The check's clean table, which breaks no rule; and without its
// End-of-Table structure, which breaks walk.end-of-table-missing.
smbios::SmbiosTableBytes cleanSource() {
    return tarnwick_test::cleanTable().source();
}

smbios::SmbiosTableBytes withoutEndOfTable() {
    tarnwick_test::CaseTable table = tarnwick_test::cleanTable();
    table.structures.pop_back();
    return table.source();
}

// An image of the table whose entry point's checksum is off by one.
std::vector<uint8_t> imageWithBadChecksum(const smbios::SmbiosTableBytes &source) {
    const fmt::ImageLayout layout = fmt::layoutFor(source.table.size());
    std::vector<uint8_t> image = fmt::buildMemoryImage(source, layout);
    ++image[layout.entryPointAddress + 5];
    return image;
}

std::string handleName(const Json &handle) {
    char text[8];
    (void)std::snprintf(text, sizeof text, "0x%04X", handle.get<unsigned>());
    return text;
}

struct CheckRun {
    const char *name;
    // Writes the source into `directory`; returns the arguments after "check".
    std::string (*source)(const tarnwick_test::TempDirectory &directory);
    const char *options;  // after "check"
    int status;
    const char *rule;  // a rule the output names, or the text of the one line on stderr
};

void PrintTo(const CheckRun &run, std::ostream *out) {
    *out << run.name;
}

class CheckCommandTest : public ::testing::TestWithParam<CheckRun> {};

TEST_P(CheckCommandTest, ExitsAsTheFindingsSay) {
    const CheckRun &run = GetParam();
    const tarnwick_test::TempDirectory files;
    const std::string source = run.source(files);
    const Result result = inspect("check " + source + " " + run.options);
    EXPECT_EQ(result.status, run.status) << result.out << result.err;
    if (run.status == 1 || run.status == 2) {
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("smbios-inspect: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(run.rule), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), run.status == 2 ? 2 : 1) << result.err;
        return;
    }
    EXPECT_EQ(result.err, "");
    if (run.status == 3) {
        EXPECT_NE(result.out.find(std::string("error   ") + run.rule + " table: "), std::string::npos) << result.out;
    } else {
        EXPECT_EQ(result.out.rfind("0 errors, 0 warnings, 0 infos in ", 0), 0u) << result.out;
    }
}

std::string cleanDump(const tarnwick_test::TempDirectory &directory) {
    return "--dump " + quoted(directory.write("clean.bin", fmt::buildDumpBin(cleanSource())));
}

std::string cleanImage(const tarnwick_test::TempDirectory &directory) {
    return "--image " + quoted(directory.write("clean.img", fmt::buildMemoryImage(cleanSource())));
}

std::string cleanSysfsPair(const tarnwick_test::TempDirectory &directory) {
    const smbios::SmbiosTableBytes source = cleanSource();
    directory.write("smbios_entry_point", source.entryPoint);
    return "--raw " + quoted(directory.write("DMI", source.table));
}

std::string rawWithoutEndOfTable(const tarnwick_test::TempDirectory &directory) {
    return "--raw " + quoted(directory.write("table.raw", withoutEndOfTable().table));
}

std::string rsmbWithoutEndOfTable(const tarnwick_test::TempDirectory &directory) {
    const smbios::SmbiosTableBytes source = withoutEndOfTable();
    return "--rsmb " + quoted(directory.write("table.rsmb", fmt::buildRawSmbiosData(3, 0, source.table)));
}

// The entry point fails its checksum; the table behind it is checked still.
std::string imageWithBadEntryPoint(const tarnwick_test::TempDirectory &directory) {
    return "--image " + quoted(directory.write("bad.img", imageWithBadChecksum(withoutEndOfTable())));
}

std::string missingDump(const tarnwick_test::TempDirectory &) {
    return "--dump " + quoted(tarnwick_test::missingFilePath());
}

std::string blankImage(const tarnwick_test::TempDirectory &directory) {
    return "--image " + quoted(directory.write("blank.img", std::vector<uint8_t>(0x100000, 0)));
}

std::string dumpAndMissingProfile(const tarnwick_test::TempDirectory &directory) {
    return cleanDump(directory) + " --profile " + quoted(tarnwick_test::missingFilePath() + ".json");
}

std::string dumpAndDeviceProfile(const tarnwick_test::TempDirectory &directory) {
    return cleanDump(directory) + " --profile /dev/zero";
}

std::string dumpAndBrokenProfile(const tarnwick_test::TempDirectory &directory) {
    const std::string text = "{\"name\": ";
    return cleanDump(directory) + " --profile " +
           quoted(directory.write("broken.json", std::vector<uint8_t>(text.begin(), text.end())));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, CheckCommandTest,
    ::testing::Values(CheckRun{"CleanDump", cleanDump, "", 0, ""}, CheckRun{"CleanImage", cleanImage, "", 0, ""},
                      CheckRun{"CleanSysfsPair", cleanSysfsPair, "--profile dsp0134", 0, ""},
                      CheckRun{"RawWithoutEndOfTable", rawWithoutEndOfTable, "", 3, "walk.end-of-table-missing"},
                      CheckRun{"RsmbWithoutEndOfTable", rsmbWithoutEndOfTable, "", 3, "walk.end-of-table-missing"},
                      CheckRun{"ImageWithBadEntryPoint", imageWithBadEntryPoint, "", 3, "walk.end-of-table-missing"},
                      CheckRun{"MissingFile", missingDump, "", 1, "No such file or directory"},
                      CheckRun{"ImageWithoutEntryPoint", blankImage, "", 1, "blank.img: no SMBIOS entry point"},
                      CheckRun{"MissingProfile", dumpAndMissingProfile, "", 1, "cannot read the profile "},
                      CheckRun{"ProfileOfADevice", dumpAndDeviceProfile, "", 1, "/dev/zero: is a device, not a file"},
                      CheckRun{"BrokenProfile", dumpAndBrokenProfile, "", 1, "broken.json"},
                      CheckRun{"UnknownProfile", cleanDump, "--profile dsp0135", 2,
                               "unknown profile 'dsp0135': the built-in ones are dsp0134 and arm-bbr"}),
    [](const ::testing::TestParamInfo<CheckRun> &info) { return std::string(info.param.name); });

// The text, the JSON and the SARIF log of one broken table say the same
// findings; both documents follow the schema.
TEST(CheckOutputTest, TextJsonAndSarifAgree) {
    const tarnwick_test::TempDirectory files;
    const std::string file = files.write("no end.bin", fmt::buildDumpBin(withoutEndOfTable()));
    const std::string source = "--dump " + quoted(file);
    SchemaCheck check;
    const Json document = Json::parse(check.run("check", source + " check --json", 3));
    const Json log = Json::parse(check.run("sarif", source + " check --sarif", 3));
    expectValidWhereCheckable(check);

    EXPECT_EQ(document["profile"], "dsp0134");
    EXPECT_EQ(document["source"], Json({{"kind", "dump"}, {"file", file}, {"entry_point", "smbios3"}}));
    EXPECT_EQ(document["smbios_version"], Json({{"major", 3}, {"minor", 0}, {"docrev", 0}}));
    const Json &findings = document["findings"];
    ASSERT_FALSE(findings.empty());
    const auto missing = std::find_if(findings.begin(), findings.end(),
                                      [](const Json &f) { return f["rule"] == "walk.end-of-table-missing"; });
    ASSERT_NE(missing, findings.end()) << findings.dump();
    EXPECT_EQ((*missing)["handle"], nullptr);
    EXPECT_EQ((*missing)["severity"], "error");
    EXPECT_EQ((*missing)["reference"], smbios::check::findRule("walk.end-of-table-missing")->reference);

    const Json &summary = document["summary"];
    const auto plural = [](const Json &count, const std::string &word) {
        return std::to_string(count.get<std::size_t>()) + " " + word + (count == 1 ? "" : "s");
    };
    const std::vector<std::string> lines = splitLines(inspect(source + " check").out);
    ASSERT_EQ(lines.size(), findings.size() + 1);
    EXPECT_EQ(lines.back(), plural(summary["errors"], "error") + ", " + plural(summary["warnings"], "warning") + ", " +
                                plural(summary["infos"], "info") + " in " + plural(summary["structures"], "structure") +
                                " (profile dsp0134)");
    for (std::size_t i = 0; i < findings.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(findings[i]["severity"].get<std::string>(), 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find(" " + findings[i]["rule"].get<std::string>() + " "), std::string::npos) << lines[i];
        EXPECT_NE(lines[i].find(": " + findings[i]["message"].get<std::string>() + " ["), std::string::npos)
            << lines[i];
    }

    // SARIF: the driver lists every rule; each result points at its own
    // by index, at a level of SARIF's, at the file read (its URI encoded).
    ASSERT_EQ(log["version"], "2.1.0");
    ASSERT_EQ(log["runs"].size(), 1u);
    const Json &run = log["runs"][0];
    const Json &rules = run["tool"]["driver"]["rules"];
    ASSERT_EQ(rules.size(), smbios::check::rules().size());
    const Json &results = run["results"];
    ASSERT_EQ(results.size(), findings.size());
    const std::map<std::string, std::string> levels = {{"error", "error"}, {"warning", "warning"}, {"info", "note"}};
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Json &result = results[i];
        EXPECT_EQ(result["ruleId"], findings[i]["rule"]);
        EXPECT_EQ(rules.at(result["ruleIndex"].get<std::size_t>())["id"], result["ruleId"]);
        EXPECT_EQ(result["level"], levels.at(findings[i]["severity"].get<std::string>()));
        EXPECT_EQ(result["message"]["text"], findings[i]["message"]);
        const std::string uri = result["locations"][0]["physicalLocation"]["artifactLocation"]["uri"];
        EXPECT_EQ(uri, file.substr(0, file.rfind('/')) + "/no%20end.bin");
        EXPECT_EQ(result["locations"][0]["logicalLocations"][0]["name"],
                  findings[i]["handle"].is_null() ? Json("table") : Json(handleName(findings[i]["handle"])));
    }
}

// The rules as the library has them, in both forms.
TEST(CheckOutputTest, ListRules) {
    SchemaCheck check;
    const Json listed = Json::parse(check.run("check-rules", "check --list-rules --json"));
    expectValidWhereCheckable(check);
    const std::vector<smbios::check::Rule> &rules = smbios::check::rules();
    ASSERT_EQ(listed["rules"].size(), rules.size());
    for (std::size_t i = 0; i < rules.size(); ++i) {
        EXPECT_EQ(listed["rules"][i], Json({{"id", rules[i].id},
                                            {"severity", smbios::check::severityName(rules[i].severity)},
                                            {"reference", rules[i].reference},
                                            {"why", rules[i].why}}));
    }
    const std::vector<std::string> lines = splitLines(inspect("check --list-rules").out);
    ASSERT_EQ(lines.size(), rules.size() + 1);
    EXPECT_EQ(lines.back(), std::to_string(rules.size()) + " rules");
    EXPECT_EQ(lines[0].rfind(std::string(rules[0].id) + " ", 0), 0u) << lines[0];
}

// ---------------------------------------------------------------------------
// Failures and usage.

// Named exactly as given, "%" and placeholders included.
TEST(SmbiosInspectErrorTest, MissingFilesAreNamed) {
    const std::string base = tarnwick_test::missingFilePath();
    for (const std::string &missing : {base, base + "disk 100%% full.img", base + "missing%(file)s.img"}) {
        const Result image = inspect("--image " + quoted(missing) + " list");
        EXPECT_EQ(image.status, 1);
        EXPECT_EQ(image.err, "smbios-inspect: Unable to open memory. File: " + missing +
                                 ", OS Error: No such file or directory\n");
        EXPECT_EQ(image.out, "");
        const Result dump = inspect("--dump " + quoted(missing) + " list");
        EXPECT_EQ(dump.status, 1);
        EXPECT_EQ(dump.err,
                  "smbios-inspect: Could not read the SMBIOS table file " + missing + ": No such file or directory\n");
    }
}

// The running machine without its sources: in a mount namespace of the
// test's own, /dev and /sys are empty scratch folders, or hold the source
// files with no rights to read them.
class MachineWithoutTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0 || tarnwick_test::runCommand("unshare -m true").status != 0) {
            GTEST_SKIP() << "needs root and mount namespaces (unshare -m)";
        }
    }

    // Runs `prepare` and then the tool, as `user`, in the namespace.
    static Result inNamespace(const std::string &prepare, const std::string &user = "") {
        const std::string script = "mount -t tmpfs none /dev && mount -t tmpfs none /sys && " + prepare + "exec " +
                                   user + tarnwick_test::shellQuoted(TARNWICK_SMBIOS_INSPECT) + " list";
        return tarnwick_test::runCommand("unshare -m sh -c " + tarnwick_test::shellQuoted(script));
    }

    static std::string expected(const std::string &error, const std::string &rights) {
        return "smbios-inspect: no SMBIOS table on this machine: physical memory: Unable to open memory. File: "
               "/dev/mem, OS Error: " +
               error + rights +
               "; the firmware tables: Could not read the SMBIOS table file "
               "/sys/firmware/dmi/tables/smbios_entry_point: " +
               error + rights +
               "; WMI: WMI exists only on Windows: the SMBIOS table cannot be read through WMI here.\n";
    }
};

TEST_F(MachineWithoutTableTest, SaysWhichSourcesWereTriedAndWhyEachFailed) {
    const Result none = inNamespace("");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, expected(std::strerror(ENOENT), ""));

    const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (tarnwick_test::runCommand(nobody + tarnwick_test::shellQuoted(TARNWICK_SMBIOS_INSPECT) + " --version").status !=
        0) {
        GTEST_SKIP() << "the user nobody cannot run " << TARNWICK_SMBIOS_INSPECT;
    }
    const Result refused =
        inNamespace("mkdir -p /sys/firmware/dmi/tables && "
                    "touch /dev/mem /sys/firmware/dmi/tables/smbios_entry_point "
                    "/sys/firmware/dmi/tables/DMI && chmod 000 /dev/mem /sys/firmware/dmi/tables/* && ",
                    nobody);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, expected(std::strerror(EACCES), " (needs root)"));
}

// Inputs that could hang a reader or take its memory, and files that hold
// no table: each source option refuses each within a bound of time and
// memory, with one line naming the file and why.
struct HostileInput {
    const char *name;
    const char *option;  // the source option
    const char *file;    // a kind of file, made by the test
    const char *says;    // what the line says after "smbios-inspect: FILE"
};

void PrintTo(const HostileInput &input, std::ostream *out) {
    *out << input.name;
}

class HostileInputTest : public ::testing::TestWithParam<HostileInput> {
protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<tarnwick_test::TempDirectory>();
        std::filesystem::create_directory(folder->path() + "/directory");
        folder->write("empty", {});
        folder->write("zeros", std::vector<uint8_t>(0x100000, 0));
        // 8 GiB of nothing: the file system stores none of it.
        std::filesystem::resize_file(folder->write("sparse", {}), std::uintmax_t{8} << 30);
        // A dump and an RSMB buffer one byte short of the table they declare.
        namespace fmt = smbios::format;
        const smbios::SmbiosTableBytes vmware =
            fmt::parseDumpBin(fmt::readFileBytes(tarnwick_test::testDataPath("real-smbios/dump-bin/VMWare.bin")));
        fmt::Bytes dump = fmt::buildDumpBin(vmware);
        dump.pop_back();
        folder->write("short-dump", dump);
        fmt::Bytes rsmb = fmt::buildRawSmbiosData(2, 7, vmware.table);
        rsmb.pop_back();
        folder->write("short-rsmb", rsmb);
    }
    static void TearDownTestSuite() { folder.reset(); }

    static std::string path(const char *file) {
        return file[0] == '/' ? std::string(file) : folder->path() + "/" + file;
    }

    static std::unique_ptr<tarnwick_test::TempDirectory> folder;
};

std::unique_ptr<tarnwick_test::TempDirectory> HostileInputTest::folder;

TEST_P(HostileInputTest, RefusedPlainlyWithinBounds) {
    const HostileInput &input = GetParam();
    if (!std::filesystem::exists("/usr/bin/time")) {
        GTEST_SKIP() << "/usr/bin/time is missing (scripts/install-deps installs it)";
    }
    const std::string file = path(input.file);
    const tarnwick_test::TempFile usage({});
    const Result result = tarnwick_test::runCommand("/usr/bin/time -f %M -o " + quoted(usage.path()) + " timeout 10 " +
                                                    tarnwick_test::shellQuoted(TARNWICK_SMBIOS_INSPECT) + " " +
                                                    input.option + " " + quoted(file) + " list");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "smbios-inspect: " + file + input.says + "\n");
    // Peak memory in KiB, time's last line: a few MiB for the tool, tens
    // under a sanitizer; a reader that took the file in would hold gigabytes.
    std::ifstream said(usage.path());
    std::string line;
    std::string peak;
    while (std::getline(said, line)) {
        peak = line;
    }
    ASSERT_FALSE(peak.empty() || !std::isdigit(static_cast<unsigned char>(peak[0]))) << peak;
    EXPECT_LT(std::stoul(peak), 64UL * 1024);
}

constexpr const char *kNoImageTable =
    ": no SMBIOS table in it: no valid entry point (_SM3_ or _SM_) in its BIOS area (E0000h to FFFFFh), or none "
    "whose table lies inside the image";

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileInputTest,
    ::testing::Values(
        HostileInput{"ImageOfZeros", "--image", "/dev/zero", kNoImageTable},
        HostileInput{"ImageSparse", "--image", "sparse", kNoImageTable},
        HostileInput{"ImageWithoutEntryPoint", "--image", "zeros", kNoImageTable},
        HostileInput{"ImageDirectory", "--image", "directory", ": is a directory, not a file"},
        HostileInput{"ImageEmpty", "--image", "empty", ": is empty"},
        HostileInput{"DumpOfZeros", "--dump", "/dev/zero", ": is a device, not a file"},
        HostileInput{"DumpSparse", "--dump", "sparse",
                     ": Not a dmidecode binary dump: no _SM_ or _SM3_ entry point at offset 0."},
        HostileInput{"DumpDirectory", "--dump", "directory", ": is a directory, not a file"},
        HostileInput{"DumpEmpty", "--dump", "empty", ": is empty"},
        HostileInput{"DumpOneByteShort", "--dump", "short-dump",
                     " ends 1 byte before the end of the table its header declares (29060 bytes at offset 32)"},
        HostileInput{"RawOfZeros", "--raw", "/dev/zero", ": is a device, not a file"},
        HostileInput{"RawSparse", "--raw", "sparse",
                     " is larger than the largest SMBIOS table (64 MiB): 8589934592 bytes"},
        HostileInput{"RawDirectory", "--raw", "directory", ": is a directory, not a file"},
        HostileInput{"RawEmpty", "--raw", "empty", ": is empty"},
        HostileInput{"RawWithoutStructure", "--raw", "zeros",
                     ": holds no SMBIOS structure (1048576 bytes, no structure header)"},
        HostileInput{"RsmbOfZeros", "--rsmb", "/dev/zero", ": is a device, not a file"},
        HostileInput{"RsmbSparse", "--rsmb", "sparse", ": holds no SMBIOS structure (its table is empty)"},
        HostileInput{"RsmbDirectory", "--rsmb", "directory", ": is a directory, not a file"},
        HostileInput{"RsmbEmpty", "--rsmb", "empty", ": is empty"},
        HostileInput{"RsmbOneByteShort", "--rsmb", "short-rsmb",
                     " ends 1 byte before the end of the table its header declares (29060 bytes at offset 8)"}),
    [](const ::testing::TestParamInfo<HostileInput> &info) { return std::string(info.param.name); });

TEST(SmbiosInspectErrorTest, FileThatIsNoDump) {
    const tarnwick_test::TempFile notADump(std::vector<uint8_t>(64, 0x41));
    const Result result = inspect("--dump " + quoted(notADump.path()) + " list");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "smbios-inspect: " + notADump.path() +
                              ": Not a dmidecode binary dump: no _SM_ or _SM3_ entry point at offset 0.\n");
}

struct Usage {
    const char *name;
    std::string arguments;
};

void PrintTo(const Usage &usage, std::ostream *out) {
    *out << usage.name;
}

class SmbiosInspectUsageTest : public ::testing::TestWithParam<Usage> {};

TEST_P(SmbiosInspectUsageTest, UsageErrorsExitWith2AndOneLine) {
    const Result result = inspect(GetParam().arguments);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("smbios-inspect: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("\nTry 'smbios-inspect"), std::string::npos);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SmbiosInspectUsageTest,
    ::testing::Values(Usage{"NoCommand", ""}, Usage{"UnknownOption", "--frobnicate list"},
                      Usage{"TwoSources", "--image a --dump b list"}, Usage{"BadOffset", "--offset zz list"},
                      Usage{"ShowWithoutSelection", "show"}, Usage{"ShowWithBoth", "show --type 1 --handle 2"},
                      Usage{"ExportWithoutOutput", "export-image"}, Usage{"NegativeType", "show --type -1"},
                      Usage{"UnknownTypeKeyword", "decode --type memroy"}, Usage{"GetWithoutKeyword", "get"},
                      Usage{"UnknownKeyword", "get system-serial"}, Usage{"OemStringZero", "get --oem-string 0"}),
    [](const ::testing::TestParamInfo<Usage> &info) { return std::string(info.param.name); });

TEST(SmbiosInspectHelpTest, HelpForTheToolAndEveryCommand) {
    const Result tool = inspect("--help");
    EXPECT_EQ(tool.status, 0);
    EXPECT_NE(tool.out.find("Usage: smbios-inspect"), std::string::npos);
    for (const char *command : {"dump", "list", "show", "decode", "get", "entry-point", "system-id", "vendor",
                                "export-image", "export-dump", "check"}) {
        EXPECT_NE(tool.out.find(command), std::string::npos) << command;
        const Result help = inspect(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("Usage: smbios-inspect ") + command), std::string::npos) << help.out;
    }
    const Result version = inspect("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "smbios-inspect 0.1.0 (Tarnwick)\n");
}

}  // namespace
