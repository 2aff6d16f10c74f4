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

#include "decode/Decode.h"

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

// A dmidecode release that judges the decoder's text in its dialect.
struct Release {
    const char *name;  // "3.4"
    smbios::decode::Dialect dialect;
    // Releases from 3.5 on refuse to read a regular file as memory when run
    // as root, and read a dump instead.
    bool readsImages;
};

// 3.4, 3.6 and 3.7.
const std::vector<Release> &releases();

// The dmidecode program, or "" when it is not installed.
std::string findDmidecode();

// The program of `release`: dmidecode-R on the PATH, or dmidecode where it
// is that release; "" when neither is.
std::string findDmidecode(const Release &release);

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

// Whether `release` decodes the block's structure from the SMBIOS standard,
// so that it judges Tarnwick's text of it. No release decodes types 44 and
// 46, and every release misreads the devices of a memory channel (37).
bool isJudgedByDmidecode(const std::string &block, const Release &release);

struct BlockComparison {
    std::size_t judged = 0;
    std::size_t identical = 0;
};

// Expects every block of `release`'s (`theirs`) that it judges to be the
// block at the same place of Tarnwick's (`ours`), naming the first
// differing line of each that is not.
BlockComparison expectSameBlocks(const std::vector<std::string> &theirs, const std::vector<std::string> &ours,
                                 const Release &release);

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
