// Runs per second of an exploration, on the FIR filter (21 operations) and a
// generated core of 100 operations, with 1 and 2 worker threads: each
// iteration runs 64 combinations (32 random keys x sizes 128 and 512) through
// the whole flow in memory, the signed design verified against the unsigned one.
#include <benchmark/benchmark.h>

#include <string>

#include "flow/exploration.h"
#include "flow/exploration_runner.h"
#include "flow/random_keys.h"

namespace {

const char *const cores[] = {"dfg/fir.txt", "characterization/gen_100.txt"};

void ExploreRuns(benchmark::State &state) {
    const std::string data = VELNOR_BENCH_DATA;
    velnor::Exploration exploration;
    exploration.cores = velnor::load_cores({data + "/" + cores[state.range(0)]}, data + "/lib/library_a.txt");
    exploration.adders = {2};
    exploration.multipliers = {2};
    exploration.subtractors = {2};
    exploration.comparators = {1};
    exploration.keys = velnor::random_keys(/*count=*/32, velnor::default_key_seed);
    exploration.sizes = {128, 512};
    const int threads = static_cast<int>(state.range(1));
    int64_t runs = 0;
    for (auto _ : state) {
        explore(exploration, velnor::Shard{}, threads, [&](const velnor::CombinationResult &result) {
            if (result.error)
                state.SkipWithError(result.error->c_str());
            ++runs;
        });
    }
    state.SetItemsProcessed(runs);
    state.SetLabel(std::string(cores[state.range(0)]) + ", " + std::to_string(threads) + " thread(s)");
}

BENCHMARK(ExploreRuns)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->ArgNames({"core", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
