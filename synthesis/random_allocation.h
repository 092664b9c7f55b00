// Random register allocations of a set of variables: what an allocator that
// knows nothing of any signature could produce. Verification draws many of
// them to see how often a constraint holds by chance.
#pragma once

#include <cstdint>
#include <vector>

#include "synthesis/split_mix64.h"

namespace velnor {

struct VariableSpan {
    int32_t birth = 0;
    int32_t death = 0;
};

// One allocation: the variables are taken in order of birth, ties in an order
// shuffled by stream; each goes into a register chosen uniformly among those
// whose last variable died before its birth, and into a new register only when
// none is free. Returns the register (0-based) of each variable, in the order
// of spans.
std::vector<int32_t> random_register_allocation(const std::vector<VariableSpan> &spans, SplitMix64 &stream);

}  // namespace velnor
