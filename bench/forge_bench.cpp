// Forged ownership claims per second on the generated core of 100 operations
// (library A, two units of each kind, size 256): each claim runs one of 1,000
// random keys from the owner's synthesized run and verifies its signature
// against the owner's signed and unsigned datapaths, in both embeddings.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/datapath.h"
#include "core/loading.h"
#include "flow/key_run.h"
#include "flow/random_keys.h"
#include "flow/typed_entries.h"
#include "flow/verification.h"

namespace {

constexpr int64_t claim_size = 256;

velnor::NumberLine number_line(const std::string &text, std::vector<int> values) {
    velnor::NumberLine line;
    line.text = text;
    line.values = std::move(values);
    return line;
}

void ForgedClaims(benchmark::State &state) {
    const std::string data = VELNOR_BENCH_DATA;
    const auto mode = state.range(0) == 0 ? velnor::EmbeddingMode::Specified : velnor::EmbeddingMode::Strong;
    std::ostringstream log;
    velnor::FlowRun synthesized;
    velnor::load_dsp_core(synthesized.design, data + "/characterization/gen_100.txt", log);
    velnor::load_module_library(synthesized.design, data + "/lib/library_a.txt");
    velnor::TypedEntries units;
    units.adders = units.multipliers = units.subtractors = units.comparators = "2";
    velnor::enter_resources(synthesized, units, log);

    velnor::ExplorationKey owner_key;
    owner_key.encodings = number_line("3 7", {3, 7});
    owner_key.order = "10";
    owner_key.rounds = number_line("80 64 32 80", {80, 64, 32, 80});
    const velnor::FlowRun owner = velnor::run_key(synthesized, owner_key, claim_size, mode);
    const velnor::Datapath owner_signed = velnor::datapath_of(owner.design);
    const velnor::Datapath owner_unsigned = velnor::datapath_of(owner.unsigned_design);

    const std::vector<velnor::ExplorationKey> keys = velnor::random_keys(/*count=*/1000, /*seed=*/1);
    std::size_t next = 0;
    int64_t claims = 0;
    for (auto _ : state) {
        const velnor::FlowRun claim = velnor::run_key(synthesized, keys[next], claim_size, mode);
        benchmark::DoNotOptimize(
            velnor::verify_datapath(claim.unsigned_design, claim.embedding, owner_signed, velnor::default_alpha));
        benchmark::DoNotOptimize(
            velnor::verify_datapath(claim.unsigned_design, claim.embedding, owner_unsigned, velnor::default_alpha));
        next = (next + 1) % keys.size();
        ++claims;
    }
    state.counters["claims"] = benchmark::Counter(static_cast<double>(claims), benchmark::Counter::kIsRate);
    state.SetLabel(mode == velnor::EmbeddingMode::Strong ? "strong" : "specified");
}

BENCHMARK(ForgedClaims)->Arg(0)->Arg(1)->ArgName("strong")->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
