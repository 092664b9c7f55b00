// The resource constraints a designer types: each type's bound, whether every
// present type has a count, and synthesizing the main design under them.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

#include "core/design.h"
#include "synthesis/list_schedule.h"

namespace velnor {

// The largest count the designer may type for Add, Multiply (the library's
// largest numbers) or Subtract, Compare (the DSP core's number of such
// operations); nullopt for a type that has no count (Divide).
std::optional<int32_t> resource_bound(const Design &design, int32_t type);

// True once every present type other than Divide has a count of at least 1.
bool constraints_complete(const Design &design);

// The limits handed to list scheduling: the design's resources plus, for
// divisions, one unit per Divide operation (divisions are unconstrained).
ResourceLimits scheduling_limits(const Design &design);

// List scheduling, lifetimes, register allocation and module binding of the main design.
void synthesize_under_constraints(Design &design, std::ostream &log);

}  // namespace velnor
