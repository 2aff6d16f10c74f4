// dmidecode as an oracle: running it and parsing `dmidecode -u`.
#include "tests/support/Dmidecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>
#include <unistd.h>

#include "tests/support/Command.h"
#include "tests/support/TempFile.h"

namespace tarnwick_test {
namespace {

bool parseHexLine(const std::string &line, std::vector<uint8_t> &out) {
    std::istringstream in(line);
    std::string token;
    std::vector<uint8_t> bytes;
    while (in >> token) {
        if (token.size() != 2 || !std::isxdigit(static_cast<unsigned char>(token[0])) ||
            !std::isxdigit(static_cast<unsigned char>(token[1]))) {
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
    return !bytes.empty();
}

// Parses `dmidecode -u`: per structure a "Handle ..." line, the formatted
// bytes in hex, then each string as hex bytes (ending in 00) followed by its
// text. Standard error carries the "Fixed up to" notes.
DmidecodeReport parseDmidecode(const std::string &output, const std::string &errors) {
    DmidecodeReport report;
    std::istringstream errorLines(errors);
    std::string errorLine;
    while (std::getline(errorLines, errorLine)) {
        int original = 0;
        int fixed = 0;
        // The count of fields matched tells whether the line is such a note.
        // NOLINTNEXTLINE(cert-err34-c)
        if (std::sscanf(errorLine.c_str(), "Invalid entry length (%d). Fixed up to %d.", &original, &fixed) == 2) {
            report.lengthFixups.emplace_back(original, fixed);
        }
    }
    std::istringstream lines(output);
    std::string line;
    enum class Section { None, Data, Strings } section = Section::None;
    std::vector<uint8_t> pendingString;
    bool expectText = false;
    while (std::getline(lines, line)) {
        unsigned handle = 0;
        int type = 0;
        int length = 0;
        // NOLINTNEXTLINE(cert-err34-c): all three fields matched, or no header line
        if (std::sscanf(line.c_str(), "Handle 0x%x, DMI type %d, %d bytes", &handle, &type, &length) == 3) {
            report.structures.push_back({static_cast<uint16_t>(handle), type, length, {}, {}});
            section = Section::None;
            expectText = false;
        } else if (line == "\tHeader and Data:") {
            section = Section::Data;
        } else if (line == "\tStrings:") {
            section = Section::Strings;
            pendingString.clear();
            expectText = false;
        } else if (!report.structures.empty() && line.rfind("\t\t", 0) == 0) {
            Structure &current = report.structures.back();
            if (section == Section::Data) {
                parseHexLine(line, current.formatted);
            } else if (section == Section::Strings) {
                if (expectText) {
                    expectText = false;  // the string's text; its bytes came before
                } else if (parseHexLine(line, pendingString) && pendingString.back() == 0) {
                    pendingString.pop_back();
                    current.strings.emplace_back(pendingString.begin(), pendingString.end());
                    pendingString.clear();
                    expectText = true;
                }
            }
        } else if (line.empty()) {
            section = Section::None;
        }
    }
    return report;
}

}  // namespace

std::vector<std::string> textBlocks(const std::string &text) {
    std::vector<std::string> blocks;
    std::size_t at = text.compare(0, 9, "Handle 0x") == 0 ? 0 : text.find("\nHandle 0x");
    if (at != 0 && at != std::string::npos) {
        ++at;
    }
    while (at != std::string::npos && at < text.size()) {
        const std::size_t next = text.find("\nHandle 0x", at);
        blocks.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next + 1 - at));
        at = next == std::string::npos ? next : next + 1;
    }
    return blocks;
}

namespace {

int typeOfBlock(const std::string &block) {
    const std::size_t at = block.find("DMI type ");
    return at == std::string::npos ? -1 : static_cast<int>(std::strtol(block.c_str() + at + 9, nullptr, 10));
}

// The first line where two blocks differ, for a failure message.
std::string firstDifference(const std::string &theirs, const std::string &ours) {
    std::size_t line = 0;
    std::size_t a = 0;
    std::size_t b = 0;
    while (a < theirs.size() || b < ours.size()) {
        const std::size_t endA = std::min(theirs.find('\n', a), theirs.size());
        const std::size_t endB = std::min(ours.find('\n', b), ours.size());
        if (a >= theirs.size() || b >= ours.size() || theirs.compare(a, endA - a, ours, b, endB - b) != 0) {
            return "line " + std::to_string(line + 1) + ": dmidecode \"" +
                   (a < theirs.size() ? theirs.substr(a, endA - a) : "") + "\", Tarnwick \"" +
                   (b < ours.size() ? ours.substr(b, endB - b) : "") + "\"";
        }
        a = endA + 1;
        b = endB + 1;
        ++line;
    }
    return "the same lines";
}

}  // namespace

bool isJudgedByDmidecode(const std::string &block, const Release & /*release*/) {
    const int type = typeOfBlock(block);
    if (type >= 128) {
        // Every maker's structure is judged, decoded or not.
        return true;
    }
    if (type == 37) {
        // Every release reads a memory channel's devices three bytes past
        // where the standard puts them, its last one from beyond the
        // structure.
        return block.find("\tDevice 1 Load: ") == std::string::npos;
    }
    // No release decodes the processor's additional information (44) or a
    // string property (46): they show the bytes, Tarnwick the fields. Every
    // release judges the same blocks.
    return type != 44 && type != 46;
}

BlockComparison expectSameBlocks(const std::vector<std::string> &theirs, const std::vector<std::string> &ours,
                                 const Release &release) {
    BlockComparison compared;
    EXPECT_EQ(ours.size(), theirs.size()) << "structures shown";
    for (std::size_t i = 0; i < theirs.size(); ++i) {
        if (!isJudgedByDmidecode(theirs[i], release)) {
            continue;
        }
        ++compared.judged;
        const std::string mine = i < ours.size() ? ours[i] : std::string();
        if (mine == theirs[i]) {
            ++compared.identical;
        } else {
            ADD_FAILURE() << theirs[i].substr(0, theirs[i].find('\n')) << ": " << firstDifference(theirs[i], mine);
        }
    }
    return compared;
}

std::string findDmidecode() {
    const char *searchPath = std::getenv("PATH");
    std::string path = searchPath != nullptr ? searchPath : "";
    path += ":/usr/sbin:/sbin:/usr/local/sbin";
    std::stringstream directories(path);
    std::string directory;
    while (std::getline(directories, directory, ':')) {
        std::string candidate = directory + "/dmidecode";
        if (!directory.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}

const std::vector<Release> &releases() {
    using smbios::decode::Dialect;
    static const std::vector<Release> kReleases = {
        {"3.4", Dialect::Dmidecode34, true},
        {"3.6", Dialect::Dmidecode36, false},
        {"3.7", Dialect::Dmidecode37, false},
    };
    return kReleases;
}

std::string findDmidecode(const Release &release) {
    // Asked once per release and run: each answer costs a process.
    static std::map<std::string, std::string> found;
    const auto known = found.find(release.name);
    if (known != found.end()) {
        return known->second;
    }
    std::string program;
    const std::string named = "dmidecode-" + std::string(release.name);
    for (const std::string &candidate : {named, findDmidecode()}) {
        const CommandResult version =
            candidate.empty() ? CommandResult{} : runCommand(shellQuoted(candidate) + " --version 2>/dev/null");
        if (version.status == 0 && version.out == std::string(release.name) + "\n") {
            program = candidate;
            break;
        }
    }
    found[release.name] = program;
    return program;
}

// Its report is parsed from standard output and its notes from standard
// error, kept apart so that they cannot interleave.
DmidecodeReport runDmidecode(const std::string &dmidecode, const std::string &arguments) {
    const CommandResult result = runCommand(shellQuoted(dmidecode) + " -u " + arguments);
    return parseDmidecode(result.out, result.err);
}

void expectSameStructures(const std::vector<Structure> &library, const DmidecodeReport &oracle) {
    ASSERT_EQ(library.size(), oracle.structures.size());
    for (std::size_t i = 0; i < library.size(); ++i) {
        const Structure &mine = library[i];
        const Structure &theirs = oracle.structures[i];
        SCOPED_TRACE("structure " + std::to_string(i) + ", handle " + std::to_string(mine.handle));
        EXPECT_EQ(mine.handle, theirs.handle);
        EXPECT_EQ(mine.type, theirs.type);
        bool fixedUp = false;
        for (const auto &fixup : oracle.lengthFixups) {
            fixedUp = fixedUp || (mine.length == fixup.first && theirs.length == fixup.first &&
                                  theirs.formatted.size() == static_cast<std::size_t>(fixup.second));
        }
        if (fixedUp) {
            // dmidecode took the structure's last formatted bytes for the
            // start of its first string (a known firmware slip); this
            // library reads the length byte as it stands.
            ASSERT_FALSE(mine.strings.empty());
            ASSERT_FALSE(theirs.strings.empty());
            const auto printed = static_cast<std::ptrdiff_t>(theirs.formatted.size());
            EXPECT_EQ(std::vector<uint8_t>(mine.formatted.begin(), mine.formatted.begin() + printed), theirs.formatted);
            EXPECT_EQ(std::string(mine.formatted.begin() + printed, mine.formatted.end()) + mine.strings[0],
                      theirs.strings[0]);
            EXPECT_EQ(std::vector<std::string>(mine.strings.begin() + 1, mine.strings.end()),
                      std::vector<std::string>(theirs.strings.begin() + 1, theirs.strings.end()));
        } else {
            EXPECT_EQ(mine.length, theirs.length);
            EXPECT_EQ(mine.formatted, theirs.formatted);
            EXPECT_EQ(mine.strings, theirs.strings);
        }
    }
}

}  // namespace tarnwick_test
