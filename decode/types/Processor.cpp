// Decoders of the processor structures: processor (4), cache (7), processor additional information (44).
#include <algorithm>
#include <cctype>

#include "decode/types/TypeDecoders.h"

namespace smbios::decode {
namespace {

constexpr Dialect k36 = Dialect::Dmidecode36;
constexpr Dialect k37 = Dialect::Dmidecode37;

// A processor family, and the first dmidecode release that names it.
struct FamilyName {
    const char *name;
    uint16_t value;
    Dialect since = Dialect::Dmidecode34;
};

// DSP0134's processor families, by the value of the family field (or of
// the 2-byte family field where the first holds FEh).
const FamilyName kFamilies[] = {
    {"Other", 0x001},
    {"Unknown", 0x002},
    {"8086", 0x003},
    {"80286", 0x004},
    {"80386", 0x005},
    {"80486", 0x006},
    {"8087", 0x007},
    {"80287", 0x008},
    {"80387", 0x009},
    {"80487", 0x00A},
    {"Pentium", 0x00B},
    {"Pentium Pro", 0x00C},
    {"Pentium II", 0x00D},
    {"Pentium MMX", 0x00E},
    {"Celeron", 0x00F},
    {"Pentium II Xeon", 0x010},
    {"Pentium III", 0x011},
    {"M1", 0x012},
    {"M2", 0x013},
    {"Celeron M", 0x014},
    {"Pentium 4 HT", 0x015},
    {"Intel", 0x016, k36},
    {"Duron", 0x018},
    {"K5", 0x019},
    {"K6", 0x01A},
    {"K6-2", 0x01B},
    {"K6-3", 0x01C},
    {"Athlon", 0x01D},
    {"AMD29000", 0x01E},
    {"K6-2+", 0x01F},
    {"Power PC", 0x020},
    {"Power PC 601", 0x021},
    {"Power PC 603", 0x022},
    {"Power PC 603+", 0x023},
    {"Power PC 604", 0x024},
    {"Power PC 620", 0x025},
    {"Power PC x704", 0x026},
    {"Power PC 750", 0x027},
    {"Core Duo", 0x028},
    {"Core Duo Mobile", 0x029},
    {"Core Solo Mobile", 0x02A},
    {"Atom", 0x02B},
    {"Core M", 0x02C},
    {"Core m3", 0x02D},
    {"Core m5", 0x02E},
    {"Core m7", 0x02F},
    {"Alpha", 0x030},
    {"Alpha 21064", 0x031},
    {"Alpha 21066", 0x032},
    {"Alpha 21164", 0x033},
    {"Alpha 21164PC", 0x034},
    {"Alpha 21164a", 0x035},
    {"Alpha 21264", 0x036},
    {"Alpha 21364", 0x037},
    {"Turion II Ultra Dual-Core Mobile M", 0x038},
    {"Turion II Dual-Core Mobile M", 0x039},
    {"Athlon II Dual-Core M", 0x03A},
    {"Opteron 6100", 0x03B},
    {"Opteron 4100", 0x03C},
    {"Opteron 6200", 0x03D},
    {"Opteron 4200", 0x03E},
    {"FX", 0x03F},
    {"MIPS", 0x040},
    {"MIPS R4000", 0x041},
    {"MIPS R4200", 0x042},
    {"MIPS R4400", 0x043},
    {"MIPS R4600", 0x044},
    {"MIPS R10000", 0x045},
    {"C-Series", 0x046},
    {"E-Series", 0x047},
    {"A-Series", 0x048},
    {"G-Series", 0x049},
    {"Z-Series", 0x04A},
    {"R-Series", 0x04B},
    {"Opteron 4300", 0x04C},
    {"Opteron 6300", 0x04D},
    {"Opteron 3300", 0x04E},
    {"FirePro", 0x04F},
    {"SPARC", 0x050},
    {"SuperSPARC", 0x051},
    {"MicroSPARC II", 0x052},
    {"MicroSPARC IIep", 0x053},
    {"UltraSPARC", 0x054},
    {"UltraSPARC II", 0x055},
    {"UltraSPARC IIi", 0x056},
    {"UltraSPARC III", 0x057},
    {"UltraSPARC IIIi", 0x058},
    {"68040", 0x060},
    {"68xxx", 0x061},
    {"68000", 0x062},
    {"68010", 0x063},
    {"68020", 0x064},
    {"68030", 0x065},
    {"Athlon X4", 0x066},
    {"Opteron X1000", 0x067},
    {"Opteron X2000", 0x068},
    {"Opteron A-Series", 0x069},
    {"Opteron X3000", 0x06A},
    {"Zen", 0x06B},
    {"Hobbit", 0x070},
    {"Crusoe TM5000", 0x078},
    {"Crusoe TM3000", 0x079},
    {"Efficeon TM8000", 0x07A},
    {"Weitek", 0x080},
    {"Itanium", 0x082},
    {"Athlon 64", 0x083},
    {"Opteron", 0x084},
    {"Sempron", 0x085},
    {"Turion 64", 0x086},
    {"Dual-Core Opteron", 0x087},
    {"Athlon 64 X2", 0x088},
    {"Turion 64 X2", 0x089},
    {"Quad-Core Opteron", 0x08A},
    {"Third-Generation Opteron", 0x08B},
    {"Phenom FX", 0x08C},
    {"Phenom X4", 0x08D},
    {"Phenom X2", 0x08E},
    {"Athlon X2", 0x08F},
    {"PA-RISC", 0x090},
    {"PA-RISC 8500", 0x091},
    {"PA-RISC 8000", 0x092},
    {"PA-RISC 7300LC", 0x093},
    {"PA-RISC 7200", 0x094},
    {"PA-RISC 7100LC", 0x095},
    {"PA-RISC 7100", 0x096},
    {"V30", 0x0A0},
    {"Quad-Core Xeon 3200", 0x0A1},
    {"Dual-Core Xeon 3000", 0x0A2},
    {"Quad-Core Xeon 5300", 0x0A3},
    {"Dual-Core Xeon 5100", 0x0A4},
    {"Dual-Core Xeon 5000", 0x0A5},
    {"Dual-Core Xeon LV", 0x0A6},
    {"Dual-Core Xeon ULV", 0x0A7},
    {"Dual-Core Xeon 7100", 0x0A8},
    {"Quad-Core Xeon 5400", 0x0A9},
    {"Quad-Core Xeon", 0x0AA},
    {"Dual-Core Xeon 5200", 0x0AB},
    {"Dual-Core Xeon 7200", 0x0AC},
    {"Quad-Core Xeon 7300", 0x0AD},
    {"Quad-Core Xeon 7400", 0x0AE},
    {"Multi-Core Xeon 7400", 0x0AF},
    {"Pentium III Xeon", 0x0B0},
    {"Pentium III Speedstep", 0x0B1},
    {"Pentium 4", 0x0B2},
    {"Xeon", 0x0B3},
    {"AS400", 0x0B4},
    {"Xeon MP", 0x0B5},
    {"Athlon XP", 0x0B6},
    {"Athlon MP", 0x0B7},
    {"Itanium 2", 0x0B8},
    {"Pentium M", 0x0B9},
    {"Celeron D", 0x0BA},
    {"Pentium D", 0x0BB},
    {"Pentium EE", 0x0BC},
    {"Core Solo", 0x0BD},
    {"Core 2 Duo", 0x0BF},
    {"Core 2 Solo", 0x0C0},
    {"Core 2 Extreme", 0x0C1},
    {"Core 2 Quad", 0x0C2},
    {"Core 2 Extreme Mobile", 0x0C3},
    {"Core 2 Duo Mobile", 0x0C4},
    {"Core 2 Solo Mobile", 0x0C5},
    {"Core i7", 0x0C6},
    {"Dual-Core Celeron", 0x0C7},
    {"IBM390", 0x0C8},
    {"G4", 0x0C9},
    {"G5", 0x0CA},
    {"ESA/390 G6", 0x0CB},
    {"z/Architecture", 0x0CC},
    {"Core i5", 0x0CD},
    {"Core i3", 0x0CE},
    {"Core i9", 0x0CF},
    {"Xeon D", 0x0D0, k37},
    {"C7-M", 0x0D2},
    {"C7-D", 0x0D3},
    {"C7", 0x0D4},
    {"Eden", 0x0D5},
    {"Multi-Core Xeon", 0x0D6},
    {"Dual-Core Xeon 3xxx", 0x0D7},
    {"Quad-Core Xeon 3xxx", 0x0D8},
    {"Nano", 0x0D9},
    {"Dual-Core Xeon 5xxx", 0x0DA},
    {"Quad-Core Xeon 5xxx", 0x0DB},
    {"Dual-Core Xeon 7xxx", 0x0DD},
    {"Quad-Core Xeon 7xxx", 0x0DE},
    {"Multi-Core Xeon 7xxx", 0x0DF},
    {"Multi-Core Xeon 3400", 0x0E0},
    {"Opteron 3000", 0x0E4},
    {"Sempron II", 0x0E5},
    {"Embedded Opteron Quad-Core", 0x0E6},
    {"Phenom Triple-Core", 0x0E7},
    {"Turion Ultra Dual-Core Mobile", 0x0E8},
    {"Turion Dual-Core Mobile", 0x0E9},
    {"Athlon Dual-Core", 0x0EA},
    {"Sempron SI", 0x0EB},
    {"Phenom II", 0x0EC},
    {"Athlon II", 0x0ED},
    {"Six-Core Opteron", 0x0EE},
    {"Sempron M", 0x0EF},
    {"i860", 0x0FA},
    {"i960", 0x0FB},
    {"ARMv7", 0x100},
    {"ARMv8", 0x101},
    {"ARMv9", 0x102, k36},
    {"ARM", 0x103, k36},
    {"SH-3", 0x104},
    {"SH-4", 0x105},
    {"ARM", 0x118},
    {"StrongARM", 0x119},
    {"6x86", 0x12C},
    {"MediaGX", 0x12D},
    {"MII", 0x12E},
    {"WinChip", 0x140},
    {"DSP", 0x15E},
    {"Video Processor", 0x1F4},
    {"RV32", 0x200},
    {"RV64", 0x201},
    {"RV128", 0x202},
    {"LoongArch", 0x258, k36},
    {"Loongson 1", 0x259, k36},
    {"Loongson 2", 0x25A, k36},
    {"Loongson 3", 0x25B, k36},
    {"Loongson 2K", 0x25C, k36},
    {"Loongson 3A", 0x25D, k36},
    {"Loongson 3B", 0x25E, k36},
    {"Loongson 3C", 0x25F, k36},
    {"Loongson 3D", 0x260, k36},
    {"Loongson 3E", 0x261, k36},
    {"Dual-Core Loongson 2K 2xxx", 0x262, k36},
    {"Quad-Core Loongson 3A 5xxx", 0x26C, k36},
    {"Multi-Core Loongson 3A 5xxx", 0x26D, k36},
    {"Quad-Core Loongson 3B 5xxx", 0x26E, k36},
    {"Multi-Core Loongson 3B 5xxx", 0x26F, k36},
    {"Multi-Core Loongson 3C 5xxx", 0x270, k36},
    {"Multi-Core Loongson 3D 5xxx", 0x271, k36},
};

const char *familyName(unsigned value, Dialect dialect) {
    for (const FamilyName &family : kFamilies) {
        if (family.value == value) {
            return dialect >= family.since ? family.name : nullptr;
        }
    }
    return nullptr;
}

bool containsNoCase(const std::string &text, const char *word) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower.find(word) != std::string::npos;
}

// How the ID field is read: the processor identification the family's
// architecture gives it.
enum class IdStyle { None, I386, I486, Intel, Amd, Arm, LoongArch };

IdStyle idStyleOf(unsigned family, Dialect dialect) {
    struct Range {
        unsigned first;
        unsigned last;
        IdStyle style;
        Dialect since = Dialect::Dmidecode34;  // the first release to read it so
    };
    static const Range kRanges[] = {
        {0x05, 0x05, IdStyle::I386},
        {0x06, 0x06, IdStyle::I486},
        {0x0B, 0x15, IdStyle::Intel},
        {0x18, 0x1D, IdStyle::Amd},
        {0x1F, 0x1F, IdStyle::Amd},
        {0x28, 0x2F, IdStyle::Intel},
        {0x38, 0x3F, IdStyle::Amd},
        {0x46, 0x4F, IdStyle::Amd},
        {0x66, 0x6B, IdStyle::Amd},
        {0x83, 0x8F, IdStyle::Amd},
        {0xA1, 0xB3, IdStyle::Intel},
        {0xB5, 0xB5, IdStyle::Intel},
        {0xB6, 0xB7, IdStyle::Amd},
        {0xB9, 0xC7, IdStyle::Intel},
        {0xCD, 0xCF, IdStyle::Intel},
        {0xD2, 0xDB, IdStyle::Intel},
        {0xDD, 0xE0, IdStyle::Intel},
        {0xE4, 0xEF, IdStyle::Amd},
        {0x100, 0x101, IdStyle::Arm},
        {0x118, 0x119, IdStyle::Arm},
        {0x102, 0x102, IdStyle::Arm, k36},
        {0x258, 0x262, IdStyle::LoongArch, k36},
        {0x26C, 0x271, IdStyle::LoongArch, k36},
    };
    for (const Range &range : kRanges) {
        if (family >= range.first && family <= range.last && dialect >= range.since) {
            return range.style;
        }
    }
    return IdStyle::None;
}

// The CPUID leaf 1 EDX feature bits; reserved bits have no name.
const char *const kCpuidFlags[32] = {
    "FPU (Floating-point unit on-chip)",
    "VME (Virtual mode extension)",
    "DE (Debugging extension)",
    "PSE (Page size extension)",
    "TSC (Time stamp counter)",
    "MSR (Model specific registers)",
    "PAE (Physical address extension)",
    "MCE (Machine check exception)",
    "CX8 (CMPXCHG8 instruction supported)",
    "APIC (On-chip APIC hardware supported)",
    nullptr,
    "SEP (Fast system call)",
    "MTRR (Memory type range registers)",
    "PGE (Page global enable)",
    "MCA (Machine check architecture)",
    "CMOV (Conditional move instruction supported)",
    "PAT (Page attribute table)",
    "PSE-36 (36-bit page size extension)",
    "PSN (Processor serial number present and enabled)",
    "CLFSH (CLFLUSH instruction supported)",
    nullptr,
    "DS (Debug store)",
    "ACPI (ACPI supported)",
    "MMX (MMX technology supported)",
    "FXSR (FXSAVE and FXSTOR instructions supported)",
    "SSE (Streaming SIMD extensions)",
    "SSE2 (Streaming SIMD extensions 2)",
    "SS (Self-snoop)",
    "HTT (Multi-threading)",
    "TM (Thermal monitor supported)",
    nullptr,
    "PBE (Pending break enabled)",
};

void addSignature(const StructureView &view, Fields &fields, IdStyle style) {
    uint32_t eax = view.u32(0x08);
    uint32_t edx = view.u32(0x0C);
    unsigned low = eax & 0xFFFF;
    switch (style) {
    case IdStyle::None:
        return;
    case IdStyle::I386:
        fields.text("Signature", format("Type %u, Family %u, Major Stepping %u, Minor Stepping %u", low >> 12,
                                        (low >> 8) & 0xF, (low >> 4) & 0xF, low & 0xF));
        return;
    case IdStyle::I486:
        fields.text("Signature", format("Type %u, Family %u, Model %u, Stepping %u", (low >> 12) & 0x3,
                                        (low >> 8) & 0xF, (low >> 4) & 0xF, low & 0xF));
        return;
    case IdStyle::LoongArch:
        fields.text("Signature", format("Processor Identity 0x%08x", eax));
        // dmidecode ends this line with an empty one.
        fields.blankLine();
        return;
    case IdStyle::Arm:
        // An ID of zero carries no main ID register value.
        if (eax != 0) {
            fields.text("Signature",
                        format("Implementor 0x%02x, Variant 0x%x, Architecture %u, Part 0x%03x, "
                               "Revision %u",
                               eax >> 24, (eax >> 20) & 0xF, (eax >> 16) & 0xF, (eax >> 4) & 0xFFF, eax & 0xF));
        }
        return;
    case IdStyle::Intel:
        fields.text("Signature", format("Type %u, Family %u, Model %u, Stepping %u", (eax >> 12) & 0x3,
                                        ((eax >> 20) & 0xFF) + ((eax >> 8) & 0xF),
                                        (((eax >> 16) & 0xF) << 4) + ((eax >> 4) & 0xF), eax & 0xF));
        break;
    case IdStyle::Amd: {
        // The extended family and model count only for base family Fh.
        unsigned family = (eax >> 8) & 0xF;
        unsigned model = (eax >> 4) & 0xF;
        if (family == 0xF) {
            family += (eax >> 20) & 0xFF;
            model += ((eax >> 16) & 0xF) << 4;
        }
        fields.text("Signature", format("Family %u, Model %u, Stepping %u", family, model, eax & 0xF));
        break;
    }
    }
    std::vector<std::string> flags;
    for (unsigned bit = 0; bit < 32; ++bit) {
        if ((edx >> bit & 1U) != 0 && kCpuidFlags[bit] != nullptr) {
            flags.emplace_back(kCpuidFlags[bit]);
        }
    }
    Field &field = fields.flags("Flags", std::move(flags));
    field.number = edx;
}

// Firmware that gives an x86 processor the family Other or Unknown: dmidecode
// 3.4 tells those that have CPUID by how the version string starts (or, for
// one, by the whole string); later releases show no signature for them.
struct VersionHint {
    const char *text;
    bool whole;
    IdStyle style;
};

const VersionHint kVersionHints[] = {
    {"Pentium III MMX", false, IdStyle::Intel},
    {"Intel(R) Core(TM)2", false, IdStyle::Intel},
    {"Intel(R) Pentium(R)", false, IdStyle::Intel},
    {"Genuine Intel(R) CPU U1400", true, IdStyle::Intel},
    {"AMD Athlon(TM)", false, IdStyle::Amd},
    {"AMD Opteron(tm)", false, IdStyle::Amd},
    {"Dual-Core AMD Opteron(tm)", false, IdStyle::Amd},
};
constexpr Dialect kVersionHintsUntil = Dialect::Dmidecode34;

IdStyle idStyleOfVersion(const std::string *version, Dialect dialect) {
    if (version == nullptr || dialect > kVersionHintsUntil) {
        return IdStyle::None;
    }
    for (const VersionHint &hint : kVersionHints) {
        if (hint.whole ? *version == hint.text : version->rfind(hint.text, 0) == 0) {
            return hint.style;
        }
    }
    return IdStyle::None;
}

const char *const kProcessorTypes[] = {"Other",          "Unknown",       "Central Processor",
                                       "Math Processor", "DSP Processor", "Video Processor"};

const char *const kUpgrades[] = {
    "Other",
    "Unknown",
    "Daughter Board",
    "ZIF Socket",
    "Replaceable Piggy Back",
    "None",
    "LIF Socket",
    "Slot 1",
    "Slot 2",
    "370-pin Socket",
    "Slot A",
    "Slot M",
    "Socket 423",
    "Socket A (Socket 462)",
    "Socket 478",
    "Socket 754",
    "Socket 940",
    "Socket 939",
    "Socket mPGA604",
    "Socket LGA771",
    "Socket LGA775",
    "Socket S1",
    "Socket AM2",
    "Socket F (1207)",
    "Socket LGA1366",
    "Socket G34",
    "Socket AM3",
    "Socket C32",
    "Socket LGA1156",
    "Socket LGA1567",
    "Socket PGA988A",
    "Socket BGA1288",
    "Socket rPGA988B",
    "Socket BGA1023",
    "Socket BGA1224",
    "Socket BGA1155",
    "Socket LGA1356",
    "Socket LGA2011",
    "Socket FS1",
    "Socket FS2",
    "Socket FM1",
    "Socket FM2",
    "Socket LGA2011-3",
    "Socket LGA1356-3",
    "Socket LGA1150",
    "Socket BGA1168",
    "Socket BGA1234",
    "Socket BGA1364",
    "Socket AM4",
    "Socket LGA1151",
    "Socket BGA1356",
    "Socket BGA1440",
    "Socket BGA1515",
    "Socket LGA3647-1",
    "Socket SP3",
    "Socket SP3r2",
    "Socket LGA2066",
    "Socket BGA1392",
    "Socket BGA1510",
    "Socket BGA1528",
    "Socket LGA4189",
    "Socket LGA1200",
    "Socket LGA4677",
    "Socket LGA1700",
    "Socket BGA1744",
    "Socket BGA1781",
    "Socket BGA1211",
    "Socket BGA2422",
    "Socket LGA1211",
    "Socket LGA2422",
    "Socket LGA5773",
    "Socket BGA5773",
    "Socket AM5",
    "Socket SP5",
    "Socket SP6",
    "Socket BGA883",
    "Socket BGA1190",
    "Socket BGA4129",
    "Socket LGA4710",
    "Socket LGA7529",
    "Socket BGA1964",
    "Socket BGA1792",
    "Socket BGA2049",
    "Socket BGA2551",
    "Socket LGA1851",
    "Socket BGA2114",
    "Socket BGA2833",
};

// 3.4 names the upgrades to 3Fh, 3.6 to 50h, 3.7 all.
constexpr NameTable kUpgradeNames = nameTable(1, kUpgrades, 0x3F, 0x50);

const Reworded kStatuses[] = {
    unchanged("Unknown"),
    unchanged("Enabled"),
    {"Disabled By User", k37, "Disabled by user"},
    {"Disabled By BIOS", k37, "Disabled by firmware"},
    unchanged("Idle"),
    unchanged(nullptr),
    unchanged(nullptr),
    unchanged("Other"),
};

const char *const kCharacteristics[] = {"64-bit capable",          "Multi-Core",
                                        "Hardware Thread",         "Execute Protection",
                                        "Enhanced Virtualization", "Power/Performance Control",
                                        "128-bit Capable",         "Arm64 SoC ID"};

// From 3.7 dmidecode shows no voltage line for a voltage byte of 0.
constexpr Dialect kZeroVoltageHiddenSince = k37;

void addVoltage(const StructureView &view, Fields &fields) {
    uint8_t voltage = view.u8(0x11);
    if ((voltage & 0x80) != 0) {
        uint64_t tenths = voltage & 0x7FU;
        fields.integer("Voltage", tenths * 100, "mV", format("%.1f V", static_cast<double>(tenths) / 10.0));
        return;
    }
    // Legacy mode: the voltages the socket supports, as bits.
    static const char *const kLegacy[] = {"5.0 V", "3.3 V", "2.9 V"};
    std::string text;
    for (unsigned bit = 0; bit < 3; ++bit) {
        if ((voltage >> bit & 1U) != 0) {
            text += text.empty() ? "" : " ";
            text += kLegacy[bit];
        }
    }
    Field &field = fields.enumerated("Voltage", voltage, text.empty() ? "Unknown" : text, !text.empty());
    if (voltage == 0 && fields.dialect() >= kZeroVoltageHiddenSince) {
        field.shown = Shown::ProgramsOnly;
    }
}

void addSpeed(Fields &fields, const char *name, uint16_t mhz) {
    Field &field = fields.integer(name, mhz, "MHz", mhz == 0 ? "Unknown" : format("%u MHz", unsigned{mhz}));
    field.known = mhz != 0;
}

void addCacheHandle(const StructureView &view, Fields &fields, const char *name, std::size_t offset, unsigned level) {
    uint16_t handle = view.u16(offset);
    Field &field = fields.handle(name, handle);
    if (handle == 0xFFFF) {
        // Before 2.3, FFFFh meant the processor has no cache of that level.
        field.text = view.version().atLeast(2, 3) ? "Not Provided" : format("No L%u Cache", level);
        field.known = false;
    }
}

// A count of 1 byte, or where it holds FFh and the structure carries it,
// the 2-byte count that follows the standard's 3.0 fields.
void addCount(const StructureView &view, Fields &fields, const char *name, std::size_t offset, std::size_t wideOffset) {
    unsigned count = view.u8(offset);
    if (count == 0) {
        return;
    }
    if (count == 0xFF && view.has(wideOffset, 2)) {
        count = view.u16(wideOffset);
    }
    fields.integer(name, count, "", format("%u", count));
}

constexpr Dialect kThreadEnabledSince = k36;

}  // namespace

void decodeProcessor(StructureView &view, Fields &fields) {
    if (!view.has(0x19)) {
        return;
    }
    fields.string("Socket Designation", view, 0x04);
    fields.enumeration("Type", view.u8(0x05), nameTable(1, kProcessorTypes));

    unsigned family = view.u8(0x06);
    if (family == 0xFE && view.has(0x28, 2)) {
        family = view.u16(0x28);
    }
    if (family == 0xBE) {
        // BEh stands for both Core 2 and K7; the maker's name tells which.
        const std::string *maker = view.string(view.u8(0x07));
        const char *name = "Core 2 or K7";
        if (maker && containsNoCase(*maker, "intel")) {
            name = "Core 2";
        } else if (maker && containsNoCase(*maker, "amd")) {
            name = "K7";
        }
        fields.enumerated("Family", family, name);
    } else {
        const char *name = familyName(family, fields.dialect());
        fields.enumerated("Family", family, name ? name : kOutOfRange, name != nullptr);
    }
    fields.string("Manufacturer", view, 0x07);

    std::vector<uint8_t> id(view.data() + 0x08, view.data() + 0x10);
    std::string idText;
    for (uint8_t byte : id) {
        idText += format(idText.empty() ? "%02X" : " %02X", unsigned{byte});
    }
    Field &idField = fields.bytes("ID", std::move(id), std::move(idText));
    idField.shown = Shown::NotQuiet;
    IdStyle style = idStyleOf(family, fields.dialect());
    if (family == 0x01 || family == 0x02) {
        style = idStyleOfVersion(view.string(view.u8(0x10)), fields.dialect());
    }
    addSignature(view, fields, style);

    fields.string("Version", view, 0x10);
    addVoltage(view, fields);
    addSpeed(fields, "External Clock", view.u16(0x12));
    addSpeed(fields, "Max Speed", view.u16(0x14));
    addSpeed(fields, "Current Speed", view.u16(0x16));

    uint8_t status = view.u8(0x18);
    if ((status & 0x40) != 0) {
        const char *state = kStatuses[status & 7U].in(fields.dialect());
        fields.enumerated("Status", status, std::string("Populated, ") + (state ? state : kOutOfRange),
                          state != nullptr);
    } else {
        fields.enumerated("Status", status, "Unpopulated");
    }
    fields.enumeration("Upgrade", view.u8(0x19), kUpgradeNames);

    if (!view.has(0x1E, 2)) {
        return;
    }
    addCacheHandle(view, fields, "L1 Cache Handle", 0x1A, 1);
    addCacheHandle(view, fields, "L2 Cache Handle", 0x1C, 2);
    addCacheHandle(view, fields, "L3 Cache Handle", 0x1E, 3);

    if (!view.has(0x22)) {
        return;
    }
    fields.string("Serial Number", view, 0x20);
    fields.string("Asset Tag", view, 0x21);
    fields.string("Part Number", view, 0x22);

    if (!view.has(0x26, 2)) {
        return;
    }
    addCount(view, fields, "Core Count", 0x23, 0x2A);
    addCount(view, fields, "Core Enabled", 0x24, 0x2C);
    addCount(view, fields, "Thread Count", 0x25, 0x2E);
    // SMBIOS 3.6 added the count of enabled threads. dmidecode 3.4 does not
    // know it; 3.6 and later show it wherever the structure holds it, but not
    // a count of 0 (unknown).
    if (view.has(0x30, 2)) {
        const uint16_t enabled = view.u16(0x30);
        Field &field =
            fields.integer("Thread Enabled", enabled, {}, enabled == 0 ? "Unknown" : std::to_string(enabled));
        field.known = enabled != 0;
        if (enabled == 0 || fields.dialect() < kThreadEnabledSince) {
            field.shown = Shown::ProgramsOnly;
        }
    }
    uint16_t characteristics = view.u16(0x26);
    std::vector<std::string> items;
    // dmidecode shows the bits of 3.3 and later only beside one of the older ones.
    if ((characteristics & 0x00FC) != 0) {
        for (unsigned bit = 2; bit < 10; ++bit) {
            if ((characteristics >> bit & 1U) != 0) {
                items.emplace_back(kCharacteristics[bit - 2]);
            }
        }
    }
    Field &characteristicsField = fields.flags("Characteristics", std::move(items));
    characteristicsField.number = characteristics;
}

namespace {

// A cache size field: bit 15 (or 31 in the 4-byte fields) sets a
// granularity of 64 kB in place of 1 kB.
void addCacheSize(Fields &fields, const char *name, uint32_t raw, unsigned granularityBit) {
    uint64_t units = raw & ((1ULL << granularityBit) - 1);
    uint64_t kilobytes = (raw >> granularityBit & 1U) != 0 ? units * 64 : units;
    fields.integer(name, kilobytes, "kB", sizeText(kilobytes, 1, fields.dialect()));
}

const char *const kSramTypes[] = {"Other",          "Unknown",     "Non-burst",   "Burst",
                                  "Pipeline Burst", "Synchronous", "Asynchronous"};

std::vector<std::string> sramTypes(uint16_t bits) {
    std::vector<std::string> names;
    for (unsigned bit = 0; bit < 7; ++bit) {
        if ((bits >> bit & 1U) != 0) {
            names.emplace_back(kSramTypes[bit]);
        }
    }
    return names;
}

const char *const kOperationalModes[] = {"Write Through", "Write Back", "Varies With Memory Address", "Unknown"};
const char *const kLocations[] = {"Internal", "External", nullptr, "Unknown"};
const char *const kErrorCorrections[] = {"Other", "Unknown", "None", "Parity", "Single-bit ECC", "Multi-bit ECC"};
const char *const kSystemCacheTypes[] = {"Other", "Unknown", "Instruction", "Data", "Unified"};
const char *const kAssociativities[] = {
    "Other",
    "Unknown",
    "Direct Mapped",
    "2-way Set-associative",
    "4-way Set-associative",
    "Fully Associative",
    "8-way Set-associative",
    "16-way Set-associative",
    "12-way Set-associative",
    "24-way Set-associative",
    "32-way Set-associative",
    "48-way Set-associative",
    "64-way Set-associative",
    "20-way Set-associative",
};

}  // namespace

void decodeCache(StructureView &view, Fields &fields) {
    if (!view.has(0x0E)) {
        return;
    }
    fields.string("Socket Designation", view, 0x04);
    uint16_t configuration = view.u16(0x05);
    Field &config = fields.text(
        "Configuration", format("%s, %s, Level %u", (configuration & 0x80) != 0 ? "Enabled" : "Disabled",
                                (configuration & 0x08) != 0 ? "Socketed" : "Not Socketed", (configuration & 7U) + 1));
    config.number = configuration;
    fields.enumeration("Operational Mode", configuration >> 8 & 3U, nameTable(0, kOperationalModes));
    fields.enumeration("Location", configuration >> 5 & 3U, nameTable(0, kLocations));
    // The 4-byte sizes of 3.1 replace the 2-byte ones wherever the
    // structure carries them.
    if (view.has(0x17, 4)) {
        addCacheSize(fields, "Installed Size", view.u32(0x17), 31);
    } else {
        addCacheSize(fields, "Installed Size", view.u16(0x09), 15);
    }
    if (view.has(0x13, 4)) {
        addCacheSize(fields, "Maximum Size", view.u32(0x13), 31);
    } else {
        addCacheSize(fields, "Maximum Size", view.u16(0x07), 15);
    }
    uint16_t supported = view.u16(0x0B);
    fields.flags("Supported SRAM Types", sramTypes(supported)).number = supported;
    uint16_t installed = view.u16(0x0D);
    std::vector<std::string> installedNames = sramTypes(installed);
    std::string installedText;
    for (const std::string &name : installedNames) {
        installedText += installedText.empty() ? name : " " + name;
    }
    fields.enumerated("Installed SRAM Type", installed, installedText.empty() ? "None" : installedText,
                      !installedText.empty());

    if (!view.has(0x12)) {
        return;
    }
    uint8_t speed = view.u8(0x0F);
    Field &speedField = fields.integer("Speed", speed, "ns", speed == 0 ? "Unknown" : format("%u ns", unsigned{speed}));
    speedField.known = speed != 0;
    fields.enumeration("Error Correction Type", view.u8(0x10), nameTable(1, kErrorCorrections));
    fields.enumeration("System Type", view.u8(0x11), nameTable(1, kSystemCacheTypes));
    fields.enumeration("Associativity", view.u8(0x12), nameTable(1, kAssociativities));
}

namespace {

const char *const kArchitectures[] = {
    "IA32 (x86)",
    "x64 (x86-64, Intel64, AMD64, EM64T)",
    "Intel Itanium architecture",
    "32-bit ARM (Aarch32)",
    "64-bit ARM (Aarch64)",
    "32-bit RISC-V (RV32)",
    "64-bit RISC-V (RV64)",
    "128-bit RISC-V (RV128)",
    "32-bit LoongArch (LoongArch32)",
    "64-bit LoongArch (LoongArch64)",
};

}  // namespace

void decodeProcessorAdditional(StructureView &view, Fields &fields) {
    if (!view.has(0x04, 2)) {
        return;
    }
    fields.handle("Referenced Handle", view.u16(0x04));
    if (!view.has(0x06)) {
        return;
    }
    // The block's length byte counts only the data after its own two bytes;
    // a length past the structure's end is cut to what the structure holds.
    unsigned blockLength = view.u8(0x06);
    fields.integer("Block Length", blockLength, "bytes", format("%u", blockLength));
    if (!view.has(0x07)) {
        return;
    }
    fields.enumeration("Processor Type", view.u8(0x07), nameTable(1, kArchitectures));
    std::size_t available = view.formattedLength() > 0x08 ? view.formattedLength() - 0x08 : 0;
    std::size_t size = std::min<std::size_t>(blockLength, available);
    if (size > 0) {
        const uint8_t *data = view.data() + 0x08;
        Field &block = fields.flags("Processor-Specific Data", hexRows(data, size), nullptr);
        block.kind = Kind::Bytes;
        block.bytes.assign(data, data + size);
    }
}

}  // namespace smbios::decode
