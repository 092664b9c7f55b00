// Module binding and the figures designs are compared by. In every control step
// the first half of a type's units (rounded up) are of variant 1, the faster
// and larger one, and the rest of variant 2. Lookups never add records: an
// absent resource count, table entry or operation reads as 0 or unbound.
#include "core/binding.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velnor {
namespace {

std::pair<double, double> table_entry(const std::map<int32_t, std::pair<double, double>> &table, int32_t type) {
    const auto it = table.find(type);
    return it == table.end() ? std::pair<double, double>{0.0, 0.0} : it->second;
}

// The delay of one operation under its bound variant; 0 for unbound operations
// and for types without library values.
double operation_delay(const Design &design, const Operation &op) {
    if (op.type != Add && op.type != Multiply)
        return 0.0;
    const std::pair<double, double> delays = table_entry(design.delay_table, op.type);
    if (op.variant == 1)
        return delays.first;
    if (op.variant == 2)
        return delays.second;
    return 0.0;
}

}  // namespace

int32_t variant1_units(int32_t units) { return static_cast<int32_t>(std::ceil(units / 2.0)); }
int32_t variant2_units(int32_t units) { return static_cast<int32_t>(std::floor(units / 2.0)); }

void bind_module_variants(Design &design) {
    const int32_t adder_quota = variant1_units(unit_count(design, Add));
    const int32_t multiplier_quota = variant1_units(unit_count(design, Multiply));
    if (!design.operations.empty()) {
        const auto highest_id = static_cast<std::size_t>(std::max(design.operations.rbegin()->first, 0));
        if (design.variant_of.size() <= highest_id)
            design.variant_of.resize(highest_id + 1, 0);
    }
    for (const auto &[step, ids] : design.list_steps) {
        int32_t adders_left = adder_quota;
        int32_t multipliers_left = multiplier_quota;
        for (const int32_t id : ids) {
            const auto it = design.operations.find(id);
            if (it == design.operations.end())
                continue;
            Operation &op = it->second;
            int32_t *quota = op.type == Add ? &adders_left : op.type == Multiply ? &multipliers_left : nullptr;
            if (!quota)
                continue;
            ModuleVariant variant = 2;
            if (*quota > 0) {
                variant = 1;
                --*quota;
            }
            op.variant = variant;
            design.variant_of[static_cast<std::size_t>(id)] = variant;
        }
    }
}

double compute_area(const Design &design, int32_t register_count) {
    const int32_t adders = unit_count(design, Add);
    const int32_t multipliers = unit_count(design, Multiply);
    const std::pair<double, double> adder_area = table_entry(design.area_table, Add);
    const std::pair<double, double> multiplier_area = table_entry(design.area_table, Multiply);
    double area = 0.0;
    area += variant1_units(adders) * adder_area.first;
    area += variant2_units(adders) * adder_area.second;
    area += variant1_units(multipliers) * multiplier_area.first;
    area += variant2_units(multipliers) * multiplier_area.second;
    area += register_count * design.register_area;
    return area;
}

double compute_latency(const Design &design) {
    double latency = 0.0;
    for (const auto &[step, ids] : design.list_steps) {
        double step_delay = 0.0;
        for (const int32_t id : ids) {
            const auto it = design.operations.find(id);
            if (it != design.operations.end())
                step_delay = std::max(step_delay, operation_delay(design, it->second));
        }
        latency += step_delay;
    }
    return latency;
}

double compute_cost(double area, double latency, double max_area, double max_latency) {
    const double area_term = max_area == 0.0 ? 0.0 : area / max_area;
    const double latency_term = max_latency == 0.0 ? 0.0 : latency / max_latency;
    return 0.5 * (area_term + latency_term);
}

}  // namespace velnor
