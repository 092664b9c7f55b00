// The synthesis pipeline. Two reference designs are built from the main
// design's loaded operations and synthesized end to end: one with the largest
// unit counts the designer may enter (its area normalises cost), one with a
// single unit of every present type (its latency normalises cost). No file is
// read again: a pipe or a FIFO given as the DFG has been consumed by loading,
// and a file may have changed since.
#include "synthesis/pipeline.h"

#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "core/asap_alap.h"
#include "core/binding.h"
#include "synthesis/list_schedule.h"
#include "synthesis/register_allocation.h"
#include "synthesis/resource_constraints.h"

namespace velnor {
namespace {

// What was loaded: each operation's operands, id, type and consumers, with
// every schedule, variable and binding field fresh, and the library's values.
void copy_loaded(const Design &from, Design &to) {
    to.operations.reserve(from.operations.size());
    for (const auto &[id, op] : from.operations) {
        Operation &copy = to.operations[id];
        copy.first_input = op.first_input;
        copy.second_input = op.second_input;
        copy.id = op.id;
        copy.type = op.type;
        copy.successors = op.successors;
    }
    to.operation_types = from.operation_types;
    to.dfg_path = from.dfg_path;
    to.area_table = from.area_table;
    to.delay_table = from.delay_table;
    to.register_area = from.register_area;
    to.register_delay = from.register_delay;
}

// A reference design synthesized end to end from start (the loaded
// operations and library values with their ASAP and ALAP schedules), with
// units as its unit counts; limits_of gives list scheduling's limits from the
// reference. The "next variable" listing goes to log.
std::shared_ptr<Design> reference_design(Design start, const ResourceLimits &units,
                                         ResourceLimits (*limits_of)(const Design &), std::ostream &log) {
    auto reference = std::make_shared<Design>(std::move(start));
    reference->resources = units;
    schedule_list(*reference, limits_of(*reference));
    derive_lifetimes(*reference, log);
    allocate_registers(*reference);
    bind_module_variants(*reference);
    return reference;
}

ResourceLimits units_as_limits(const Design &reference) { return reference.resources; }

}  // namespace

void synthesize(Design &design, std::ostream &log) {
    ResourceLimits largest;
    ResourceLimits one_each;
    for (int32_t type : design.operation_types) {
        if (const std::optional<int32_t> bound = resource_bound(design, type))
            largest[type] = *bound;
        one_each[type] = 1;
    }
    // Both references share the operations and so the unconstrained schedules.
    Design start;
    copy_loaded(design, start);
    schedule_unconstrained(start);
    // The max-area design has no count for divisions and may run every
    // division at once; the max-latency design has one unit for them too.
    design.max_area_design = reference_design(start, largest, scheduling_limits, log);
    design.max_latency_design = reference_design(std::move(start), one_each, units_as_limits, log);

    const Design &area = *design.max_area_design;
    design.max_area = compute_area(area, static_cast<int32_t>(area.register_lifetimes.size()));
    design.max_latency = compute_latency(*design.max_latency_design);

    // Default formatting whatever the caller's stream carries.
    std::ostringstream line;
    line << "max_area:" << design.max_area << " max_latency :" << design.max_latency << "\n";
    log << line.str();
}

}  // namespace velnor
