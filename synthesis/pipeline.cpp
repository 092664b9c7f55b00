// The synthesis pipeline. Two reference designs are read afresh from the main
// design's DFG file and synthesized end to end: one with the largest unit
// counts the designer may enter (its area normalises cost), one with a single
// unit of every present type (its latency normalises cost).
#include "synthesis/pipeline.h"

#include <memory>
#include <optional>
#include <sstream>

#include "core/asap_alap.h"
#include "core/binding.h"
#include "core/dfg_reader.h"
#include "synthesis/list_schedule.h"
#include "synthesis/register_allocation.h"
#include "synthesis/resource_constraints.h"

namespace velnor {

void synthesize(Design &design, std::ostream &log) {
    design.max_area_design = std::make_shared<Design>();
    design.max_latency_design = std::make_shared<Design>();
    Design &area = *design.max_area_design;
    Design &latency = *design.max_latency_design;

    read_dfg(area, design.dfg_path, log);
    read_dfg(latency, design.dfg_path, log);

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

    area.area_table = design.area_table;
    latency.area_table = design.area_table;
    area.delay_table = design.delay_table;
    latency.delay_table = design.delay_table;
    area.register_area = design.register_area;
    latency.register_area = design.register_area;
    area.register_delay = design.register_delay;
    latency.register_delay = design.register_delay;

    design.max_area = compute_area(area, static_cast<int32_t>(area.register_lifetimes.size()));
    design.max_latency = compute_latency(latency);

    // Default formatting whatever the caller's stream carries.
    std::ostringstream line;
    line << "max_area:" << design.max_area << " max_latency :" << design.max_latency << "\n";
    log << line.str();
}

}  // namespace velnor
