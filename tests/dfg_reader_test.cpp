// The DFG reader: position-based parsing, successor linking, what survives a
// malformed operation, and the precise reason of every kind of fault.
#include "core/dfg_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "tests/design_dump.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::ScratchDir;

Design read_text(const std::string &text) {
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    read_dfg(d, dir.write("g.txt", text), log);
    EXPECT_EQ(log.str(), "");
    return d;
}

TEST(DfgReader, AcceptedLayouts) {
    // text, then first operand, second operand and id of its last operation
    const std::tuple<const char *, int32_t, int32_t, int32_t> rows[] = {
        {"+ 0 0 1 \n", 0, 0, 1},   // one trailing blank
        {"+93 0 1\n", 3, 0, 1},    // the character after the operator is skipped, even a digit
        {"+ 0 0 1\r\n", 0, 0, 1},  // the CR of a CRLF line is the one character after the id
        {"+ 00 0 2147483647", 0, 0, 2147483647},
        {"\n+ 0 0 1 * 1 0 2\n\n", 1, 0, 2}};
    for (const auto &[text, first, second, id] : rows) {
        const Design d = read_text(text);
        ASSERT_EQ(d.operations.count(id), 1u) << text;
        const Operation &op = d.operations.at(id);
        EXPECT_EQ(std::make_tuple(op.first_input, op.second_input, op.id), std::make_tuple(first, second, id)) << text;
        EXPECT_EQ(op.asap_step, -1) << text;  // reading schedules nothing
    }
    EXPECT_TRUE(read_text("\n\n\n").operations.empty());
}

TEST(DfgReader, TypesSuccessorsAndProducersWrittenLater) {
    // 1 reads 2, written later, and the undefined 9; 5 reads 3 twice. Ids
    // beyond the number of operations keep no consumers: such a file is refused.
    Design d = read_text("+ 2 9 1\n- 0 0 2\n* 0 0 3\n/ 0 3 4\n< 3 3 5\n");
    for (int32_t id = 1; id <= 5; ++id)
        EXPECT_EQ(d.operations[id].type, id - 1) << id;
    EXPECT_EQ(d.operation_types, (std::set<int32_t>{Add, Subtract, Multiply, Divide, Compare}));
    EXPECT_EQ(test::successors_text(d, 3), "4 5");
    EXPECT_EQ(test::successors_text(d, 2), "1");
    EXPECT_EQ(d.operations[9].id, -1);
    EXPECT_EQ(test::successors_text(d, 9), "");
}

TEST(DfgReaderFailure, UnopenableFileChangesNothingAndAFaultKeepsWhatCameBefore) {
    Design d;
    d.operations[1].type = Add;
    const std::string before = test::dfg_part_text(d);
    std::ostringstream log;
    read_dfg(d, "/nonexistent/velnor/g.txt", log);
    EXPECT_EQ(log.str(), "file read error");
    EXPECT_EQ(test::dfg_part_text(d), before);
    ScratchDir dir;
    EXPECT_THROW(read_dfg(d, dir.write("g.txt", "+ 0 0 1\n< 1 0 2 / x\n"), log), Refusal);
    EXPECT_EQ(d.operations.size(), 2u);
    // The faulty operation's type is noted before its numbers are read.
    EXPECT_EQ(d.operation_types, (std::set<int32_t>{Add, Compare, Divide}));
    EXPECT_EQ(d.dfg_path, "");
}

// Beyond the kept operations the file is still read through, checked and counted.
TEST(DfgReader, OperationsBeyondTheKeptOnesAreOnlyCounted) {
    ScratchDir dir;
    const std::string path = dir.write("g.txt", "+ 0 0 1 * 1 1 2\n- 2 0 3\n+ 0 0 4\n");
    Design d;
    std::ostringstream log;
    DfgListing listing;
    read_dfg(d, path, log, listing, 2);
    EXPECT_EQ(listing.operation_count, 4u);
    EXPECT_EQ(listing.operations.size(), 2u);
    EXPECT_EQ(d.operations.size(), 2u);
    EXPECT_THROW(read_dfg(d, dir.write("bad.txt", "+ 0 0 1\n+ 0 0 2\n+ 0 x 3\n"), log, listing, 1),
                 Refusal);
}

#define OPERATOR_EXPECTED "expected an operator character '+', '-', '*', '/' or '<' at column "

TEST(DfgReaderFailure, SaysWhereAndWhat) {
    const std::tuple<const char *, int, const char *> rows[] = {
        {" + 0 0 1\n", 1, OPERATOR_EXPECTED "1, found a blank"},
        {"1 0 0 1\n", 1, OPERATOR_EXPECTED "1, found '1'"},
        {"a 0 0 1\n", 1, OPERATOR_EXPECTED "1, found 'a'"},
        {"\n+ 0 0 1\n\n= 0 0 2\n", 4, OPERATOR_EXPECTED "1, found '='"},
        {"+ 0 0 1  \n", 1, OPERATOR_EXPECTED "9, found a blank"},
        {"+\n", 1, "the first operand is missing: the line ends before it"},
        {"+ 0 x 1\n", 1, "the second operand is missing: column 5 holds 'x' where its digits should start"},
        {"+ 0 0\n", 1, "the id is missing: the line ends before it"},
        {"+ 0 0 -1\n", 1, "the id at column 7 starts with a sign; numbers are written without one"},
        {"+ 2147483648 0 1\n", 1,
         "the number 2147483648 (the first operand, column 3) does not fit a 32-bit signed integer"}};
    for (const auto &[text, line, reason] : rows) {
        ScratchDir dir;
        Design d;
        std::ostringstream log;
        try {
            read_dfg(d, dir.write("g.txt", text), log);
            ADD_FAILURE() << "accepted " << text;
        } catch (const Refusal &error) {
            EXPECT_EQ(error.reason(), Refusal::Reason::DspCoreFile);
            EXPECT_EQ(error.what(), "line " + std::to_string(line) + ": " + reason) << text;
        }
    }
}

}  // namespace
}  // namespace velnor
