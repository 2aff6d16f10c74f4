// dmidecode's ways in smbios-inspect: the heading dmidecode prints before
// the structures, which `decode` prints too, and the drop-in program
// smbios-dmidecode, which takes dmidecode 3.7's command line.
#ifndef TARNWICK_TOOLS_SMBIOSINSPECT_DMIDECODECOMMAND_H
#define TARNWICK_TOOLS_SMBIOSINSPECT_DMIDECODECOMMAND_H

#include <string>

#include "decode/Decode.h"
#include "smbios-inspect/Inspect.h"
#include "smbios/SmbiosTable.h"

namespace smbios_inspect {

// The program name that runs the drop-in (the basename of argv[0]).
constexpr const char *kDropInName = "smbios-dmidecode";

// Where the table was read, as dmidecode's heading names it.
enum class HeadingSource {
    None,        // a source dmidecode has no line for (a bare table, an RSMB buffer)
    DumpFile,    // "Reading SMBIOS/DMI data from file F."
    MemoryFile,  // "Scanning F for entry point."
    Machine,     // physical memory or sysfs, whichever the table came from
};

struct HeadingOptions {
    std::string firstLine;  // "# smbios-inspect 0.1.0 (Tarnwick)"
    HeadingSource source = HeadingSource::None;
    std::string path;  // the file of DumpFile and MemoryFile, as given
    // A selection by type: dmidecode then leaves out the lines of the
    // whole table's size and address.
    bool byType = false;
    smbios::decode::DecodeOptions decodeOptions;
};

// The heading smbios-inspect's own sources are given: --dump as dmidecode's
// --from-dump, --image as its -d, the running machine as dmidecode reading
// the same source; a bare table and an RSMB buffer have no source line.
HeadingSource headingSourceOf(const SourceOptions &source, std::string &path);

// What dmidecode of `options.decodeOptions.dialect` prints before the
// structures of `table`, the empty line after it included.
std::string dmidecodeHeading(const smbios::ISmbiosTable &table, const HeadingOptions &options);

// A library message as one line: its newlines become "; ".
std::string oneLine(std::string text);

// smbios-dmidecode: dmidecode 3.7's command line, options, output and exit
// statuses over the library.
int dmidecodeMain(int argc, char **argv);

}  // namespace smbios_inspect

#endif  // TARNWICK_TOOLS_SMBIOSINSPECT_DMIDECODECOMMAND_H
