// The synthesis pipeline. Two reference designs are built from the main
// design's loaded operations and synthesized: one with the largest unit counts
// the designer may enter (its area normalises cost), one with a single unit of
// every present type (its latency normalises cost). No file is read again: a
// pipe or a FIFO given as the DFG has been consumed by loading, and a file may
// have changed since. Each reference is synthesized as far as its figure needs:
// the area counts registers, the latency only needs the schedule and binding,
// and its variables are derived only for the listing a log shows later.
#include "synthesis/pipeline.h"

#include <memory>
#include <optional>
#include <utility>

#include "core/binding.h"
#include "core/figure_text.h"
#include "synthesis/list_schedule.h"
#include "synthesis/register_allocation.h"
#include "synthesis/resource_constraints.h"

namespace velnor {
namespace {

// What was loaded: each operation's operands, id, type and consumers, and
// its ASAP and ALAP steps (loading scheduled the operations unconstrained and
// nothing moves them since), with every later field fresh, and the library's values.
void copy_loaded(const Design &from, Design &to) {
    to.operations.reserve(from.operations.size());
    for (const auto &[id, op] : from.operations) {
        Operation &copy = to.operations[id];
        copy.first_input = op.first_input;
        copy.second_input = op.second_input;
        copy.id = op.id;
        copy.type = op.type;
        copy.asap_step = op.asap_step;
        copy.alap_step = op.alap_step;
    }
    to.successors = from.successors;
    to.asap_steps = from.asap_steps;
    to.alap_steps = from.alap_steps;
    to.latency_bound = from.latency_bound;
    to.operation_types = from.operation_types;
    to.dfg_path = from.dfg_path;
    to.area_table = from.area_table;
    to.delay_table = from.delay_table;
    to.register_area = from.register_area;
    to.register_delay = from.register_delay;
}

// The figure a reference design is made for.
enum class Figure { Area, Latency };

// A reference design synthesized from start (the loaded operations and
// library values with their ASAP and ALAP schedules), with units as its unit
// counts; limits_of gives list scheduling's limits from the reference. The
// max-latency design derives its variables only for the "next variable"
// listing, and neither keeps a controller table.
std::shared_ptr<const Design> reference_design(Design start, const ResourceLimits &units,
                                               ResourceLimits (*limits_of)(const Design &), Figure figure) {
    auto reference = std::make_shared<Design>(std::move(start));
    reference->resources = units;
    schedule_list(*reference, limits_of(*reference));
    std::ostream quiet(nullptr);
    derive_lifetimes(*reference, quiet);
    if (figure == Figure::Area)
        assign_registers(*reference);
    bind_module_variants(*reference);
    return reference;
}

ResourceLimits units_as_limits(const Design &reference) { return reference.resources; }

}  // namespace

void build_reference_designs(Design &design) {
    ResourceLimits largest;
    ResourceLimits one_each;
    for (int32_t type : design.operation_types) {
        if (const std::optional<int32_t> bound = resource_bound(design, type))
            largest[type] = *bound;
        one_each[type] = 1;
    }
    Design start;
    copy_loaded(design, start);
    // The max-area design has no count for divisions and may run every
    // division at once; the max-latency design has one unit for them too.
    design.max_area_design = reference_design(start, largest, scheduling_limits, Figure::Area);
    design.max_latency_design = reference_design(std::move(start), one_each, units_as_limits, Figure::Latency);

    const Design &area = *design.max_area_design;
    design.max_area = compute_area(area, static_cast<int32_t>(area.register_lifetimes.size()));
    design.max_latency = compute_latency(*design.max_latency_design);
}

void write_reference_figures(const Design &design, std::ostream &log) {
    if (!log)
        return;
    if (design.max_area_design)
        log << next_variable_listing(*design.max_area_design);
    if (design.max_latency_design)
        log << next_variable_listing(*design.max_latency_design);
    log << "max_area:" + figure_text(design.max_area) + " max_latency :" + figure_text(design.max_latency) + "\n";
}

void synthesize(Design &design, std::ostream &log) {
    build_reference_designs(design);
    write_reference_figures(design, log);
}

}  // namespace velnor
