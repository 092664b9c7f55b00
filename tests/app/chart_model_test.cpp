// The datapath charts' model and the DOT text, from hand-made datapaths: which
// unit column and row each operation takes, where each variable's bar goes,
// and what the embedding's constraints mark.
#include "app/charts/chart_model.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>

#include "app/charts/schedule_dot.h"

namespace velnor::charts {
namespace {

DatapathOperation operation(int32_t id, char type, int32_t step, ModuleVariant variant, int32_t first = 0,
                            int32_t second = 0) {
    DatapathOperation op;
    op.id = id;
    op.type = type;
    op.step = step;
    op.variant = variant;
    op.first_operand = first;
    op.second_operand = second;
    return op;
}

// Two multiplications in step 1 on both variants, two additions of variant 1
// in step 2 beside a subtraction, a comparison in step 3.
Datapath small_datapath() {
    Datapath datapath;
    datapath.dfg = "small.txt";
    datapath.control_steps = 3;
    datapath.registers = 3;
    datapath.operations = {operation(1, '*', 1, 1),       operation(2, '*', 1, 2),
                           operation(3, '+', 2, 1, 1, 2), operation(4, '+', 2, 1, 1, 1),
                           operation(5, '-', 2, -1, 2),   operation(6, '<', 3, -1, 3, 4)};
    datapath.variables = {{"in:1", 0, 0, 1}, {"op:1", 1, 2, 2}, {"op:2", 1, 2, 3},
                          {"op:3", 2, 3, 1}, {"op:4", 2, 3, 3}, {"op:5", 2, 2, 2}};
    return datapath;
}

TEST(ChartModel, ScheduleGivesEachKindAsManyUnitsAsItsBusiestStep) {
    const Datapath datapath = small_datapath();
    const ChartMarks marks = chart_marks(datapath, {}, {4, 2});
    EXPECT_EQ(to_text(build_charts(datapath, marks, nullptr, "after embedding").schedule),
              "schedule of small.txt, after embedding: 3 control steps, 6 operations\n"
              "step 1 * v1 #1: 1 * v1\n"
              "step 1 * v2 #1: 2 * v2 [one]\n"
              "step 2 + v1 #1: 3 + v1\n"
              "step 2 + v1 #2: 4 + v1 [one]\n"
              "step 2 - #1: 5 -\n"
              "step 3 < #1: 6 <\n");
}

TEST(ChartModel, ScheduleFlagsVariantsThatDifferFromTheComparedDatapath) {
    Datapath after = small_datapath();
    const Datapath before = after;
    after.operations[2].variant = 2;  // operation 3 moved to variant 2
    const ScheduleChart chart = build_charts(after, {}, &before, "").schedule;
    ASSERT_EQ(chart.operations.size(), 6u);
    for (const OperationBox &box : chart.operations)
        EXPECT_EQ(box.variant_changed, box.id == 3) << box.id;
    EXPECT_EQ(chart.grid.columns, 6);  // + v1, + v2, -, * v1, * v2, <
}

TEST(ChartModel, LegendsNameEveryFillAndWrapWithinTheFrame) {
    const Datapath datapath = small_datapath();  // three registers: a chart narrower than its legend's one row
    const DatapathCharts charts = build_charts(datapath, chart_marks(datapath, {}, {}, {{1, 2}}), nullptr, "");
    std::vector<std::string> units;
    for (const LegendEntry &entry : charts.schedule.legend_entries)
        if (entry.mark == LegendMark::Unit)
            units.push_back(entry.label.text);
    EXPECT_EQ(units, (std::vector<std::string>{"adder v1", "subtractor", "multiplier v1", "multiplier v2",
                                               "comparator"}));
    for (const auto *chart : {&charts.schedule.legend_entries, &charts.registers.legend_entries})
        EXPECT_GT(chart->size(), 4u);
    const auto check = [](const Box &frame, const Box &legend, const std::vector<LegendEntry> &entries,
                          const Grid &grid) {
        EXPECT_GT(legend.height, 20);  // more than one row
        EXPECT_LE(legend.bottom(), grid.cells.y - 24);  // the column titles sit between
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Box &text = entries[i].label.box;
            EXPECT_TRUE(text.x >= legend.x && text.right() <= frame.right() && text.bottom() <= legend.bottom())
                << entries[i].label.text;
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(entries[j].label.box.intersects(entries[i].swatch) || entries[j].label.box.intersects(text))
                    << entries[j].label.text << " / " << entries[i].label.text;
        }
    };
    check(charts.schedule.frame, charts.schedule.legend, charts.schedule.legend_entries, charts.schedule.grid);
    check(charts.registers.frame, charts.registers.legend, charts.registers.legend_entries, charts.registers.grid);
}

TEST(ChartModel, AnOperationNeverPlacedGetsNoBox) {
    Datapath datapath = small_datapath();
    datapath.operations[5].step = -1;
    EXPECT_EQ(build_charts(datapath, {}, nullptr, "").schedule.operations.size(), 5u);
}

TEST(ChartModel, RegisterBarsSpanBirthToDeathInTheirRegisterColumn) {
    const DatapathCharts charts = build_charts(small_datapath(), {}, nullptr, "");
    const RegisterChart &chart = charts.registers;
    EXPECT_EQ(chart.grid.columns, 3);
    EXPECT_EQ(chart.grid.rows, 4);  // steps 0..3
    EXPECT_EQ(chart.grid.first_step, 0);
    const VariableBar &bar = chart.bars[1];  // op:1 in R2, steps 1..2
    EXPECT_NEAR(bar.box.x - chart.grid.cells.x, chart.grid.column_width + 2, 1e-9);
    EXPECT_NEAR(bar.box.y - chart.grid.cells.y, chart.grid.row_height + 2, 1e-9);
    EXPECT_NEAR(bar.box.height, 2 * chart.grid.row_height - 4, 1e-9);
    // The register chart lies right of the schedule on the page.
    EXPECT_GT(chart.frame.x, charts.schedule.frame.right());
    EXPECT_GE(charts.page.right(), chart.frame.right());
}

TEST(ChartModel, PairsMakePartnersBothWaysAndMovesAreFlagged) {
    const Datapath before = small_datapath();
    Datapath after = before;
    after.variables[4].register_number = 2;  // op:4 moved from R3 to R2
    // Variable numbers count from 1 in the datapath's variable order.
    const ChartMarks marks = chart_marks(after, {{2, 4}, {2, 5}, {1, 99}}, {}, {{1, 3}, {99, 3}});
    ASSERT_EQ(marks.zero_pairs.size(), 2u);  // the pairs with no variable 99 are left out
    ASSERT_EQ(marks.together_pairs.size(), 1u);
    const RegisterChart chart = build_charts(after, marks, &before, "").registers;
    EXPECT_EQ(to_text(chart),
              "registers of small.txt: 3 registers, 6 variables\n"
              "in:1 R1 0..0 together:op:2\n"
              "op:1 R2 1..2 apart:op:3 apart:op:4\n"
              "op:2 R3 1..2 together:in:1\n"
              "op:3 R1 2..3 apart:op:1\n"
              "op:4 R2 2..3 [moved] apart:op:1\n"
              "op:5 R2 2..2\n");
    EXPECT_EQ(bar_description(chart, 0), "in:1 in R1, steps 0 to 0, held together with op:2");
}

TEST(ChartModel, BarAtFindsTheVariableUnderAPoint) {
    const RegisterChart chart = build_charts(small_datapath(), {}, nullptr, "").registers;
    const Box &op3 = chart.bars[3].box;
    EXPECT_EQ(bar_at(chart, op3.x + 1, op3.bottom() - 1), std::optional<std::size_t>(3));
    EXPECT_EQ(bar_at(chart, chart.grid.cells.x - 5, op3.y + 1), std::nullopt);
    EXPECT_EQ(bar_description(chart, 3), "op:3 in R1, steps 2 to 3");
}

TEST(ChartModel, EmptyDatapathGivesEmptyCharts) {
    const DatapathCharts charts = build_charts(Datapath{}, {}, nullptr, "");
    EXPECT_EQ(charts.schedule.grid.rows, 0);
    EXPECT_EQ(charts.registers.grid.columns, 0);
    EXPECT_TRUE(charts.registers.bars.empty());
}

TEST(ScheduleDot, OneNodePerOperationOneRankPerStepOneEdgePerDependence) {
    const Datapath datapath = small_datapath();
    const std::string dot = schedule_dot(datapath, chart_marks(datapath, {}, {4}));
    const auto count = [&dot](const std::string &pattern) {
        const std::regex expression(pattern);
        return std::distance(std::sregex_iterator(dot.begin(), dot.end(), expression), std::sregex_iterator());
    };
    EXPECT_EQ(count(R"(\n  op\d+ \[label=)"), 6);
    EXPECT_EQ(count(R"(rank=same)"), 3);
    EXPECT_NE(dot.find("{ rank=same; /* step 2 */ op3; op4; op5; }"), std::string::npos);
    // 3 <- 1, 2; 4 <- 1 (a square depends once); 5 <- 2; 6 <- 3, 4.
    EXPECT_EQ(count(R"(op\d+ -> op\d+;)"), 6);
    EXPECT_NE(dot.find("op4 [label=\"4 + v1\", style=\"bold,filled\""), std::string::npos);
    EXPECT_NE(dot.find("op5 [label=\"5 -\"];"), std::string::npos);
}

}  // namespace
}  // namespace velnor::charts
