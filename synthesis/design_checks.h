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

// The first broken promise of list scheduling and module binding under
// limits; empty when every promise holds.
std::string broken_schedule_promise(const Design &design, const ResourceLimits &limits);

// The same, then lifetimes, register allocation and the controller table.
std::string broken_synthesis_promise(const Design &design, const ResourceLimits &limits);

// What each reference design holds: the max-area design its schedule,
// binding, lifetimes and registers (its area counts them), the max-latency
// design its schedule and binding.
std::string broken_max_area_promise(const Design &reference);
std::string broken_max_latency_promise(const Design &reference);

// The first broken promise of an embedding: registers, controller table and
// variant split still consistent, every examined pair apart, every confirmed
// operation on its wanted variant; empty when every promise holds.
std::string broken_embedding_promise(const Design &design, const EmbeddingConstraints &constraints);

// Debug builds: refuse (BrokenInvariant) naming the design and the broken promise.
void verify_synthesized(const Design &design, const ResourceLimits &limits, const std::string &name);
// Debug builds: refuse (BrokenInvariant) when the embedded main design or one of
// its reference designs breaks a promise.
void verify_embedded(const Design &design, const EmbeddingConstraints &constraints);

// The register allocation alone: every variable in the register register_of
// names, no two lifetimes of one register overlapping, the controller table in
// step with both. Empty when kept.
std::string broken_allocation_promise(const Design &design);

// In Debug builds, refuses (BrokenInvariant) a design whose allocation is
// broken, naming it; in other builds, does nothing.
void verify_allocation(const Design &design, const std::string &name);

}  // namespace velnor
