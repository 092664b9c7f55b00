// The checkers gathered per point of the flow, and their use in the program:
// Debug builds verify every design the flow makes, so a broken promise stops
// the run with its name instead of passing into a report. Release builds skip
// the verification.
#pragma once

#include <string>

#include "core/design.h"
#include "synthesis/embedding.h"
#include "synthesis/list_schedule.h"

namespace velnor {

// The first broken promise of list scheduling, module binding, lifetimes,
// register allocation and the controller table under limits; empty when every
// promise holds.
std::string broken_synthesis_promise(const Design &design, const ResourceLimits &limits);

// The first broken promise of an embedding: registers, controller table and
// variant split still consistent, every examined pair apart, every confirmed
// operation on its wanted variant; empty when every promise holds.
std::string broken_embedding_promise(const Design &design, const EmbeddingConstraints &constraints);

// Debug builds: refuse (BrokenInvariant) naming the design and the broken promise.
void verify_synthesized(const Design &design, const ResourceLimits &limits, const std::string &name);
// Debug builds: refuse (BrokenInvariant) when the embedded main design or one of
// its reference designs breaks a promise.
void verify_embedded(const Design &design, const EmbeddingConstraints &constraints);

}  // namespace velnor
