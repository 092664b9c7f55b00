// The attacks: each task copies what it tampers with, draws from its own
// stream and verifies the result, so tasks run in any order on any thread.
#include "flow/attack.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

#include "core/refusal.h"
#include "flow/key_run.h"
#include "synthesis/design_checks.h"
#include "synthesis/random_allocation.h"
#include "synthesis/register_moves.h"
#include "synthesis/split_mix64.h"

namespace velnor {
namespace {

constexpr uint64_t golden_gamma = 0x9E3779B97F4A7C15ULL;

// Task index's own stream: seeded with draw number index of the plan's seed's
// stream, so that a task's draws do not depend on which tasks ran before it.
SplitMix64 task_stream(uint64_t seed, uint64_t index) {
    SplitMix64 seeds(seed + index * golden_gamma);
    return SplitMix64(seeds.next());
}

// count distinct numbers of 1..total in random order: the front of a partial
// Fisher-Yates shuffle.
std::vector<int32_t> pick(int32_t total, int64_t count, SplitMix64 &stream) {
    std::vector<int32_t> numbers(static_cast<std::size_t>(total));
    std::iota(numbers.begin(), numbers.end(), 1);
    for (int64_t i = 0; i < count; ++i) {
        const auto j = static_cast<std::size_t>(i) + stream.below(static_cast<uint64_t>(total - i));
        std::swap(numbers[static_cast<std::size_t>(i)], numbers[j]);
    }
    numbers.resize(static_cast<std::size_t>(count));
    return numbers;
}

Verification verify_tampered(const AttackTarget &target, const Datapath &tampered, double alpha) {
    return verify_datapath(target.owner.unsigned_design, target.owner.embedding, tampered, alpha);
}

AttackTrial move_trial(const AttackTarget &target, double fraction, int64_t trial, double alpha, SplitMix64 &stream) {
    Design design = target.owner.design;
    AttackTrial result;
    result.kind = AttackKind::Move;
    result.fraction = fraction;
    result.trial = trial;
    const MoveTally tally =
        move_random_variables(design, share_of(fraction, static_cast<int64_t>(design.lifetimes.size())), stream);
    result.moved = tally.moved;
    result.stuck = tally.stuck;
    verify_allocation(design, "moved design");
    result.verification = verify_tampered(target, datapath_of(design), alpha);
    return result;
}

AttackTrial rebind_trial(const AttackTarget &target, double fraction, int64_t trial, double alpha,
                         SplitMix64 &stream) {
    Datapath tampered = target.signed_datapath;
    int64_t bound = 0;
    for (const DatapathOperation &op : tampered.operations)
        bound += op.variant == 1 || op.variant == 2;
    AttackTrial result;
    result.kind = AttackKind::Rebind;
    result.fraction = fraction;
    result.trial = trial;
    result.moved = switch_random_variants(tampered, share_of(fraction, bound), stream);
    result.verification = verify_tampered(target, tampered, alpha);
    return result;
}

AttackTrial reallocate_trial(const AttackTarget &target, int64_t trial, double alpha, SplitMix64 &stream) {
    Datapath tampered = target.signed_datapath;
    std::vector<VariableSpan> spans;
    for (const DatapathVariable &variable : tampered.variables)
        spans.push_back({variable.birth, variable.death});
    const std::vector<int32_t> registers = random_register_allocation(spans, stream);
    int32_t count = 0;
    for (std::size_t v = 0; v < registers.size(); ++v) {
        tampered.variables[v].register_number = registers[v] + 1;
        count = std::max(count, registers[v] + 1);
    }
    tampered.registers = count;
    AttackTrial result;
    result.kind = AttackKind::Reallocate;
    result.trial = trial;
    result.moved = static_cast<int64_t>(registers.size());
    result.verification = verify_tampered(target, tampered, alpha);
    return result;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int64_t share_of(double fraction, int64_t count) {
    const double exact = fraction * static_cast<double>(count);
    const double nearest = std::round(exact);
    const double share = std::abs(exact - nearest) < 1e-9 ? nearest : std::ceil(exact);
    return std::clamp<int64_t>(static_cast<int64_t>(share), 0, count);
}

MoveTally move_random_variables(Design &design, int64_t count, SplitMix64 &stream) {
    const auto variables = static_cast<int32_t>(design.lifetimes.size());
    const auto registers = static_cast<int32_t>(design.register_lifetimes.size());
    MoveTally tally;
    for (int32_t variable : pick(variables, std::clamp<int64_t>(count, 0, variables), stream)) {
        const auto [birth, death] = lifetime(design, variable);
        const int32_t own = register_of_variable(design, variable);
        std::vector<int32_t> free;
        for (int32_t r = 1; r <= registers; ++r)
            if (r != own && register_free_over(design, r, birth, death))
                free.push_back(r);
        if (free.empty()) {
            ++tally.stuck;
            continue;
        }
        move_variable(design, variable, own, free[stream.below(free.size())]);
        ++tally.moved;
    }
    return tally;
}

int64_t switch_random_variants(Datapath &datapath, int64_t count, SplitMix64 &stream) {
    std::vector<std::size_t> bound;
    for (std::size_t i = 0; i < datapath.operations.size(); ++i)
        if (datapath.operations[i].variant == 1 || datapath.operations[i].variant == 2)
            bound.push_back(i);
    const auto chosen = pick(static_cast<int32_t>(bound.size()),
                             std::clamp<int64_t>(count, 0, static_cast<int64_t>(bound.size())), stream);
    for (int32_t number : chosen) {
        DatapathOperation &op = datapath.operations[bound[static_cast<std::size_t>(number - 1)]];
        op.variant = op.variant == 1 ? 2 : 1;
    }
    return static_cast<int64_t>(chosen.size());
}

const char *attack_name(AttackKind kind) {
    switch (kind) {
    case AttackKind::Move:
        return "move";
    case AttackKind::Rebind:
        return "rebind";
    case AttackKind::Reallocate:
        return "reallocate";
    case AttackKind::Forge:
        return "forge";
    }
    return "move";
}

AttackTarget attack_target(FlowRun owner, FlowRun synthesized) {
    AttackTarget target;
    target.size = owner.constraint_size;
    target.mode = owner.embedding.figures.mode;
    target.signed_datapath = datapath_of(owner.design);
    target.unsigned_datapath = datapath_of(owner.unsigned_design);
    target.owner = std::move(owner);
    target.synthesized = std::move(synthesized);
    return target;
}

uint64_t attack_task_count(const AttackPlan &plan) {
    const auto trials = static_cast<uint64_t>(plan.trials);
    return plan.fractions.size() * 2 * trials + trials + static_cast<uint64_t>(plan.keys);
}

std::vector<AttackTrial> forge_claim(const AttackTarget &target, const ExplorationKey &key, int64_t key_number,
                                     double alpha) {
    std::vector<AttackTrial> trials(2);
    for (std::size_t i = 0; i < 2; ++i) {
        trials[i].kind = AttackKind::Forge;
        trials[i].trial = key_number;
        trials[i].against_signed = i == 0;
    }
    try {
        const FlowRun claim = run_key(target.synthesized, key, target.size, target.mode);
        trials[0].verification = verify_datapath(claim.unsigned_design, claim.embedding, target.signed_datapath, alpha);
        trials[1].verification =
            verify_datapath(claim.unsigned_design, claim.embedding, target.unsigned_datapath, alpha);
    } catch (const Refusal &refusal) {
        if (refusal.reason() == Refusal::Reason::BrokenInvariant || refusal.reason() == Refusal::Reason::InvalidArgument)
            throw;
        trials[0].error = trials[1].error = refusal.what();
    }
    return trials;
}

std::vector<AttackTrial> run_attack_task(const AttackTarget &target, const AttackPlan &plan,
                                         const std::vector<ExplorationKey> &forged_keys, uint64_t index) {
    if (index >= attack_task_count(plan))
        throw Refusal(Refusal::Reason::InvalidArgument, "no attack task " + std::to_string(index));
    SplitMix64 stream = task_stream(plan.seed, index);
    const auto trials = static_cast<uint64_t>(plan.trials);
    const uint64_t tampering = plan.fractions.size() * 2 * trials;
    if (index < tampering) {
        const double fraction = plan.fractions[index / (2 * trials)];
        const uint64_t within = index % (2 * trials);
        const auto trial = static_cast<int64_t>(within % trials);
        if (within < trials)
            return {move_trial(target, fraction, trial, plan.alpha, stream)};
        return {rebind_trial(target, fraction, trial, plan.alpha, stream)};
    }
    index -= tampering;
    if (index < trials)
        return {reallocate_trial(target, static_cast<int64_t>(index), plan.alpha, stream)};
    index -= trials;
    if (index >= forged_keys.size())
        throw Refusal(Refusal::Reason::InvalidArgument, "fewer forged keys than the plan asks for");
    return forge_claim(target, forged_keys[index], static_cast<int64_t>(index), plan.alpha);
}

std::vector<AttackSummaryRow> summarize_attacks(const AttackPlan &plan, const std::vector<AttackTrial> &trials) {
    // Rows keyed in output order: the tampering per fraction, then reallocation, then the forge targets.
    using Key = std::tuple<int, std::size_t, int>;
    std::map<Key, std::pair<AttackSummaryRow, std::vector<double>>> rows;
    const auto fraction_position = [&plan](double fraction) {
        return static_cast<std::size_t>(std::find(plan.fractions.begin(), plan.fractions.end(), fraction) -
                                        plan.fractions.begin());
    };
    for (const AttackTrial &t : trials) {
        Key key;
        switch (t.kind) {
        case AttackKind::Move:
        case AttackKind::Rebind:
            key = {0, fraction_position(t.fraction), t.kind == AttackKind::Move ? 0 : 1};
            break;
        case AttackKind::Reallocate:
            key = {1, 0, 0};
            break;
        case AttackKind::Forge:
            key = {2, 0, t.against_signed ? 0 : 1};
            break;
        }
        auto &[row, values] = rows[key];
        row.kind = t.kind;
        row.fraction = t.fraction;
        row.against_signed = t.against_signed;
        if (t.error)
            continue;
        ++row.trials;
        row.moved += t.moved;
        row.stuck += t.stuck;
        switch (t.verification.verdict) {
        case Verdict::Present:
            ++row.present;
            break;
        case Verdict::Absent:
            ++row.absent;
            break;
        case Verdict::Inconclusive:
            ++row.inconclusive;
            break;
        }
        values.push_back(t.verification.log10_pc_distinguishing);
    }
    std::vector<AttackSummaryRow> summary;
    for (auto &[key, entry] : rows) {
        auto &[row, values] = entry;
        row.median_log10_pc = median(values);
        if (!values.empty()) {
            row.largest_log10_pc = *std::max_element(values.begin(), values.end());
            row.smallest_log10_pc = *std::min_element(values.begin(), values.end());
        }
        summary.push_back(row);
    }
    return summary;
}

}  // namespace velnor
