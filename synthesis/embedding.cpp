// Signature embedding. Phase 1 walks pairs of odd-numbered variables and moves
// the second of a pair out of a shared register; phase 2 binds operation id to
// variant 1 (odd id) or 2 (even id) where its control step has a unit left or a
// later operation of the step can swap. embed_signature runs both phases on the
// main design, then the pipeline, and computes every figure of the run.
#include "synthesis/embedding.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/binding.h"
#include "core/figure_text.h"
#include "synthesis/pipeline.h"
#include "synthesis/register_moves.h"

namespace velnor {
namespace {

bool is_odd(int32_t x) { return x % 2 != 0; }

// Which registers hold each variable's lifetimes, to ask many times whether
// two variables share a register without walking every register each time.
// A snapshot: it is taken again after every move.
class Seating {
public:
    explicit Seating(const Design &design) { take(design); }

    // Takes the snapshot anew, reusing the storage of the last one. Seats are
    // grouped by variable; registers are walked in ascending order, so each
    // variable's seats come out sorted by register.
    void take(const Design &design) {
        std::size_t highest = 0;
        for (const std::vector<Lifetime> &held : design.register_lifetimes)
            for (const Lifetime &life : held)
                highest = std::max(highest, static_cast<std::size_t>(life.variable));
        first_seat_.assign(highest + 2, 0);
        for (const std::vector<Lifetime> &held : design.register_lifetimes)
            for (const Lifetime &life : held)
                ++first_seat_[static_cast<std::size_t>(life.variable) + 1];
        for (std::size_t v = 1; v < first_seat_.size(); ++v)
            first_seat_[v] += first_seat_[v - 1];
        registers_.resize(first_seat_.back());
        next_seat_.assign(first_seat_.begin(), first_seat_.end() - 1);
        for (std::size_t r = 0; r < design.register_lifetimes.size(); ++r)
            for (const Lifetime &life : design.register_lifetimes[r])
                registers_[next_seat_[static_cast<std::size_t>(life.variable)]++] = static_cast<int32_t>(r) + 1;
    }

    // The register that holds both i and j (two different variables), or 0
    // when they sit apart: the lowest register of which exactly two lifetimes
    // belong to i or j.
    int32_t shared_register(int32_t i, int32_t j) const {
        // Both variables' seats are sorted by register: one merged walk counts
        // how many lifetimes of the two each register holds.
        const Seats a_seats = seats_of(i);
        const Seats b_seats = seats_of(j);
        const int32_t *a = a_seats.first;
        const int32_t *b = b_seats.first;
        while (a != a_seats.second || b != b_seats.second) {
            const int32_t reg = b == b_seats.second || (a != a_seats.second && *a < *b) ? *a : *b;
            int lifetimes = 0;
            for (; a != a_seats.second && *a == reg; ++a)
                ++lifetimes;
            for (; b != b_seats.second && *b == reg; ++b)
                ++lifetimes;
            if (lifetimes == 2)
                return reg;
        }
        return 0;
    }

private:
    using Seats = std::pair<const int32_t *, const int32_t *>;  // one variable's registers, ascending

    Seats seats_of(int32_t variable) const {
        const auto v = static_cast<std::size_t>(variable);
        if (variable < 0 || v + 1 >= first_seat_.size())
            return {nullptr, nullptr};
        return {registers_.data() + first_seat_[v], registers_.data() + first_seat_[v + 1]};
    }

    std::vector<std::size_t> first_seat_;  // by variable: where its registers start; one more entry ends the last
    std::vector<std::size_t> next_seat_;   // while taking: where each variable's next register goes
    std::vector<int32_t> registers_;       // every seat's register, grouped by variable
};

int32_t &register_of(Design &design, int32_t variable) {
    return design.register_of[static_cast<std::size_t>(variable)];
}

// Moves j alone out of register r into a fresh register R + 1.
void move_to_new_register(Design &design, int32_t r, int32_t j) {
    move_variable(design, j, r, static_cast<int32_t>(design.register_lifetimes.size()) + 1);
}

// Tries to exchange, from step b on, the run of register r that starts with j
// against the run of r2 that starts with w (nothing when w is 0). Both runs
// end in the same step; a run of r2 may not carry an odd variable.
bool exchange_runs(Design &design, int32_t r, int32_t r2, int32_t j, int32_t w, int32_t b, std::ostream &log) {
    std::vector<int32_t> run_r{j};
    std::vector<int32_t> run_r2;
    int32_t end_r = lifetime(design, j).second;
    int32_t end_r2 = b;
    if (w > 0) {
        run_r2.push_back(w);
        end_r2 = lifetime(design, w).second;
    }
    while (end_r != end_r2) {
        if (end_r < end_r2) {
            ++end_r;
            const int32_t x = design.controller_table.read(end_r, r);
            if (x != 0) {
                run_r.push_back(x);
                // A cell always lies inside its variable's lifetime; max keeps the walk moving forward regardless.
                end_r = std::max(end_r, lifetime(design, x).second);
            }
        } else {
            ++end_r2;
            const int32_t y = design.controller_table.read(end_r2, r2);
            if (y != 0) {
                if (is_odd(y))
                    return false;
                run_r2.push_back(y);
                end_r2 = std::max(end_r2, lifetime(design, y).second);
            }
        }
    }

    log << "iid :";
    for (int32_t x : run_r) {
        register_of(design, x) = r2;
        log << (x - 1) << " ";
        remove_from_register(design, r, x);
        fill_lifetime(design, x, r, 0);
    }
    log << "\nrid :";
    for (int32_t y : run_r2) {
        register_of(design, y) = r;
        log << (y - 1) << " ";
        remove_from_register(design, r2, y);
        fill_lifetime(design, y, r2, 0);
    }
    for (int32_t y : run_r2) {
        held_by(design, r).push_back(lifetime_record(design, y));
        fill_lifetime(design, y, r, y);
    }
    for (int32_t x : run_r) {
        held_by(design, r2).push_back(lifetime_record(design, x));
        fill_lifetime(design, x, r2, x);
    }
    return true;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> examined_pairs(int32_t variable_count, int32_t zeros) {
    std::vector<std::pair<int32_t, int32_t>> pairs;
    for (int32_t i = 1; i < variable_count; i += 2)
        for (int32_t j = i + 2; j <= variable_count; j += 2) {
            pairs.emplace_back(i, j);
            if (static_cast<int64_t>(pairs.size()) >= zeros)
                return pairs;
        }
    return pairs;
}

ModuleVariant wanted_variant(int32_t id) { return id % 2 == 0 ? 2 : 1; }

bool register_clear_before(Design &design, int32_t r, int32_t b, int32_t i) {
    // An empty cell reads as 0, which is even: only the variables held decide.
    for (int32_t x : design.controller_table.read_variables(r, 0, b - 1))
        if (x < i && is_odd(x))
            return false;
    return true;
}

void separate_variables(Design &design, int32_t r, int32_t j, int32_t i, std::ostream &log) {
    const int32_t register_count = static_cast<int32_t>(design.register_lifetimes.size());
    const int32_t b = lifetime(design, j).first;
    for (int32_t r2 = r + 1; r2 <= register_count; ++r2) {
        if (!register_clear_before(design, r2, b, i))
            continue;
        const int32_t w = design.controller_table.read(b, r2);
        // Only an even variable born in the same step can trade places with j.
        if (w > 0 && (is_odd(w) || lifetime(design, w).first != b))
            continue;
        if (exchange_runs(design, r, r2, j, w, b, log))
            return;
    }
    move_to_new_register(design, r, j);
}

std::vector<std::pair<int32_t, int32_t>> embed_zero_constraints(Design &design, int32_t zeros, std::ostream &log) {
    design.controller_table_before = design.controller_table;

    // The z-th zero of the signature is the z-th examined pair (i, j).
    const std::vector<std::pair<int32_t, int32_t>> examined =
        examined_pairs(static_cast<int32_t>(design.lifetimes.size()), zeros);
    Seating seating(design);
    int32_t count = 0;
    for (const auto &[i, j] : examined) {
        ++count;
        if (seating.shared_register(i, j) != 0) {
            separate_variables(design, register_of(design, j), j, i, log);
            seating.take(design);
            log << (i - 1) << "," << (j - 1) << " ::" << count << "\n";
        }
    }

    // A later separation can move a variable back beside an earlier partner;
    // every examined pair is promised apart, so such a j moves alone into a
    // fresh register, where nobody can join it again.
    for (const auto &pair : examined) {
        const int32_t r = seating.shared_register(pair.first, pair.second);
        if (r != 0) {
            move_to_new_register(design, r, pair.second);
            seating.take(design);
        }
    }
    return examined;
}

void force_variant(Design &design, int32_t id, ModuleVariant want) {
    const int32_t adders = unit_count(design, Add);
    const int32_t multipliers = unit_count(design, Multiply);
    int32_t free_adders[3] = {0, variant1_units(adders), variant2_units(adders)};
    int32_t free_multipliers[3] = {0, variant1_units(multipliers), variant2_units(multipliers)};

    Operation &target = design.operations[id];
    const auto step = design.list_steps.find(target.list_step);
    const std::vector<int32_t> no_ids;
    const std::vector<int32_t> &ids = step == design.list_steps.end() ? no_ids : step->second;
    for (int32_t u : ids) {
        const Operation &op = design.operations[u];
        if (op.type == Add)
            --free_adders[op.variant == 1 ? 1 : 2];
        else if (op.type == Multiply)
            --free_multipliers[op.variant == 1 ? 1 : 2];
    }
    if (want != 1 && want != 2)
        return;
    if ((target.type == Add && free_adders[want] > 0) || (target.type == Multiply && free_multipliers[want] > 0)) {
        target.variant = want;
        return;
    }
    // Only later operations may give up their variant: earlier ids already carry their constraint.
    for (int32_t u : ids) {
        if (u <= id)
            continue;
        Operation &partner = design.operations[u];
        if (partner.type == target.type && partner.variant == want) {
            partner.variant = target.variant;
            target.variant = want;
            return;
        }
    }
}

std::vector<int32_t> embed_one_constraints(Design &design, int32_t ones) {
    std::vector<int32_t> confirmed;
    if (ones < 1 || design.operations.empty())
        return confirmed;
    const auto operation_count = static_cast<int64_t>(design.operations.size());
    for (int32_t id = 1; id <= ones && id <= operation_count; ++id) {
        const ModuleVariant want = wanted_variant(id);
        if (design.operations[id].variant != want)
            force_variant(design, id, want);
        if (design.operations[id].variant == want)
            confirmed.push_back(id);
    }
    return confirmed;
}

int64_t largest_constraint_size(const Design &design) {
    const auto k = static_cast<int64_t>(design.lifetimes.size());
    return k * (k + 1) / 2;
}

EmbeddingFigures signature_figures(const Design &design, const std::string &hash_output, int64_t size,
                                   double initial_area, double initial_latency) {
    const int64_t largest = largest_constraint_size(design);
    if (size < 0 || size > largest)
        throw Refusal(Refusal::Reason::ConstraintSize,
                      "constraint size should be between 0 and " + std::to_string(largest));

    EmbeddingFigures f;
    f.initial_area = initial_area;
    f.initial_latency = initial_latency;
    const auto used = static_cast<std::size_t>(std::min<int64_t>(size, static_cast<int64_t>(hash_output.size())));
    for (std::size_t c = 0; c < used; ++c) {
        if (hash_output[c] == '0')
            ++f.zero_count;
        else
            ++f.one_count;
    }
    f.register_count_before = static_cast<int32_t>(design.register_lifetimes.size());
    return f;
}

void finish_figures(Design &design, EmbeddingFigures &f, std::ostream &log) {
    // Only a log that writes gets the figures, in the default format whatever its flags.
    if (log)
        log << "area0 :" + figure_text(f.initial_area) + " area1 : " + figure_text(f.area_phase1) +
                   " area_2: " + figure_text(f.area_phase2) + "\nlatency0 : " + figure_text(f.initial_latency) +
                   " latency 1: " + figure_text(f.latency_phase1) + "latency 2 : " + figure_text(f.latency_phase2) +
                   "\n";

    // The reference designs depend only on the loaded core and library: a
    // synthesized run built them once for every key and size embedded from it.
    if (!design.max_area_design || !design.max_latency_design)
        build_reference_designs(design);
    write_reference_figures(design, log);
    f.max_area = design.max_area;
    f.max_latency = design.max_latency;

    f.initial_cost = compute_cost(f.initial_area, f.initial_latency, f.max_area, f.max_latency);
    f.cost_phase1 = compute_cost(f.area_phase1, f.latency_phase1, f.max_area, f.max_latency);
    f.cost_phase2 = compute_cost(f.area_phase2, f.latency_phase2, f.max_area, f.max_latency);
}

Embedding embed_signature(Design &design, const std::string &hash_output, int64_t size, double initial_area,
                          double initial_latency, std::ostream &log) {
    Embedding embedding;
    embedding.figures = signature_figures(design, hash_output, size, initial_area, initial_latency);
    EmbeddingFigures &f = embedding.figures;

    embedding.constraints.zero_pairs = embed_zero_constraints(design, f.zero_count, log);
    f.area_phase1 = compute_area(design, static_cast<int32_t>(design.register_lifetimes.size()));
    f.latency_phase1 = compute_latency(design);

    embedding.constraints.one_operations = embed_one_constraints(design, f.one_count);
    f.area_phase2 = compute_area(design, static_cast<int32_t>(design.register_lifetimes.size()));
    f.latency_phase2 = compute_latency(design);

    finish_figures(design, f, log);

    // A pair lands in one of R registers by chance with probability 1/R. With
    // no register at all there is no allocation to coincide with: the base is
    // 0, as for a single register, so Pc is 1 without zeros and 0 with some.
    const double apart = f.register_count_before > 0 ? 1.0 - 1.0 / f.register_count_before : 0.0;
    f.pc_phase1 = std::pow(apart, f.zero_count);

    f.effective_one_count = static_cast<int32_t>(embedding.constraints.one_operations.size());
    // At least one unit of each kind counts, so a design without adders or
    // multipliers still gets a finite probability.
    const int64_t units = static_cast<int64_t>(std::max(unit_count(design, Add), 1)) *
                          std::max(unit_count(design, Multiply), 1);
    f.pc_phase2 = f.pc_phase1 * std::pow(1.0 - 1.0 / static_cast<double>(units), f.effective_one_count);
    return embedding;
}

}  // namespace velnor
