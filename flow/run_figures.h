// What a finished run reports, as one plain value: the figures of the key
// file, the design's size, the operations phase 2 bound and the signature.
// The batch tool prints it for one run, and an exploration keeps one per
// combination without holding on to the run's whole design.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/embedding_figures.h"
#include "flow/flow.h"

namespace velnor {

struct RunFigures {
    std::string dfg;  // the DFG file's name without its folder
    int64_t operations = 0;
    int64_t registers_after = 0;
    EmbeddingFigures figures;
    std::vector<int32_t> one_operations;  // the embedded one constraints, ascending
    std::string hash_output;
    std::string signature;  // the leading bits of hash_output that the embedding used
};

// The figures of a run that has accepted its constraint size.
RunFigures run_figures(const FlowRun &run);

}  // namespace velnor
