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

}  // namespace

void synthesize(Design &design, std::ostream &log) {
    design.max_area_design = std::make_shared<Design>();
    design.max_latency_design = std::make_shared<Design>();
    Design &area = *design.max_area_design;
    Design &latency = *design.max_latency_design;

    copy_loaded(design, area);
    copy_loaded(design, latency);

    for (int32_t type : design.operation_types)
        latency.resources[type] = 1;
    for (int32_t type : design.operation_types)
        if (const std::optional<int32_t> bound = resource_bound(design, type))
            area.resources[type] = *bound;

    schedule_unconstrained(area);
    schedule_unconstrained(latency);

    // The max-latency design already has one unit for divisions; the max-area
    // design has no count for them and may run every division at once.
    schedule_list(latency, latency.resources);
    schedule_list(area, scheduling_limits(area));

    derive_lifetimes(area, log);
    derive_lifetimes(latency, log);
    allocate_registers(area);
    allocate_registers(latency);

    bind_module_variants(area);
    bind_module_variants(latency);

    design.max_area = compute_area(area, static_cast<int32_t>(area.register_lifetimes.size()));
    design.max_latency = compute_latency(latency);

    // Default formatting whatever the caller's stream carries.
    std::ostringstream line;
    line << "max_area:" << design.max_area << " max_latency :" << design.max_latency << "\n";
    log << line.str();
}

}  // namespace velnor
