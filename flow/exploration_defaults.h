// The lists an exploration starts from before the designer edits them, fitted
// to one loaded DSP core: unit counts only for the types the core holds and
// within their bounds, and constraint sizes every synthesis of the core takes.
#pragma once

#include <vector>

#include "core/design.h"

namespace velnor {

struct ExplorationDefaults {
    // Empty for a type the DSP core lacks: the field left empty.
    std::vector<int> adders, multipliers, subtractors, comparators;
    std::vector<int> sizes;
};

// For each type the core holds, counts spread from 1 to the most units it can
// use: its bound (resource_bound), and no more than the widest step of the
// unconstrained (ASAP) schedule holds of that type, since further units sit
// idle. Four counts a type when the core holds at most two of the four types,
// two otherwise, so that the resource lists make at most 16 combinations.
// Sizes: an eighth, a quarter, a half and all of the largest useful size,
// min(512 bits of hash output, n(n+1)/2) for n operations (a core has at
// least n variables, so every synthesis takes these sizes).
ExplorationDefaults exploration_defaults(const Design &core);

}  // namespace velnor
