// The run the window's benchmarks share: the largest DSP core the hash chain
// takes (895 operations) through the whole flow, with 4 adders and 4
// multipliers, rule 7, two blocks of 80 rounds and a constraint size of 512.
#pragma once

#include "flow/flow.h"

namespace velnor::bench {

const FlowRun &largest_run();

}  // namespace velnor::bench
