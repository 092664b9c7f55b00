// Designs for the synthesis tests: a graph written in code, linked the way the
// DFG reader links it and scheduled ASAP and ALAP the way a load does; a DSP
// core file loaded and synthesized as the window does it; random graphs that
// keep the file format's promises.
#pragma once

#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/asap_alap.h"
#include "core/design.h"
#include "core/loading.h"
#include "synthesis/register_allocation.h"
#include "synthesis/resource_constraints.h"
#include "tests/test_support.h"

namespace velnor::test {

// Operations in file order; each names its producers by id, 0 for a primary input.
inline Design graph(const std::vector<Op> &ops) {
    Design design;
    std::vector<std::pair<int32_t, int32_t>> links;
    for (const Op &op : ops) {
        if (op.first != 0)
            links.emplace_back(op.first, op.id);
        if (op.second != 0 && op.second != op.first)
            links.emplace_back(op.second, op.id);
        Operation &record = design.operations[op.id];
        record.first_input = op.first;
        record.second_input = op.second;
        record.id = op.id;
        record.type = op.type;
        design.operation_types.insert(op.type);
    }
    link_successors(design, std::move(links));
    return design;
}

// The graph scheduled ASAP, given the deadline of its length, then ALAP.
inline Design scheduled_graph(const std::vector<Op> &ops) {
    Design design = graph(ops);
    schedule_unconstrained(design);
    return design;
}

// The DSP core of dfg_path with library A, synthesized under counts.
inline Design synthesized(const std::string &dfg_path, const std::map<int32_t, int32_t> &counts) {
    Design design;
    std::ostringstream log;
    load_dsp_core(design, dfg_path, log);
    load_module_library(design, data_path("lib/library_a.txt"));
    design.resources = counts;
    synthesize_under_constraints(design, log);
    return design;
}

// Operation i placed in step i: 1 and 2 on primary inputs, 3 multiplies 1's
// result by a primary input (mixed), 4 adds 3 to itself, 5 subtracts 1's result
// from 4's; no variants bound. The lifetimes and registers, worked out by hand:
// r1 in:1 [0,0], op:1 [1,4], op:5 [5,5]; r2 in:2 [0,1], op:2 [2,5];
// r3 in:3 [0,2], op:3 [3,3], op:4 [4,4].
inline Design hand_placed() {
    Design design = graph({{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Multiply, 1, 0, 3}, {Add, 3, 3, 4}, {Subtract, 4, 1, 5}});
    for (int32_t id = 1; id <= 5; ++id) {
        design.operations[id].list_step = id;
        design.list_steps[id] = {id};
    }
    design.dfg_name = "hand.txt";
    std::ostringstream log;
    derive_lifetimes(design, log);
    allocate_registers(design);
    return design;
}

// 1 to 40 operations with ids 1..N; operands both primary or both earlier
// results, or with mixed_operands sometimes one of each.
inline std::vector<Op> random_graph(std::mt19937 &random, bool mixed_operands, bool divisions) {
    const auto below = [&random](int32_t n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    std::vector<Op> ops;
    for (int32_t id = 1, n = 1 + below(40); id <= n; ++id) {
        const int32_t type = below(divisions ? 5 : 4);  // a 3 (Divide) without divisions becomes Compare
        Op op{type == Divide && !divisions ? Compare : type, 0, 0, id};
        if (id > 1 && below(10) >= 3) {
            op.first = 1 + below(id - 1);
            op.second = 1 + below(id - 1);
            if (mixed_operands && below(3) == 0)
                (below(2) == 0 ? op.first : op.second) = 0;
        }
        ops.push_back(op);
    }
    return ops;
}

}  // namespace velnor::test
