// dmidecode as the judge of the decoded text: for every real table and
// every table built from the standard's layouts (tests/data/decode), and for
// each dmidecode release the decoder speaks, each structure's block, from
// its "Handle" line to the line before the next, is byte-identical to the
// one that release prints for the same table.
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
#include "smbios/SmbiosStrategy.h"
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

// One input judged by one release.
struct OracleCase {
    OracleInput input;
    tarnwick_test::Release release;
};

void PrintTo(const OracleCase &judged, std::ostream *out) {
    *out << judged.input.name << " by dmidecode " << judged.release.name;
}

std::vector<OracleCase> oracleCases() {
    std::vector<OracleCase> cases;
    for (const OracleInput &input : oracleInputs()) {
        for (const tarnwick_test::Release &release : tarnwick_test::releases()) {
            cases.push_back({input, release});
        }
    }
    return cases;
}

class DecodeOracleTest : public ::testing::TestWithParam<OracleCase> {
protected:
    void SetUp() override {
        dmidecode = tarnwick_test::findDmidecode(GetParam().release);
        if (dmidecode.empty()) {
            GTEST_SKIP() << "dmidecode " << GetParam().release.name
                         << " is not installed (scripts/install-deps installs it)";
        }
    }
    ~DecodeOracleTest() override { smbios::resetLibraryFactories(); }

    std::string dmidecode;
};

TEST_P(DecodeOracleTest, EveryStructureReadsAsDmidecodeShowsIt) {
    const tarnwick_test::Release &release = GetParam().release;
    const std::vector<uint8_t> image = imageOf(GetParam().input);
    ASSERT_FALSE(image.empty());

    std::vector<std::string> ours;
    std::string oursQuiet;
    smbios::SmbiosTableBytes read;
    {
        const tarnwick_test::MemoryImageFixture fixture(image);
        smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
        smbios::SmbiosFactory::getFactory()->setParameter("smbios3", 1u);
        std::unique_ptr<smbios::ISmbiosTable> table(smbios::SmbiosFactory::getFactory()->makeNew());
        const smbios::decode::Version version = smbios::decode::versionOf(*table);
        smbios::decode::DecodeRun run;
        smbios::decode::DecodeOptions options = smbios::decode::decodeOptionsFor(*table, release.dialect);
        options.run = &run;
        for (auto it = table->begin(); it != table->end(); ++it) {
            std::string text;
            const smbios::decode::Structure structure = smbios::decode::decodeStructure(*it, version, options);
            smbios::decode::appendText(text, structure);
            smbios::decode::appendQuietText(oursQuiet, structure);
            ours.push_back(std::move(text));
        }
        const auto &whole = dynamic_cast<const smbios::SmbiosTable &>(*table);
        read.entryPoint = table->getSourceEntryPoint().bytes;
        read.table.assign(whole.getTableData(), whole.getTableData() + table->getTableLength());
    }

    // The releases that refuse a memory image (all but 3.4, when run as
    // root) read a dump of the table the library found in it.
    const tarnwick_test::TempFile imageFile(image);
    const tarnwick_test::TempFile dumpFile(fmt::buildDumpBin(read));
    const std::string oracle =
        dmidecode + (release.readsImages ? " --no-sysfs -d " + tarnwick_test::shellQuoted(imageFile.path())
                                         : " --from-dump " + tarnwick_test::shellQuoted(dumpFile.path()));
    const std::vector<std::string> theirs =
        tarnwick_test::textBlocks(tarnwick_test::runCommand(oracle + " 2>/dev/null").out);
    ASSERT_FALSE(theirs.empty()) << "dmidecode found no table";
    ASSERT_EQ(ours.size(), theirs.size()) << "structures walked";
    const tarnwick_test::BlockComparison compared = tarnwick_test::expectSameBlocks(theirs, ours, release);
    RecordProperty("judged", static_cast<int>(compared.judged));
    RecordProperty("identical", static_cast<int>(compared.identical));
    // The quiet form has no handle lines to split it by: it is judged whole,
    // where the release judges every structure of the table.
    const bool quietJudged = std::all_of(theirs.begin(), theirs.end(), [&](const std::string &block) {
        return tarnwick_test::isJudgedByDmidecode(block, release);
    });
    if (quietJudged) {
        EXPECT_EQ(oursQuiet, tarnwick_test::runCommand(oracle + " -q 2>/dev/null").out) << "the quiet form";
    }
    std::cout << GetParam().input.name << " by " << release.name << ": " << compared.identical << " of "
              << compared.judged << " structures identical" << (quietJudged ? ", the quiet form judged whole\n" : "\n");
}

INSTANTIATE_TEST_SUITE_P(Tables, DecodeOracleTest, ::testing::ValuesIn(oracleCases()),
                         [](const ::testing::TestParamInfo<OracleCase> &info) {
                             std::string release = info.param.release.name;
                             std::replace(release.begin(), release.end(), '.', '_');
                             return info.param.input.name + "_" + release;
                         });

}  // namespace
