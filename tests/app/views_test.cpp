// The console views' texts on small designs built by hand; every expected text
// is written out from the view's definition, not taken from the program.
#include <gtest/gtest.h>
#include <tuple>

#include "app/console_table.h"
#include "app/views.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

TEST(ScheduleTable, BoundOrEmbeddedVariantPerOperation) {
    // Step 1 holds an adder and a multiplier, step 2 an unbound subtraction;
    // embedding moved the adder to variant 2.
    Design design;
    for (const auto &[id, type, variant] : {std::tuple{1, Add, 2}, {2, Multiply, 2}, {3, Subtract, unbound_variant}}) {
        design.operations[id].type = type;
        design.operations[id].variant = variant;
    }
    design.list_steps = {{1, {1, 2}}, {2, {3}}};
    design.variant_of = test::by_number({{1, 1}, {2, 2}});
    const std::string header = "<table border=\"1\"><tr><th>control step</th><th colspan=\"0\">operator</th></tr>";
    EXPECT_EQ(schedule_table(design, VariantColumn::BeforeEmbedding).toStdString(),
              header + "<tr><td>1</td><td>1 (+) 1</td><td>2 (*) 2</td></tr>"
                       "<tr><td>2</td><td>3 (*) 0</td></tr></table>");
    EXPECT_EQ(schedule_table(design, VariantColumn::AfterEmbedding).toStdString(),
              header + "<tr><td>1</td><td>1 (+) 2</td><td>2 (*) 2</td></tr>"
                       "<tr><td>2</td><td>3 (*) -1</td></tr></table>");
}

TEST(RegisterTable, CellsShowVariablesFromZeroAndLeaveGapsEmpty) {
    // Step 1: register 1 holds variable 3, register 2 an explicit 0; step 2:
    // register 3 holds variable 1. Four registers, so a last empty column.
    const ControllerTable table = test::controller_table({{1, {{1, 3}, {2, 0}}}, {2, {{3, 1}}}});
    EXPECT_EQ(register_table(table, 4).toStdString(),
              "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th><th>1</th><th>2</th><th>3</th></tr>"
              "<tr><td>1</td><td>2</td><td></td><td></td><td></td></tr>"
              "<tr><td>2</td><td></td><td></td><td>0</td><td></td></tr></table>");
}

TEST(TextViews, ZeroPairsAndEncodedStrings) {
    // Variables are shown counted from 0.
    EXPECT_EQ(zero_constraint_list({{1, 3}, {1, 5}, {3, 5}}).toStdString(), "( v0, v2),( v0, v4),( v2, v4),");
    // Rule numbers without a block are not listed.
    EXPECT_EQ(encoded_strings({3, 7, 9}, {"0110", "1111"}).toStdString(), "3 : 0110\n7 : 1111\n");
}

TEST(ConsoleGrid, AViewsTableReadsAsAlignedLines) {
    const ControllerTable table = test::controller_table({{1, {{1, 3}, {2, 0}}}, {2, {{10, 11}}}});
    const auto rows = table_rows(register_table(table, 10));
    ASSERT_TRUE(rows.has_value());
    const QStringList lines = grid_lines(*rows);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "cs(\\/)/color(->) | 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9 | 10");
    EXPECT_EQ(lines[1], "-----------------+---+---+---+---+---+---+---+---+---+---");
    EXPECT_EQ(lines[2], "1                | 2 |   |   |   |   |   |   |   |   |   ");
    EXPECT_EQ(lines[3], "2                |   |   |   |   |   |   |   |   |   | 10");
    // The schedule's header has fewer cells than its rows: they take their own widths.
    Design design;
    design.operations[1].type = Add;
    design.list_steps = {{1, {1}}};
    design.variant_of = test::by_number({{1, 1}});
    EXPECT_EQ(grid_lines(*table_rows(schedule_table(design, VariantColumn::BeforeEmbedding))),
              (QStringList{"control step | operator", "-------------+---------", "1            | 1 (+) 1 "}));
}

TEST(ConsoleGrid, AnythingButOneWholeTableIsLeftToTheConsole) {
    // An empty allocation leaves its header row open: not a whole table.
    EXPECT_FALSE(table_rows(register_table(ControllerTable{}, 0)).has_value());
    for (const char *text : {"hash output string", "<table border=\"1\"><tr><td>1</td></tr>", "<b>1</b>", ""})
        EXPECT_FALSE(table_rows(text).has_value()) << text;
}

}  // namespace
}  // namespace velnor
