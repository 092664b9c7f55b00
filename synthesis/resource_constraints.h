// The resource constraints a designer types: checking one count against its
// bound, and synthesizing the main design once every present type has a count.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "core/design.h"
#include "synthesis/list_schedule.h"

namespace velnor {

struct ResourceEntryVerdict {
    enum Outcome { NotNeeded, Accepted, Refused };
    Outcome outcome = Refused;
    std::string message;  // the error box text; empty when the refusal shows no box
};

// Checks a typed count for Add, Multiply, Subtract or Compare against the
// design's bound; NotNeeded when the DFG has no operation of that type.
ResourceEntryVerdict check_resource_entry(const Design &design, int32_t type, int32_t count);

// The largest count the designer may type for Add, Multiply, Subtract or
// Compare (0 for any other type).
int32_t resource_bound(const Design &design, int32_t type);

// True once every present type other than Divide has a count of at least 1.
bool constraints_complete(const Design &design);

// The limits handed to list scheduling: the design's resources plus, for
// divisions, one unit per Divide operation (divisions are unconstrained).
ResourceLimits scheduling_limits(const Design &design);

// List scheduling, lifetimes, register allocation and module binding of the main design.
void synthesize_under_constraints(Design &design, std::ostream &log);

}  // namespace velnor
