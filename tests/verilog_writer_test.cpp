// The Verilog writer without the hardware tools: the top module's name, the
// refusals of datapaths that cannot be built as described, the units one
// instance per operation in the busiest step, the evaluator's arithmetic and
// the reading of Yosys's statistics.
#include "rtl/verilog_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "rtl/datapath_evaluator.h"
#include "tools/gate_count.h"
#include "synthesis/register_allocation.h"
#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// The fixture's hand-placed design, each addition and the product bound to a variant.
Datapath hand_placed() {
    Design design = test::hand_placed();
    for (int32_t id = 1; id <= 5; ++id)
        design.operations[id].variant = design.operations[id].type == Subtract ? unbound_variant : 1 + id % 2;
    return datapath_of(design);
}

DatapathVariable &variable(Datapath &datapath, const std::string &name) {
    for (DatapathVariable &v : datapath.variables)
        if (v.name == name)
            return v;
    throw std::logic_error("no variable " + name);
}

struct NameCase {
    std::string name;
    std::string dfg;
    std::string module;
};

void PrintTo(const NameCase &c, std::ostream *out) { *out << c.name; }

class ModuleName : public testing::TestWithParam<NameCase> {};

TEST_P(ModuleName, IsALegalIdentifierOfNoUnitOrKeyword) {
    Datapath datapath;
    datapath.dfg = GetParam().dfg;
    EXPECT_EQ(verilog_module_name(datapath), GetParam().module);
}

const NameCase name_cases[] = {
    {"extension_dropped", "fir.txt", "fir"},
    {"leading_digit", "3tap.txt", "core_3tap"},
    {"punctuation_replaced", "my-core.v2.txt", "my_core_v2"},
    {"no_extension", "arf", "arf"},
    {"keyword", "module.txt", "module_core"},
    {"systemverilog_keyword", "logic.txt", "logic_core"},
    {"unit_module", "velnor_divider.txt", "velnor_divider_core"},
    {"empty", "", "core_"},
};
INSTANTIATE_TEST_SUITE_P(Files, ModuleName, testing::ValuesIn(name_cases),
                         [](const testing::TestParamInfo<NameCase> &info) { return info.param.name; });

struct RefusalCase {
    std::string name;
    std::function<void(Datapath &)> change;
    std::string message;
};

void PrintTo(const RefusalCase &c, std::ostream *out) { *out << c.name; }

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, SaysWhatCannotBeBuilt) {
    Datapath datapath = hand_placed();
    ASSERT_NO_THROW(datapath_verilog(datapath, DesignStage::Signed));
    GetParam().change(datapath);
    try {
        datapath_verilog(datapath, DesignStage::Signed);
        ADD_FAILURE() << "no refusal";
    } catch (const VerilogError &error) {
        EXPECT_EQ(error.what(), GetParam().message);
    }
}

const RefusalCase refusal_cases[] = {
    {"overlapping_lifetimes", [](Datapath &d) { variable(d, "op:2").register_number = 3; },
     "register 3 would hold in:3 and op:2 in step 2"},
    {"two_inputs_in_one_register", [](Datapath &d) { variable(d, "in:2").register_number = 1; },
     "register 1 would hold in:1 and in:2 in step 0"},
    {"read_after_death", [](Datapath &d) { variable(d, "op:1").death = 3; },
     "operation 5 reads op:1 in step 5, outside its lifetime"},
    {"output_overwritten", [](Datapath &d) { variable(d, "op:5").register_number = 2; },
     "register 2 would hold op:2 and op:5 in step 5"},
    {"unbound_adder", [](Datapath &d) { d.operations[3].variant = unbound_variant; },
     "operation 4 (+) is bound to no module variant"},
    {"unplaced_operation", [](Datapath &d) { d.operations[0].step = -1; },
     "operation 1 is placed in no control step"},
    {"register_out_of_range", [](Datapath &d) { variable(d, "op:4").register_number = 4; },
     "the variable op:4 has no register of the allocation"},
    {"no_operations", [](Datapath &d) { d.operations.clear(); }, "the datapath has no scheduled operations"},
};
INSTANTIATE_TEST_SUITE_P(Datapaths, Refusal, testing::ValuesIn(refusal_cases),
                         [](const testing::TestParamInfo<RefusalCase> &info) { return info.param.name; });

int occurrences(const std::string &text, const std::string &what) {
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST(VerilogWriter, OneInstancePerUnitOfTheBusiestStepAndTheModulesItUses) {
    // Three additions in step 1: two on variant 1, one on variant 2; one in step 2 on variant 2.
    Design design = test::graph({{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 0, 0, 3}, {Add, 1, 2, 4}, {Add, 4, 3, 5}});
    const int32_t steps[] = {0, 1, 1, 1, 2, 3};
    const ModuleVariant variants[] = {0, 1, 1, 2, 2, 1};
    for (int32_t id = 1; id <= 5; ++id) {
        design.operations[id].list_step = steps[id];
        design.list_steps[steps[id]].push_back(id);
        design.operations[id].variant = variants[id];
    }
    design.dfg_name = "adds.txt";
    std::ostringstream log;
    derive_lifetimes(design, log);
    allocate_registers(design);
    const std::string text = datapath_verilog(datapath_of(design), DesignStage::Unsigned);
    EXPECT_EQ(occurrences(text, "velnor_adder_prefix #(.WIDTH(WIDTH)) adder_v1_"), 2);
    EXPECT_EQ(occurrences(text, "velnor_adder_ripple #(.WIDTH(WIDTH)) adder_v2_"), 1);
    EXPECT_EQ(occurrences(text, "\nmodule "), 3);  // the top and the two adders, nothing unused
    EXPECT_NE(text.find("    input  wire [WIDTH-1:0] in_3,\n    output wire [WIDTH-1:0] out_5\n);"),
              std::string::npos);
    EXPECT_NE(text.find("//   STEP_1: op 3: in:3 + in:3 -> op:3 on adder_v2_0"), std::string::npos);
    EXPECT_NE(text.find("// Unsigned: "), std::string::npos);
}

struct ArithmeticCase {
    std::string name;
    char type;
    uint64_t a, b, result;
};

void PrintTo(const ArithmeticCase &c, std::ostream *out) { *out << c.name; }

class Arithmetic : public testing::TestWithParam<ArithmeticCase> {};

DatapathOperation operation(int32_t id, char type, int32_t first, int32_t second) {
    DatapathOperation op;
    op.id = id;
    op.type = type;
    op.first_operand = first;
    op.second_operand = second;
    return op;
}

// a and b reach operation 5 as 0 + a and 0 + b, each 0 being x - x.
TEST_P(Arithmetic, FourBitWordsModuloSixteen) {
    const ArithmeticCase &c = GetParam();
    Datapath datapath;
    datapath.operations = {operation(1, '-', 0, 0), operation(2, '+', 1, 0), operation(3, '-', 0, 0),
                           operation(4, '+', 3, 0), operation(5, c.type, 2, 4)};
    EXPECT_EQ(input_port_ids(datapath), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(output_port_ids(datapath), (std::vector<int32_t>{5}));
    const std::map<int32_t, uint64_t> values =
        evaluate_datapath(datapath, {{1, 9}, {2, c.a}, {3, 6}, {4, c.b}}, /*width=*/4);
    EXPECT_EQ(values.at(5), c.result);
}

const ArithmeticCase arithmetic_cases[] = {
    {"sum_wraps", '+', 9, 9, 2},        {"difference_wraps", '-', 3, 5, 14},
    {"product_wraps", '*', 5, 7, 3},    {"quotient_rounds_down", '/', 7, 2, 3},
    {"division_by_zero_all_ones", '/', 7, 0, 15},
    {"less_is_one", '<', 3, 5, 1},      {"not_less_is_zero", '<', 5, 5, 0},
    {"inputs_masked", '+', 17, 0, 1},
};
INSTANTIATE_TEST_SUITE_P(Operators, Arithmetic, testing::ValuesIn(arithmetic_cases),
                         [](const testing::TestParamInfo<ArithmeticCase> &info) { return info.param.name; });

TEST(GateCount, ReadsTheLastModulesCellsAndEveryFlipFlopFlavour) {
    const std::string statistics = "=== velnor_adder_prefix ===\n"
                                   "   Number of cells:                 99\n"
                                   "     $_DFF_P_                        7\n"
                                   "=== fir ===\n"
                                   "   Number of wires:               1200\n"
                                   "   Number of cells:               3738\n"
                                   "     $_ANDNOT_                     800\n"
                                   "     $_DFFE_PP_                    160\n"
                                   "     $_SDFF_PP0_                     4\n"
                                   "     $_DFF_P_                        1\n"
                                   "     $_XOR_                        700\n";
    const GateCount count = gate_count_from_statistics(statistics);
    EXPECT_EQ(count.cells, 3738);
    EXPECT_EQ(count.flip_flops, 165);
    EXPECT_THROW(gate_count_from_statistics("ERROR: no such module\n"), GateCountError);
}

}  // namespace
}  // namespace velnor
