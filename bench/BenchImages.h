// The memory images the benchmarks read: built once per run from the test
// data and written to a temporary directory, so that every benchmark goes
// through real files as a client does.
#ifndef TARNWICK_BENCH_BENCHIMAGES_H
#define TARNWICK_BENCH_BENCHIMAGES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick_bench {

struct BenchImage {
    std::string name;  // as it appears in benchmark names
    std::string path;  // the image file
    uint32_t entryPointAddress = 0;
    uint32_t tableAddress = 0;
    std::size_t tableLength = 0;
    std::size_t structures = 0;  // what a walk visits
    bool smbios3 = false;        // a 64-bit entry point (_SM3_)
};

// The images, made on first use: "F0000" and "FFFD0" (the SeaBIOS table
// with its entry point moved to F0000h and FFFD0h), "SeaBIOS" (the captured
// image as it is), "VMWare" (the real machine's 620 structures), "Full64K"
// (a generated table of 65,535 bytes), "VMWare87K" and "Table1M" (VMWare's
// structures 3 and 36 times over behind a 64-bit entry point: 87 KB, and
// about 1 MiB placed above 1 MiB) and "OemStrings" (the captured image with
// the maker's OEM strings).
const BenchImage &benchImage(const std::string &name);
const std::vector<std::string> &benchImageNames();

// Writes every image into `directory` as NAME.img; returns false (with a
// message on stderr) when it cannot.
bool writeBenchImages(const std::string &directory);

// The generated table: several thousand structures with two strings each,
// filling exactly 65,535 bytes, the last structure of type 127.
std::vector<uint8_t> makeFullTable();

}  // namespace tarnwick_bench

#endif  // TARNWICK_BENCH_BENCHIMAGES_H
