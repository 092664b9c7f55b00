// The datapath value of hand-placed designs: names by source, operands in
// operand order even where the design met the producers the other way round,
// lifetimes and registers as allocated, and registers after a variable moves.
#include "core/datapath.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// The fixture's hand-placed design, operation 1 on variant 2, under 2 adders,
// 1 multiplier and 1 subtractor.
Design hand_placed() {
    Design design = test::hand_placed();
    design.operations[1].variant = 2;
    design.resources = {{Add, 2}, {Multiply, 1}, {Subtract, 1}};
    return design;
}

std::string operation_text(const DatapathOperation &op) {
    return std::to_string(op.id) + op.type + " step " + std::to_string(op.step) + " v" +
           std::to_string(op.variant) + " (" + std::to_string(op.first_operand) + "," +
           std::to_string(op.second_operand) + ") " + op.first_input + " " + op.second_input + " -> " + op.output;
}

std::string variable_text(const DatapathVariable &v) {
    return v.name + " [" + std::to_string(v.birth) + "," + std::to_string(v.death) + "] r" +
           std::to_string(v.register_number);
}

TEST(Datapath, HandPlacedDesignNamesVariablesBySourceInOperandOrder) {
    const Datapath datapath = datapath_of(hand_placed());
    EXPECT_EQ(datapath.dfg, "hand.txt");
    EXPECT_EQ(datapath.adders, 2);
    EXPECT_EQ(datapath.multipliers, 1);
    EXPECT_EQ(datapath.subtractors, 1);
    EXPECT_EQ(datapath.comparators, 0);
    EXPECT_EQ(datapath.control_steps, 5);
    EXPECT_EQ(datapath.registers, 3);

    std::vector<std::string> operations;
    for (const DatapathOperation &op : datapath.operations)
        operations.push_back(operation_text(op));
    EXPECT_EQ(operations, (std::vector<std::string>{
                              "1+ step 1 v2 (0,0) in:1 in:1 -> op:1",
                              "2+ step 2 v-1 (0,0) in:2 in:2 -> op:2",
                              "3* step 3 v-1 (1,0) op:1 in:3 -> op:3",
                              "4+ step 4 v-1 (3,3) op:3 op:3 -> op:4",
                              "5- step 5 v-1 (4,1) op:4 op:1 -> op:5",
                          }));

    // Worked out by hand: 1's result is read in steps 3 and 5, 2's never.
    std::vector<std::string> variables;
    for (const DatapathVariable &v : datapath.variables)
        variables.push_back(variable_text(v));
    EXPECT_EQ(variables, (std::vector<std::string>{"in:1 [0,0] r1", "in:2 [0,1] r2", "in:3 [0,2] r3",
                                                   "op:1 [1,4] r1", "op:2 [2,5] r2", "op:3 [3,3] r3",
                                                   "op:4 [4,4] r3", "op:5 [5,5] r1"}));
}

TEST(Datapath, RegisterFollowsAMovedVariable) {
    Design design = hand_placed();
    design.register_of[6] = 4;  // op:3, as a separation would move it
    design.register_lifetimes.push_back({Lifetime{3, 3, 6}});  // register 4
    const Datapath datapath = datapath_of(design);
    EXPECT_EQ(datapath.registers, 4);
    EXPECT_EQ(variable_text(datapath.variables[5]), "op:3 [3,3] r4");
}

}  // namespace
}  // namespace velnor
