// The synthesis pipeline on graphs small enough to work out by hand: the two
// reference designs' unit counts, schedules and registers, the figures they
// yield, and the exact text the pipeline writes.
#include "synthesis/pipeline.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

#include "core/loading.h"
#include "synthesis/resource_constraints.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::Op;

const std::string four_sums_listing = "\nnext variable \n0 : 4 \n1 : 5 \n2 : 6 \n3 : 7 \n";

// A main design loaded from ops and the library of tests/data.
Design loaded(const test::ScratchDir &dir, const std::vector<Op> &ops) {
    Design design;
    std::ostringstream ignored;
    load_dsp_core(design, dir.write("graph.txt", test::dfg_text(ops)), ignored);
    load_module_library(design, test::data_path("lib/library_a.txt"));
    return design;
}

const std::vector<Op> four_sums = {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 0, 0, 3}, {Add, 0, 0, 4}};

struct FigureCase {
    std::string name;
    std::pair<double, double> adder_area;
    std::pair<double, double> adder_delay;
    double register_area;
    std::string line;
};

void PrintTo(const FigureCase &c, std::ostream *out) { *out << c.name; }

class PipelineFigures : public ::testing::TestWithParam<FigureCase> {};

// Four independent additions. The max-area design runs them at once on 4
// adders (2 of each variant) and keeps 4 registers; the max-latency design
// needs 4 steps on its one variant-1 adder.
TEST_P(PipelineFigures, FourIndependentAdditions) {
    const FigureCase &c = GetParam();
    test::ScratchDir dir;
    Design design = loaded(dir, four_sums);
    design.area_table[Add] = c.adder_area;
    design.delay_table[Add] = c.adder_delay;
    design.register_area = c.register_area;
    std::ostringstream log;
    synthesize(design, log);

    EXPECT_EQ(log.str(), four_sums_listing + four_sums_listing + c.line);
    const Design &area = *design.max_area_design;
    const Design &latency = *design.max_latency_design;
    EXPECT_EQ(area.resources, (std::map<int32_t, int32_t>{{Add, 4}}));
    EXPECT_EQ(latency.resources, (std::map<int32_t, int32_t>{{Add, 1}}));
    EXPECT_EQ(area.list_steps, (StepMap{{1, {1, 2, 3, 4}}}));
    EXPECT_EQ(latency.list_steps, (StepMap{{1, {1}}, {2, {3}}, {3, {2}}, {4, {4}}}));
    EXPECT_EQ(area.variant_of, (std::map<int32_t, int32_t>{{1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(latency.variant_of, (std::map<int32_t, int32_t>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    EXPECT_EQ(area.register_lifetimes.size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Pipeline, PipelineFigures,
    ::testing::Values(
        // 2 x 400 + 2 x 220 + 4 x 30; 4 x 2.
        FigureCase{"WholeNumbers", {400, 220}, {2, 4}, 30, "max_area:1360 max_latency :8\n"},
        // 2 x 400 + 2 x 220 + 4 x 1234.567 = 6178.268; 4 x 0.1.
        FigureCase{"SixSignificantDigits", {400, 220}, {0.1, 4}, 1234.567, "max_area:6178.27 max_latency :0.4\n"},
        // 1240 + 4 x 250000 = 1001240; 4 x 250000.
        FigureCase{"LargeValuesInExponentForm", {400, 220}, {250000, 1}, 250000,
                   "max_area:1.00124e+06 max_latency :1e+06\n"}),
    [](const ::testing::TestParamInfo<FigureCase> &info) { return info.param.name; });

TEST(Pipeline, LineIgnoresTheCallersStreamFormat) {
    test::ScratchDir dir;
    Design design = loaded(dir, four_sums);
    std::ostringstream log;
    log << std::fixed << std::setprecision(2);
    synthesize(design, log);
    EXPECT_EQ(log.str(), four_sums_listing + four_sums_listing + "max_area:1360 max_latency :8\n");
}

// Divisions 1..3 feed the addition 4 and the comparison 5. The max-area design
// may run every division at once; the max-latency design has one divider.
TEST(Pipeline, DivisionsRunTogetherOnlyInTheMaxAreaDesign) {
    test::ScratchDir dir;
    Design design =
        loaded(dir, {{Divide, 0, 0, 1}, {Divide, 0, 0, 2}, {Divide, 0, 0, 3}, {Add, 1, 2, 4}, {Compare, 4, 3, 5}});
    std::ostringstream log;
    synthesize(design, log);

    const Design &area = *design.max_area_design;
    const Design &latency = *design.max_latency_design;
    EXPECT_EQ(area.resources, (std::map<int32_t, int32_t>{{Add, 4}, {Compare, 1}}));
    EXPECT_EQ(latency.resources, (std::map<int32_t, int32_t>{{Add, 1}, {Divide, 1}, {Compare, 1}}));
    EXPECT_EQ(area.list_steps, (StepMap{{1, {1, 2, 3}}, {2, {4}}, {3, {5}}}));
    EXPECT_EQ(latency.list_steps, (StepMap{{1, {1}}, {2, {2}}, {3, {3, 4}}, {4, {5}}}));
    // 2 x 400 + 2 x 220 + 3 registers x 30; one variant-1 addition of delay 2.
    const std::string listing = "\nnext variable \n0 : 3 \n1 : 4 \n2 : 5 \n3 : 6 \n4 : 6 \n5 : 7 \n6 : 7 \n";
    EXPECT_EQ(log.str(), listing + listing + "max_area:1330 max_latency :2\n");
}

TEST(Pipeline, UnreadableGraphGivesEmptyReferenceDesigns) {
    test::ScratchDir dir;
    Design design = loaded(dir, four_sums);
    design.dfg_path = dir.path() + "/gone.txt";
    std::ostringstream log;
    synthesize(design, log);

    EXPECT_TRUE(design.max_area_design->operations.empty());
    EXPECT_TRUE(design.max_latency_design->operations.empty());
    // The adder units still count in the area: 2 x 400 + 2 x 220.
    EXPECT_EQ(log.str(), "file read errorfile read error\nnext variable \n\nnext variable \nmax_area:1240 max_latency :0\n");
}

TEST(Pipeline, LeavesTheMainDesignAloneAndReplacesTheOldPair) {
    test::ScratchDir dir;
    Design design = loaded(dir, {{Add, 0, 0, 1}, {Multiply, 0, 0, 2}, {Add, 1, 2, 3}});
    design.resources = {{Add, 1}, {Multiply, 1}};
    std::ostringstream log;
    synthesize_under_constraints(design, log);
    const Design before = design;

    synthesize(design, log);
    const std::weak_ptr<Design> first_area = design.max_area_design;
    const std::weak_ptr<Design> first_latency = design.max_latency_design;
    synthesize(design, log);

    EXPECT_TRUE(first_area.expired());
    EXPECT_TRUE(first_latency.expired());
    EXPECT_EQ(design.resources, before.resources);
    EXPECT_EQ(design.list_steps, before.list_steps);
    EXPECT_EQ(design.lifetimes, before.lifetimes);
    EXPECT_EQ(design.register_lifetimes, before.register_lifetimes);
    EXPECT_EQ(design.controller_table, before.controller_table);
    EXPECT_EQ(design.variant_of, before.variant_of);
    EXPECT_EQ(design.released_operations, before.released_operations);
}

}  // namespace
}  // namespace velnor
