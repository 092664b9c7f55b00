#include "flow/exploration_defaults.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "synthesis/resource_constraints.h"

namespace velnor {
namespace {

constexpr int64_t hash_output_bits = 512;

// count values from 1 to most, evenly spread, each once.
std::vector<int> spread(int most, int count) {
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        const int value = count == 1 ? most : 1 + static_cast<int>((static_cast<int64_t>(i) * (most - 1) +
                                                                    (count - 1) / 2) / (count - 1));
        if (values.empty() || values.back() != value)
            values.push_back(value);
    }
    return values;
}

}  // namespace

ExplorationDefaults exploration_defaults(const Design &core) {
    std::map<int32_t, int> widest;  // type -> most operations of it in one ASAP step
    for (const auto &step : core.asap_steps) {
        std::map<int32_t, int> here;
        for (int32_t id : step.second)
            if (const Operation *operation = find_operation(core, id))
                ++here[operation->type];
        for (const auto &[type, count] : here)
            widest[type] = std::max(widest[type], count);
    }
    const int32_t types[] = {Add, Multiply, Subtract, Compare};
    const auto held = std::count_if(std::begin(types), std::end(types),
                                    [&](int32_t type) { return core.operation_types.count(type) > 0; });
    const int per_type = held <= 2 ? 4 : 2;
    const auto counts = [&](int32_t type) -> std::vector<int> {
        const int most = std::min(resource_bound(core, type).value_or(0), widest[type]);
        if (core.operation_types.count(type) == 0 || most < 1)
            return {};
        return spread(most, std::min(per_type, most));
    };

    ExplorationDefaults defaults;
    defaults.adders = counts(Add);
    defaults.multipliers = counts(Multiply);
    defaults.subtractors = counts(Subtract);
    defaults.comparators = counts(Compare);
    const auto n = static_cast<int64_t>(core.operations.size());
    const auto largest = static_cast<int>(std::min(hash_output_bits, n * (n + 1) / 2));
    for (int divisor : {8, 4, 2, 1})
        if (largest / divisor > 0 && (defaults.sizes.empty() || defaults.sizes.back() != largest / divisor))
            defaults.sizes.push_back(largest / divisor);
    return defaults;
}

}  // namespace velnor
