// Properties of the whole synthesis flow over a few hundred random graphs that
// keep the file format's promises (ids 1..N, operands written earlier or
// primary), with and without mixed operands and divisions, loaded as the
// window loads them and synthesized under random unit counts; then the same
// over the graphs of tests/data, and termination when counts starve a type.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/loading.h"
#include "synthesis/list_schedule.h"
#include "synthesis/pipeline.h"
#include "synthesis/register_allocation.h"
#include "synthesis/resource_constraints.h"
#include "synthesis/schedule_checks.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::Op;

struct GraphShape {
    bool mixed_operands;
    bool divisions;
};

std::vector<Op> random_graph(std::mt19937 &random, GraphShape shape) {
    std::vector<int32_t> types = {Add, Subtract, Multiply, Compare};
    if (shape.divisions)
        types.push_back(Divide);
    std::uniform_int_distribution<int32_t> count(1, 24);
    std::uniform_int_distribution<std::size_t> pick_type(0, types.size() - 1);
    std::uniform_int_distribution<int32_t> percent(0, 99);
    const int32_t n = count(random);
    std::vector<Op> ops;
    for (int32_t id = 1; id <= n; ++id) {
        std::uniform_int_distribution<int32_t> earlier(1, std::max(1, id - 1));
        Op op{types[pick_type(random)], 0, 0, id};
        if (id > 1 && percent(random) >= 30) {
            op.first = earlier(random);
            op.second = earlier(random);
            if (shape.mixed_operands && percent(random) < 35)
                (percent(random) < 50 ? op.first : op.second) = 0;
        }
        ops.push_back(op);
    }
    return ops;
}

// Every promise of list scheduling and register allocation on one design.
void expect_synthesized(const Design &design, const ResourceLimits &limits, bool every_operation_placed) {
    EXPECT_EQ(check_step_table(design, design.asap_steps, &Operation::asap_step, "ASAP", true), "");
    EXPECT_EQ(check_step_table(design, design.alap_steps, &Operation::alap_step, "ALAP", true), "");
    EXPECT_EQ(check_step_table(design, design.list_steps, &Operation::list_step, "list", every_operation_placed),
              "");
    EXPECT_EQ(check_precedence(design), "");
    EXPECT_EQ(check_step_limits(design, limits), "");
    EXPECT_EQ(check_lifetimes(design), "");
    EXPECT_EQ(check_registers(design), "");
    EXPECT_EQ(check_controller_table(design), "");
    EXPECT_EQ(check_controller_table_unchanged(design), "");
    EXPECT_EQ(design.next_variables.count(-1), 0u);
}

Design load(const std::string &dfg_path) {
    Design design;
    std::ostringstream log;
    load_dsp_core(design, dfg_path, log);
    load_module_library(design, test::data_path("lib/library_a.txt"));
    return design;
}

// Units per present type as the designer might type them: 1 to 4 each.
void enter_random_counts(Design &design, std::mt19937 &random) {
    std::uniform_int_distribution<int32_t> units(1, 4);
    for (int32_t type : design.operation_types)
        if (type != Divide)
            design.resources[type] = units(random);
}

// The main design under its constraints, then both reference designs.
void synthesize_and_check(Design &design) {
    ASSERT_TRUE(constraints_complete(design));
    std::ostringstream log;
    synthesize_under_constraints(design, log);
    {
        SCOPED_TRACE("main design");
        expect_synthesized(design, scheduling_limits(design), true);
    }
    synthesize(design, log);
    {
        SCOPED_TRACE("max-area design");
        const Design &area = *design.max_area_design;
        expect_synthesized(area, scheduling_limits(area), true);
    }
    {
        SCOPED_TRACE("max-latency design");
        const Design &latency = *design.max_latency_design;
        expect_synthesized(latency, latency.resources, true);
    }
}

struct ShapeCase {
    std::string name;
    GraphShape shape;
    uint32_t first_seed;
};

void PrintTo(const ShapeCase &c, std::ostream *out) { *out << c.name; }

class RandomGraphs : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(RandomGraphs, SynthesisKeepsEveryPromise) {
    const ShapeCase &c = GetParam();
    test::ScratchDir dir;
    for (uint32_t seed = c.first_seed; seed < c.first_seed + 80; ++seed) {
        std::mt19937 random(seed);
        const std::vector<Op> ops = random_graph(random, c.shape);
        const std::string text = test::dfg_text(ops);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", graph:\n" + text);
        Design design = load(dir.write("graph.txt", text));
        enter_random_counts(design, random);
        synthesize_and_check(design);
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(SynthesisProperty, RandomGraphs,
                         ::testing::Values(ShapeCase{"BothOperandsAlike", {false, false}, 1000},
                                           ShapeCase{"MixedOperands", {true, false}, 2000},
                                           ShapeCase{"Divisions", {false, true}, 3000},
                                           ShapeCase{"MixedOperandsAndDivisions", {true, true}, 4000}),
                         [](const ::testing::TestParamInfo<ShapeCase> &info) { return info.param.name; });

// Limits that leave some present type without a usable unit: scheduling stops,
// and whatever it placed still keeps every promise.
TEST(SynthesisProperty, StarvedTypesEndTheScheduleCleanly) {
    test::ScratchDir dir;
    std::uniform_int_distribution<int32_t> limit(-1, 2);
    std::uniform_int_distribution<int32_t> percent(0, 99);
    for (uint32_t seed = 5000; seed < 5100; ++seed) {
        std::mt19937 random(seed);
        const std::string text = test::dfg_text(random_graph(random, {true, true}));
        SCOPED_TRACE("seed " + std::to_string(seed) + ", graph:\n" + text);
        Design design = load(dir.write("graph.txt", text));
        ResourceLimits limits;
        for (int32_t type : design.operation_types)
            if (percent(random) < 80)
                limits[type] = limit(random);
        std::ostringstream log;
        schedule_list(design, limits);
        derive_lifetimes(design, log);
        allocate_registers(design);
        expect_synthesized(design, limits, false);
        if (HasFailure())
            return;
    }
}

struct DataGraphCase {
    std::string name;
    std::string file;
    int32_t units;  // for every present type
};

void PrintTo(const DataGraphCase &c, std::ostream *out) { *out << c.name; }

class DataGraphs : public ::testing::TestWithParam<DataGraphCase> {};

TEST_P(DataGraphs, SynthesisKeepsEveryPromise) {
    const DataGraphCase &c = GetParam();
    Design design = load(test::data_path(c.file));
    for (int32_t type : design.operation_types)
        design.resources[type] = std::min(c.units, type == Add        ? design.adder_count
                                                   : type == Multiply ? design.multiplier_count
                                                   : type == Subtract ? design.subtractor_count
                                                                      : design.comparator_count);
    synthesize_and_check(design);
}

INSTANTIATE_TEST_SUITE_P(SynthesisProperty, DataGraphs,
                         ::testing::Values(DataGraphCase{"ArfOneUnit", "dfg/arf.txt", 1},
                                           DataGraphCase{"ArfFourUnits", "dfg/arf.txt", 4},
                                           DataGraphCase{"FirOneUnit", "dfg/fir.txt", 1},
                                           DataGraphCase{"FirThreeUnits", "dfg/fir.txt", 3},
                                           DataGraphCase{"DiffeqOneUnit", "dfg/diffeq.txt", 1},
                                           DataGraphCase{"DiffeqTwoUnits", "dfg/diffeq.txt", 2}),
                         [](const ::testing::TestParamInfo<DataGraphCase> &info) { return info.param.name; });

}  // namespace
}  // namespace velnor
