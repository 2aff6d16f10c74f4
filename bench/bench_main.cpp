// tarnwick-bench: runs the benchmarks, then prints each library benchmark's
// ratio to its baseline from the same run, and the targets they are held
// to. Timing is reported, never asserted, unless --check-targets is given.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchImages.h"

namespace {

const char *const kUsage = "Usage: tarnwick-bench [--write-images DIR] [--check-targets] [benchmark options]\n"
                           "Measures the SMBIOS library against the physical limit of each job (the\n"
                           "Baseline/... benchmarks) and prints the ratios after the run.\n"
                           "  --write-images DIR  write the benchmark images into DIR and exit\n"
                           "  --check-targets     exit with status 1 when a ratio misses its target\n"
                           "Benchmark options are Google Benchmark's (--benchmark_filter=REGEX,\n"
                           "--benchmark_min_time=SECONDS, --benchmark_repetitions=N, ...).\n";

// Collects each benchmark's time per iteration (the median over repetitions)
// while the console reporter prints as usual.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that saved output stays plain text.
    RatioReporter() : ConsoleReporter(::isatty(::fileno(stdout)) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            if (run.error_occurred || run.iterations <= 0) {
                continue;
            }
            // With --benchmark_report_aggregates_only only the aggregates
            // arrive; their median stands for the repetitions.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) {
                continue;
            }
            const double nanoseconds =
                run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            (median ? medians : samples)[run.run_name.str()].push_back(nanoseconds);
            const auto structures = run.counters.find("structures");
            if (structures != run.counters.end()) {
                structureCounts[run.run_name.str()] = structures->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Median time per iteration in nanoseconds; NaN when the benchmark did
    // not run (filtered out or failed).
    double time(const std::string &name) const {
        const auto aggregated = medians.find(name);
        if (aggregated != medians.end()) {
            return aggregated->second.back();
        }
        const auto found = samples.find(name);
        if (found == samples.end() || found->second.empty()) {
            return std::nan("");
        }
        std::vector<double> values = found->second;
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    }

    double structures(const std::string &name) const {
        const auto found = structureCounts.find(name);
        return found == structureCounts.end() ? std::nan("") : found->second;
    }

private:
    std::map<std::string, std::vector<double>> samples;
    std::map<std::string, std::vector<double>> medians;
    std::map<std::string, double> structureCounts;
};

struct Ratio {
    std::string label;
    double value;
    double target;  // 0: reported only
};

void printRatios(const std::vector<Ratio> &ratios, int &misses) {
    std::printf("\n%-62s %10s %10s  %s\n", "Ratio", "value", "target", "");
    for (const Ratio &ratio : ratios) {
        if (std::isnan(ratio.value)) {
            std::printf("%-62s %10s %10s  %s\n", ratio.label.c_str(), "-", "", "not run");
            continue;
        }
        const bool held = ratio.target == 0 || ratio.value <= ratio.target;
        char target[32] = "";
        if (ratio.target != 0) {
            std::snprintf(target, sizeof target, "<= %.2f", ratio.target);
        }
        std::printf("%-62s %10.2f %10s  %s\n", ratio.label.c_str(), ratio.value, target,
                    ratio.target == 0 ? "" : (held ? "held" : "MISSED"));
        misses += held ? 0 : 1;
    }
}

std::vector<Ratio> ratiosOf(const RatioReporter &reporter) {
    auto against = [&](const std::string &library, const std::string &baseline, double target) {
        return Ratio{library + " / " + baseline, reporter.time(library) / reporter.time(baseline), target};
    };
    std::vector<Ratio> ratios = {
        against("EntryPointSearch/F0000", "Baseline/BiosAreaScan/F0000", 3.0),
        against("EntryPointSearch/FFFD0", "Baseline/BiosAreaScan/FFFD0", 3.0),
        against("TableWalk/SeaBIOS", "Baseline/TableWalk/SeaBIOS", 3.0),
        against("TableWalk/VMWare", "Baseline/TableWalk/VMWare", 3.0),
        against("TableWalk/Full64K", "Baseline/TableWalk/Full64K", 3.0),
        against("TableWalk/Table1M", "Baseline/TableWalk/Table1M", 3.0),
        against("SystemId/OemStrings", "Baseline/ScanAndWalk/OemStrings", 0),
    };
    // Growth: the cost per structure of the full table against the real
    // machine's 620 structures.
    const double perStructureFull = reporter.time("TableWalk/Full64K") / reporter.structures("TableWalk/Full64K");
    const double perStructureVmware = reporter.time("TableWalk/VMWare") / reporter.structures("TableWalk/VMWare");
    ratios.push_back(
        {"per structure: TableWalk/Full64K / TableWalk/VMWare", perStructureFull / perStructureVmware, 1.5});
    // And of a 1 MiB SMBIOS 3 table (about 22,000 structures), read through
    // the 64-bit entry point, against the same 29 KB table.
    const double perStructure1M = reporter.time("TableWalk/Table1M") / reporter.structures("TableWalk/Table1M");
    ratios.push_back({"per structure: TableWalk/Table1M / TableWalk/VMWare", perStructure1M / perStructureVmware, 1.5});
    std::printf("\nper structure: TableWalk/VMWare %.1f ns, TableWalk/Full64K %.1f ns, TableWalk/Table1M %.1f ns\n",
                perStructureVmware, perStructureFull, perStructure1M);
    return ratios;
}

}  // namespace

int main(int argc, char **argv) {
    bool checkTargets = false;
    std::vector<char *> benchmarkArguments = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--write-images") == 0) {
            if (i + 1 >= argc) {
                std::fputs("tarnwick-bench: --write-images needs a directory\n", stderr);
                return 2;
            }
            return tarnwick_bench::writeBenchImages(argv[i + 1]) ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--check-targets") == 0) {
            checkTargets = true;
            continue;
        }
        benchmarkArguments.push_back(argv[i]);
    }
    int benchmarkArgc = static_cast<int>(benchmarkArguments.size());
    benchmark::Initialize(&benchmarkArgc, benchmarkArguments.data());
    if (benchmark::ReportUnrecognizedArguments(benchmarkArgc, benchmarkArguments.data())) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    RatioReporter reporter;
    if (benchmark::RunSpecifiedBenchmarks(&reporter) == 0) {
        std::fputs("tarnwick-bench: no benchmark matched the filter\n", stderr);
        return 2;
    }
    benchmark::Shutdown();
    int misses = 0;
    printRatios(ratiosOf(reporter), misses);
    return checkTargets && misses > 0 ? 1 : 0;
}
