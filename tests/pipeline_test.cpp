// The synthesis pipeline on four independent additions, small enough to work
// out by hand: the two reference designs' unit counts, schedules and variants,
// the figures they yield, the exact line the pipeline writes, and the main
// design, synthesized first under 2 adders, left as it was.
#include "synthesis/pipeline.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

#include "tests/synthesis_fixtures.h"

namespace velnor {
namespace {

// Under library A (adders 400/220 area, delay 2 for variant 1; registers 30)
// the max-area design runs all four at once on 4 adders, 2 of each variant, and
// keeps 4 registers; the max-latency design needs 4 steps on one variant-1 adder.
TEST(Pipeline, FourIndependentAdditions) {
    test::ScratchDir dir;
    const std::vector<test::Op> sums = {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 0, 0, 3}, {Add, 0, 0, 4}};
    Design design = test::synthesized(dir.write("graph.txt", test::dfg_text(sums)), {{Add, 2}});
    const Design before = design;

    std::ostringstream out;
    out << std::fixed << std::setprecision(2);  // the figures keep their own format
    synthesize(design, out);
    const std::string listing = "\nnext variable \n0 : 4 \n1 : 5 \n2 : 6 \n3 : 7 \n";
    // 2 x 400 + 2 x 220 + 4 x 30; 4 steps x 2.
    EXPECT_EQ(out.str(), listing + listing + "max_area:1360 max_latency :8\n");
    const Design &area = *design.max_area_design;
    const Design &latency = *design.max_latency_design;
    EXPECT_EQ(area.resources, (std::map<int32_t, int32_t>{{Add, 4}}));
    EXPECT_EQ(latency.resources, (std::map<int32_t, int32_t>{{Add, 1}}));
    EXPECT_EQ(area.variant_of, test::by_number({{1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(latency.list_steps, (StepMap{{1, {1}}, {2, {3}}, {3, {2}}, {4, {4}}}));
    EXPECT_EQ(latency.variant_of, test::by_number({{1, 1}, {2, 1}, {3, 1}, {4, 1}}));

    EXPECT_EQ(design.resources, before.resources);
    EXPECT_EQ(design.list_steps, before.list_steps);
    EXPECT_EQ(design.register_lifetimes, before.register_lifetimes);
    EXPECT_EQ(design.controller_table, before.controller_table);
    EXPECT_EQ(design.variant_of, before.variant_of);
    EXPECT_EQ(design.released_operations, before.released_operations);
}

// The reference designs come from the operations already loaded: a DFG file
// that has since changed (or a pipe that has been drained) gives the figures
// of what was loaded.
TEST(Pipeline, ReferenceDesignsComeFromTheLoadedOperations) {
    test::ScratchDir dir;
    const std::vector<test::Op> sums = {{Add, 0, 0, 1}, {Add, 0, 0, 2}, {Add, 1, 2, 3}, {Add, 0, 3, 4}};
    const std::string path = dir.write("graph.txt", test::dfg_text(sums));
    Design design = test::synthesized(path, {{Add, 2}});
    std::ostringstream log;
    synthesize(design, log);
    const double max_area = design.max_area;
    const double max_latency = design.max_latency;

    dir.write("graph.txt", test::dfg_text({{Add, 0, 0, 1}}));
    synthesize(design, log);
    EXPECT_EQ(design.max_area, max_area);
    EXPECT_EQ(design.max_latency, max_latency);
    EXPECT_EQ(design.max_area_design->operations.size(), 4U);
}

}  // namespace
}  // namespace velnor
