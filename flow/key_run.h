// The part of a run that depends on the stego key, from a run synthesized
// once: the hash chain and the embedding. Loading, list scheduling, register
// allocation, binding and the reference designs do not depend on the key, so
// many keys over one core and one set of unit counts (an exploration, forged
// ownership claims) share them instead of synthesizing again.
#pragma once

#include <cstdint>

#include "core/embedding_mode.h"
#include "flow/exploration.h"
#include "flow/flow.h"

namespace velnor {

// Runs key and size from synthesized, a run whose resource counts were
// accepted (the state right after accept_resource_constraints): the same run
// that entering the key and the size on a copy of it gives, figure for figure.
// Refused as entering them would be (the message naming the option).
FlowRun run_key(const FlowRun &synthesized, const ExplorationKey &key, int64_t size, EmbeddingMode mode);

}  // namespace velnor
