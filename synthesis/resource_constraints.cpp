// The bounds of the typed resource counts and the synthesis of the main design
// once they are complete.
#include "synthesis/resource_constraints.h"

#include "core/binding.h"
#include "synthesis/register_allocation.h"

namespace velnor {

std::optional<int32_t> resource_bound(const Design &design, int32_t type) {
    switch (type) {
    case Add: return design.adder_count;
    case Multiply: return design.multiplier_count;
    case Subtract: return design.subtractor_count;
    case Compare: return design.comparator_count;
    default: return std::nullopt;
    }
}

bool constraints_complete(const Design &design) {
    for (int32_t type : design.operation_types) {
        if (type == Divide)
            continue;
        if (unit_count(design, type) < 1)
            return false;
    }
    return true;
}

ResourceLimits scheduling_limits(const Design &design) {
    ResourceLimits limits = design.resources;
    int32_t divisions = 0;
    for (const auto &entry : design.operations)
        if (entry.second.type == Divide)
            ++divisions;
    if (divisions > 0)
        limits[Divide] = divisions;
    return limits;
}

void synthesize_under_constraints(Design &design, std::ostream &log) {
    schedule_list(design, scheduling_limits(design));
    derive_lifetimes(design, log);
    allocate_registers(design);
    bind_module_variants(design);
}

}  // namespace velnor
