// Module binding and the figures designs are compared by: area, latency, cost.
#pragma once

#include <cstdint>

#include "core/design.h"

namespace velnor {

// Of k units of a type, the first ceil(k/2) are of variant 1 (the faster and
// larger one) and the rest of variant 2.
int32_t variant1_units(int32_t units);
int32_t variant2_units(int32_t units);

// Per control step, the first ceil(k/2) adders (multipliers) listed get
// variant 1 and the rest variant 2, k being the type's resource count.
void bind_module_variants(Design &design);

// Units of both variants plus register_count registers, summed left to right.
double compute_area(const Design &design, int32_t register_count);

// Sum over list steps of the largest delay of the step's bound adders and multipliers.
double compute_latency(const Design &design);

// 0.5 x (area / max_area + latency / max_latency); a term whose normaliser is 0 contributes 0.
double compute_cost(double area, double latency, double max_area, double max_latency);

}  // namespace velnor
