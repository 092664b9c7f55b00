// A run of the flow's stages over a DSP core file up to the hash chain, with
// the test data's library: the starting point of the tests that embed a
// signature and verify designs.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/loading.h"
#include "flow/flow.h"
#include "tests/test_support.h"

namespace velnor::test {

// The number line of values, as a user types them ("80 64").
inline NumberLine number_line(const std::vector<int> &values) {
    NumberLine line;
    for (int v : values)
        line.text += (line.text.empty() ? "" : " ") + std::to_string(v);
    line.values = values;
    return line;
}

// The run right after the resource counts: the core loaded and synthesized.
inline FlowRun synthesized_run(const std::string &dfg_path, int adders, int multipliers, int subtractors,
                               int comparators) {
    std::ostringstream log;
    FlowRun run;
    load_dsp_core(run.design, dfg_path, log);
    load_module_library(run.design, data_path("lib/library_a.txt"));
    accept_resource_count(run, Add, adders, log);
    accept_resource_count(run, Multiply, multipliers, log);
    accept_resource_count(run, Subtract, subtractors, log);
    accept_resource_count(run, Compare, comparators, log);
    accept_resource_constraints(run, log);
    return run;
}

// The run right before the embedding: the core loaded, the unit counts and
// the key (encodings, order, rounds) accepted; the constraint size is left to
// the caller.
inline FlowRun hashed_run(const std::string &dfg_path, int adders, int multipliers, int subtractors,
                          int comparators, const std::vector<int> &encodings, const std::string &order,
                          const std::vector<int> &rounds) {
    std::ostringstream log;
    FlowRun run = synthesized_run(dfg_path, adders, multipliers, subtractors, comparators);
    accept_encoding_count(run, static_cast<int>(encodings.size()));
    accept_encodings(run, number_line(encodings));
    accept_order_key(run, order, log);
    accept_rounds(run, number_line(rounds), log);
    return run;
}

}  // namespace velnor::test
