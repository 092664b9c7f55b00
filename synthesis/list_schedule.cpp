// Resource-constrained list scheduling. Ready operations wait on one heap per
// operation type, least mobility on top; each control step serves the types in
// ascending order up to their limits, then releases the successors whose
// producers are all placed, which become eligible in the next step.
#include "synthesis/list_schedule.h"

#include <algorithm>
#include <cstddef>

namespace velnor {
namespace {

// A ready operation as the heaps need it: the id it is placed under and its
// slack, taken when it becomes ready.
struct Ready {
    int32_t id;
    int64_t mobility;
};
using ReadyList = std::vector<Ready>;

Ready ready_entry(const Operation &op) { return Ready{op.id, int64_t{op.alap_step} - int64_t{op.asap_step}}; }

// The heap order: a sits below b when it has more slack.
bool below(const Ready &a, const Ready &b) { return a.mobility > b.mobility; }

// Moves x up from the hole at h until its parent does not sit below it, then
// stores it there. Ties stop the climb, so an equal parent stays on top.
void sift_up(ReadyList &heap, std::ptrdiff_t h, Ready x) {
    while (h > 0) {
        const std::ptrdiff_t parent = (h - 1) / 2;
        if (!below(heap[parent], x))
            break;
        heap[h] = heap[parent];
        h = parent;
    }
    heap[h] = x;
}

void push_ready(ReadyList &heap, const Operation &op) {
    heap.push_back(ready_entry(op));
    sift_up(heap, static_cast<std::ptrdiff_t>(heap.size()) - 1, heap.back());
}

// Removes and returns the top. The hole left at the root walks down to a leaf
// along the children that do not sit below their sibling (the right child on a
// tie), and the former last element climbs back from there. The order among
// operations of equal mobility, and so the schedule, depends on these exact moves.
Ready pop_ready(ReadyList &heap) {
    const Ready top = heap.front();
    const Ready x = heap.back();
    heap.pop_back();
    const std::ptrdiff_t len = static_cast<std::ptrdiff_t>(heap.size());
    if (len == 0)
        return top;
    std::ptrdiff_t h = 0;
    std::ptrdiff_t q = 0;
    while (q < (len - 1) / 2) {
        q = 2 * (q + 1);
        if (below(heap[q], heap[q - 1]))
            --q;
        heap[h] = heap[q];
        h = q;
    }
    if (len % 2 == 0 && q == (len - 2) / 2) {
        q = 2 * (q + 1);
        heap[h] = heap[q - 1];
        h = q - 1;
    }
    sift_up(heap, h, x);
    return top;
}

bool has_primary_operands_only(const Operation &op) { return op.first_input == 0 && op.second_input == 0; }

}  // namespace

void release_successors(Design &design, int32_t id, std::vector<int32_t> &counters,
                        std::vector<int32_t> &released) {
    const auto count_check = [&counters](int32_t producer) {
        if (producer < 0)
            return;
        const auto index = static_cast<std::size_t>(producer);
        if (index >= counters.size())
            counters.resize(index + 1, 0);
        ++counters[index];
    };
    // Lookups only: a missing operation reads as a fresh record (no operands,
    // unplaced) without being added, so the records stay where they are.
    const Operation *producer = find_operation(design, id);
    if (!producer)
        return;
    const auto placed = [&design](int32_t input) {
        const Operation *op = find_operation(design, input);
        return op && op->list_step != -1;
    };
    for (int32_t s : successors_of(design, id)) {
        const Operation *consumer = find_operation(design, s);
        // An operation of two primary inputs is seeded, never released.
        if (!consumer || (consumer->first_input == 0 && consumer->second_input == 0))
            continue;
        const int32_t a = consumer->first_input;
        const int32_t b = consumer->second_input;
        // A primary input (0) is always available and names no operation.
        const bool a_placed = a == 0 || placed(a);
        const bool b_placed = b == 0 || placed(b);
        if (!a_placed || !b_placed)
            continue;
        // Each producer's counter rises once per check, a producer read on both
        // operands included; primary inputs have no counter.
        if (a != 0 && a != b)
            count_check(a);
        if (b != 0)
            count_check(b);
        std::vector<bool> &flags = design.released_operations;
        const auto index = static_cast<std::size_t>(s);
        if (index < flags.size() && flags[index])
            continue;
        released.push_back(s);
        if (index >= flags.size())
            flags.resize(std::max(index + 1, design.operations.size() + 1), false);
        flags[index] = true;
    }
}

void schedule_list(Design &design, ResourceLimits limits) {
    std::map<int32_t, ReadyList> ready;
    std::vector<int32_t> counters(design.operations.size() + 1, 0);
    int64_t ready_count = 0;

    for (const auto &entry : design.operations) {
        if (has_primary_operands_only(entry.second)) {
            push_ready(ready[entry.second.type], entry.second);
            ++ready_count;
        }
    }

    int32_t step = 1;
    std::vector<int32_t> placed_ids;  // this step's ids, gathered to be stored at once
    std::vector<int32_t> released;    // what one placed operation releases
    while (ready_count >= 1) {
        placed_ids.clear();
        for (const auto &[type, limit] : limits) {
            ReadyList &heap = ready[type];
            int64_t placed = 0;
            while (!heap.empty() && int64_t{limit} - placed >= 1) {
                const Ready top = pop_ready(heap);
                design.operations[top.id].list_step = step;
                placed_ids.push_back(top.id);
                ++placed;
                --ready_count;
            }
        }
        // Ready operations that no limit lets through would wait for ever.
        if (placed_ids.empty())
            break;
        std::vector<int32_t> &step_ids = design.list_steps[step];
        step_ids.insert(step_ids.end(), placed_ids.begin(), placed_ids.end());

        for (const int32_t o : step_ids) {
            const auto successor_count = static_cast<int32_t>(successors_of(design, o).size());
            const auto index = static_cast<std::size_t>(o);
            if ((index < counters.size() ? counters[index] : 0) == successor_count)
                continue;
            released.clear();
            release_successors(design, o, counters, released);
            ready_count += static_cast<int64_t>(released.size());
            for (int32_t s : released) {
                const Operation &op = design.operations[s];
                push_ready(ready[op.type], op);
            }
        }
        ++step;
    }

    for (auto &entry : design.list_steps)
        std::sort(entry.second.begin(), entry.second.end());
}

}  // namespace velnor
