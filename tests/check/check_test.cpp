// The check's one data-driven test: every rule is broken by a built table
// that breaks it alone, and that table's clean twin passes; and every real
// table gives the findings reviewed for it in tests/data/check.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "check/Check.h"
#include "tests/check/CheckCases.h"

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
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
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

}  // namespace
}  // namespace tarnwick_test
