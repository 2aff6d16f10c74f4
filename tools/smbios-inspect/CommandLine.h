// smbios-inspect's command line: the options, the commands and their help.
// Hand-written rather than built on an argument library, whose set-up would
// be a noticeable part of the tool's short run (docs/performance.md).
#ifndef TARNWICK_TOOLS_SMBIOSINSPECT_COMMANDLINE_H
#define TARNWICK_TOOLS_SMBIOSINSPECT_COMMANDLINE_H

#include <optional>
#include <string>
#include <vector>

#include "decode/Decode.h"
#include "smbios-inspect/Inspect.h"

namespace smbios_inspect {

enum class Command { Dump, List, Show, Decode, Get, EntryPoint, SystemId, Vendor, ExportImage, ExportDump, Check };

struct CommandLine {
    enum class Outcome {
        Run,         // run `command`
        ShowText,    // print `text` (help or version) and exit 0
        UsageError,  // `text` is the reason; exit 2
    };
    Outcome outcome = Outcome::Run;
    std::string text;
    // For a usage error: the help to point at ("smbios-inspect show --help").
    std::string helpHint;

    Command command = Command::List;
    SourceOptions source;
    bool json = false;
    std::optional<int> type;    // show --type
    std::optional<int> handle;  // show --handle, decode --handle
    std::vector<int> types;     // decode --type, each keyword given as its types
    bool quiet = false;         // decode --quiet
    // decode and get --dmidecode, decode --no-quirks
    smbios::decode::DecodeOptions decodeOptions;
    std::string keyword;        // get KEYWORD
    bool listKeywords = false;  // get --list
    std::string oemString;      // get --oem-string N|count
    std::string output;         // export-image and export-dump -o
    CheckOptions check;         // check's own options
};

// Options before and after the command are both taken: the source options
// (--image, --offset, ...) belong to the tool and may follow the command,
// as in `smbios-inspect list --image FILE`.
CommandLine parseCommandLine(const std::vector<std::string> &arguments);

// The types a dmidecode -t keyword ("bios", "memory", ...; in any case)
// stands for, or nullptr for a word that is none.
const std::vector<int> *typesOfKeyword(const std::string &keyword);
// The keywords, in dmidecode's order.
std::vector<std::string> typeKeywords();

}  // namespace smbios_inspect

#endif  // TARNWICK_TOOLS_SMBIOSINSPECT_COMMANDLINE_H
