// What the library benchmarks share: pointing fresh factories at an image,
// and the per-structure string counts a full walk reads.
#ifndef TARNWICK_BENCH_BENCHSUPPORT_H
#define TARNWICK_BENCH_BENCHSUPPORT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BenchImages.h"
#include "smbios/SmbiosStrategy.h"

namespace tarnwick_bench {

// A fresh process-wide memory factory reading the image file: nothing read
// in an earlier iteration is kept.
void useImage(const BenchImage &image);
// As useImage, and fresh SMBIOS and workaround factories in memory mode, as
// a client that asks for the system ID starts.
void useImageThroughFactories(const BenchImage &image);

// The memory strategy that reads the image's table at its entry point's
// address (given, as a client passes "offset": the search is measured on
// its own), 2.x or 3.x as the image has.
std::vector<std::unique_ptr<smbios::SmbiosStrategy>> strategiesAtEntryPoint(const BenchImage &image);

// How many strings each structure of the image's table has, in walk order,
// counted once outside the measured loop so that the walk reads exactly
// the strings that exist (no exception ends a structure's strings).
std::vector<uint8_t> stringCounts(const BenchImage &image);

}  // namespace tarnwick_bench

#endif  // TARNWICK_BENCH_BENCHSUPPORT_H
