// Signature embedding: each zero of the signature keeps a pair of variables in
// different registers (phase 1), each one binds an operation to a fixed module
// variant (phase 2). Reports area, latency, cost and the probability of
// coincidence before embedding and after each phase.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/design.h"
#include "core/embedding_figures.h"
#include "core/refusal.h"

namespace velnor {

// The constraints one embedding placed: what a checker, a view or a later
// verification of the design needs to know, enumerated once.
struct EmbeddingConstraints {
    // The pairs of variables phase 1 examined, in its order: each zero of the
    // signature promises its pair sits in different registers.
    std::vector<std::pair<int32_t, int32_t>> zero_pairs;
    // The operations whose wanted variant phase 2 confirmed (variant 1 for an
    // odd id, 2 for an even one), ascending.
    std::vector<int32_t> one_operations;
    // Strong embedding: the together constraints in placement order, each
    // (partner, moved variable), promising that the two share a register.
    std::vector<std::pair<int32_t, int32_t>> together_pairs;
};

struct Embedding {
    EmbeddingFigures figures;
    EmbeddingConstraints constraints;
};

// The pairs of odd variables (1,3), (1,5), ..., (3,5), ... of variable_count
// variables, until zeros pairs (at least one) or the pairs run out.
std::vector<std::pair<int32_t, int32_t>> examined_pairs(int32_t variable_count, int32_t zeros);

// The variant phase 2 wants for an operation: 1 for an odd id, 2 for an even one.
ModuleVariant wanted_variant(int32_t id);

// Phase 1: keeps each examined pair apart; returns the pairs.
std::vector<std::pair<int32_t, int32_t>> embed_zero_constraints(Design &design, int32_t zeros, std::ostream &log);
void separate_variables(Design &design, int32_t r, int32_t j, int32_t i, std::ostream &log);
bool register_clear_before(Design &design, int32_t r, int32_t b, int32_t i);
// Phase 2: binds operations 1..ones to their wanted variant where the step
// allows; returns the operations confirmed.
std::vector<int32_t> embed_one_constraints(Design &design, int32_t ones);
void force_variant(Design &design, int32_t id, ModuleVariant want);

// k(k+1)/2 for k variables.
int64_t largest_constraint_size(const Design &design);

// The figures every embedding starts from: the size checked (refused with
// ConstraintSize before anything changes), the zeros and ones of the first
// min(size, 512) bits of hash_output, the registers before, the initial figures.
EmbeddingFigures signature_figures(const Design &design, const std::string &hash_output, int64_t size,
                                   double initial_area, double initial_latency);

// Once the constraints are placed and the area and latency of each phase set:
// writes those to log, then the reference designs' listing and figures, and
// computes the costs. The design's reference designs are used as they are;
// only a design without them has them built here.
void finish_figures(Design &design, EmbeddingFigures &figures, std::ostream &log);

// Embeds the first min(size, 512) bits of hash_output and runs the pipeline.
// initial_area and initial_latency are the figures before embedding. A size
// out of range is refused (ConstraintSize) before anything changes.
Embedding embed_signature(Design &design, const std::string &hash_output, int64_t size, double initial_area,
                          double initial_latency, std::ostream &log);

}  // namespace velnor
