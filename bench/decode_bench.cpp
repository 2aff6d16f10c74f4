// The decoding layer's own cost: every structure of a table decoded and
// shown as dmidecode's text, and as JSON, over a table read once.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchImages.h"
#include "BenchSupport.h"
#include "decode/Decode.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"

namespace {

std::unique_ptr<smbios::SmbiosTable> readTable(const tarnwick_bench::BenchImage &image) {
    tarnwick_bench::useImage(image);
    return std::make_unique<smbios::SmbiosTable>(tarnwick_bench::strategiesAtEntryPoint(image), true);
}

void decodeText(benchmark::State &state, const char *imageName) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage(imageName);
    const std::unique_ptr<smbios::SmbiosTable> table = readTable(image);
    const smbios::decode::Version version = smbios::decode::versionOf(*table);
    std::string text;
    for (auto _ : state) {
        text.clear();
        for (auto it = table->begin(); it != table->end(); ++it) {
            smbios::decode::appendText(text, smbios::decode::decodeStructure(*it, version));
        }
        benchmark::DoNotOptimize(text.data());
    }
    smbios::resetLibraryFactories();
    state.counters["structures"] = static_cast<double>(image.structures);
    state.counters["per_structure"] =
        benchmark::Counter(static_cast<double>(image.structures),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void decodeJson(benchmark::State &state, const char *imageName) {
    const tarnwick_bench::BenchImage &image = tarnwick_bench::benchImage(imageName);
    const std::unique_ptr<smbios::SmbiosTable> table = readTable(image);
    const smbios::decode::Version version = smbios::decode::versionOf(*table);
    for (auto _ : state) {
        std::vector<smbios::decode::Structure> structures;
        for (auto it = table->begin(); it != table->end(); ++it) {
            structures.push_back(smbios::decode::decodeStructure(*it, version));
        }
        const std::string json = smbios::decode::toJson(structures);
        benchmark::DoNotOptimize(json.data());
    }
    smbios::resetLibraryFactories();
    state.counters["structures"] = static_cast<double>(image.structures);
    state.counters["per_structure"] =
        benchmark::Counter(static_cast<double>(image.structures),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK_CAPTURE(decodeText, VMWare, "VMWare")->Name("Decode/Text/VMWare");
BENCHMARK_CAPTURE(decodeText, VMWare87K, "VMWare87K")->Name("Decode/Text/VMWare87K");
BENCHMARK_CAPTURE(decodeJson, VMWare, "VMWare")->Name("Decode/Json/VMWare");
