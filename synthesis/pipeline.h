// The synthesis pipeline: two reference designs built from the main design's
// loaded operations yield the cost normalisers max_area and max_latency. They
// depend only on the loaded DSP core and the library, so a synthesized run
// builds them once and every key and size embedded from it reuses them.
#pragma once

#include <ostream>

#include "core/design.h"

namespace velnor {

// Builds max_area_design (the largest allowed unit counts) and
// max_latency_design (one unit per present type) and sets max_area and
// max_latency. The main design's own schedules and allocation are untouched.
void build_reference_designs(Design &design);

// What the reference designs show, as synthesize writes it: the "next
// variable" listing of the max-area design, then of the max-latency design,
// then "max_area:... max_latency :...\n". Nothing to a log that does not write.
void write_reference_figures(const Design &design, std::ostream &log);

// Builds the reference designs and writes them to log.
void synthesize(Design &design, std::ostream &log);

}  // namespace velnor
