// The cases of the entry point's rules: the clean table behind an _SM_, an
// _SM3_ or an RSMB record, and that record damaged one way at a time.
#include "tests/check/CheckCases.h"

#include "smbios/format/SmbiosFormat.h"

namespace tarnwick_test {
namespace {

namespace fmt = smbios::format;

void smbios28(CaseTable &t) {
    t.entryPoint = smbios::EntryPointKind::Smbios2;
    t.major = 2;
    t.minor = 8;
}

// Rewrites `width` bytes at `offset` of the made _SM_ or _SM3_ entry point
// and fixes its checksums, so that only the value itself is wrong.
void rewrite(smbios::SmbiosTableBytes &source, std::size_t offset, uint64_t value, std::size_t width) {
    fmt::writeLe(&source.entryPoint[offset], value, width);
    fmt::relocateEntryPoint(source.entryPoint, 0x10000);
}

}  // namespace

std::vector<RuleCase> entryPointCases() {
    return {
        {"entry-point.anchor-unknown", "_SM_ misspelt", smbios28,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { s.entryPoint[3] = 'X'; }; }},
        {"entry-point.intermediate-anchor-missing", "_DMX_ at 10h", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) {
                 s.entryPoint[0x14] = 'X';
                 fmt::relocateEntryPoint(s.entryPoint, 0x10000);
             };
         }},
        {"entry-point.checksum-bad", "2.x checksum off by one", smbios28,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { ++s.entryPoint[0x04]; }; }},
        {"entry-point.checksum-bad", "3.x checksum off by one", nullptr,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { ++s.entryPoint[0x05]; }; }},
        {"entry-point.intermediate-checksum-bad", "_DMI_ checksum off by one", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) {
                 ++s.entryPoint[0x15];
                 fmt::fixChecksum(s.entryPoint.data(), fmt::kEntryPoint2Size, 0x04);
             };
         }},
        {"entry-point.length-wrong", "2.1's length 1Eh", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) {
                 s.entryPoint[0x05] = 0x1E;
                 fmt::fixChecksum(s.entryPoint.data(), 0x1E, 0x04);
             };
         }},
        {"entry-point.length-wrong", "3.x length 20h", nullptr,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { rewrite(s, 0x06, 0x20, 1); }; }},
        {"entry-point.revision-unknown", "3.x revision 02h", nullptr,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { rewrite(s, 0x0A, 2, 1); }; }},
        {"entry-point.major-version-wrong", "3.0 in an _SM_ record", smbios28,
         [](CaseTable &t) {
             t.major = 3;
             t.minor = 0;
         }},
        {"entry-point.major-version-wrong", "2.8 in an _SM3_ record", nullptr,
         [](CaseTable &t) {
             t.major = 2;
             t.minor = 8;
         }},
        {"entry-point.version-unpublished", "2.33", smbios28, [](CaseTable &t) { t.minor = 33; }},
        {"entry-point.version-unpublished", "RSMB 2.51",
         [](CaseTable &t) {
             smbios28(t);
             t.entryPoint = smbios::EntryPointKind::RawSmbiosData;
         },
         [](CaseTable &t) { t.minor = 51; }},
        {"entry-point.table-truncated", "table_length 10h past the table", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) { rewrite(s, 0x16, s.table.size() + 0x10, 2); };
         }},
        {"entry-point.table-length-short", "2.x table_length one short", smbios28,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { rewrite(s, 0x16, s.table.size() - 1, 2); }; }},
        {"entry-point.table-length-short", "3.x maximum table size one short", nullptr,
         [](CaseTable &t) { t.patch = [](smbios::SmbiosTableBytes &s) { rewrite(s, 0x0C, s.table.size() - 1, 4); }; }},
        {"entry-point.table-length-short", "RSMB length one short",
         [](CaseTable &t) { t.entryPoint = smbios::EntryPointKind::RawSmbiosData; },
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) { fmt::writeLe(&s.entryPoint[4], s.table.size() - 1, 4); };
         }},
        {"entry-point.table-length-long", "zero padding after type 127", smbios28,
         [](CaseTable &t) { t.trailing = Bytes(0x10, 0); }},
        {"entry-point.structure-count-mismatch", "one structure more counted", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) {
                 rewrite(s, 0x1C, fmt::readLe(&s.entryPoint[0x1C], 2) + 1, 2);
             };
         }},
        {"entry-point.max-structure-size-below-largest", "one byte below", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) {
                 rewrite(s, 0x08, fmt::readLe(&s.entryPoint[0x08], 2) - 1, 2);
             };
         }},
        {"entry-point.max-structure-size-above-largest", "one byte above", smbios28,
         [](CaseTable &t) {
             t.patch = [](smbios::SmbiosTableBytes &s) {
                 rewrite(s, 0x08, fmt::readLe(&s.entryPoint[0x08], 2) + 1, 2);
             };
         }},
    };
}

}  // namespace tarnwick_test
