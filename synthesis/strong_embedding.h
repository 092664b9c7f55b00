// The strong embedding: every signature bit becomes a "together" constraint
// that the unsigned design breaks. A variable moves into another register that
// is free over its whole lifetime, beside a partner with which the unsigned
// allocation never shares a register; the register count, area and latency do
// not change. The choices come from a random stream seeded by the hash output,
// so the owner's key alone gives the same constraints again.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/design.h"
#include "synthesis/embedding.h"
#include "synthesis/split_mix64.h"

namespace velnor {

// The stream's seed: the first 64 characters of hash_output read as binary
// digits, most significant first.
uint64_t strong_embedding_seed(const std::string &hash_output);

// Walks the variables in an order shuffled by stream and moves each movable
// one beside a partner, until count constraints are placed or the order ends.
// design is the main design right after allocation. Returns the constraints in
// placement order as (partner, moved variable).
std::vector<std::pair<int32_t, int32_t>> place_together_constraints(Design &design, SplitMix64 &stream,
                                                                    int64_t count);

// The strong counterpart of embed_signature: the same size check, zeros and
// ones, pipeline and costs; T together constraints for the first
// min(size, 512) bits, with pc_phase1 = pc_phase2 = (1/R)^T for the R
// registers before, and log10_pc its logarithm.
Embedding embed_strong_signature(Design &design, const std::string &hash_output, int64_t size,
                                 double initial_area, double initial_latency, std::ostream &log);

}  // namespace velnor
