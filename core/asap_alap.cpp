// Unconstrained scheduling by repeated passes over the operations in ascending
// id order. Each operation has a done flag indexed by id - 1; an operation whose
// id lies outside 1..N (N = number of operations) has no flag and is never
// placed. Both schedulers stop after a pass that places nothing, so a cycle or
// a reference to a missing operation leaves operations unplaced instead of
// looping for ever.
#include "core/asap_alap.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace velnor {
namespace {

// One byte per operation, indexed by id - 1.
class DoneFlags {
public:
    explicit DoneFlags(std::size_t count) : flags_(count, 0) {}
    // False for an id that has no flag: such an operation is never scheduled.
    bool covers(int32_t id) const { return id >= 1 && static_cast<std::size_t>(id) <= flags_.size(); }
    bool done(int32_t id) const { return flags_[static_cast<std::size_t>(id) - 1] != 0; }
    void set(int32_t id) { flags_[static_cast<std::size_t>(id) - 1] = 1; }

private:
    std::vector<unsigned char> flags_;
};

// The ASAP step of producer id, -1 when it has none yet or does not exist.
// Looks up without creating records.
int32_t asap_of(const Design &design, int32_t id) {
    const auto it = design.operations.find(id);
    return it == design.operations.end() ? -1 : it->second.asap_step;
}

int32_t alap_of(const Design &design, int32_t id) {
    const auto it = design.operations.find(id);
    return it == design.operations.end() ? -1 : it->second.alap_step;
}

// The earliest step of op; none while a producer has no step yet. An operand 0
// is a primary input and never waits.
std::optional<int32_t> earliest_step(const Design &design, const Operation &op) {
    const int32_t p = op.first_input;
    const int32_t q = op.second_input;
    if (p == 0 && q == 0)
        return 1;
    if (p == 0 || q == 0) {
        const int32_t producer_step = asap_of(design, p == 0 ? q : p);
        if (producer_step == -1)
            return std::nullopt;
        return producer_step + 1;
    }
    const int32_t p_step = asap_of(design, p);
    const int32_t q_step = asap_of(design, q);
    if (p_step == -1 || q_step == -1)
        return std::nullopt;
    return std::max(p_step, q_step) + 1;
}

// The latest step of op; none while a successor has no step yet.
std::optional<int32_t> latest_step(const Design &design, const Operation &op) {
    if (op.successors.empty())
        return design.latency_bound;
    int32_t smallest = 99999999;
    for (const int32_t successor : op.successors) {
        const int32_t step = alap_of(design, successor);
        if (step == -1)
            return std::nullopt;
        smallest = std::min(smallest, step);
    }
    return smallest - 1;
}

// Repeated passes in ascending id order; each places every operation whose step
// step_of can tell, and a pass that places nothing ends the loop (so a cycle or
// a missing producer cannot keep it running).
template <typename StepOf>
void place_in_passes(Design &design, int32_t Operation::*step_field, StepMap &steps, StepOf step_of) {
    DoneFlags flags(design.operations.size());
    bool placed = true;
    while (placed) {
        placed = false;
        for (auto &[id, op] : design.operations) {
            if (!flags.covers(id) || flags.done(id))
                continue;
            const std::optional<int32_t> step = step_of(design, op);
            if (!step)
                continue;
            op.*step_field = *step;
            steps[*step].push_back(id);
            flags.set(id);
            placed = true;
        }
    }
}

}  // namespace

void schedule_asap(Design &design) {
    place_in_passes(design, &Operation::asap_step, design.asap_steps, earliest_step);
}

void schedule_alap(Design &design) {
    place_in_passes(design, &Operation::alap_step, design.alap_steps, latest_step);
}

void schedule_unconstrained(Design &design) {
    schedule_asap(design);
    design.latency_bound = static_cast<int32_t>(design.asap_steps.size());
    schedule_alap(design);
}

}  // namespace velnor
