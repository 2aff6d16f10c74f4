// The check's one data-driven test: every rule is broken by a built table
// that breaks it alone, and that table's clean twin passes; and every real
// table gives the findings reviewed for it in tests/data/check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "check/Check.h"
#include "smbios/format/SmbiosFormat.h"
#include "tests/check/CheckCases.h"
#include "tests/support/RealTables.h"
#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

std::vector<RuleCase> allCases() {
    std::vector<RuleCase> all;
    for (auto cases : {entryPointCases, walkCases, structureCases, valueCases, referenceCases, consistencyCases,
                       contentCases, requirementCases}) {
        const std::vector<RuleCase> group = cases();
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

std::string describe(const smbios::check::Report &report) {
    std::ostringstream text;
    for (const smbios::check::Finding &finding : report.findings) {
        text << "  " << finding.rule << " (" << smbios::check::severityName(finding.severity) << ")";
        if (finding.handle) {
            text << " handle " << *finding.handle;
        }
        text << ": " << finding.message << "\n";
    }
    return text.str();
}

smbios::check::Profile profileOf(const RuleCase &ruleCase) {
    return ruleCase.profile != nullptr ? smbios::check::Profile::fromJson(ruleCase.profile, "the case's")
                                       : smbios::check::Profile::builtIn("dsp0134");
}

class RuleCaseTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleCaseTest, BreaksItsRuleAloneAndItsTwinPasses) {
    const RuleCase &ruleCase = GetParam();
    ASSERT_NE(smbios::check::findRule(ruleCase.rule), nullptr) << "no rule " << ruleCase.rule;
    CaseTable clean = cleanTable();
    if (ruleCase.setUp != nullptr) {
        ruleCase.setUp(clean);
    }
    CaseTable broken = clean;
    ruleCase.breakIt(broken);
    const smbios::check::Profile profile = profileOf(ruleCase);

    const smbios::check::Report passed = smbios::check::checkTable(clean.source(), profile);
    EXPECT_TRUE(passed.findings.empty()) << "the clean twin has findings:\n" << describe(passed);

    const smbios::check::Report failed = smbios::check::checkTable(broken.source(), profile);
    EXPECT_FALSE(failed.findings.empty()) << ruleCase.rule << " found nothing";
    for (const smbios::check::Finding &finding : failed.findings) {
        EXPECT_EQ(finding.rule, ruleCase.rule) << "another rule broken too:\n" << describe(failed);
    }
}

std::string caseName(const ::testing::TestParamInfo<RuleCase> &info) {
    std::string name = std::string(info.param.rule) + "_" + info.param.what;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Rules, RuleCaseTest, ::testing::ValuesIn(allCases()), caseName);

TEST(RuleCaseTest, EveryRuleHasACase) {
    std::set<std::string> covered;
    for (const RuleCase &ruleCase : allCases()) {
        covered.insert(ruleCase.rule);
    }
    for (const smbios::check::Rule &rule : smbios::check::rules()) {
        EXPECT_TRUE(covered.count(rule.id) != 0) << rule.id << " has no case";
    }
}

// A finding as the reviewed files of tests/data/check list it: the rule, the
// handle (or "table") and the message.
std::string findingLine(const smbios::check::Finding &finding) {
    char handle[8] = "table";
    if (finding.handle) {
        (void)std::snprintf(handle, sizeof handle, "0x%04X", static_cast<unsigned>(*finding.handle));
    }
    return finding.rule + " " + handle + " " + finding.message;
}

// The reviewed findings of a real table: its file's lines, without the
// reviewer's notes (lines from '#') and empty lines.
std::vector<std::string> reviewedFindings(const std::string &path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

// The table as `check` reads it: an image's entry point found as the tool
// finds it, whatever its checks say.
smbios::SmbiosTableBytes checkedSource(const RealTable &table) {
    if (table.format != RealTable::Format::Image) {
        return sourceOf(table);
    }
    const std::vector<uint8_t> image = memoryImageOf(table);
    return smbios::format::tableOfImage([&](uint64_t at, uint64_t count) {
        const uint64_t from = std::min<uint64_t>(at, image.size());
        const uint64_t to = std::min<uint64_t>(image.size(), from + count);
        return std::vector<uint8_t>(image.begin() + static_cast<std::ptrdiff_t>(from),
                                    image.begin() + static_cast<std::ptrdiff_t>(to));
    });
}

class RealTableCheckTest : public ::testing::TestWithParam<RealTable> {};

TEST_P(RealTableCheckTest, FindsWhatWasReviewed) {
    const RealTable &table = GetParam();
    const std::string path = testDataPath(std::string("check/") + table.name + ".findings");
    ASSERT_TRUE(std::ifstream(path).good()) << "no reviewed findings at " << path;
    const smbios::check::Report report =
        smbios::check::checkTable(checkedSource(table), smbios::check::Profile::builtIn("dsp0134"));
    std::vector<std::string> found;
    for (const smbios::check::Finding &finding : report.findings) {
        found.push_back(findingLine(finding));
    }
    EXPECT_EQ(found, reviewedFindings(path));
    EXPECT_EQ(report.structures, table.structures);
}

std::vector<RealTable> reviewedTables() {
    std::vector<RealTable> tables;
    for (const RealTable &table : realTables()) {
        if (table.copies == 1) {
            tables.push_back(table);
        }
    }
    return tables;
}

INSTANTIATE_TEST_SUITE_P(RealTables, RealTableCheckTest, ::testing::ValuesIn(reviewedTables()),
                         [](const ::testing::TestParamInfo<RealTable> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnwick_test
