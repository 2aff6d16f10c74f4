// Tests of smbios-inspect's command-line parsing: what each form of the
// arguments asks for, and the exact text of every usage error.
#include "smbios-inspect/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using smbios_inspect::Command;
using smbios_inspect::CommandLine;
using Outcome = smbios_inspect::CommandLine::Outcome;

CommandLine parse(const std::string &arguments) {
    std::istringstream words(arguments);
    std::vector<std::string> list;
    for (std::string word; words >> word;) {
        list.push_back(word);
    }
    return smbios_inspect::parseCommandLine(list);
}

TEST(CommandLineTest, ToolOptionsMayComeBeforeOrAfterTheCommand) {
    for (const char *arguments : {"--image F.img list", "list --image F.img", "list --image=F.img"}) {
        const CommandLine line = parse(arguments);
        ASSERT_EQ(line.outcome, Outcome::Run) << arguments << ": " << line.text;
        EXPECT_EQ(line.command, Command::List) << arguments;
        EXPECT_EQ(line.source.image, "F.img") << arguments;
        EXPECT_FALSE(line.json) << arguments;
    }
}

TEST(CommandLineTest, EveryOptionReachesItsField) {
    const CommandLine show = parse("--dump d.bin --offset=0xF0000 --strict show --handle 0x0100 --json");
    ASSERT_EQ(show.outcome, Outcome::Run) << show.text;
    EXPECT_EQ(show.command, Command::Show);
    EXPECT_EQ(show.source.dump, "d.bin");
    EXPECT_EQ(show.source.offset, 0xF0000u);
    EXPECT_TRUE(show.source.strict);
    EXPECT_TRUE(show.json);
    EXPECT_EQ(show.handle, 0x100);
    EXPECT_FALSE(show.type.has_value());

    const CommandLine byType = parse("show --type 017 --rsmb r.bin");
    ASSERT_EQ(byType.outcome, Outcome::Run) << byType.text;
    EXPECT_EQ(byType.type, 15) << "0-octal, as strtoul reads it";
    EXPECT_EQ(byType.source.rsmb, "r.bin");

    const CommandLine image = parse("export-image -o out.img --raw t.bin");
    ASSERT_EQ(image.outcome, Outcome::Run) << image.text;
    EXPECT_EQ(image.command, Command::ExportImage);
    EXPECT_EQ(image.output, "out.img");
    EXPECT_EQ(image.source.raw, "t.bin");
    EXPECT_EQ(parse("export-dump --output=d.bin").output, "d.bin");
}

TEST(CommandLineTest, EachCommandByName) {
    const std::vector<std::pair<const char *, Command>> commands = {{"dump", Command::Dump},
                                                                    {"list", Command::List},
                                                                    {"entry-point", Command::EntryPoint},
                                                                    {"system-id", Command::SystemId},
                                                                    {"vendor", Command::Vendor}};
    for (const auto &[name, command] : commands) {
        const CommandLine line = parse(name);
        EXPECT_EQ(line.outcome, Outcome::Run) << name;
        EXPECT_EQ(line.command, command) << name;
    }
}

// A built-in profile by its name; anything with '.' or '/' is a file.
TEST(CommandLineTest, CheckTakesAProfileByNameOrFile) {
    const CommandLine byDefault = parse("check --dump d.bin");
    ASSERT_EQ(byDefault.outcome, Outcome::Run) << byDefault.text;
    EXPECT_EQ(byDefault.command, Command::Check);
    EXPECT_EQ(byDefault.check.profile, "dsp0134");
    EXPECT_FALSE(byDefault.check.profileIsFile);
    const CommandLine named = parse("check --profile arm-bbr --sarif");
    ASSERT_EQ(named.outcome, Outcome::Run) << named.text;
    EXPECT_EQ(named.check.profile, "arm-bbr");
    EXPECT_FALSE(named.check.profileIsFile);
    EXPECT_TRUE(named.check.sarif);
    for (const char *file : {"mine.json", "profiles/mine", "./arm-bbr"}) {
        const CommandLine line = parse(std::string("check --json --profile ") + file);
        ASSERT_EQ(line.outcome, Outcome::Run) << line.text;
        EXPECT_TRUE(line.check.profileIsFile) << file;
        EXPECT_EQ(line.check.profile, file);
        EXPECT_TRUE(line.json);
    }
    const CommandLine rules = parse("check --list-rules --json");
    ASSERT_EQ(rules.outcome, Outcome::Run) << rules.text;
    EXPECT_TRUE(rules.check.listRules);
}

TEST(CommandLineTest, HelpIsTheToolsBeforeTheCommandAndTheCommandsAfterIt) {
    const CommandLine tool = parse("--help list");
    ASSERT_EQ(tool.outcome, Outcome::ShowText);
    EXPECT_EQ(tool.text.rfind("Usage: smbios-inspect [OPTIONS] COMMAND", 0), 0u) << tool.text;
    const CommandLine show = parse("show -h");
    ASSERT_EQ(show.outcome, Outcome::ShowText);
    EXPECT_EQ(show.text.rfind("Usage: smbios-inspect show (--type N | --handle H) [--json] [TOOL OPTIONS]\n", 0), 0u)
        << show.text;
    EXPECT_EQ(parse("list --version").text, "smbios-inspect 0.1.0 (Tarnwick)\n");
    EXPECT_EQ(parse("--help --frobnicate").outcome, Outcome::ShowText) << "what comes first counts";
}

struct UsageCase {
    const char *name;
    const char *arguments;
    const char *reason;
    const char *hint;
};

void PrintTo(const UsageCase &usage, std::ostream *out) {
    *out << usage.name;
}

class CommandLineUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CommandLineUsageTest, RefusedWithItsReasonAndTheHelpToRead) {
    const CommandLine line = parse(GetParam().arguments);
    ASSERT_EQ(line.outcome, Outcome::UsageError);
    EXPECT_EQ(line.text, GetParam().reason);
    EXPECT_EQ(line.helpHint, GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CommandLineUsageTest,
    ::testing::Values(
        UsageCase{"NoCommand", "--image a", "a command is required", "smbios-inspect --help"},
        UsageCase{"UnknownCommand", "frob", "unknown command 'frob'", "smbios-inspect --help"},
        UsageCase{"SecondCommand", "list dump", "unexpected argument 'dump'", "smbios-inspect list --help"},
        UsageCase{"UnknownOption", "--frobnicate list", "unknown option --frobnicate", "smbios-inspect --help"},
        UsageCase{"OptionOfAnotherCommand", "dump --json", "unknown option --json for dump",
                  "smbios-inspect dump --help"},
        UsageCase{"TwoSources", "--image a list --raw b", "--image excludes --raw", "smbios-inspect list --help"},
        UsageCase{"OptionTwice", "--image a list --image b", "--image given twice", "smbios-inspect list --help"},
        UsageCase{"MissingValue", "list --image", "--image needs a value", "smbios-inspect list --help"},
        UsageCase{"EmptyValue", "list --image=", "--image needs a value", "smbios-inspect list --help"},
        UsageCase{"FlagWithValue", "list --strict=yes", "--strict takes no value", "smbios-inspect list --help"},
        UsageCase{"BadOffset", "--offset zz list", "--offset: 'zz' is not a number", "smbios-inspect --help"},
        UsageCase{"OffsetAbove32Bits", "--offset 0x100000000 list", "--offset: '0x100000000' is not a number",
                  "smbios-inspect --help"},
        UsageCase{"NegativeType", "show --type -1", "--type: '-1' is not a number from 0 to 255",
                  "smbios-inspect show --help"},
        UsageCase{"TypeAbove255", "show --type 256", "--type: '256' is not a number from 0 to 255",
                  "smbios-inspect show --help"},
        UsageCase{"HandleAbove16Bits", "show --handle 0x10000", "--handle: '0x10000' is not a number from 0 to 65535",
                  "smbios-inspect show --help"},
        UsageCase{"ShowWithoutSelection", "show", "show needs --type or --handle", "smbios-inspect show --help"},
        UsageCase{"ShowWithBoth", "show --type 1 --handle 2", "--type excludes --handle", "smbios-inspect show --help"},
        UsageCase{"ExportWithoutOutput", "export-dump", "--output is required", "smbios-inspect export-dump --help"},
        UsageCase{"CheckJsonAndSarif", "check --json --sarif", "--json excludes --sarif",
                  "smbios-inspect check --help"},
        UsageCase{"CheckRulesOfAProfile", "check --list-rules --profile arm-bbr", "--list-rules excludes --profile",
                  "smbios-inspect check --help"},
        UsageCase{
            "CheckUnknownProfile", "check --profile bbr",
            "unknown profile 'bbr': the built-in ones are dsp0134 and arm-bbr, and a file's name holds '.' or '/'",
            "smbios-inspect check --help"}),
    [](const ::testing::TestParamInfo<UsageCase> &info) { return std::string(info.param.name); });

}  // namespace
