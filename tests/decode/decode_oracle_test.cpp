// dmidecode as the judge of the decoded text: for every real table and
// every table built from the standard's layouts (tests/data/decode), each
// structure's block, from its "Handle" line to the line before the next, is
// byte-identical to the one dmidecode prints for the same memory image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "decode/Decode.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosTable.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/support/Command.h"
#include "tests/support/Dmidecode.h"
#include "tests/support/RealTables.h"
#include "tests/support/SmbiosBuilder.h"
#include "tests/support/TempFile.h"

namespace {

namespace fmt = smbios::format;

// A real table, or a bare table built from the standard's layouts, named
// GROUP-M.m.raw, to be given an entry point of SMBIOS version M.m.
struct OracleInput {
    std::string name;
    const tarnwick_test::RealTable *table = nullptr;
    std::string rawPath;
};

void PrintTo(const OracleInput &input, std::ostream *out) {
    *out << input.name;
}

std::vector<OracleInput> oracleInputs() {
    std::vector<OracleInput> inputs;
    for (const tarnwick_test::RealTable &table : tarnwick_test::realTables()) {
        inputs.push_back({table.name, &table, {}});
    }
    std::vector<std::filesystem::path> built;
    for (const auto &entry : std::filesystem::directory_iterator(tarnwick_test::testDataPath("decode"))) {
        if (entry.path().extension() == ".raw") {
            built.push_back(entry.path());
        }
    }
    std::sort(built.begin(), built.end());
    for (const std::filesystem::path &path : built) {
        std::string name = "Built_" + path.stem().string();
        std::replace_if(
            name.begin(), name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
        inputs.push_back({name, nullptr, path.string()});
    }
    return inputs;
}

std::vector<uint8_t> imageOf(const OracleInput &input) {
    if (input.table != nullptr) {
        return tarnwick_test::memoryImageOf(*input.table);
    }
    const std::string stem = std::filesystem::path(input.rawPath).stem().string();
    const std::string version = stem.substr(stem.rfind('-') + 1);
    const auto major = static_cast<uint8_t>(std::stoi(version));
    const auto minor = static_cast<uint8_t>(std::stoi(version.substr(version.find('.') + 1)));
    return fmt::buildMemoryImage(fmt::sourceWithEntryPoint(fmt::readFileBytes(input.rawPath), major, minor));
}

class DecodeOracleTest : public tarnwick_test::DmidecodeTest<OracleInput> {
protected:
    ~DecodeOracleTest() override { smbios::resetLibraryFactories(); }
};

TEST_P(DecodeOracleTest, EveryStructureReadsAsDmidecodeShowsIt) {
    const std::vector<uint8_t> image = imageOf(GetParam());
    ASSERT_FALSE(image.empty());
    const tarnwick_test::TempFile imageFile(image);
    const std::string oracle = dmidecode + " --no-sysfs -d " + tarnwick_test::shellQuoted(imageFile.path());
    const std::vector<std::string> theirs =
        tarnwick_test::textBlocks(tarnwick_test::runCommand(oracle + " 2>/dev/null").out);
    ASSERT_FALSE(theirs.empty()) << "dmidecode found no table";

    std::vector<std::string> ours;
    std::string oursQuiet;
    {
        const tarnwick_test::MemoryImageFixture fixture(image);
        smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
        smbios::SmbiosFactory::getFactory()->setParameter("smbios3", 1u);
        std::unique_ptr<smbios::ISmbiosTable> table(smbios::SmbiosFactory::getFactory()->makeNew());
        const smbios::decode::Version version = smbios::decode::versionOf(*table);
        for (auto it = table->begin(); it != table->end(); ++it) {
            std::string text;
            const smbios::decode::Structure structure = smbios::decode::decodeStructure(*it, version);
            smbios::decode::appendText(text, structure);
            smbios::decode::appendQuietText(oursQuiet, structure);
            ours.push_back(std::move(text));
        }
    }
    ASSERT_EQ(ours.size(), theirs.size()) << "structures walked";
    const tarnwick_test::BlockComparison compared = tarnwick_test::expectSameBlocks(theirs, ours);
    RecordProperty("judged", static_cast<int>(compared.judged));
    RecordProperty("identical", static_cast<int>(compared.identical));
    // The quiet form has no handle lines to split it by: it is judged whole,
    // where dmidecode judges every structure of the table.
    const bool quietJudged = std::all_of(theirs.begin(), theirs.end(), tarnwick_test::isJudgedByDmidecode);
    if (quietJudged) {
        EXPECT_EQ(tarnwick_test::withoutNewerFields(oursQuiet),
                  tarnwick_test::runCommand(oracle + " -q 2>/dev/null").out)
            << "the quiet form";
    }
    std::cout << GetParam().name << ": " << compared.identical << " of " << compared.judged << " structures identical"
              << (quietJudged ? ", the quiet form judged whole\n" : "\n");
}

INSTANTIATE_TEST_SUITE_P(Tables, DecodeOracleTest, ::testing::ValuesIn(oracleInputs()),
                         [](const ::testing::TestParamInfo<OracleInput> &info) { return info.param.name; });

}  // namespace
