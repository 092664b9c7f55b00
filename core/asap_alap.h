// Unconstrained scheduling: the earliest (ASAP) and latest (ALAP) control step
// of every operation. Their difference, the mobility, is list scheduling's priority.
#pragma once

#include "core/design.h"

namespace velnor {

// Fills asap_step and asap_steps as repeated passes in ascending id order
// would, each step listing its ids in the order placed, ending where a pass
// would place nothing (unplaceable operations get -1). Time and memory grow
// with the operations and their links, not with the number of passes.
void schedule_asap(Design &design);

// Fills alap_step and alap_steps against latency_bound in the same way.
void schedule_alap(Design &design);

// Both unconstrained schedules as every DSP core gets them: ASAP, then
// latency_bound = the number of ASAP steps, then ALAP against it.
void schedule_unconstrained(Design &design);

}  // namespace velnor
