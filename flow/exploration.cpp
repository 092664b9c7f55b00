// Numbering the combinations as a mixed-radix number (the size the fastest
// digit) and running one: a copy of the loaded core, the typed values handed
// to the stages as `run` hands them, and the run's own signed datapath
// verified against the design the run kept from right before the embedding.
#include "flow/exploration.h"

#include <functional>
#include <limits>
#include <ostream>

#include "core/datapath.h"
#include "core/loading.h"
#include "flow/typed_entries.h"
#include "flow/verification.h"

namespace velnor {
namespace {

std::optional<std::string> typed(const std::optional<int> &value) {
    return value ? std::optional<std::string>(std::to_string(*value)) : std::nullopt;
}

// The list lengths, outermost first.
std::vector<std::size_t> radices(const Exploration &exploration) {
    return {exploration.cores.size(),       exploration.adders.size(),      exploration.multipliers.size(),
            exploration.subtractors.size(), exploration.comparators.size(), exploration.keys.size(),
            exploration.embeddings.size(),  exploration.sizes.size()};
}

}  // namespace

int key_encoding_count(const ExplorationKey &key) {
    if (key.count)
        return *key.count;
    return static_cast<int>(key.encodings.values.size());
}

std::vector<Design> load_cores(const std::vector<std::string> &dfg_paths, const std::string &library_path) {
    Design library;
    at_option("library", [&] { load_module_library(library, library_path); });
    std::vector<Design> cores;
    cores.reserve(dfg_paths.size());
    std::ostream quiet(nullptr);
    for (const std::string &path : dfg_paths) {
        Design core = library;
        at_option("dfg", [&] { load_dsp_core(core, path, quiet); });
        cores.push_back(std::move(core));
    }
    return cores;
}

uint64_t combination_count(const Exploration &exploration) {
    uint64_t count = 1;
    for (std::size_t radix : radices(exploration)) {
        if (radix != 0 && count > std::numeric_limits<uint64_t>::max() / radix)
            throw Refusal(Refusal::Reason::InvalidArgument, "the lists make more than 2^64 combinations");
        count *= radix;
    }
    return count;
}

Combination combination_at(const Exploration &exploration, uint64_t index) {
    const std::vector<std::size_t> radix = radices(exploration);
    std::size_t digit[8];
    uint64_t rest = index;
    for (int i = 7; i >= 0; --i) {
        digit[i] = static_cast<std::size_t>(rest % radix[i]);
        rest /= radix[i];
    }
    return {index, digit[0], digit[1], digit[2], digit[3], digit[4], digit[5], digit[6], digit[7]};
}

namespace {

// Runs stage on a copy of from (or a fresh run when from is null), or takes
// the cached outcome when the positions match.
const ExplorationCache::Stage &staged(std::optional<ExplorationCache::Stage> &slot, std::optional<ExplorationCache::Stage> &scratch,
                                      std::vector<std::size_t> positions, const FlowRun &from,
                                      const std::function<void(FlowRun &)> &stage) {
    if (slot && slot->positions == positions)
        return *slot;
    scratch.emplace();
    scratch->positions = std::move(positions);
    scratch->run = from;
    try {
        stage(scratch->run);
    } catch (const Refusal &refusal) {
        scratch->error = refusal.what();
    }
    slot = std::move(scratch);
    return *slot;
}

}  // namespace

CombinationResult run_combination(const Exploration &exploration, const Combination &combination,
                                  ExplorationCache *cache) {
    CombinationResult result;
    result.combination = combination;
    const ExplorationKey &key = exploration.keys[combination.key];
    TypedEntries entries;
    entries.adders = std::to_string(exploration.adders[combination.adders]);
    entries.multipliers = std::to_string(exploration.multipliers[combination.multipliers]);
    entries.subtractors = typed(exploration.subtractors[combination.subtractors]);
    entries.comparators = typed(exploration.comparators[combination.comparators]);
    entries.count = typed(key.count);
    entries.encodings = key.encodings;
    entries.order = key.order;
    entries.rounds = key.rounds;

    // Diagnostic lines go nowhere: a stream without a buffer skips formatting them.
    std::ostream quiet(nullptr);
    ExplorationCache own;
    ExplorationCache &stages = cache ? *cache : own;
    std::optional<ExplorationCache::Stage> scratch;
    FlowRun loaded;
    loaded.design = exploration.cores[combination.core];
    const std::vector<std::size_t> resources = {combination.core, combination.adders, combination.multipliers,
                                                combination.subtractors, combination.comparators};
    const ExplorationCache::Stage &synthesized = staged(stages.resources, scratch, resources, loaded,
                                                        [&](FlowRun &run) { enter_resources(run, entries, quiet); });
    if (synthesized.error) {
        result.error = synthesized.error;
        return result;
    }
    std::vector<std::size_t> with_key = resources;
    with_key.push_back(combination.key);
    const ExplorationCache::Stage &hashed = staged(stages.key, scratch, with_key, synthesized.run,
                                                   [&](FlowRun &run) { enter_key(run, entries, quiet); });
    if (hashed.error) {
        result.error = hashed.error;
        return result;
    }
    FlowRun run = hashed.run;
    try {
        enter_constraint_size(run, std::to_string(exploration.sizes[combination.size]),
                              exploration.embeddings[combination.embedding], quiet);
        const Verification own_design =
            verify_datapath(run.unsigned_design, run.embedding, datapath_of(run.design), default_alpha);
        result.run = run_figures(run);
        const EmbeddingFigures &f = result.run.figures;
        result.overhead = f.cost_phase2 / f.initial_cost - 1;
        result.distinguishing = own_design.distinguishing.total;
        result.pc_distinguishing = own_design.pc_distinguishing;
    } catch (const Refusal &refusal) {
        result.error = refusal.what();
    }
    return result;
}

}  // namespace velnor
