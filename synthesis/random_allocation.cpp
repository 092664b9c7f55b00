// A random allocation as a sweep over births: registers whose last variable
// has died wait in a free list, the others in a queue ordered by death.
#include "synthesis/random_allocation.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <queue>
#include <utility>

namespace velnor {

std::vector<int32_t> random_register_allocation(const std::vector<VariableSpan> &spans, SplitMix64 &stream) {
    const std::size_t count = spans.size();
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = count; i > 1; --i)
        std::swap(order[i - 1], order[static_cast<std::size_t>(stream.below(i))]);
    // A stable sort keeps the shuffled order among variables born in one step.
    std::stable_sort(order.begin(), order.end(),
                     [&spans](std::size_t x, std::size_t y) { return spans[x].birth < spans[y].birth; });

    std::vector<int32_t> register_of(count, 0);
    std::vector<int32_t> free_registers;
    using Busy = std::pair<int32_t, int32_t>;  // (death of its last variable, register)
    std::priority_queue<Busy, std::vector<Busy>, std::greater<Busy>> busy;
    int32_t register_count = 0;
    for (std::size_t variable : order) {
        const VariableSpan &span = spans[variable];
        while (!busy.empty() && busy.top().first < span.birth) {
            free_registers.push_back(busy.top().second);
            busy.pop();
        }
        int32_t chosen = 0;
        if (free_registers.empty()) {
            chosen = register_count++;
        } else {
            const auto pick = static_cast<std::size_t>(stream.below(free_registers.size()));
            chosen = free_registers[pick];
            free_registers[pick] = free_registers.back();
            free_registers.pop_back();
        }
        register_of[variable] = chosen;
        busy.emplace(span.death, chosen);
    }
    return register_of;
}

}  // namespace velnor
