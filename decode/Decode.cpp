// The structure view, the field builder, and the text dmidecode shows.
#include "decode/Decode.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "decode/DecodeSupport.h"
#include "decode/types/TypeDecoders.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosTable.h"
#include "smbios/format/SmbiosFormat.h"

namespace smbios::decode {

StructureView::StructureView(const smbios::ISmbiosItem &item, Version version, const DecodeOptions &options)
    : tableVersion(version), decodeOptions(options) {
    std::size_t size = 0;
    std::unique_ptr<uint8_t[]> copy = item.getBufferCopy(size);
    bytes.assign(copy.get(), copy.get() + size);
    typeByte = item.getType();
    lengthByte = item.getLength();
    handleWord = item.getHandle();
    readStringsFrom(lengthByte);
}

void StructureView::readStringsFrom(std::size_t offset) {
    formattedSize = std::min(offset, bytes.size());
    strings.clear();
    std::size_t at = formattedSize;
    // The string set ends at the first empty string; a structure whose
    // formatted area is followed straight by two zeros has none.
    while (at < bytes.size() && bytes[at] != 0) {
        const auto *begin = bytes.data() + at;
        const auto *end = static_cast<const uint8_t *>(std::memchr(begin, 0, bytes.size() - at));
        std::size_t length = end ? static_cast<std::size_t>(end - begin) : bytes.size() - at;
        strings.emplace_back(reinterpret_cast<const char *>(begin), length);
        at += length + 1;
    }
}

uint8_t StructureView::u8(std::size_t offset) const {
    return has(offset, 1) ? bytes[offset] : 0;
}

uint16_t StructureView::u16(std::size_t offset) const {
    return has(offset, 2) ? static_cast<uint16_t>(format::readLe(bytes.data() + offset, 2)) : 0;
}

uint32_t StructureView::u32(std::size_t offset) const {
    return has(offset, 4) ? static_cast<uint32_t>(format::readLe(bytes.data() + offset, 4)) : 0;
}

uint64_t StructureView::u64(std::size_t offset) const {
    return has(offset, 8) ? format::readLe(bytes.data() + offset, 8) : 0;
}

const std::string *StructureView::string(uint8_t number) const {
    if (number == 0 || number > strings.size()) {
        return nullptr;
    }
    return &strings[number - 1];
}

std::string shownString(const std::string &stored) {
    std::string shown = stored;
    for (char &c : shown) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte >= 127) {
            c = '.';
        }
    }
    return shown;
}

// A C variadic function, so that the compiler checks every pattern against
// its arguments as it does printf's.
std::string format(const char *pattern, ...) {  // NOLINT(cert-dcl50-cpp)
    char small[256];
    va_list arguments;
    va_start(arguments, pattern);
    // The analyzer, run over several files at once, can lose the va_start
    // above and take the list for uninitialised.
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    int length = std::vsnprintf(small, sizeof small, pattern, arguments);
    va_end(arguments);
    if (length < 0) {
        return {};
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        return std::string(small, static_cast<std::size_t>(length));
    }
    std::string large(static_cast<std::size_t>(length), '\0');
    va_start(arguments, pattern);
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    (void)std::vsnprintf(large.data(), large.size() + 1, pattern, arguments);
    va_end(arguments);
    return large;
}

namespace {

// Whether a value's text is one the release shows for a value outside the
// standard's range, or the name its table gives a reserved value, alone or
// beside the raw value ("Reserved (0x0005)", "01 (Reserved)").
bool showsUndefined(const std::string &text) {
    static const std::string kReserved = "Reserved";
    if (text.find(kOutOfRange) != std::string::npos) {
        return true;
    }
    const bool leads = text.compare(0, kReserved.size(), kReserved) == 0 &&
                       (text.size() == kReserved.size() || text[kReserved.size()] == ' ');
    return leads || text.find("(" + kReserved + ")") != std::string::npos;
}

}  // namespace

uint64_t unnamedBits(uint64_t bits, const NameTable &names) {
    uint64_t unnamed = 0;
    for (unsigned bit = 0; bit < 64; ++bit) {
        const uint64_t mask = uint64_t{1} << bit;
        if ((bits & mask) != 0 && names.find(bit) == nullptr) {
            unnamed |= mask;
        }
    }
    return unnamed;
}

Field &Fields::add(Label name, std::string text) {
    Field &field = fields.emplace_back();
    field.name = std::move(name.shown);
    field.key = std::move(name.key);
    field.text = std::move(text);
    return field;
}

Field &Fields::text(Label name, std::string text) {
    Field &field = add(std::move(name), std::move(text));
    field.undefined = showsUndefined(field.text);
    return field;
}

Field &Fields::integer(Label name, uint64_t number, std::string unit, std::string text) {
    Field &field = this->text(std::move(name), std::move(text));
    field.kind = Kind::Integer;
    field.number = number;
    field.unit = std::move(unit);
    return field;
}

Field &Fields::enumeration(Label name, unsigned value, const NameTable &names, const char *outside) {
    const char *found = names.find(value, words);
    return enumerated(std::move(name), value, found ? found : outside, found != nullptr);
}

Field &Fields::enumerated(Label name, unsigned value, std::string text, bool known) {
    Field &field = this->text(std::move(name), std::move(text));
    field.kind = Kind::Enum;
    field.number = value;
    field.known = known;
    return field;
}

Field &Fields::flags(Label name, std::vector<std::string> items, const char *none) {
    Field &field = text(std::move(name), items.empty() && none ? none : "");
    field.kind = Kind::Flags;
    field.items = std::move(items);
    return field;
}

Field &Fields::string(Label name, const StructureView &view, std::size_t offset) {
    const uint8_t number = view.u8(offset);
    if (number != 0) {
        return numberedString(std::move(name), view, number);
    }
    Field &field = text(std::move(name), "Not Specified");
    field.kind = Kind::String;
    field.known = false;
    return field;
}

Field &Fields::numberedString(Label name, const StructureView &view, uint8_t number) {
    const std::string *stored = view.string(number);
    Field &field = add(std::move(name), stored ? shownString(*stored) : "<BAD INDEX>");
    field.kind = Kind::String;
    field.stringNumber = number;
    field.known = stored != nullptr;
    if (stored) {
        field.bytes.assign(stored->begin(), stored->end());
    }
    return field;
}

Field &Fields::handle(Label name, uint16_t handle) {
    Field &field = text(std::move(name), format("0x%04X", handle));
    field.kind = Kind::Handle;
    field.number = handle;
    field.shown = Shown::NotQuiet;
    return field;
}

Field &Fields::bytes(Label name, std::vector<uint8_t> bytes, std::string text) {
    Field &field = this->text(std::move(name), std::move(text));
    field.kind = Kind::Bytes;
    field.bytes = std::move(bytes);
    return field;
}

Field &Fields::group(Label name, std::string text) {
    Field &field = this->text(std::move(name), std::move(text));
    field.kind = Kind::Group;
    return field;
}

Field &Fields::handleList(Label name, const StructureView &view, std::size_t offset, unsigned count, Shown shown) {
    Field &list = group(std::move(name), format("%u", count));
    list.number = count;
    list.shown = shown;
    Fields handles(list, *this);
    for (unsigned i = 0; i < count; ++i) {
        handles.handle({}, view.u16(offset + 2 * std::size_t{i})).shown = shown;
    }
    return list;
}

Field &Fields::line(std::string text) {
    return this->text({}, std::move(text));
}

Field &Fields::blankLine() {
    return this->text({}, {});
}

const char *unitName(unsigned shift, Dialect dialect) {
    static const char *const kUnits[] = {"bytes", "kB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB"};
    static const char *const kBinaryUnits[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB", "ZiB", "YiB"};
    const std::size_t at = std::min<std::size_t>(shift, 8);
    return dialect >= Dialect::Dmidecode37 ? kBinaryUnits[at] : kUnits[at];
}

std::string sizeText(uint64_t value, unsigned shift, Dialect dialect) {
    unsigned split[7];
    for (unsigned i = 0; i < 7; ++i) {
        split[i] = static_cast<unsigned>((value >> (10 * i)) & 0x3FF);
    }
    unsigned top = 6;
    while (top > 0 && split[top] == 0) {
        --top;
    }
    uint64_t shown = split[top];
    if (top > 0 && split[top - 1] != 0) {
        --top;
        shown = split[top] + (uint64_t{split[top + 1]} << 10);
    }
    return format("%llu %s", static_cast<unsigned long long>(shown), unitName(top + shift, dialect));
}

const char *typeName(unsigned type) {
    if (type > 255) {
        return "Unknown";
    }
    if (const TypeDecoder *decoder = decoderFor(static_cast<uint8_t>(type))) {
        return decoder->standardName;
    }
    return type >= 128 ? "OEM-specific" : "Unknown";
}

const char *shortTypeName(unsigned type, Dialect dialect) {
    const TypeDecoder *decoder = type < 126 ? decoderFor(static_cast<uint8_t>(type)) : nullptr;
    return decoder ? decoder->shortName.in(dialect) : nullptr;
}

std::vector<std::string> hexRows(const uint8_t *data, std::size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::vector<std::string> rows;
    for (std::size_t row = 0; row < size; row += 16) {
        std::string text;
        for (std::size_t i = row; i < size && i < row + 16; ++i) {
            if (i != row) {
                text += ' ';
            }
            text += kDigits[data[i] >> 4];
            text += kDigits[data[i] & 15];
        }
        rows.push_back(std::move(text));
    }
    return rows;
}

namespace {

// A bare table is decoded as the last 2.x version; and some firmware writes
// the version as decimal digits of one that never existed, whose fields
// are those of the version meant.
Version meantVersion(Version version) {
    if (version.major == 0 && version.minor == 0) {
        return Version{format::kBareTableMajor, format::kBareTableMinor, 0};
    }
    if (version.major == 2 && (version.minor == 31 || version.minor == 33)) {
        version.minor = 3;
    } else if (version.major == 2 && version.minor == 51) {
        version.minor = 6;
    }
    return version;
}

const char *const kUnknownTypeName = "Unknown Type";
const char *const kOemTypeName = "OEM-specific Type";

// What dmidecode shows of a structure it has no decoder for: its bytes and
// its strings.
void decodeUndecoded(const StructureView &view, Fields &fields) {
    Field &data = fields.flags("Header and Data", hexRows(view.data(), view.formattedLength()), nullptr);
    data.kind = Kind::Bytes;
    data.bytes.assign(view.data(), view.data() + view.formattedLength());
    if (view.stringCount() > 0) {
        std::vector<std::string> shown;
        for (const std::string &stored : view.allStrings()) {
            shown.push_back(shownString(stored));
        }
        fields.flags("Strings", std::move(shown), nullptr);
    }
}

void appendField(std::string &out, const Field &field, int depth, bool quiet) {
    // A group without a name or text (one record of several alike) has no
    // line of its own: its fields stand one level deeper, each shown as
    // it says.
    if (field.kind == Kind::Group && field.name.empty() && field.text.empty()) {
        for (const Field &child : field.children) {
            appendField(out, child, depth + 1, quiet);
        }
        return;
    }
    if (field.shown == Shown::ProgramsOnly || (quiet && field.shown == Shown::NotQuiet)) {
        return;
    }
    if (isBlankLine(field)) {
        out += '\n';
        return;
    }
    out.append(static_cast<std::size_t>(depth), '\t');
    // A bit set with a text of its own is shown on one line, the names of
    // its bits joined as dmidecode joins them; the items are for programs.
    const bool inlineFlags = field.kind == Kind::Flags && !field.text.empty();
    if (field.name.empty()) {
        out += field.text;
    } else if ((!field.items.empty() && !inlineFlags) ||
               ((field.kind == Kind::Flags || field.kind == Kind::Bytes) && field.text.empty())) {
        out += field.name;
        out += ':';
    } else if (field.kind == Kind::Group && field.text.empty()) {
        out += field.name;
    } else {
        out += field.name;
        out += ": ";
        out += field.text;
    }
    out += '\n';
    for (std::size_t i = 0; !inlineFlags && i < field.items.size(); ++i) {
        out.append(static_cast<std::size_t>(depth) + 1, '\t');
        out += field.items[i];
        out += '\n';
    }
    for (const Field &child : field.children) {
        appendField(out, child, depth + 1, quiet);
    }
}

}  // namespace

Structure decodeStructure(const smbios::ISmbiosItem &item, Version version, const DecodeOptions &options) {
    StructureView view(item, version, options);
    Structure structure;
    structure.type = view.type();
    structure.length = view.length();
    structure.handle = view.handle();
    Fields fields(structure, options.dialect);
    const TypeDecoder *decoder = decoderFor(view.type(), options);
    if (decoder) {
        structure.name = decoder->name.in(options.dialect);
        decoder->decode(view, fields);
    }
    if (view.leftUndecoded()) {
        structure.fields.clear();
        structure.headings = false;
        structure.notes.clear();
    }
    if (!decoder || view.leftUndecoded()) {
        structure.name = view.type() >= 128 ? kOemTypeName : kUnknownTypeName;
        decodeUndecoded(view, fields);
    }
    structure.formattedLength = view.formattedLength();
    return structure;
}

namespace {

void appendBody(std::string &out, const Structure &structure, bool quiet) {
    const auto notQuiet = [](const Field &field) { return field.shown == Shown::NotQuiet; };
    if (quiet && structure.headings && !structure.fields.empty() &&
        std::all_of(structure.fields.begin(), structure.fields.end(), notQuiet)) {
        return;
    }
    if (structure.headings) {
        for (const Field &heading : structure.fields) {
            out += heading.name;
            out += '\n';
            for (const Field &child : heading.children) {
                appendField(out, child, 1, quiet);
            }
        }
    } else {
        out += structure.name;
        out += '\n';
        for (const Field &field : structure.fields) {
            appendField(out, field, 1, quiet);
        }
    }
    out += '\n';
}

}  // namespace

void appendText(std::string &out, const Structure &structure) {
    out += format("Handle 0x%04X, DMI type %u, %u bytes\n", structure.handle, unsigned{structure.type},
                  unsigned{structure.length});
    appendBody(out, structure, false);
}

bool isShownQuietly(const Structure &structure) {
    if (structure.type == 126 || structure.type == 127 || structure.shown == Shown::NotQuiet) {
        return false;
    }
    return structure.name != kUnknownTypeName && structure.name != kOemTypeName;
}

void appendQuietText(std::string &out, const Structure &structure) {
    if (isShownQuietly(structure)) {
        appendBody(out, structure, true);
    }
}

namespace {

// The manufacturers whose own types dmidecode decodes, as it matches them:
// the whole name, letter case as written, spaces at its end left off.
struct MakerName {
    const char *manufacturer;
    Maker maker;
};
const MakerName kMakerNames[] = {
    {"HP", Maker::Hp},         {"Hewlett-Packard", Maker::Hp},
    {"HPE", Maker::Hpe},       {"Hewlett Packard Enterprise", Maker::Hpe},
    {"IBM", Maker::IbmLenovo}, {"LENOVO", Maker::IbmLenovo},
    {"Acer", Maker::Acer},
};

// HP's and HPE's types are decoded only where the product name holds one
// of these lines' names (anywhere in it, letter case as written).
const char *const kHpProductLines[] = {"ProLiant", "Synergy", "Apollo", "Edgeline"};

Maker makerNamed(std::string manufacturer) {
    manufacturer.erase(manufacturer.find_last_not_of(' ') + 1);
    for (const MakerName &name : kMakerNames) {
        if (manufacturer == name.manufacturer) {
            return name.maker;
        }
    }
    return Maker::Other;
}

bool isHpProductLine(const std::string &product) {
    return std::any_of(std::begin(kHpProductLines), std::end(kHpProductLines),
                       [&](const char *line) { return product.find(line) != std::string::npos; });
}

// A string of the system structure as dmidecode reads it to tell the
// maker: number 0 stands for the first string.
const std::string *systemString(const StructureView &view, std::size_t offset) {
    const uint8_t number = view.u8(offset);
    return view.string(number == 0 ? 1 : number);
}

}  // namespace

// As dmidecode does: every system structure long enough to hold the
// product name's number counts, in table order; a manufacturer of a maker
// above sets the maker, one of no such maker leaves it, and the product
// name is always the last one read.
DecodeOptions decodeOptionsFor(const smbios::ISmbiosTable &table, Dialect dialect, bool quirks) {
    DecodeOptions options;
    options.dialect = dialect;
    options.quirks = quirks;
    bool productKnown = false;
    for (auto it = table[1]; it != table.end(); ++it) {
        StructureView view(*it, versionOf(table), options);
        if (!view.has(0x05)) {
            continue;
        }
        const std::string *manufacturer = systemString(view, 0x04);
        const Maker maker = manufacturer ? makerNamed(*manufacturer) : Maker::Other;
        if (maker != Maker::Other) {
            options.maker = maker;
        }
        const std::string *product = systemString(view, 0x05);
        productKnown = product != nullptr;
        options.product = product ? *product : std::string();
    }
    if ((options.maker == Maker::Hp || options.maker == Maker::Hpe) &&
        (!productKnown || !isHpProductLine(options.product))) {
        options.maker = Maker::Other;
    }
    return options;
}

Version versionOf(const smbios::ISmbiosTable &table) {
    SourceEntryPoint source = table.getSourceEntryPoint();
    smbios::SmbiosTableBytes record;
    record.entryPoint = source.bytes;
    if (source.kind == EntryPointKind::None) {
        // WMI gives the version alone, in the table's 2.x record.
        const SmbiosTableEntryPoint header = table.getTableHeader();
        return meantVersion(Version{header.major_version, header.minor_version, 0});
    }
    return versionOf(record);
}

Version versionOf(const smbios::SmbiosTableBytes &source) {
    auto [major, minor] = format::versionOf(source);
    Version version{major, minor, 0};
    if (format::kindOf(source.entryPoint) == EntryPointKind::Smbios3 && source.entryPoint.size() > 9) {
        version.docrev = source.entryPoint[9];
    }
    return meantVersion(version);
}

}  // namespace smbios::decode
