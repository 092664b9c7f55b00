// Resource-constrained list scheduling: every operation gets a control step so
// that no step uses more units of a type than allowed, least mobility first.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "core/design.h"

namespace velnor {

using ResourceLimits = std::map<int32_t, int32_t>;  // OperationType -> units per step

// Fills list_step, list_steps (ids ascending per step) and released_operations.
// Needs ASAP and ALAP first. Stops when a step places nothing while operations
// are ready; those keep list_step -1.
void schedule_list(Design &design, ResourceLimits limits);

// Appends to released the successors of id whose operand producers are all
// placed and that were not released before; an operand 0 (primary input) never
// blocks a release. counters holds, by id, how often each producer has been
// checked (grown as needed).
void release_successors(Design &design, int32_t id, std::vector<int32_t> &counters, std::vector<int32_t> &released);

}  // namespace velnor
