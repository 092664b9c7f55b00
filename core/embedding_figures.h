// Every figure of one embedding: the signature's zeros and ones, and area,
// latency, cost and probability of coincidence before embedding and after each
// phase. The window, the batch tool and the key file read the same record.
#pragma once

#include <cstdint>

#include "core/embedding_mode.h"

namespace velnor {

struct EmbeddingFigures {
    EmbeddingMode mode = EmbeddingMode::Specified;  // which constraints carry the signature
    int32_t zero_count = 0;
    int32_t one_count = 0;
    int32_t effective_one_count = 0;  // one constraints that phase 2 satisfied
    int32_t register_count_before = 0;
    double initial_area = 0, initial_latency = 0;
    double area_phase1 = 0, area_phase2 = 0;
    double latency_phase1 = 0, latency_phase2 = 0;
    double max_area = 0, max_latency = 0;
    double initial_cost = 0, cost_phase1 = 0, cost_phase2 = 0;
    double pc_phase1 = 0, pc_phase2 = 0;
    // Strong embedding only: the together constraints placed, and log10 of
    // pc_phase2, which stays finite where pc_phase2 underflows to 0.
    int32_t together_count = 0;
    double log10_pc = 0;
};

}  // namespace velnor
