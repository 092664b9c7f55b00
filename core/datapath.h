// The synthesized datapath as one plain value: the scheduled and bound
// operations, and every variable with its lifetime and register. Writers of the
// datapath (the hardware description, files, charts) read this value instead
// of the design's internal tables, so they stay the same whatever those look
// like. Variables are named by where their value comes from, never by an
// internal number, so names agree across runs over the same DSP core.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/design.h"

namespace velnor {

// One operation of the list schedule.
struct DatapathOperation {
    int32_t id = 0;
    char type = '+';  // the DFG operator character: '+', '-', '*', '/' or '<'
    int32_t step = -1;  // list-scheduling control step; -1 when never placed
    ModuleVariant variant = unbound_variant;  // 1 or 2 for a bound adder or multiplier
    int32_t first_operand = 0;   // producer id, 0 = primary input
    int32_t second_operand = 0;  // producer id, 0 = primary input
    std::string first_input;     // the variable read as the first operand
    std::string second_input;    // the variable read as the second operand
    std::string output;          // "op:ID"
};

// One variable: "op:ID" is the result of operation ID, "in:ID" the primary
// input that operation ID reads. A register holds it from birth to death
// inclusive, in control steps; a primary input is born in step 0.
struct DatapathVariable {
    std::string name;
    int32_t birth = 0;
    int32_t death = 0;
    int32_t register_number = 0;  // 1..registers
};

struct Datapath {
    std::string dfg;  // the DFG file's name without its folder
    std::string source;  // where it was read from when not from a run: "verilog" for a recovered one
    int32_t adders = 0, multipliers = 0, subtractors = 0, comparators = 0;  // resource limits
    int32_t control_steps = 0;
    int32_t registers = 0;
    std::vector<DatapathOperation> operations;  // ascending id
    std::vector<DatapathVariable> variables;    // in the design's variable order
};

// The variable name of operation id's result and of its primary input.
std::string result_variable_name(int32_t id);
std::string input_variable_name(int32_t id);

// The DFG operator character of an OperationType value; '?' for an unknown one.
char operator_character(int32_t type);

// The datapath of a synthesized design (after allocation, and after embedding
// if it ran).
Datapath datapath_of(const Design &design);

}  // namespace velnor
