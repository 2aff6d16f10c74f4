// The entry point search through the factory-made image reader, and its
// baseline, with the entry point at F0000h (4,096 candidates) and at FFFD0h
// (8,190 candidates, the last the search looks at).
#include <benchmark/benchmark.h>

#include "Baselines.h"
#include "BenchImages.h"
#include "BenchSupport.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTableEntryPoint.h"

namespace {

void entryPointSearch(benchmark::State &state, const char *imageName) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage(imageName);
    for (auto _ : state) {
        tarnwick_bench::useImage(image);
        smbios::SmbiosMemoryStrategy strategy;
        smbios::SmbiosTableEntryPoint entryPoint{};
        strategy.getSmbiosEntryPoint(entryPoint, true);
        if (strategy.getOffset() != image.entryPointAddress) {
            state.SkipWithError("the search found the entry point at the wrong address");
            break;
        }
        benchmark::DoNotOptimize(entryPoint);
    }
    smbios::resetLibraryFactories();
    state.counters["candidates"] = static_cast<double>((image.entryPointAddress - 0xE0000) / 16 + 1);
}

void biosAreaScan(benchmark::State &state, const char *imageName) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage(imageName);
    for (auto _ : state) {
        const uint32_t found = tarnwick_bench::scanBiosArea(image.path);
        if (found != image.entryPointAddress) {
            state.SkipWithError("the scan found the entry point at the wrong address");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
}

}  // namespace

BENCHMARK_CAPTURE(entryPointSearch, F0000, "F0000")->Name("EntryPointSearch/F0000");
BENCHMARK_CAPTURE(biosAreaScan, F0000, "F0000")->Name("Baseline/BiosAreaScan/F0000");
BENCHMARK_CAPTURE(entryPointSearch, FFFD0, "FFFD0")->Name("EntryPointSearch/FFFD0");
BENCHMARK_CAPTURE(biosAreaScan, FFFD0, "FFFD0")->Name("Baseline/BiosAreaScan/FFFD0");
