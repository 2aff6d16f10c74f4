// smbios-inspect's work: where the table comes from, and the commands that
// show it, check it and export it.
#ifndef TARNWICK_TOOLS_SMBIOSINSPECT_INSPECT_H
#define TARNWICK_TOOLS_SMBIOSINSPECT_INSPECT_H

#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "decode/Decode.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"

namespace smbios_inspect {

// A failure of the tool's own (a file it cannot read or write): exit 1.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the table comes from. At most one of the files is set; none means
// the running machine.
struct SourceOptions {
    std::string image;  // a memory image
    std::string dump;   // a `dmidecode --dump-bin` file
    std::string raw;    // a bare table (/sys/firmware/dmi/tables/DMI)
    std::string rsmb;   // a Windows firmware-table 'RSMB' buffer
    uint32_t offset = 0;
    bool strict = false;
    // A file's table that is cut short or holds no structure is read as far
    // as it goes rather than refused: as dmidecode reads it, and as `check`
    // does, which says what is wrong with it.
    bool lenient = false;
};

// check's own options.
struct CheckOptions {
    std::string profile;         // a built-in profile's name or a file: dsp0134 when not given
    bool profileIsFile = false;  // `profile` names a file
    bool sarif = false;
    bool listRules = false;
};

// The table of a dump, raw table or RSMB buffer, with the record its file
// holds in front of it. Throws ToolError naming a file that cannot be read
// or is not of its kind.
smbios::SmbiosTableBytes loadedSource(const SourceOptions &options);
// Refuses, with a ToolError naming it, a path that cannot be a source: a
// directory, an empty file, or a device unless `deviceAllowed` (an image
// may be /dev/mem).
void refuseNonFile(const std::string &path, bool deviceAllowed);
// The bytes of a file; throws ToolError naming it.
std::vector<uint8_t> fileBytes(const std::string &path);

// Points the library's factories at the source for the lifetime of the
// object. Dumps, raw tables and RSMB buffers are read into memory and handed
// to the library as they are (the SMBIOS factory's BufferMode); images and
// the running machine are searched for 2.x and 3.x entry points.
class TableSource {
public:
    explicit TableSource(const SourceOptions &options);
    ~TableSource();
    TableSource(const TableSource &) = delete;
    TableSource &operator=(const TableSource &) = delete;

    // The process-wide table of the SMBIOS factory; throws the library's
    // exception when no table can be read, or for the running machine a
    // ToolError that says which sources were tried and why each failed.
    smbios::ISmbiosTable &table();

    // The source as given, which the dmidecode heading names.
    const SourceOptions &sourceOptions() const { return options; }

    // What JSON calls the source: "image", "dump", "raw", "rsmb" or
    // "machine"; and its file, empty for the machine.
    const char *kind() const;
    const std::string &file() const;

private:
    SourceOptions options;
    bool fromMachine;
};

// One structure as the commands show it.
struct StructureInfo {
    uint16_t handle = 0;
    uint8_t type = 0;
    uint8_t length = 0;
    std::size_t size = 0;
    std::vector<uint8_t> formatted;  // the formatted area as far as the structure holds it
    std::vector<std::string> strings;
};
StructureInfo describeStructure(const smbios::ISmbiosItem &item);

// The table keeps a copy of every structure it has handed out. A command
// that needs each structure only while it shows it drops the copies now and
// then, which keeps a large table's run as small as a short one's.
class StructureCacheTrim {
public:
    explicit StructureCacheTrim(smbios::ISmbiosTable &table) : table(table) {}
    // Called once the command is done with a structure's item; an iterator
    // holds a position in the table, not the item, and moves on from it.
    void structureDone() {
        if (++done == kStructuresKept) {
            table.clearItemCache();
            done = 0;
        }
    }

private:
    static constexpr std::size_t kStructuresKept = 64;
    smbios::ISmbiosTable &table;
    std::size_t done = 0;
};

// What JSON calls the kind of record in front of a table: "smbios2",
// "smbios3", "rsmb" or "none".
const char *entryPointKindName(smbios::EntryPointKind kind);

// A handle as the commands show it: 0x0100.
std::string hex16(uint32_t value);

// Text a command writes, gathered to be written out at the end, or with a
// sink written out whenever 16 KiB have gathered, so that a long output is
// never held whole. Not a std::ostream: setting up the standard streams and
// their locale costs a run of the tool more than listing a small table does.
class Output {
public:
    Output() = default;
    explicit Output(std::FILE *sink) : sink(sink) {}

    Output &operator<<(const std::string &text) {
        buffer += text;
        return spill();
    }
    Output &operator<<(const char *text) {
        buffer += text;
        return spill();
    }
    Output &operator<<(char c) {
        buffer += c;
        return spill();
    }
    // Numbers in decimal. Bytes are left out on purpose: a stream prints
    // them as characters, and neither reading is right everywhere.
    template <class Number, std::enable_if_t<std::is_integral_v<Number> && sizeof(Number) >= 2, int> = 0>
    Output &operator<<(Number value) {
        buffer += std::to_string(value);
        return spill();
    }
    // What is gathered and not yet written to the sink.
    const std::string &text() const { return buffer; }

private:
    static constexpr std::size_t kSpillSize = std::size_t{16} * 1024;

    Output &spill() {
        if (sink != nullptr && buffer.size() >= kSpillSize) {
            (void)std::fwrite(buffer.data(), 1, buffer.size(), sink);
            buffer.clear();
        }
        return *this;
    }

    std::FILE *sink = nullptr;
    std::string buffer;
};

// Each command writes its output to `out` and returns the exit status.
int dumpCommand(TableSource &source, Output &out);
int listCommand(TableSource &source, bool json, Output &out);
int showCommand(TableSource &source, std::optional<int> type, std::optional<int> handle, bool json, Output &out);
int decodeCommand(TableSource &source, const std::vector<int> &types, std::optional<int> handle, bool quiet, bool json,
                  const smbios::decode::DecodeOptions &options, Output &out, Output &errors);
int getCommand(TableSource &source, const std::string &keyword, bool listKeywords, const std::string &oemString,
               bool json, const smbios::decode::DecodeOptions &options, Output &out, Output &errors);
int entryPointCommand(TableSource &source, bool json, Output &out);
// The system-ID and vendor queries read the library's process-wide memory
// source and table, which the TableSource of the run has set up.
int systemIdCommand(bool json, Output &out, Output &errors);
int vendorCommand(bool json, Output &out);
int exportImageCommand(TableSource &source, const std::string &path, Output &out);
int exportDumpCommand(TableSource &source, const std::string &path, Output &out);
// Checks the source's bytes as they are, an entry point that fails its
// checks and a table cut short included; reads no library factory. Exits 3
// when a finding is an error.
int checkCommand(const SourceOptions &source, const CheckOptions &options, bool json, Output &out);

// The structures as the firmware delivered them, without the workarounds'
// corrections.
std::vector<uint8_t> rawStructures(smbios::ISmbiosTable &table);

}  // namespace smbios_inspect

#endif  // TARNWICK_TOOLS_SMBIOSINSPECT_INSPECT_H
