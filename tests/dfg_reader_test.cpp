// The DFG reader: position-based parsing, successor linking, what survives a
// malformed operation, and the precise reason of every kind of fault.
#include "core/dfg_reader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/design_dump.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::ScratchDir;

Design read_text(const std::string &text, DfgListing *listing = nullptr) {
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    DfgListing ignored;
    read_dfg(d, dir.write("g.txt", text), log, listing ? *listing : ignored);
    EXPECT_EQ(log.str(), "");
    return d;
}

struct GoodRow {
    const char *name;
    const char *text;
    int32_t first, second, id;  // of the last operation
    size_t count;
};

void PrintTo(const GoodRow &row, std::ostream *out) { *out << row.name; }

class DfgReaderAccepts : public ::testing::TestWithParam<GoodRow> {};

TEST_P(DfgReaderAccepts, ReadsTheOperation) {
    const GoodRow &r = GetParam();
    Design d = read_text(r.text);
    ASSERT_EQ(d.operations.size(), r.count);
    ASSERT_EQ(d.operations.count(r.id), 1u);
    const Operation &op = d.operations.at(r.id);
    EXPECT_EQ(op.first_input, r.first);
    EXPECT_EQ(op.second_input, r.second);
    EXPECT_EQ(op.id, r.id);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DfgReaderAccepts,
    ::testing::Values(GoodRow{"blanks", "+ 0 0 1\n", 0, 0, 1, 1},
                      GoodRow{"any_separators", "+,0;0:1\n", 0, 0, 1, 1},
                      // The character after the operator is skipped even when it is a digit.
                      GoodRow{"digit_as_separator", "+90 0 1\n", 0, 0, 1, 1},
                      GoodRow{"trailing_blank", "+ 0 0 1 \n", 0, 0, 1, 1},
                      GoodRow{"no_final_line_end", "+ 0 0 1", 0, 0, 1, 1},
                      // The carriage return of a CRLF line is the one character skipped after the id.
                      GoodRow{"carriage_return_after_id", "+ 0 0 1\r\n", 0, 0, 1, 1},
                      GoodRow{"leading_zeros", "+ 00 000 0001\n", 0, 0, 1, 1},
                      GoodRow{"largest_id", "+ 0 0 2147483647\n", 0, 0, 2147483647, 1},
                      GoodRow{"two_on_one_line", "+ 0 0 1 * 1 0 2\n", 1, 0, 2, 2},
                      GoodRow{"empty_lines_between", "\n+ 0 0 1\n\n\n- 1 1 2\n\n", 1, 1, 2, 2}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DfgReader, OperatorCharactersGiveTheirTypes) {
    Design d = read_text("+ 0 0 1\n- 0 0 2\n* 0 0 3\n/ 0 0 4\n< 0 0 5\n");
    for (int32_t id = 1; id <= 5; ++id)
        EXPECT_EQ(d.operations[id].type, id - 1) << "operation " << id;
    EXPECT_EQ(d.operation_types, (std::set<int32_t>{Add, Subtract, Multiply, Divide, Compare}));
}

TEST(DfgReader, OnlyLineLeavesEverythingButTheFileFieldsFresh) {
    Design d = read_text("+ 0 0 1\n");
    const Operation &op = d.operations[1];
    EXPECT_TRUE(op.successors.empty());
    EXPECT_EQ(op.asap_step, -1);
    EXPECT_EQ(op.alap_step, -1);
    EXPECT_EQ(op.list_step, -1);
    EXPECT_EQ(op.output_variable, -1);
    EXPECT_EQ(op.variant, unbound_variant);
}

TEST(DfgReader, SameProducerOnBothOperandsIsLinkedOnce) {
    Design d = read_text("+ 0 0 1\n* 1 1 2\n- 0 1 3\n");
    EXPECT_EQ(d.operations[1].successors, (std::vector<int32_t>{2, 3}));
}

TEST(DfgReader, LaterProducerLineDropsItsConsumer) {
    Design d = read_text("+ 2 0 1\n+ 0 0 2\n");
    EXPECT_TRUE(d.operations[2].successors.empty());
    EXPECT_EQ(d.operations[1].first_input, 2);
}

TEST(DfgReader, UndefinedProducerGetsAFreshRecord) {
    Design d = read_text("+ 5 0 1\n");
    ASSERT_EQ(d.operations.count(5), 1u);
    const Operation &ghost = d.operations[5];
    EXPECT_EQ(ghost.first_input, 0);
    EXPECT_EQ(ghost.second_input, 0);
    EXPECT_EQ(ghost.id, -1);
    EXPECT_EQ(ghost.type, -1);
    EXPECT_EQ(ghost.successors, std::vector<int32_t>{1});
}

TEST(DfgReader, EmptyLinesOnlyGiveNoOperationsButSetThePath) {
    ScratchDir dir;
    const std::string path = dir.write("empty.txt", "\n\n\n");
    Design d;
    std::ostringstream log;
    read_dfg(d, path, log);
    EXPECT_TRUE(d.operations.empty());
    EXPECT_EQ(d.dfg_path, path);
}

TEST(DfgReader, SecondReadAddsToTheDesignAndOverwritesRecordsInFull) {
    ScratchDir dir;
    const std::string path = dir.write("g.txt", "+ 0 0 1\n* 1 1 2\n");
    Design d;
    std::ostringstream log;
    read_dfg(d, path, log);
    d.operations[1].asap_step = 4;
    read_dfg(d, path, log);
    EXPECT_EQ(d.operations[1].successors, std::vector<int32_t>{2});
    EXPECT_EQ(d.operations[1].asap_step, -1);
    EXPECT_EQ(d.operations.size(), 2u);
}

TEST(DfgReader, ListingKeepsRepeatedIdsInFileOrderWithTheirLines) {
    DfgListing listing;
    Design d = read_text("\n+ 0 0 1 - 0 0 2\n\n* 1 2 1\n", &listing);
    ASSERT_EQ(listing.operations.size(), 3u);
    EXPECT_EQ(listing.operations[0].line, 2);
    EXPECT_EQ(listing.operations[1].line, 2);
    EXPECT_EQ(listing.operations[2].line, 4);
    EXPECT_EQ(listing.operations[2].id, 1);
    EXPECT_EQ(listing.operations[2].first_input, 1);
    EXPECT_EQ(listing.operations[2].second_input, 2);
    EXPECT_EQ(d.operations[1].type, Multiply);  // the repeat overwrote the first record
    EXPECT_TRUE(listing.opened);
    EXPECT_FALSE(listing.read_failed);
}

TEST(DfgReaderFailure, UnopenableFileIsLoggedAndLeavesTheDesignAlone) {
    Design d;
    d.dfg_path = "before.txt";
    d.operations[1].type = Add;
    const std::string before = test::dfg_part_text(d);
    std::ostringstream log;
    DfgListing listing;
    read_dfg(d, "/nonexistent/velnor/g.txt", log, listing);
    EXPECT_EQ(log.str(), "file read error");
    EXPECT_EQ(test::dfg_part_text(d), before);
    EXPECT_FALSE(listing.opened);
}

TEST(DfgReaderFailure, FolderIsAReadFailure) {
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    DfgListing listing;
    read_dfg(d, dir.path(), log, listing);
    EXPECT_TRUE(listing.opened);
    EXPECT_TRUE(listing.read_failed);
    EXPECT_TRUE(d.operations.empty());
}

TEST(DfgReaderFailure, OperationsBeforeTheFaultStayAndThePathIsNotSet) {
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    DfgListing listing;
    EXPECT_THROW(read_dfg(d, dir.write("g.txt", "+ 0 0 1\n< 1 0 2 / x\n"), log, listing), DfgFormatError);
    EXPECT_EQ(d.operations.size(), 2u);
    EXPECT_EQ(d.operations[1].successors, std::vector<int32_t>{2});
    // The faulty operation's type is noted before its numbers are read.
    EXPECT_EQ(d.operation_types, (std::set<int32_t>{Add, Compare, Divide}));
    EXPECT_EQ(d.dfg_path, "");
    EXPECT_EQ(listing.operations.size(), 2u);
}

struct BadRow {
    const char *name;
    const char *text;
    int line;
    const char *reason;
};

void PrintTo(const BadRow &row, std::ostream *out) { *out << row.name; }

class DfgReaderRefuses : public ::testing::TestWithParam<BadRow> {};

TEST_P(DfgReaderRefuses, SaysWhereAndWhat) {
    const BadRow &r = GetParam();
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    try {
        read_dfg(d, dir.write("g.txt", r.text), log);
        FAIL() << "accepted";
    } catch (const DfgFormatError &error) {
        EXPECT_STREQ(error.what(), "error");
        EXPECT_EQ(error.line, r.line);
        EXPECT_EQ(error.reason, r.reason);
    }
}

#define OPERATOR_EXPECTED "expected an operator character '+', '-', '*', '/' or '<' at "

INSTANTIATE_TEST_SUITE_P(
    Rows, DfgReaderRefuses,
    ::testing::Values(
        BadRow{"starts_with_blank", " + 0 0 1\n", 1, OPERATOR_EXPECTED "column 1, found a blank"},
        BadRow{"starts_with_digit", "1 0 0 1\n", 1, OPERATOR_EXPECTED "column 1, found '1'"},
        BadRow{"starts_with_letter", "a 0 0 1\n", 1, OPERATOR_EXPECTED "column 1, found 'a'"},
        BadRow{"starts_with_tab", "\t+ 0 0 1\n", 1, OPERATOR_EXPECTED "column 1, found a tab"},
        BadRow{"two_trailing_characters", "+ 0 0 1  \n", 1, OPERATOR_EXPECTED "column 9, found a blank"},
        BadRow{"blank_before_carriage_return", "+ 0 0 1 \r\n", 1,
               OPERATOR_EXPECTED "column 9, found the character with code 13"},
        BadRow{"bad_second_operator", "+ 0 0 1 x 1 0 2\n", 1, OPERATOR_EXPECTED "column 9, found 'x'"},
        BadRow{"two_separators_before_next", "+ 0 0 1 ,* 1 0 2\n", 1, OPERATOR_EXPECTED "column 9, found ','"},
        BadRow{"counts_empty_lines", "\n+ 0 0 1\n\n= 0 0 2\n", 4, OPERATOR_EXPECTED "column 1, found '='"},
        BadRow{"operator_only", "+\n", 1, "the first operand is missing: the line ends before it"},
        BadRow{"first_operand_not_digits", "+ x 0 1\n", 1,
               "the first operand is missing: column 3 holds 'x' where its digits should start"},
        BadRow{"signed_first_operand", "+ -1 0 1\n", 1,
               "the first operand at column 3 starts with a sign; numbers are written without one"},
        BadRow{"plus_signed_second_operand", "+ 0 +1 1\n", 1,
               "the second operand at column 5 starts with a sign; numbers are written without one"},
        BadRow{"ends_after_first_operand", "+ 0\n", 1, "the second operand is missing: the line ends before it"},
        BadRow{"second_operand_not_digits", "+ 0 x 1\n", 1,
               "the second operand is missing: column 5 holds 'x' where its digits should start"},
        BadRow{"ends_after_second_operand", "+ 0 0\n", 1, "the id is missing: the line ends before it"},
        BadRow{"signed_id", "+ 0 0 -1\n", 1, "the id at column 7 starts with a sign; numbers are written without one"},
        BadRow{"id_not_digits", "+ 0 0 one\n", 1, "the id is missing: column 7 holds 'o' where its digits should start"},
        BadRow{"id_too_large", "+ 0 0 99999999999\n", 1,
               "the number 99999999999 (the id, column 7) does not fit a 32-bit signed integer"},
        BadRow{"operand_just_too_large", "+ 2147483648 0 1\n", 1,
               "the number 2147483648 (the first operand, column 3) does not fit a 32-bit signed integer"},
        BadRow{"second_operation_truncated", "+ 0 0 1 * 1\n", 1,
               "the second operand is missing: the line ends before it"}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velnor
