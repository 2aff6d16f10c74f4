// Decoded SMBIOS structures: every standard field of a structure, named and
// typed, and the two ways of showing them (dmidecode's text, in the words of
// the release chosen, and JSON).
#ifndef TARNWICK_DECODE_DECODE_H
#define TARNWICK_DECODE_DECODE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace smbios {
class ISmbiosItem;
class ISmbiosTable;
struct SmbiosTableBytes;
}  // namespace smbios

namespace smbios::decode {

// The SMBIOS version a table claims; it decides which fields a structure
// carries and how some are read (the UUID's byte order, for one).
struct Version {
    uint8_t major = 0;
    uint8_t minor = 0;
    uint8_t docrev = 0;

    constexpr bool atLeast(uint8_t wantMajor, uint8_t wantMinor) const {
        return major > wantMajor || (major == wantMajor && minor >= wantMinor);
    }
};

// The version of `table`'s source record: the _SM3_ or _SM_ entry point, the
// version an RSMB buffer gives, or for a bare table the 2.8 its exports are
// given. Versions firmware writes as digits of one that never existed
// (2.31, 2.33, 2.51) are read as the one meant (2.3, 2.3, 2.6).
Version versionOf(const smbios::ISmbiosTable &table);
// The same for a table's bytes and the record in front of them.
Version versionOf(const smbios::SmbiosTableBytes &source);

// The dmidecode release whose words the text takes. Releases word the same
// fields differently (3.7 says "Platform Firmware Information" and "16 MiB"
// where 3.4 says "BIOS Information" and "16 MB") and name values that older
// ones show as out of range; the fields decoded are the same in all.
enum class Dialect : uint8_t { Dmidecode34, Dmidecode36, Dmidecode37 };

// The maker whose own structure types (128 to 255) a table carries, as its
// system structure (type 1) names it: the same type number means different
// things to different makers, and is decoded for the maker named only. HP
// and HPE share their types; the manufacturer's name tells which name the
// structures take.
enum class Maker : uint8_t { Other, Hp, Hpe, IbmLenovo, Acer };

// What the decoding of a table's structures, one after the other, carries
// from one to the next: HP numbers the short records of its type 233 by
// their place among those decoded before them, as dmidecode shows them. A
// program that decodes a table keeps one for the run and points its options
// at it; without one, every such record is the first.
struct DecodeRun {
    unsigned numbered[256] = {};  // by type: the records numbered so far
};

// How structures are decoded. `quirks` off decodes every structure as the
// standard lays it out, without the corrections for known firmware faults
// that dmidecode also leaves out with --no-quirks. `maker` and `product`
// (the system's product name, which tells some makers' generations apart)
// are those of the table the structure belongs to: `decodeOptionsFor`
// reads them. `run`, where given, is the run the structure is decoded in.
struct DecodeOptions {
    DecodeOptions() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): {dialect} reads as what it is
    DecodeOptions(Dialect words, bool withQuirks = true) : dialect(words), quirks(withQuirks) {}

    Dialect dialect = Dialect::Dmidecode37;
    bool quirks = true;
    Maker maker = Maker::Other;
    std::string product;
    DecodeRun *run = nullptr;
};

// The options that decode `table`'s structures in `dialect`: its maker and
// product from its system structures, read as dmidecode reads them.
DecodeOptions decodeOptionsFor(const smbios::ISmbiosTable &table, Dialect dialect, bool quirks = true);

enum class Kind : uint8_t {
    Text,     // words only: `text`
    Integer,  // `number`, in `unit` when it has one
    Enum,     // `number` is the raw value, `text` its standard name
    Flags,    // `items` are the names of the bits set
    String,   // `stringNumber`; `text` is the string (or what stands for it)
    Uuid,     // `text` in the standard's textual form, `bytes` as stored
    Handle,   // `number` is the handle of another structure
    Bytes,    // `bytes`
    Group,    // `children`
};

// Where a field is shown: everywhere; everywhere but the quiet form, which
// leaves out references to other structures and raw identifiers as
// dmidecode's -q does; or only to programs (JSON), for what the standard
// defines and dmidecode's text leaves out.
enum class Shown : uint8_t { Always, NotQuiet, ProgramsOnly };

// One field of a structure. `text` is the value as dmidecode words it;
// `items` are the lines of a list shown beneath the field's name, or for a
// bit set with a text, the names its text joins on one line.
struct Field {
    std::string name;
    // The identifier programs know the field by (a JSON key once made into
    // one): the name it was first given, whatever a release now shows.
    // Empty where it is the name.
    std::string key;
    Kind kind = Kind::Text;
    std::string text;
    uint64_t number = 0;
    // `number` holds a signed value (two's complement): readings below zero.
    bool isSigned = false;
    std::string unit;
    uint8_t stringNumber = 0;
    // False where the standard marks the value unknown, reserved or out of
    // its range, or the structure does not carry it: programs then see the
    // raw value rather than a name.
    bool known = true;
    // True where the value is one the release whose words the text takes
    // does not define: an enumeration's value past its table or one it names
    // "Reserved", a unit or position the standard leaves out of its range. In
    // kJsonDialect, whose release knows DSP0134 3.9, a value DSP0134 does not
    // define. Set by the builder from what the text shows (the words dmidecode
    // shows for a value out of range, a name "Reserved"), so the two never
    // disagree; neither text nor JSON shows it.
    bool undefined = false;
    // For a bit set whose decoder names every bit the standard defines: the
    // bits set that it reserves. 0 elsewhere; neither text nor JSON shows it.
    uint64_t reservedBits = 0;
    Shown shown = Shown::Always;
    std::vector<std::string> items;
    std::vector<uint8_t> bytes;
    std::vector<Field> children;
};

struct Structure {
    uint8_t type = 0;
    uint8_t length = 0;
    uint16_t handle = 0;
    std::string name;  // "BIOS Information", ...
    std::vector<Field> fields;
    // Shown as dmidecode shows a structure of several like parts (the
    // devices of type 10): each top-level group under a heading of its own
    // in place of the name.
    bool headings = false;
    // The bytes of the formatted area as decoded, header included: fewer
    // than `length` where a fault of the length byte was corrected (the
    // strings then start there), as dmidecode's -u shows the structure.
    std::size_t formattedLength = 0;
    // What dmidecode notes on stderr when it corrects a fault of the
    // firmware's ("Invalid entry length (16). Fixed up to 11."); `length`
    // stays as the header says, as dmidecode shows it.
    std::vector<std::string> notes;
    // NotQuiet where the quiet form leaves the whole structure out, as
    // dmidecode's -q does with type 40's facts about other structures.
    Shown shown = Shown::Always;
};

// The name DSP0134 gives structure type `type`: "BIOS Information" for 0
// and so on to 46, "Inactive" (126), "End Of Table" (127), "OEM-specific"
// (128 to 255) and "Unknown" for the others.
const char *typeName(unsigned type);

// Decodes one structure under `version`, in the words of `options.dialect`.
// Reads only what the item holds: fields beyond its formatted area are left
// out, missing strings are named as missing. Never throws for any content of
// the item.
Structure decodeStructure(const smbios::ISmbiosItem &item, Version version, const DecodeOptions &options = {});

// Appends the structure as dmidecode shows it on stdout: the "Handle 0x...,
// DMI type ..." line, the name, the fields, and the empty line after them.
void appendText(std::string &out, const Structure &structure);

// Whether the quiet form shows the structure at all: not the inactive and
// end-of-table ones, nor those left undecoded (OEM-specific ones of no
// maker's decoder included), which carry no decoded field, nor those whose
// `shown` says so.
bool isShownQuietly(const Structure &structure);

// As appendText, as dmidecode's --quiet shows it: nothing for a structure
// the quiet form does not show; else without the "Handle" line and without
// the fields not shown in it.
void appendQuietText(std::string &out, const Structure &structure);

// The release whose words JSON carries (the names of enumerations, the
// texts of values), whatever release the text takes: one, so that what a
// program reads does not change with the text's choice.
constexpr Dialect kJsonDialect = Dialect::Dmidecode37;

// The JSON key of a field known by `words`: its ASCII letters and digits in
// lower case, each run of anything else one '_' between them ("Max. Speed"
// is max_speed, "PMIC0 Manufacturer ID" pmic0_manufacturer_id).
std::string jsonKey(const std::string &words);
// The key of `field`: jsonKey of its key, or of its name where the key is
// empty; empty for a field without a name, which JSON lists under "items".
std::string jsonKeyOf(const Field &field);

// The structures as one JSON array, each an object of handle, type,
// length, the standard's name of its type and its fields by jsonKeyOf.
std::string toJson(const std::vector<Structure> &structures);

// What a decode document says of the table its structures come from.
struct TableFacts {
    Version version;
    std::string source;      // where the table was read: "image", "dump", "raw", "rsmb" or "machine"
    std::string file;        // the file read, for a source that is one
    std::string entryPoint;  // the record before the table: "smbios2", "smbios3", "rsmb" or "none"
    uint64_t tableLength = 0;
    std::size_t structureCount = 0;  // in the whole table, whichever structures are given
};

// One JSON document: the table's facts, and the structures as the array
// above under "structures".
std::string toJson(const TableFacts &table, const std::vector<Structure> &structures);

}  // namespace smbios::decode

#endif  // TARNWICK_DECODE_DECODE_H
