// Unconstrained scheduling: the earliest (ASAP) and latest (ALAP) control step
// of every operation. Their difference, the mobility, is list scheduling's priority.
#pragma once

#include "core/design.h"

namespace velnor {

// Fills asap_step and asap_steps by repeated passes in ascending id order;
// stops after a pass that places nothing (unplaceable operations keep -1).
void schedule_asap(Design &design);

// Fills alap_step and alap_steps against latency_bound; stops after a pass in
// which every operation was done or nothing was placed.
void schedule_alap(Design &design);

// Both unconstrained schedules as every DSP core gets them: ASAP, then
// latency_bound = the number of ASAP steps, then ALAP against it.
void schedule_unconstrained(Design &design);

}  // namespace velnor
