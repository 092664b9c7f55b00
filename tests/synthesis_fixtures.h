// Small designs for the synthesis tests: a graph written in code, linked the
// way the DFG reader links it, and scheduled ASAP and ALAP the way a load does.
#pragma once

#include <vector>

#include "core/asap_alap.h"
#include "core/design.h"
#include "tests/test_support.h"

namespace velnor::test {

// Operations in file order; each names its producers by id, 0 for a primary input.
inline Design graph(const std::vector<Op> &ops) {
    Design design;
    for (const Op &op : ops) {
        if (op.first != 0)
            design.operations[op.first].successors.push_back(op.id);
        if (op.second != 0 && op.second != op.first)
            design.operations[op.second].successors.push_back(op.id);
        Operation &record = design.operations[op.id];
        record = Operation{};
        record.first_input = op.first;
        record.second_input = op.second;
        record.id = op.id;
        record.type = op.type;
        design.operation_types.insert(op.type);
    }
    return design;
}

// ASAP, the deadline from its length, then ALAP.
inline void schedule_unconstrained(Design &design) {
    schedule_asap(design);
    design.latency_bound = static_cast<int32_t>(design.asap_steps.size());
    schedule_alap(design);
}

inline Design scheduled_graph(const std::vector<Op> &ops) {
    Design design = graph(ops);
    schedule_unconstrained(design);
    return design;
}

}  // namespace velnor::test
