// Runs the schedule and embedding checkers in the order their promises build
// on each other: a table before the schedule it holds, lifetimes before the
// registers that hold them.
#include "synthesis/design_checks.h"

#include "core/refusal.h"
#include "synthesis/embedding_checks.h"
#include "synthesis/resource_constraints.h"
#include "synthesis/schedule_checks.h"

namespace velnor {
namespace {

// The first non-empty finding.
std::string first_of(std::initializer_list<std::string (*)(const Design &)> checks, const Design &design) {
    for (const auto check : checks)
        if (std::string broken = check(design); !broken.empty())
            return broken;
    return {};
}

std::string list_table(const Design &design) {
    return check_step_table(design, design.list_steps, &Operation::list_step, "list", true);
}

[[maybe_unused]] void refuse_broken(const std::string &name, const std::string &broken) {
    if (!broken.empty())
        throw Refusal(Refusal::Reason::BrokenInvariant, name + ": " + broken);
}

}  // namespace

std::string broken_schedule_promise(const Design &design, const ResourceLimits &limits) {
    if (std::string broken = first_of({list_table, check_precedence, check_variant_quota}, design); !broken.empty())
        return broken;
    return check_step_limits(design, limits);
}

std::string broken_synthesis_promise(const Design &design, const ResourceLimits &limits) {
    if (std::string broken = broken_schedule_promise(design, limits); !broken.empty())
        return broken;
    return first_of({check_lifetimes, check_registers, check_controller_table, check_controller_table_unchanged},
                    design);
}

std::string broken_max_area_promise(const Design &reference) {
    if (std::string broken = broken_schedule_promise(reference, scheduling_limits(reference)); !broken.empty())
        return broken;
    return first_of({check_lifetimes, check_registers}, reference);
}

std::string broken_max_latency_promise(const Design &reference) {
    return broken_schedule_promise(reference, reference.resources);
}

std::string broken_embedding_promise(const Design &design, const EmbeddingConstraints &constraints) {
    if (std::string broken = first_of(
            {check_register_lifetimes, check_registers, check_controller_table, check_variant_quota}, design);
        !broken.empty())
        return broken;
    if (std::string broken = check_examined_pairs_apart(design, constraints); !broken.empty())
        return broken;
    if (std::string broken = check_together_pairs_share(design, constraints); !broken.empty())
        return broken;
    return check_one_constraints(design, constraints);
}

std::string broken_allocation_promise(const Design &design) {
    return first_of({check_register_lifetimes, check_registers, check_controller_table}, design);
}

#ifdef NDEBUG
void verify_synthesized(const Design &, const ResourceLimits &, const std::string &) {}
void verify_embedded(const Design &, const EmbeddingConstraints &) {}
void verify_allocation(const Design &, const std::string &) {}
#else
void verify_allocation(const Design &design, const std::string &name) {
    refuse_broken(name, broken_allocation_promise(design));
}

void verify_synthesized(const Design &design, const ResourceLimits &limits, const std::string &name) {
    refuse_broken(name, broken_synthesis_promise(design, limits));
}

void verify_embedded(const Design &design, const EmbeddingConstraints &constraints) {
    if (design.max_area_design)
        refuse_broken("max-area design", broken_max_area_promise(*design.max_area_design));
    if (design.max_latency_design)
        refuse_broken("max-latency design", broken_max_latency_promise(*design.max_latency_design));
    refuse_broken("embedded design", broken_embedding_promise(design, constraints));
}
#endif

}  // namespace velnor
