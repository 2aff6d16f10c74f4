// Table construction through the memory strategy plus a full walk that
// dereferences every structure and reads every string, and its baseline:
// one read of the table and a bare walk over the structure offsets.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Baselines.h"
#include "BenchImages.h"
#include "BenchSupport.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"

namespace {

void tableWalk(benchmark::State &state, const char *imageName) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage(imageName);
    const std::vector<uint8_t> strings = tarnwick_bench::stringCounts(image);
    for (auto _ : state) {
        tarnwick_bench::useImage(image);
        smbios::SmbiosTable table(tarnwick_bench::strategiesAtEntryPoint(image), true);
        std::size_t visited = 0;
        std::size_t checksum = 0;
        for (auto position = table.begin(); position != table.end(); ++position) {
            const smbios::ISmbiosItem &item = *position;
            checksum += item.getHandle();
            const uint8_t count = visited < strings.size() ? strings[visited] : 0;
            for (uint8_t number = 1; number <= count; ++number) {
                checksum += std::strlen(item.getStringByStringNumber(number));
            }
            ++visited;
        }
        if (visited != image.structures) {
            state.SkipWithError("the walk visited a different number of structures");
            break;
        }
        benchmark::DoNotOptimize(checksum);
    }
    smbios::resetLibraryFactories();
    state.counters["structures"] = static_cast<double>(image.structures);
    state.counters["bytes"] = static_cast<double>(image.tableLength);
}

void bareWalk(benchmark::State &state, const char *imageName) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage(imageName);
    for (auto _ : state) {
        const uint32_t visited = tarnwick_bench::walkTableBare(image.path, image.tableAddress, image.tableLength);
        if (visited != image.structures) {
            state.SkipWithError("the bare walk visited a different number of structures");
            break;
        }
        benchmark::DoNotOptimize(visited);
    }
    state.counters["structures"] = static_cast<double>(image.structures);
    state.counters["bytes"] = static_cast<double>(image.tableLength);
}

}  // namespace

BENCHMARK_CAPTURE(tableWalk, SeaBIOS, "SeaBIOS")->Name("TableWalk/SeaBIOS");
BENCHMARK_CAPTURE(bareWalk, SeaBIOS, "SeaBIOS")->Name("Baseline/TableWalk/SeaBIOS");
BENCHMARK_CAPTURE(tableWalk, VMWare, "VMWare")->Name("TableWalk/VMWare");
BENCHMARK_CAPTURE(bareWalk, VMWare, "VMWare")->Name("Baseline/TableWalk/VMWare");
BENCHMARK_CAPTURE(tableWalk, Full64K, "Full64K")->Name("TableWalk/Full64K");
BENCHMARK_CAPTURE(bareWalk, Full64K, "Full64K")->Name("Baseline/TableWalk/Full64K");
BENCHMARK_CAPTURE(tableWalk, Table1M, "Table1M")->Name("TableWalk/Table1M");
BENCHMARK_CAPTURE(bareWalk, Table1M, "Table1M")->Name("Baseline/TableWalk/Table1M");
