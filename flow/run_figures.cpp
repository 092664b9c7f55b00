// Copies a finished run's figures out of its design and embedding.
#include "flow/run_figures.h"

namespace velnor {

RunFigures run_figures(const FlowRun &run) {
    RunFigures result;
    result.dfg = run.design.dfg_name;
    result.operations = static_cast<int64_t>(run.design.operations.size());
    result.registers_after = static_cast<int64_t>(run.design.register_lifetimes.size());
    result.figures = run.embedding.figures;
    result.one_operations = run.embedding.constraints.one_operations;
    result.hash_output = run.hash_output;
    result.signature = embedded_signature(run);
    return result;
}

}  // namespace velnor
