// Numbering the combinations as a mixed-radix number (the size the fastest
// digit) and running one: a copy of the loaded core, the typed values handed
// to the stages as `run` hands them, and the run's own signed datapath
// verified against the design the run kept from right before the embedding.
#include "flow/exploration.h"

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
            exploration.sizes.size()};
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
    std::size_t digit[7];
    uint64_t rest = index;
    for (int i = 6; i >= 0; --i) {
        digit[i] = static_cast<std::size_t>(rest % radix[i]);
        rest /= radix[i];
    }
    return {index, digit[0], digit[1], digit[2], digit[3], digit[4], digit[5], digit[6]};
}

CombinationResult run_combination(const Exploration &exploration, const Combination &combination) {
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
    FlowRun run;
    run.design = exploration.cores[combination.core];
    try {
        enter_resources_and_key(run, entries, quiet);
        enter_constraint_size(run, std::to_string(exploration.sizes[combination.size]), quiet);
        const Verification own =
            verify_datapath(run.unsigned_design, run.embedding, datapath_of(run.design), default_alpha);
        result.run = run_figures(run);
        const EmbeddingFigures &f = result.run.figures;
        result.overhead = f.cost_phase2 / f.initial_cost - 1;
        result.distinguishing = own.distinguishing.total;
        result.pc_distinguishing = own.pc_distinguishing;
    } catch (const Refusal &refusal) {
        result.error = refusal.what();
    }
    return result;
}

}  // namespace velnor
