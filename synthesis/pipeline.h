// The synthesis pipeline: two reference designs built from the main design's
// loaded operations yield the cost normalisers max_area and max_latency.
#pragma once

#include <ostream>

#include "core/design.h"

namespace velnor {

// Builds max_area_design (the largest allowed unit counts) and
// max_latency_design (one unit per present type), sets max_area and
// max_latency, and writes "max_area:... max_latency :...\n" to log. The main
// design's own schedules and allocation are untouched.
void synthesize(Design &design, std::ostream &log);

}  // namespace velnor
