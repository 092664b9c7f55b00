// The controller table as runs per register: overwriting part of a run keeps
// what lies outside it, clearing leaves empty cells, neighbouring cells of one
// variable compare equal however they were written, and rows and registers
// exist once written or read, as the report and the views show them; a
// register's span reads empty exactly when each of its cells does.
#include "core/controller_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace velnor {
namespace {

// Register 1..registers at steps 0..steps - 1, one line a step ('.' for empty).
std::string cells(const ControllerTable &table, int32_t steps, int32_t registers) {
    std::string text;
    for (int32_t t = 0; t < steps; ++t) {
        for (int32_t r = 1; r <= registers; ++r) {
            const int32_t v = table.at(t, r);
            text += v == 0 ? "." : std::to_string(v);
        }
        text += "\n";
    }
    return text;
}

TEST(ControllerTable, OverwritingSplitsRunsAndClearingLeavesGaps) {
    ControllerTable table;
    table.fill(1, 0, 5, 7);
    table.fill(1, 2, 3, 4);   // inside the run of 7: 7 stays on both sides
    table.fill(2, 1, 4, 3);
    table.fill(2, 2, 6, 0);   // clears the tail of 3 and beyond it
    table.fill(1, 5, 8, 9);   // cuts the last step off 7
    EXPECT_EQ(cells(table, 9, 2), "7.\n73\n4.\n4.\n7.\n9.\n9.\n9.\n9.\n");
    EXPECT_EQ(table.filled_cells(), 9 + 1);
    EXPECT_EQ(table.highest_register(), 2);
}

// holds_none answers with one search what reading every cell of the span says,
// for spans inside, across and beside runs, touching gaps, empty and reversed.
TEST(ControllerTable, HoldsNoneAgreesWithEveryCellOfTheSpan) {
    ControllerTable table;
    table.fill(1, 0, 2, 5);
    table.fill(1, 4, 4, 6);
    table.fill(1, 7, 9, 8);
    table.fill(2, 3, 6, 2);
    table.fill(2, 4, 4, 0);  // a gap of one step inside the run of 2
    table.read(11, 4);       // register 4 and step 11 exist, with nothing in them
    for (int32_t reg = 0; reg <= 5; ++reg)
        for (int32_t first = -1; first <= 12; ++first)
            for (int32_t last = first - 1; last <= 12; ++last) {
                bool empty = true;
                for (int32_t t = first; t <= last; ++t)
                    empty = empty && table.at(t, reg) == 0;
                EXPECT_EQ(table.holds_none(reg, first, last), empty)
                    << "register " << reg << ", steps " << first << ".." << last;
            }
}

TEST(ControllerTable, EqualCellsCompareEqualWhateverTheOrderOfWriting) {
    ControllerTable whole;
    whole.fill(3, 1, 4, 5);
    ControllerTable pieces;
    pieces.fill(3, 3, 4, 5);
    pieces.fill(3, 1, 2, 5);
    EXPECT_EQ(whole, pieces);
    pieces.fill(3, 2, 2, 6);
    EXPECT_NE(whole, pieces);
}

TEST(ControllerTable, ReadingAddsTheRowAndTheRegisterButNoVariable) {
    ControllerTable table;
    table.fill(1, 2, 3, 1);
    EXPECT_EQ(table.steps(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(table.read(6, 4), 0);
    EXPECT_EQ(table.read_variables(1, 0, 3), (std::vector<int32_t>{1}));
    EXPECT_EQ(table.steps(), (std::vector<int32_t>{0, 1, 2, 3, 6}));
    EXPECT_EQ(table.highest_register(), 4);
    EXPECT_EQ(table.filled_cells(), 2);
}

TEST(ControllerTable, RowReaderGivesEveryRegisterOfEachStep) {
    ControllerTable table;
    table.fill(1, 0, 1, 2);
    table.fill(2, 1, 3, 5);
    table.fill(1, 3, 3, 8);
    ControllerTable::RowReader reader(table);
    std::vector<int32_t> row(3);
    std::map<int32_t, std::vector<int32_t>> rows;
    for (int32_t t : table.steps()) {
        reader.read(t, row);
        rows[t] = row;
    }
    EXPECT_EQ(rows, (std::map<int32_t, std::vector<int32_t>>{
                        {0, {2, 0, 0}}, {1, {2, 5, 0}}, {2, {0, 5, 0}}, {3, {8, 5, 0}}}));
}

}  // namespace
}  // namespace velnor
