// Signature embedding: each zero of the signature keeps a pair of variables in
// different registers (phase 1), each one binds an operation to a fixed module
// variant (phase 2). Reports area, latency, cost and the probability of
// coincidence before embedding and after each phase.
#pragma once

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>

#include "core/design.h"

namespace velnor {

void embed_zero_constraints(Design &design, int32_t zeros, std::ostream &log);
void separate_variables(Design &design, int32_t r, int32_t j, int32_t i, std::ostream &log);
bool register_clear_before(Design &design, int32_t r, int32_t b, int32_t i);
void embed_one_constraints(Design &design, int32_t ones);
void force_variant(Design &design, int32_t id, ModuleVariant want);
void remove_from_register(Design &design, int32_t r, int32_t variable);

// Every figure the embedding computes, stored alike by the window and the batch tool.
struct EmbeddingFigures {
    int32_t zero_count = 0;
    int32_t one_count = 0;
    int32_t effective_one_count = 0;
    int32_t register_count_before = 0;
    double initial_area = 0, initial_latency = 0;
    double area_phase1 = 0, area_phase2 = 0;
    double latency_phase1 = 0, latency_phase2 = 0;
    double max_area = 0, max_latency = 0;
    double initial_cost = 0, cost_phase1 = 0, cost_phase2 = 0;
    double pc_phase1 = 0, pc_phase2 = 0;
};

// A constraint size outside 0 .. largest_constraint_size.
struct ConstraintSizeError : std::out_of_range {
    using std::out_of_range::out_of_range;
};

// k(k+1)/2 for k variables.
int64_t largest_constraint_size(const Design &design);

// Embeds the first min(size, 512) bits of hash_output and runs the pipeline.
// initial_area and initial_latency are the figures before embedding. Throws
// ConstraintSizeError (before changing anything) for a size out of range.
EmbeddingFigures embed_signature(Design &design, const std::string &hash_output, int64_t size,
                                 double initial_area, double initial_latency, std::ostream &log);

}  // namespace velnor
