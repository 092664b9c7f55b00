// The strong embedding's walk: a shuffled order of the variables, and for each
// one the registers it could move into with the partners each offers, counted
// from the controller table as the walk leaves it.
#include "synthesis/strong_embedding.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/binding.h"
#include "synthesis/register_moves.h"

namespace velnor {
namespace {

struct Candidate {
    int32_t register_number = 0;
    std::vector<int32_t> partners;  // ascending
};

// The registers that could take a variable living from birth to death, out of
// register own, each with the variables that could be its partner: not moved
// by this walk, and with a lifetime at least one step clear of the variable's
// on either side, so that no allocation of the unsigned design seats both in
// one register.
std::vector<Candidate> candidates_for(const Design &design, int32_t own, int32_t birth, int32_t death,
                                      const std::vector<char> &moved) {
    std::vector<Candidate> candidates;
    const auto register_count = static_cast<int32_t>(design.register_lifetimes.size());
    for (int32_t r = 1; r <= register_count; ++r) {
        if (r == own || !register_free_over(design, r, birth, death))
            continue;
        Candidate candidate{r, {}};
        for (const Lifetime &life : design.register_lifetimes[static_cast<std::size_t>(r) - 1])
            if (!moved[static_cast<std::size_t>(life.variable)] &&
                (life.death < birth - 1 || life.birth > death + 1))
                candidate.partners.push_back(life.variable);
        if (candidate.partners.empty())
            continue;
        std::sort(candidate.partners.begin(), candidate.partners.end());
        candidates.push_back(std::move(candidate));
    }
    return candidates;
}

}  // namespace

uint64_t strong_embedding_seed(const std::string &hash_output) {
    uint64_t seed = 0;
    for (std::size_t c = 0; c < 64 && c < hash_output.size(); ++c)
        seed = (seed << 1) | (hash_output[c] == '1' ? 1U : 0U);
    return seed;
}

std::vector<std::pair<int32_t, int32_t>> place_together_constraints(Design &design, SplitMix64 &stream,
                                                                    int64_t count) {
    const auto variable_count = static_cast<int32_t>(design.lifetimes.size());
    std::vector<int32_t> order(static_cast<std::size_t>(variable_count));
    std::iota(order.begin(), order.end(), 1);
    for (int32_t i = variable_count - 1; i >= 1; --i) {
        const auto j = static_cast<std::size_t>(stream.below(static_cast<uint64_t>(i) + 1));
        std::swap(order[static_cast<std::size_t>(i)], order[j]);
    }

    // The report shows the allocation before embedding, as phase 1 keeps it.
    design.controller_table_before = design.controller_table;

    std::vector<std::pair<int32_t, int32_t>> placed;
    std::vector<char> pinned(static_cast<std::size_t>(variable_count) + 1, 0);
    std::vector<char> moved(static_cast<std::size_t>(variable_count) + 1, 0);
    for (int32_t variable : order) {
        if (static_cast<int64_t>(placed.size()) >= count)
            break;
        if (pinned[static_cast<std::size_t>(variable)])
            continue;
        const int32_t seat = register_of_variable(design, variable);
        if (seat == 0)
            continue;  // never allocated: nothing to move
        const auto [birth, death] = lifetime(design, variable);
        const std::vector<Candidate> candidates = candidates_for(design, seat, birth, death, moved);
        if (candidates.empty())
            continue;
        const Candidate &chosen = candidates[static_cast<std::size_t>(stream.below(candidates.size()))];
        const int32_t partner = chosen.partners[static_cast<std::size_t>(stream.below(chosen.partners.size()))];
        move_variable(design, variable, seat, chosen.register_number);
        pinned[static_cast<std::size_t>(variable)] = 1;
        pinned[static_cast<std::size_t>(partner)] = 1;
        moved[static_cast<std::size_t>(variable)] = 1;
        placed.emplace_back(partner, variable);
    }
    return placed;
}

Embedding embed_strong_signature(Design &design, const std::string &hash_output, int64_t size,
                                 double initial_area, double initial_latency, std::ostream &log) {
    Embedding embedding;
    embedding.figures = signature_figures(design, hash_output, size, initial_area, initial_latency);
    EmbeddingFigures &f = embedding.figures;
    f.mode = EmbeddingMode::Strong;

    SplitMix64 stream(strong_embedding_seed(hash_output));
    embedding.constraints.together_pairs =
        place_together_constraints(design, stream, static_cast<int64_t>(f.zero_count) + f.one_count);
    for (const auto &[partner, moved] : embedding.constraints.together_pairs)
        log << "together : " << (partner - 1) << "," << (moved - 1) << " register " << register_of_variable(design, moved)
            << "\n";

    // The moves use registers free over the whole lifetime: area and latency stay as they were.
    f.area_phase1 = f.area_phase2 = compute_area(design, static_cast<int32_t>(design.register_lifetimes.size()));
    f.latency_phase1 = f.latency_phase2 = compute_latency(design);
    finish_figures(design, f, log);

    // Each together constraint holds by chance with probability 1/R.
    f.together_count = static_cast<int32_t>(embedding.constraints.together_pairs.size());
    const int32_t registers = f.register_count_before;
    const double together_chance = registers > 0 ? 1.0 / registers : 1.0;
    f.pc_phase1 = f.pc_phase2 = std::pow(together_chance, f.together_count);
    f.log10_pc = f.together_count == 0 ? 0.0 : -f.together_count * std::log10(static_cast<double>(registers));
    f.effective_one_count = 0;
    return embedding;
}

}  // namespace velnor
