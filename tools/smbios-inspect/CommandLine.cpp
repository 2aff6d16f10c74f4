// smbios-inspect's command line: parsing, the help texts and the usage errors.
#include "smbios-inspect/CommandLine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "check/Check.h"
#include "decode/Summary.h"

namespace smbios_inspect {
namespace {

const char kVersion[] = "smbios-inspect 0.1.0 (Tarnwick)\n";
const char kExitStatus[] =
    "\nExit status: 0 success, 1 no table or no system ID (the reason on stderr), 2 usage error,\n"
    "3 (check) a finding of error severity.\n";

const char kToolHelp[] =
    "Usage: smbios-inspect [OPTIONS] COMMAND [COMMAND OPTIONS]\n"
    "Reads the SMBIOS table of this machine or of a file through the Tarnwick SMBIOS library.\n"
    "Without a file option it reads the running machine (physical memory, with its\n"
    "2.x or 64-bit SMBIOS 3 entry point, then the firmware-table query: sysfs on Linux,\n"
    "GetSystemFirmwareTable on Windows, then WMI). Tables may be of any length.\n"
    "\n"
    "Options (before or after the command):\n"
    "  -h, --help         print this help and exit\n"
    "  --version          print the version and exit\n"
    "  --image FILE       read a memory image (byte N = physical address N)\n"
    "  --dump FILE        read a `dmidecode --dump-bin` file\n"
    "  --raw FILE         read a bare table, as /sys/firmware/dmi/tables/DMI\n"
    "  --rsmb FILE        read a Windows firmware-table 'RSMB' buffer\n"
    "                     (at most one of --image, --dump, --raw and --rsmb)\n"
    "  --offset ADDR      read the entry point only at this address (factory \"offset\")\n"
    "  --strict           accept only a 2.x entry point that passes every check\n"
    "\n"
    "Commands:\n"
    "  dump               the table's own text dump\n"
    "  list               one line per structure\n"
    "  show               the structures of one type, or the one with a handle\n"
    "  decode             the structures' fields, decoded as dmidecode shows them\n"
    "  get                one field, by dmidecode's -s keyword, or an OEM string\n"
    "  entry-point        the record in front of the table (entry point, RSMB header) and its checks\n"
    "  system-id          the maker's system ID, and what each source said\n"
    "  vendor             the three vendor checks\n"
    "  check              what is wrong with the table, by DSP0134's rules and a profile\n"
    "  export-image       write a memory image of the table\n"
    "  export-dump        write the table in dmidecode's dump format\n"
    "Run 'smbios-inspect COMMAND --help' for a command's options.\n";

// What each command is called, says about itself and accepts.
struct CommandInfo {
    const char *name;
    const char *summary;
    const char *synopsis;  // the command and its own options
    const char *options;   // the command's own option lines
    Command command;
    bool takesJson;
    bool takesSelection;        // --type, --handle
    bool takesOutput;           // -o, --output
    bool takesTypes = false;    // decode's --type (repeatable, keywords), --handle, --quiet
    bool takesKeyword = false;  // get's KEYWORD, --list, --oem-string
    bool takesCheck = false;    // check's --profile, --sarif, --list-rules
};

const char kJsonLine[] = "  --json             one JSON document\n";

const CommandInfo kCommands[] = {
    {"dump", "the table's own text dump", "dump", "", Command::Dump, false, false, false},
    {"list", "one line per structure", "list [--json]", kJsonLine, Command::List, true, false, false},
    {"show", "the structures of one type, or the one with a handle", "show (--type N | --handle H) [--json]",
     "  --type N           structure type (0 to 255)\n"
     "  --handle H         structure handle, as 0x0100\n"
     "                     (exactly one of --type and --handle)\n"
     "  --json             one JSON document\n",
     Command::Show, true, true, false},
    {"decode", "the structures' fields, decoded as dmidecode shows them",
     "decode [--type T]... [--handle H] [--quiet] [--dmidecode R] [--no-quirks] [--json]",
     "  --type T           only structures of type T: a number (0 to 255) or one of\n"
     "                     bios, system, baseboard, chassis, processor, memory, cache,\n"
     "                     connector, slot (as dmidecode -t); may be repeated\n"
     "  --handle H         only the structure with handle H, as 0x0100\n"
     "  --quiet            as dmidecode -q: no Handle lines or handle references, and\n"
     "                     no inactive, undecoded (OEM-specific ones included) or\n"
     "                     end-of-table structures\n"
     "  --dmidecode R      the text of dmidecode release R: 3.4, 3.6 or 3.7 (default)\n"
     "  --no-quirks        as dmidecode --no-quirks: no corrections of known firmware\n"
     "                     faults\n"
     "  --json             one JSON document: the table and its structures' typed\n"
     "                     fields, in the words of 3.7 whatever --dmidecode says\n",
     Command::Decode, true, false, false, true},
    {"get", "one field, by dmidecode's -s keyword, or an OEM string",
     "get (KEYWORD | --list | --oem-string N) [--dmidecode R] [--json]",
     "  KEYWORD            a field, as dmidecode -s names it (system-serial-number,\n"
     "                     bios-version, ...): one line per structure that has it\n"
     "  --list             the keywords\n"
     "  --oem-string N     OEM string N (from 1) of the OEM strings structure, or\n"
     "                     'count' for how many it holds\n"
     "  --dmidecode R      the values of dmidecode release R: 3.4, 3.6 or 3.7 (default)\n"
     "  --json             one JSON document of the values\n",
     Command::Get, true, false, false, false, true},
    {"entry-point", "the record in front of the table (entry point, RSMB header) and its checks",
     "entry-point [--json]", kJsonLine, Command::EntryPoint, true, false, false},
    {"system-id", "the maker's system ID, and what each source said", "system-id [--json]", kJsonLine,
     Command::SystemId, true, false, false},
    {"vendor", "the three vendor checks", "vendor [--json]", kJsonLine, Command::Vendor, true, false, false},
    {"export-image", "write a memory image of the table", "export-image -o FILE",
     "  -o, --output FILE  the image file (required)\n", Command::ExportImage, false, false, true},
    {"export-dump", "write the table in dmidecode's dump format", "export-dump -o FILE",
     "  -o, --output FILE  the dump file (required)\n", Command::ExportDump, false, false, true},
    {"check", "what is wrong with the table, by DSP0134's rules and a profile",
     "check [--profile NAME|FILE] [--json | --sarif] | check --list-rules [--json]",
     "  --json             one JSON document of the findings (of the rules with\n"
     "                     --list-rules)\n"
     "  --sarif            a SARIF 2.1.0 log of the findings, for code-scanning tools\n"
     "  --list-rules       the rules: id, severity, DSP0134 clause and why\n"
     "  --profile P        what the table is checked against: a built-in profile, or\n"
     "                     a JSON file of one's own (a value holding '.' or '/');\n",
     Command::Check, true, false, false, false, false, true},
};

constexpr const char kDefaultProfile[] = "dsp0134";

// The built-in profiles as the help and the usage error name them.
std::string builtInProfileNames() {
    std::string names;
    const std::vector<std::string> known = smbios::check::Profile::builtInNames();
    for (std::size_t i = 0; i < known.size(); ++i) {
        names += i == 0 ? "" : i + 1 == known.size() ? " and " : ", ";
        names += known[i];
    }
    return names;
}

const CommandInfo *findCommand(const std::string &name) {
    for (const CommandInfo &info : kCommands) {
        if (name == info.name) {
            return &info;
        }
    }
    return nullptr;
}

std::string commandHelp(const CommandInfo &info) {
    std::string help =
        std::string("Usage: smbios-inspect ") + info.synopsis + " [TOOL OPTIONS]\n" + info.summary + "\n\n";
    help += "Options:\n";
    help += info.options;
    if (info.takesCheck) {
        help += "                     built in: " + builtInProfileNames() + " (" + kDefaultProfile + " by default)\n";
    }
    help += "  -h, --help         print this help and exit\n";
    help += "The tool's options (--image FILE, --offset ADDR, ...) may come before or after\n"
            "the command: see 'smbios-inspect --help'.\n";
    return help + kExitStatus;
}

// Decimal, 0x-hexadecimal or 0-octal numbers up to `largest`.
bool parseNumber(const std::string &text, uint32_t largest, uint32_t &value) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') {
        return false;
    }
    char *end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
    if (*end != '\0' || parsed > largest) {
        return false;
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string> &arguments) : args(arguments) {}

    CommandLine parse() {
        for (index = 0; index < args.size() && result.outcome == CommandLine::Outcome::Run; ++index) {
            takeArgument(args[index]);
        }
        if (result.outcome == CommandLine::Outcome::Run) {
            finish();
        }
        return result;
    }

private:
    void takeArgument(const std::string &argument) {
        if (argument.size() < 2 || argument[0] != '-') {
            return takeWord(argument);
        }
        std::string name = argument;
        std::optional<std::string> inlineValue;
        const std::size_t equals = argument.find('=');
        if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        if (!takeToolOption(name, inlineValue) && !takeCommandOption(name, inlineValue)) {
            failUnknown(name);
        }
    }

    // A word that is not an option: the command, or the keyword of one that
    // takes a keyword.
    void takeWord(const std::string &argument) {
        if (command == nullptr && (command = findCommand(argument)) != nullptr) {
            result.command = command->command;
            return;
        }
        if (command != nullptr && command->takesKeyword && result.keyword.empty()) {
            result.keyword = argument;
            return;
        }
        fail(command == nullptr ? "unknown command '" + argument + "'" : "unexpected argument '" + argument + "'");
    }

    // The options of the tool: help, version, the source and how it is read.
    // Each take...Option says whether the option was its own, taken or
    // refused.
    bool takeToolOption(const std::string &name, const std::optional<std::string> &inlineValue) {
        if (name == "-h" || name == "--help") {
            result.outcome = CommandLine::Outcome::ShowText;
            result.text = command != nullptr ? commandHelp(*command) : kToolHelp + std::string(kExitStatus);
            return true;
        }
        if (name == "--version") {
            result.outcome = CommandLine::Outcome::ShowText;
            result.text = kVersion;
            return true;
        }
        if (name == "--strict") {
            flag(name, inlineValue, result.source.strict);
            return true;
        }
        if (name == "--image" || name == "--dump" || name == "--raw" || name == "--rsmb") {
            std::string *file = name == "--image"  ? &result.source.image
                                : name == "--dump" ? &result.source.dump
                                : name == "--raw"  ? &result.source.raw
                                                   : &result.source.rsmb;
            if (!value(name, inlineValue, *file)) {
                return true;
            }
            if (!sourceOption.empty() && sourceOption != name) {
                fail(sourceOption + " excludes " + name);
                return true;
            }
            sourceOption = name;
            return true;
        }
        if (name == "--offset") {
            number(name, inlineValue, 0xFFFFFFFFu, offsetText, [this](uint32_t n) { result.source.offset = n; });
            return true;
        }
        return false;
    }

    // The options of the command given before them.
    bool takeCommandOption(const std::string &name, const std::optional<std::string> &inlineValue) {
        if (command == nullptr) {
            return false;
        }
        if (name == "--json") {
            if (!command->takesJson) {
                return false;
            }
            flag(name, inlineValue, result.json);
            return true;
        }
        if ((name == "--type" || name == "--handle") && command->takesSelection) {
            const bool isType = name == "--type";
            std::string &text = isType ? typeText : handleText;
            number(name, inlineValue, isType ? 0xFFu : 0xFFFFu, text,
                   [this, isType](uint32_t n) { (isType ? result.type : result.handle) = static_cast<int>(n); });
            return true;
        }
        if ((command->takesTypes || command->takesKeyword) && name == "--dmidecode") {
            std::string release;
            if (value(name, inlineValue, release)) {
                takeDialect(release);
            }
            return true;
        }
        if (command->takesTypes && takeDecodeOption(name, inlineValue)) {
            return true;
        }
        if (command->takesKeyword && takeGetOption(name, inlineValue)) {
            return true;
        }
        if ((name == "-o" || name == "--output") && command->takesOutput) {
            value("--output", inlineValue, result.output);
            return true;
        }
        if (command->takesCheck && takeCheckOption(name, inlineValue)) {
            return true;
        }
        return false;
    }

    bool takeCheckOption(const std::string &name, const std::optional<std::string> &inlineValue) {
        if (name == "--profile") {
            value(name, inlineValue, result.check.profile);
            return true;
        }
        if (name == "--sarif") {
            flag(name, inlineValue, result.check.sarif);
            return true;
        }
        if (name == "--list-rules") {
            flag(name, inlineValue, result.check.listRules);
            return true;
        }
        return false;
    }

    // A profile is a built-in one by its name, or a file: a value that
    // holds '.' or a folder separator. Any other word is a misspelt name.
    void finishCheck() {
        CheckOptions &check = result.check;
        if (result.json && check.sarif) {
            return fail("--json excludes --sarif");
        }
        if (check.listRules && (check.sarif || !check.profile.empty())) {
            return fail(std::string("--list-rules excludes ") + (check.sarif ? "--sarif" : "--profile"));
        }
        if (check.profile.empty()) {
            check.profile = kDefaultProfile;
            return;
        }
        const std::vector<std::string> known = smbios::check::Profile::builtInNames();
        if (std::find(known.begin(), known.end(), check.profile) != known.end()) {
            return;
        }
        if (check.profile.find_first_of("./\\") != std::string::npos) {
            check.profileIsFile = true;
            return;
        }
        fail("unknown profile '" + check.profile + "': the built-in ones are " + builtInProfileNames() +
             ", and a file's name holds '.' or '/'");
    }

    bool takeDecodeOption(const std::string &name, const std::optional<std::string> &inlineValue) {
        if (name == "--type") {
            std::string text;
            if (repeatableValue(name, inlineValue, text)) {
                takeTypes(text);
            }
            return true;
        }
        if (name == "--handle") {
            number(name, inlineValue, 0xFFFFu, handleText, [this](uint32_t n) { result.handle = static_cast<int>(n); });
            return true;
        }
        if (name == "--quiet") {
            flag(name, inlineValue, result.quiet);
            return true;
        }
        if (name == "--no-quirks") {
            bool noQuirks = false;
            flag(name, inlineValue, noQuirks);
            result.decodeOptions.quirks = !noQuirks;
            return true;
        }
        return false;
    }

    void takeDialect(const std::string &release) {
        static const std::pair<const char *, smbios::decode::Dialect> kReleases[] = {
            {"3.4", smbios::decode::Dialect::Dmidecode34},
            {"3.6", smbios::decode::Dialect::Dmidecode36},
            {"3.7", smbios::decode::Dialect::Dmidecode37},
        };
        for (const auto &[name, dialect] : kReleases) {
            if (release == name) {
                result.decodeOptions.dialect = dialect;
                return;
            }
        }
        fail("--dmidecode: '" + release + "' is not one of 3.4, 3.6 and 3.7");
    }

    bool takeGetOption(const std::string &name, const std::optional<std::string> &inlineValue) {
        if (name == "--list") {
            flag(name, inlineValue, result.listKeywords);
            return true;
        }
        if (name == "--oem-string") {
            if (!value(name, inlineValue, result.oemString)) {
                return true;
            }
            uint32_t number = 0;
            if (result.oemString != "count" && (!parseNumber(result.oemString, 0xFF, number) || number == 0)) {
                fail("--oem-string: '" + result.oemString + "' is neither a number from 1 to 255 nor 'count'");
            }
            return true;
        }
        return false;
    }

    // A value follows the option, in the same argument after '=' or as the
    // next argument. An option given twice is refused rather than one of
    // its values silently dropped.
    bool value(const std::string &name, const std::optional<std::string> &inlineValue, std::string &out) {
        if (!seen.insert(name).second) {
            fail(name + " given twice");
            return false;
        }
        if (inlineValue) {
            out = *inlineValue;
        } else if (index + 1 < args.size()) {
            out = args[++index];
        } else {
            fail(name + " needs a value");
            return false;
        }
        if (out.empty()) {
            fail(name + " needs a value");
            return false;
        }
        return true;
    }

    // As value(), for an option that may be given more than once.
    bool repeatableValue(const std::string &name, const std::optional<std::string> &inlineValue, std::string &out) {
        if (inlineValue) {
            out = *inlineValue;
        } else if (index + 1 < args.size()) {
            out = args[++index];
        }
        if (out.empty()) {
            fail(name + " needs a value");
            return false;
        }
        return true;
    }

    // A type number, or a keyword for the types dmidecode's -t gives it.
    void takeTypes(const std::string &text) {
        if (const std::vector<int> *types = typesOfKeyword(text)) {
            result.types.insert(result.types.end(), types->begin(), types->end());
            return;
        }
        uint32_t type = 0;
        if (!parseNumber(text, 0xFF, type)) {
            return fail("--type: '" + text + "' is neither a number from 0 to 255 nor a type keyword");
        }
        result.types.push_back(static_cast<int>(type));
    }

    template <class Store>
    void number(const std::string &name, const std::optional<std::string> &inlineValue, uint32_t largest,
                std::string &text, Store store) {
        if (!value(name, inlineValue, text)) {
            return;
        }
        uint32_t parsed = 0;
        if (!parseNumber(text, largest, parsed)) {
            return fail(name + ": '" + text + "' is not a number" +
                        (largest == 0xFFFFFFFFu ? "" : " from 0 to " + std::to_string(largest)));
        }
        store(parsed);
    }

    void flag(const std::string &name, const std::optional<std::string> &inlineValue, bool &out) {
        if (inlineValue) {
            return fail(name + " takes no value");
        }
        out = true;
    }

    void failUnknown(const std::string &name) {
        fail(command != nullptr ? "unknown option " + name + " for " + command->name : "unknown option " + name);
    }

    void fail(const std::string &reason) {
        result.outcome = CommandLine::Outcome::UsageError;
        result.text = reason;
        result.helpHint =
            command != nullptr ? std::string("smbios-inspect ") + command->name + " --help" : "smbios-inspect --help";
    }

    void finish() {
        if (command == nullptr) {
            return fail("a command is required");
        }
        if (command->takesSelection) {
            if (typeText.empty() && handleText.empty()) {
                return fail(std::string(command->name) + " needs --type or --handle");
            }
            if (!typeText.empty() && !handleText.empty()) {
                return fail("--type excludes --handle");
            }
        }
        if (command->takesKeyword &&
            (!result.keyword.empty()) + result.listKeywords + (!result.oemString.empty()) != 1) {
            return fail("get needs exactly one of KEYWORD, --list and --oem-string");
        }
        if (!result.keyword.empty()) {
            const std::vector<std::string> &known = smbios::decode::stringKeywords();
            if (std::find(known.begin(), known.end(), result.keyword) == known.end()) {
                return fail("unknown keyword '" + result.keyword + "' (smbios-inspect get --list lists them)");
            }
        }
        if (command->takesOutput && result.output.empty()) {
            return fail("--output is required");
        }
        if (command->takesCheck) {
            finishCheck();
        }
    }

    const std::vector<std::string> &args;
    std::size_t index = 0;
    CommandLine result;
    const CommandInfo *command = nullptr;
    std::string sourceOption;  // the file option given, if any
    std::string offsetText;
    std::string typeText;
    std::string handleText;
    std::set<std::string> seen;  // the options met so far, to refuse one given twice
};

// dmidecode's -t keywords and the types each stands for, in its order.
struct TypeKeyword {
    const char *name;
    std::vector<int> types;
};

const TypeKeyword kTypeKeywords[] = {
    {"bios", {0, 13}},
    {"system", {1, 12, 15, 23, 32}},
    {"baseboard", {2, 10, 41}},
    {"chassis", {3}},
    {"processor", {4}},
    {"memory", {5, 6, 16, 17}},
    {"cache", {7}},
    {"connector", {8}},
    {"slot", {9}},
};

}  // namespace

const std::vector<int> *typesOfKeyword(const std::string &keyword) {
    for (const TypeKeyword &known : kTypeKeywords) {
        std::size_t at = 0;
        while (at < keyword.size() && known.name[at] != '\0' &&
               (keyword[at] == known.name[at] || keyword[at] - 'A' + 'a' == known.name[at])) {
            ++at;
        }
        if (known.name[at] == '\0' && at == keyword.size()) {
            return &known.types;
        }
    }
    return nullptr;
}

std::vector<std::string> typeKeywords() {
    std::vector<std::string> names;
    for (const TypeKeyword &known : kTypeKeywords) {
        names.emplace_back(known.name);
    }
    return names;
}

CommandLine parseCommandLine(const std::vector<std::string> &arguments) {
    return Parser(arguments).parse();
}

}  // namespace smbios_inspect
