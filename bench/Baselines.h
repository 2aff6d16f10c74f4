// The physical limit of each job, as plain code over the same image file:
// what no reader of the table can do with less work. Every library
// benchmark is reported as a ratio to one of these.
#ifndef TARNWICK_BENCH_BASELINES_H
#define TARNWICK_BENCH_BASELINES_H

#include <cstdint>
#include <string>

namespace tarnwick_bench {

// Opens the image, reads E0000h-FFFFFh in one read and looks for "_SM_" at
// 16-byte steps; the address of the first, or 0.
uint32_t scanBiosArea(const std::string &path);

// Opens the image, reads the table in one read and walks it, computing only
// where each structure starts; the number of structures.
uint32_t walkTableBare(const std::string &path, uint32_t tableAddress, std::size_t tableLength);

}  // namespace tarnwick_bench

#endif  // TARNWICK_BENCH_BASELINES_H
