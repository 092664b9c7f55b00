// Checking the typed resource counts and synthesizing the main design once
// they are complete. The window's four fields and the batch tool share these.
#include "synthesis/resource_constraints.h"

#include "core/binding.h"
#include "synthesis/register_allocation.h"

namespace velnor {
namespace {

struct EntryRule {
    int32_t Design::*bound;
    const char *zero_message;  // nullptr: a zero is refused without a message
    const char *range_message;  // followed by the bound
};

const EntryRule *entry_rule(int32_t type) {
    static const EntryRule adder{&Design::adder_count, nullptr,
                                 "Please feed the correct resource constraint. \nRequired adder should be less than  "};
    static const EntryRule multiplier{
        &Design::multiplier_count, "Enter a non-zero number for multiplier",
        "please feed the correct resource constraint for multiplier.\nRequired multiplier should be less than or "
        "equal to "};
    static const EntryRule subtractor{
        &Design::subtractor_count, "number of subtractor should be non-negative.",
        "Please feed the correct resource constraint for subtractor!\nnumber of subtractor should be less than or "
        "equal to "};
    static const EntryRule comparator{
        &Design::comparator_count, "number of comparator should be non-negative .",
        "Please feed the correct resource constraint for comparator!\nnumber of comparator should be less than or "
        "equal to "};
    switch (type) {
    case Add: return &adder;
    case Multiply: return &multiplier;
    case Subtract: return &subtractor;
    case Compare: return &comparator;
    default: return nullptr;
    }
}

}  // namespace

int32_t resource_bound(const Design &design, int32_t type) {
    const EntryRule *rule = entry_rule(type);
    return rule ? design.*(rule->bound) : 0;
}

ResourceEntryVerdict check_resource_entry(const Design &design, int32_t type, int32_t count) {
    const EntryRule *rule = entry_rule(type);
    if (!rule || design.operation_types.count(type) == 0)
        return {ResourceEntryVerdict::NotNeeded, {}};
    if (count == 0)
        return {ResourceEntryVerdict::Refused, rule->zero_message ? rule->zero_message : ""};
    const int32_t bound = resource_bound(design, type);
    if (count < 0 || count > bound)
        return {ResourceEntryVerdict::Refused, rule->range_message + std::to_string(bound)};
    return {ResourceEntryVerdict::Accepted, {}};
}

bool constraints_complete(const Design &design) {
    for (int32_t type : design.operation_types) {
        if (type == Divide)
            continue;
        const auto limit = design.resources.find(type);
        if (limit == design.resources.end() || limit->second < 1)
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
