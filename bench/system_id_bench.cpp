// getSystemId end to end on an image with the maker's OEM strings, with
// fresh factories each iteration; its baseline is the search's and the
// walk's baselines on the same image together.
#include <benchmark/benchmark.h>

#include "Baselines.h"
#include "BenchImages.h"
#include "BenchSupport.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SystemId.h"

namespace {

void systemId(benchmark::State &state) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage("OemStrings");
    for (auto _ : state) {
        tarnwick_bench::useImageThroughFactories(image);
        const uint16_t id = smbios::getSystemId();
        if (id != 0x0286) {
            state.SkipWithError("getSystemId did not read the image's system ID 0286h");
            break;
        }
        benchmark::DoNotOptimize(id);
    }
    smbios::resetLibraryFactories();
}

void scanAndWalk(benchmark::State &state) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage("OemStrings");
    for (auto _ : state) {
        const uint32_t found = tarnwick_bench::scanBiosArea(image.path);
        const uint32_t visited = tarnwick_bench::walkTableBare(image.path, image.tableAddress, image.tableLength);
        if (found != image.entryPointAddress || visited != image.structures) {
            state.SkipWithError("the baseline did not find the image's table");
            break;
        }
        benchmark::DoNotOptimize(visited);
    }
}

}  // namespace

BENCHMARK(systemId)->Name("SystemId/OemStrings");
BENCHMARK(scanAndWalk)->Name("Baseline/ScanAndWalk/OemStrings");
