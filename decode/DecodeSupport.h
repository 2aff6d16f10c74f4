// What the structure decoders share: a bounded view of one structure, and
// the builder of its fields in the forms dmidecode words them.
#ifndef TARNWICK_DECODE_DECODESUPPORT_H
#define TARNWICK_DECODE_DECODESUPPORT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "decode/Decode.h"

namespace smbios::decode {

// One structure's bytes and strings, read once from the item. Every read
// is bounded by what the structure holds: a byte outside its formatted area
// reads as 0, and has() tells the decoders which fields are present.
class StructureView {
public:
    StructureView(const smbios::ISmbiosItem &item, Version version, const DecodeOptions &options = {});

    uint8_t type() const { return typeByte; }
    uint8_t length() const { return lengthByte; }  // as the header says
    uint16_t handle() const { return handleWord; }
    Version version() const { return tableVersion; }
    Dialect dialect() const { return decodeOptions.dialect; }
    // Whether the text is that of `release` or a later one.
    bool wordsOf(Dialect release) const { return decodeOptions.dialect >= release; }
    bool quirks() const { return decodeOptions.quirks; }
    // The table's maker and product, which some makers' structures depend on.
    const DecodeOptions &options() const { return decodeOptions; }

    // True when `size` bytes from `offset` lie within both the length the
    // header gives and the bytes the structure really holds.
    bool has(std::size_t offset, std::size_t size = 1) const { return offset + size <= formattedSize; }
    uint8_t u8(std::size_t offset) const;
    uint16_t u16(std::size_t offset) const;
    uint32_t u32(std::size_t offset) const;
    uint64_t u64(std::size_t offset) const;
    // The formatted area as far as the structure holds it, header included.
    const uint8_t *data() const { return bytes.data(); }
    std::size_t formattedLength() const { return formattedSize; }

    // String `number` (from 1) or nullptr when the number is 0 or past the
    // last string. The bytes are as stored.
    const std::string *string(uint8_t number) const;
    std::size_t stringCount() const { return strings.size(); }
    const std::vector<std::string> &allStrings() const { return strings; }

    // Takes the strings from `offset` instead of the header's length: for
    // structures whose length byte overstates their formatted area.
    void readStringsFrom(std::size_t offset);

    // For a maker's decoder: the structure is not of the form it decodes
    // (another signature, another length), and is shown undecoded, as an
    // OEM-specific structure.
    void leaveUndecoded() { undecoded = true; }
    bool leftUndecoded() const { return undecoded; }

private:
    uint8_t typeByte = 0;
    uint8_t lengthByte = 0;
    uint16_t handleWord = 0;
    Version tableVersion;
    DecodeOptions decodeOptions;
    std::vector<uint8_t> bytes;  // the whole structure as the item holds it
    std::size_t formattedSize = 0;
    std::vector<std::string> strings;
    bool undecoded = false;
};

// dmidecode's rendering of a stored string: every byte outside printable
// ASCII becomes '.', so the text is ASCII whatever the firmware wrote (its
// bytes are kept beside it).
std::string shownString(const std::string &stored);

// What dmidecode shows for a value outside an enumeration's range: its
// text, byte for byte, as every decoded block must be.
constexpr const char *kOutOfRange = "<OUT OF SPEC>";

constexpr std::size_t kDialects = 3;

// Words a dmidecode release changed: `original` up to the release before
// `since`, `reworded` from it on. Each is written once, beside the decoder
// that shows it.
struct Reworded {
    const char *original;
    Dialect since;
    const char *reworded;

    const char *in(Dialect dialect) const { return dialect >= since ? reworded : original; }
};

// Words every release shows alike, for tables of which a release reworded
// only some.
constexpr Reworded unchanged(const char *words) {
    return Reworded{words, Dialect::Dmidecode34, words};
}

// The name of `value` in a table of names from `first` of which releases
// reworded some, in `dialect`'s words; nullptr outside the table.
template <std::size_t N>
const char *rewordedName(const Reworded (&names)[N], unsigned first, unsigned value, Dialect dialect) {
    return value >= first && value - first < N ? names[value - first].in(dialect) : nullptr;
}

// A field's name as the text shows it, and the key programs know it by:
// the name itself, or for a reworded name its original words.
struct Label {
    Label() = default;
    Label(const char *shown) : shown(shown) {}             // NOLINT(google-explicit-constructor)
    Label(std::string shown) : shown(std::move(shown)) {}  // NOLINT(google-explicit-constructor)
    Label(const Reworded &words, Dialect dialect) : shown(words.in(dialect)), key(words.original) {}

    std::string shown;
    std::string key;
};

// The names of consecutive values from `first`: the standard's enumeration
// tables. Releases name more of a table as the standard grows it: a release
// knows the first `known[release]` names, and shows the rest as out of
// range as it does any value it does not know.
struct NameTable {
    unsigned first;
    const char *const *names;
    std::size_t count;
    std::array<std::size_t, kDialects> known;

    // nullptr when `value` lies outside the table, or past what `dialect`
    // knows of it.
    const char *find(unsigned value, Dialect dialect = Dialect::Dmidecode37) const {
        const std::size_t limit = known[static_cast<std::size_t>(dialect)];
        return value >= first && value - first < limit ? names[value - first] : nullptr;
    }
};

// The bits of `bits` that `names`, a table of bit names from bit 0 that
// names every bit the standard defines, leaves unnamed (null or past its
// end): the bits the standard reserves (Field::reservedBits).
uint64_t unnamedBits(uint64_t bits, const NameTable &names);

template <std::size_t N>
constexpr NameTable nameTable(unsigned first, const char *const (&names)[N]) {
    return NameTable{first, names, N, {N, N, N}};
}

// A table whose last names came with later releases: 3.4 knows the first
// `in34`, 3.6 the first `in36`, 3.7 all.
template <std::size_t N>
constexpr NameTable nameTable(unsigned first, const char *const (&names)[N], std::size_t in34, std::size_t in36) {
    return NameTable{first, names, N, {in34, in36, N}};
}

// printf into a std::string.
std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));

// Whether `field` is a blank line of the text (Fields::blankLine).
inline bool isBlankLine(const Field &field) {
    return field.kind == Kind::Text && field.name.empty() && field.text.empty() && field.items.empty() &&
           field.children.empty();
}

// The builder of one level of fields.
class Fields {
public:
    // The builder of a structure's top level, which may also set how the
    // structure is shown.
    Fields(Structure &structure, Dialect dialect) : fields(structure.fields), owner(&structure), words(dialect) {}
    // The builder of the fields of `group`, in the words of `parent`.
    Fields(Field &group, const Fields &parent) : fields(group.children), words(parent.words) {}

    Dialect dialect() const { return words; }
    // The words of `reworded` in this builder's release.
    const char *say(const Reworded &reworded) const { return reworded.in(words); }
    Label label(const Reworded &reworded) const { return Label(reworded, words); }

    // Top-level builders only (no effect on a group's builder): show each
    // top-level group as a heading of its own (Structure::headings), leave
    // the structure out of the quiet form, and note a corrected firmware
    // fault (Structure::notes, which dmidecode writes to stderr).
    void useHeadings() {
        if (owner) {
            owner->headings = true;
        }
    }
    // The structure's name, for a maker's decoder whose names say which of
    // its makers built the machine (HP's structures are HPE's on HPE's).
    const std::string &structureName() const {
        static const std::string none;
        return owner ? owner->name : none;
    }
    void rename(std::string shown) {
        if (owner) {
            owner->name = std::move(shown);
        }
    }
    // Leave the whole structure out of the quiet form (Structure::shown).
    void hideWhenQuiet() {
        if (owner) {
            owner->shown = Shown::NotQuiet;
        }
    }
    void note(std::string text) {
        if (owner) {
            owner->notes.push_back(std::move(text));
        }
    }

    // A field shown as "Name: text". Every builder but the strings' makes
    // its field here, which marks it undefined (Field::undefined) where the
    // text shows a value the release does not define.
    Field &text(Label name, std::string text);
    Field &integer(Label name, uint64_t number, std::string unit, std::string text);
    // An enumeration: `names` gives the text; a value outside it shows
    // `outside` and is marked unknown.
    Field &enumeration(Label name, unsigned value, const NameTable &names, const char *outside = kOutOfRange);
    // An enumeration whose text the caller chose; `known` as in Field.
    Field &enumerated(Label name, unsigned value, std::string text, bool known = true);
    // A bit set shown as "Name:" and one line per item beneath; with no
    // item it shows "Name: none", or "Name:" alone when `none` is null.
    Field &flags(Label name, std::vector<std::string> items, const char *none = "None");
    // The string whose number is the byte at `offset`, dmidecode's way:
    // "Not Specified" for 0, "<BAD INDEX>" past the last string.
    Field &string(Label name, const StructureView &view, std::size_t offset);
    // String `number` itself, where the number is no byte of the structure
    // but a position (OEM strings, options, languages) or fixed by a
    // maker's layout: "<BAD INDEX>" where the structure has too few.
    Field &numberedString(Label name, const StructureView &view, uint8_t number);
    Field &handle(Label name, uint16_t handle);
    Field &bytes(Label name, std::vector<uint8_t> bytes, std::string text);
    // A named group of fields shown beneath its name, one level deeper;
    // build its children with Fields(group.children). With a text, its line
    // is "Name: text".
    Field &group(Label name, std::string text = {});
    // A group "Name: count" of the `count` handles stored from `offset` on,
    // the group and its handles shown as `shown` says.
    Field &handleList(Label name, const StructureView &view, std::size_t offset, unsigned count, Shown shown);
    // A line of its own under the current level, without a name.
    Field &line(std::string text);
    // An empty line in the text, where dmidecode writes one inside a
    // structure; programs do not see it.
    Field &blankLine();

private:
    // A field of `text` as given: the string builders' words are the
    // firmware's, never a value.
    Field &add(Label name, std::string text);

    std::vector<Field> &fields;
    Structure *owner = nullptr;
    Dialect words;
};

// The name of the unit of 1024^`shift` bytes: "kB", "MB" up to 3.6, "KiB",
// "MiB" from 3.7; "bytes" for 0.
const char *unitName(unsigned shift, Dialect dialect);

// A size as dmidecode words sizes: in the largest unit of 1024 that holds
// it, with the next smaller unit's part folded in when it has one (1025 kB
// stays in kB, 2047.9 MB shows as 2047 MB). `shift` is the unit of `value`:
// 0 bytes, 1 kB, 2 MB.
std::string sizeText(uint64_t value, unsigned shift, Dialect dialect);

// The short name dmidecode gives a structure type where another structure
// refers to it (group associations, chassis elements), or nullptr past 46.
const char *shortTypeName(unsigned type, Dialect dialect);

// The rows of a hex dump, 16 bytes a row, as dmidecode shows "Header and
// Data".
std::vector<std::string> hexRows(const uint8_t *data, std::size_t size);

}  // namespace smbios::decode

#endif  // TARNWICK_DECODE_DECODESUPPORT_H
