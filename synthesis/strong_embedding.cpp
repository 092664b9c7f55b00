// The strong embedding's walk: a shuffled order of the variables, and for each
// one the registers it could move into, read from the controller table as the
// walk leaves it, and the partners the register drawn among them offers.
#include "synthesis/strong_embedding.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/binding.h"
#include "synthesis/register_moves.h"

namespace velnor {
namespace {

// Whether a variable of register life could be the partner of a variable
// living from birth to death: not moved by this walk, and with a lifetime at
// least one step clear of the variable's on either side, so that no
// allocation of the unsigned design seats both in one register.
bool can_partner(const Lifetime &life, int32_t birth, int32_t death, const std::vector<char> &moved) {
    return !moved[static_cast<std::size_t>(life.variable)] && (life.death < birth - 1 || life.birth > death + 1);
}

// The registers that could take a variable living from birth to death, out of
// register own, ascending into registers: free over its whole lifetime and
// holding at least one variable that could be its partner. Only the chosen
// register's partners are listed afterwards, so none is collected here.
void candidate_registers(const Design &design, int32_t own, int32_t birth, int32_t death,
                         const std::vector<char> &moved, std::vector<int32_t> &registers) {
    registers.clear();
    const auto register_count = static_cast<int32_t>(design.register_lifetimes.size());
    for (int32_t r = 1; r <= register_count; ++r) {
        if (r == own || !register_free_over(design, r, birth, death))
            continue;
        const std::vector<Lifetime> &held = design.register_lifetimes[static_cast<std::size_t>(r) - 1];
        if (std::any_of(held.begin(), held.end(),
                        [&](const Lifetime &life) { return can_partner(life, birth, death, moved); }))
            registers.push_back(r);
    }
}

// The variables of register r that could be the partner of a variable living
// from birth to death, ascending into partners.
void partners_in(const Design &design, int32_t r, int32_t birth, int32_t death, const std::vector<char> &moved,
                 std::vector<int32_t> &partners) {
    partners.clear();
    for (const Lifetime &life : design.register_lifetimes[static_cast<std::size_t>(r) - 1])
        if (can_partner(life, birth, death, moved))
            partners.push_back(life.variable);
    std::sort(partners.begin(), partners.end());
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
    std::vector<int32_t> candidates, partners;  // the current variable's, reused from one to the next
    for (int32_t variable : order) {
        if (static_cast<int64_t>(placed.size()) >= count)
            break;
        if (pinned[static_cast<std::size_t>(variable)])
            continue;
        const int32_t seat = register_of_variable(design, variable);
        if (seat == 0)
            continue;  // never allocated: nothing to move
        const auto [birth, death] = lifetime(design, variable);
        candidate_registers(design, seat, birth, death, moved, candidates);
        if (candidates.empty())
            continue;
        const int32_t chosen = candidates[static_cast<std::size_t>(stream.below(candidates.size()))];
        partners_in(design, chosen, birth, death, moved, partners);
        const int32_t partner = partners[static_cast<std::size_t>(stream.below(partners.size()))];
        move_variable(design, variable, seat, chosen);
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
