// Unconstrained scheduling, placed as repeated passes over the operations in
// ascending id order would place them. Only an operation whose id lies inside
// 1..N (N = number of operations) is ever placed. Both schedulers end where a
// pass would place nothing, so a cycle or a reference to a missing operation
// leaves operations unplaced instead of looping for ever.
#include "core/asap_alap.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace velnor {
namespace {

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
    const FlatLists::List successors = successors_of(design, op.id);
    if (successors.empty())
        return design.latency_bound;
    int32_t smallest = 99999999;
    for (const int32_t successor : successors) {
        const int32_t step = alap_of(design, successor);
        if (step == -1)
            return std::nullopt;
        smallest = std::min(smallest, step);
    }
    return smallest - 1;
}

// Calls visit with each operation op waits for: its producers (ASAP), each
// once, or its consumers (ALAP).
template <typename Visit>
void for_each_producer(const Operation &op, Visit visit) {
    if (op.first_input != 0)
        visit(op.first_input);
    if (op.second_input != 0 && op.second_input != op.first_input)
        visit(op.second_input);
}

template <typename Visit>
void for_each_consumer(const Design &design, const Operation &op, Visit visit) {
    for (const int32_t successor : successors_of(design, op.id))
        visit(successor);
}

// The same placement as repeated passes in ascending id order, each placing
// every operation whose step step_of can tell, until a pass places nothing
// (so a cycle or a missing operation leaves operations unplaced), without
// walking every operation once per pass. An operation is placed in the first
// pass that finds all it waits for placed: the pass of each of them, or the
// next one for those it meets later in the pass (a larger id). The operations
// are visited in an order where each follows what it waits for, and each
// step lists its ids in the order the passes would have placed them.
template <typename WaitsFor, typename StepOf>
void place_in_passes(Design &design, int32_t Operation::*step_field, StepMap &steps, WaitsFor waits_for,
                     StepOf step_of) {
    const std::size_t count = design.operations.size();
    // An id outside 1..N is never placed; its step stays as it is.
    const auto covers = [count](int32_t id) { return id >= 1 && static_cast<std::size_t>(id) <= count; };
    std::vector<Operation *> by_id(count + 1, nullptr);
    for (auto &[id, op] : design.operations)
        if (covers(id)) {
            by_id[static_cast<std::size_t>(id)] = &op;
            op.*step_field = -1;
        }

    // For each operation, how many of what it waits for are still unplaced
    // (-1: never placed, as a missing operation or an unplaced one without a
    // flag), and, in one flat list, who waits for each.
    std::vector<int32_t> waiting(count + 1, 0);
    std::vector<int32_t> first_waiter(count + 2, 0);
    for (std::size_t id = 1; id <= count; ++id) {
        const Operation *op = by_id[id];
        if (!op)
            continue;
        waits_for(*op, [&](int32_t other) {
            if (waiting[id] < 0)
                return;
            if (covers(other) && by_id[static_cast<std::size_t>(other)] && static_cast<std::size_t>(other) != id) {
                ++waiting[id];
                ++first_waiter[static_cast<std::size_t>(other) + 1];
                return;
            }
            const auto found = covers(other) ? design.operations.end() : design.operations.find(other);
            if (found == design.operations.end() || found->second.*step_field == -1)
                waiting[id] = -1;
        });
    }
    for (std::size_t id = 1; id <= count + 1; ++id)
        first_waiter[id] += first_waiter[id - 1];
    std::vector<int32_t> waiters(static_cast<std::size_t>(first_waiter[count + 1]));
    std::vector<int32_t> filled(first_waiter.begin(), first_waiter.end() - 1);
    std::vector<int32_t> ready;
    ready.reserve(count);  // each operation becomes ready once at most
    for (std::size_t id = 1; id <= count; ++id) {
        const Operation *op = by_id[id];
        if (!op)
            continue;
        waits_for(*op, [&](int32_t other) {
            if (covers(other) && by_id[static_cast<std::size_t>(other)] && static_cast<std::size_t>(other) != id)
                waiters[static_cast<std::size_t>(filled[static_cast<std::size_t>(other)]++)] = static_cast<int32_t>(id);
        });
        if (waiting[id] == 0)
            ready.push_back(static_cast<int32_t>(id));
    }

    std::vector<int32_t> pass(count + 1, 1);
    std::vector<std::pair<int32_t, int32_t>> placed;  // (pass, id)
    placed.reserve(count);
    while (!ready.empty()) {
        const int32_t id = ready.back();
        ready.pop_back();
        const auto index = static_cast<std::size_t>(id);
        Operation &op = *by_id[index];
        const std::optional<int32_t> step = step_of(design, op);
        if (!step)
            continue;
        op.*step_field = *step;
        placed.emplace_back(pass[index], id);
        // A step of -1 reads as "not placed yet" to those waiting for it.
        if (*step == -1)
            continue;
        for (auto w = first_waiter[index]; w < first_waiter[index + 1]; ++w) {
            const auto waiter = static_cast<std::size_t>(waiters[static_cast<std::size_t>(w)]);
            if (waiting[waiter] < 0)
                continue;
            pass[waiter] = std::max(pass[waiter], pass[index] + (index > waiter ? 1 : 0));
            if (--waiting[waiter] == 0)
                ready.push_back(static_cast<int32_t>(waiter));
        }
    }
    // Each step lists its ids in the order of the passes; the steps are
    // filled in ascending order so that each one is added at the end.
    std::sort(placed.begin(), placed.end());
    std::vector<std::pair<int32_t, int32_t>> by_step;  // (step, id)
    by_step.reserve(placed.size());
    for (const auto &[round, id] : placed)
        by_step.emplace_back(by_id[static_cast<std::size_t>(id)]->*step_field, id);
    std::stable_sort(by_step.begin(), by_step.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    // One step's ids at a time, into a list reserved at their number.
    for (auto first = by_step.begin(); first != by_step.end();) {
        const int32_t step = first->first;
        const auto last = std::find_if(first, by_step.end(), [step](const auto &entry) { return entry.first != step; });
        std::vector<int32_t> &ids = steps[step];
        ids.reserve(ids.size() + static_cast<std::size_t>(last - first));
        for (; first != last; ++first)
            ids.push_back(first->second);
    }
}

}  // namespace

void schedule_asap(Design &design) {
    place_in_passes(design, &Operation::asap_step, design.asap_steps,
                    [](const Operation &op, auto visit) { for_each_producer(op, visit); }, earliest_step);
}

void schedule_alap(Design &design) {
    place_in_passes(design, &Operation::alap_step, design.alap_steps,
                    [&design](const Operation &op, auto visit) { for_each_consumer(design, op, visit); }, latest_step);
}

void schedule_unconstrained(Design &design) {
    schedule_asap(design);
    design.latency_bound = static_cast<int32_t>(design.asap_steps.size());
    schedule_alap(design);
}

}  // namespace velnor
