// dmidecode as an independent oracle: running it, parsing `dmidecode -u`,
// and comparing its structures with a walk of this library. Native builds
// only: dmidecode runs where the tests are built.
#ifndef TARNWICK_TESTS_SUPPORT_DMIDECODE_H
#define TARNWICK_TESTS_SUPPORT_DMIDECODE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick_test {

struct Structure {
    uint16_t handle = 0;
    int type = 0;
    int length = 0;
    std::vector<uint8_t> formatted;
    std::vector<std::string> strings;
};

// What `dmidecode -u` reported: every structure, and the notes of the
// structures it shortened before printing them.
struct DmidecodeReport {
    std::vector<Structure> structures;
    std::vector<std::pair<int, int>> lengthFixups;  // (original, fixed)
};

// The dmidecode program, or "" when it is not installed.
std::string findDmidecode();

// Runs dmidecode with `arguments` (-u is added; quote file names with
// shellQuoted).
DmidecodeReport runDmidecode(const std::string &dmidecode, const std::string &arguments);

// Expects `walked` (this library's structures) to be those of `report`,
// allowing for dmidecode's shortening of structures whose last formatted
// bytes it takes for the start of their first string.
void expectSameStructures(const std::vector<Structure> &walked, const DmidecodeReport &report);

// The structure blocks of a decoder's text output: each from its "Handle
// 0x" line to the line before the next; the lines before the first are
// each tool's own.
std::vector<std::string> textBlocks(const std::string &text);

// Whether dmidecode decodes the block's structure from the SMBIOS standard,
// so that it judges Tarnwick's text of it. It leaves types 44 and 46
// undecoded, misreads the devices of a memory channel (37), and decodes
// some makers' own types (128 and above) from their documents, which
// Tarnwick shows as bytes and strings.
bool isJudgedByDmidecode(const std::string &block);

struct BlockComparison {
    std::size_t judged = 0;
    std::size_t identical = 0;
};

// Tarnwick's text without the lines of the fields that SMBIOS versions after
// 3.5 added (dmidecode 3.4 knows the standard up to 3.5). The decoder shows
// them only for tables that claim those versions.
std::string withoutNewerFields(const std::string &text);

// Expects every judged block of dmidecode's (`theirs`) to be the block at
// the same place of Tarnwick's (`ours`, without its newer fields), naming
// the first differing line of each that is not.
BlockComparison expectSameBlocks(const std::vector<std::string> &theirs, const std::vector<std::string> &ours);

// A parameterised test against dmidecode: SKIPPED when dmidecode is not
// installed, else `dmidecode` names the program.
template <class Param>
class DmidecodeTest : public ::testing::TestWithParam<Param> {
protected:
    void SetUp() override {
        dmidecode = findDmidecode();
        if (dmidecode.empty()) {
            GTEST_SKIP() << "dmidecode is not installed (scripts/install-deps installs it)";
        }
    }
    std::string dmidecode;
};

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SUPPORT_DMIDECODE_H
