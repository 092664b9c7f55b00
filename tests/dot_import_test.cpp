// The DOT importer on small graphs written here, one table per rule: how a
// node's operator is found and normalized, which names are operations, the
// operands, the numbering, the refusals, and the file around the text. The
// expected DFG texts are worked out by hand from the rules.
#include "import/dot_import.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/dfg_reader.h"
#include "core/loading.h"
#include "core/refusal.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::ScratchDir;

// ---- the operator of a node ----------------------------------------------

struct NormalizedCase {
    const char *name;
    const char *written;
    const char *normalized;
};

class NormalizedOperator : public testing::TestWithParam<NormalizedCase> {};

TEST_P(NormalizedOperator, TrimsUpperCasesAndDropsTheTrailingNumber) {
    EXPECT_EQ(normalized_operator(GetParam().written), GetParam().normalized);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NormalizedOperator,
    testing::Values(NormalizedCase{"UpperCase", "MUL", "MUL"}, NormalizedCase{"LowerCase", "mul", "MUL"},
                    NormalizedCase{"TrailingDigit", "MULT4", "MULT"},
                    NormalizedCase{"TrailingUnderscoreAndDigits", "imult_11", "IMULT"},
                    NormalizedCase{"BlanksAround", " \tAdd \n", "ADD"},
                    NormalizedCase{"BlankBeforeTheNumber", "sub 2", "SUB"},
                    NormalizedCase{"OnlyDigitsStay", "42", "42"}, NormalizedCase{"OnlyUnderscoreAndDigitStay", "_1", "_1"},
                    NormalizedCase{"InnerDigitsStay", "a_1_b", "A_1_B"}, NormalizedCase{"SymbolStays", "<=", "<="},
                    NormalizedCase{"Empty", "", ""}),
    [](const auto &info) { return std::string(info.param.name); });

// Every name of the rule, grouped by what it becomes.
struct NamesCase {
    const char *name;
    std::vector<const char *> operators;
    std::optional<int32_t> loose;   // the type without --strict-compare
    std::optional<int32_t> strict;  // the type with it
};

class OperatorNames : public testing::TestWithParam<NamesCase> {};

TEST_P(OperatorNames, NameTheirType) {
    for (const char *name : GetParam().operators) {
        SCOPED_TRACE(name);
        EXPECT_EQ(operator_type(name, DotImportOptions{/*strict_compare=*/false}), GetParam().loose);
        EXPECT_EQ(operator_type(name, DotImportOptions{/*strict_compare=*/true}), GetParam().strict);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rule, OperatorNames,
    testing::Values(
        NamesCase{"Add", {"ADD", "IADD", "FADD", "ADDU", "ADDI", "PLUS", "+"}, Add, Add},
        NamesCase{"Subtract", {"SUB", "ISUB", "FSUB", "SUBU", "MINUS", "-"}, Subtract, Subtract},
        NamesCase{"Multiply", {"MUL", "MULT", "IMUL", "IMULT", "FMUL", "MULU", "TIMES", "*"}, Multiply, Multiply},
        NamesCase{"Divide", {"DIV", "IDIV", "FDIV", "DIVU", "QUO", "/"}, Divide, Divide},
        NamesCase{"LessThan", {"LT", "SLT", "SLTU", "BLT", "BLTU", "CMPLT", "LESS", "<"}, Compare, Compare},
        NamesCase{"GreaterOrEqualForms",
                  {"GT", "SGT", "BGT", "BGTU", "GE", "SGE", "BGE", "BGEU", "LE", "SLE", "BLE", "BLEU", ">", ">=", "<="},
                  Compare, std::nullopt},
        NamesCase{"NoOperation",
                  {"LOAD", "STORE", "CONST", "SHL", "SHR", "AND", "OR", "XOR", "COPY", "EQ", "NE", "==", "IN", "OUT",
                   "MULTIPLY", "ADDER", "add", ""},
                  std::nullopt, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- whole graphs -----------------------------------------------------------

struct GraphCase {
    const char *name;
    const char *dot;
    const char *dfg;  // the expected DFG text
    bool strict_compare = false;
};

class DotGraphs : public testing::TestWithParam<GraphCase> {};

TEST_P(DotGraphs, BecomeTheDfgText) {
    const ImportedCore core =
        import_dot_text(GetParam().dot, "/some/where/core.dot", DotImportOptions{GetParam().strict_compare});
    EXPECT_EQ(core.dfg_text, GetParam().dfg);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DotGraphs,
    testing::Values(
        // The operator: label, else opcode, else op, else type, else the name.
        GraphCase{"LabelFirst", "digraph { a [label=add, opcode=mul]; b [label=mul]; a -> b }", "+ 0 0 1\n* 1 0 2\n"},
        GraphCase{"OpcodeWithoutLabel", "digraph { a [opcode=sub, op=add] }", "- 0 0 1\n"},
        GraphCase{"OpWithoutOpcode", "digraph { a [op=div, type=add] }", "/ 0 0 1\n"},
        GraphCase{"TypeWithoutOp", "digraph { a [type=fmul] }", "* 0 0 1\n"},
        GraphCase{"NameWithoutAttributes", "digraph { add1 -> mul_2 }", "+ 0 0 1\n* 1 0 2\n"},
        GraphCase{"EmptyLabelIsAbsent", "digraph { a [label=\"\", opcode=sub] }", "- 0 0 1\n"},
        GraphCase{"DefaultLabelIsAbsent", "digraph { node [label=\"\\N\"]; sub3; x [opcode=mul] }", "- 0 0 1\n* 0 0 2\n"},
        GraphCase{"LabelsNormalized",
                  "digraph { a [label=\"MUL\"]; b [label=mul]; c [label=MULT4]; d [label=imult_11]; e [label=\" Add_2 \"] }",
                  "* 0 0 1\n* 0 0 2\n* 0 0 3\n* 0 0 4\n+ 0 0 5\n"},
        GraphCase{"NodeDefaultsApply", "digraph { node [label=add]; a; b; a -> b }", "+ 0 0 1\n+ 1 0 2\n"},
        // Compares.
        GraphCase{"GreaterThanKeepsItsOperandOrder", "digraph { x [label=add]; y [label=sub]; g [label=\">\"]; x -> g; y -> g }",
                  "+ 0 0 1\n- 0 0 2\n< 1 2 3\n"},
        GraphCase{"StrictCompareLeavesGreaterOut", "digraph { x [label=add]; g [label=sge]; l [label=slt]; x -> g; g -> l; x -> l }",
                  "+ 0 0 1\n< 0 1 2\n", /*strict_compare=*/true},
        GraphCase{"LooseCompareTakesGreater", "digraph { x [label=add]; g [label=sge]; l [label=slt]; x -> g; g -> l; x -> l }",
                  "+ 0 0 1\n< 1 0 2\n< 2 1 3\n"},
        // Operands.
        GraphCase{"NonOperationsArePrimaryInputs", "digraph { ld [label=load]; k [label=const]; s [label=add]; ld -> s; k -> s }",
                  "+ 0 0 1\n"},
        GraphCase{"ThroughACopyIsAPrimaryInput", "digraph { a [label=add]; c [label=copy]; m [label=mul]; a -> c -> m; a -> m }",
                  "+ 0 0 1\n* 0 1 2\n"},
        GraphCase{"FirstTwoOfMoreInputs",
                  "digraph { p [label=add]; q [label=sub]; r [label=mul]; s [label=add]; p -> s; q -> s; r -> s }",
                  "+ 0 0 1\n- 0 0 2\n* 0 0 3\n+ 1 2 4\n"},
        GraphCase{"MissingOperandIsZero", "digraph { p [label=add]; s [label=sub]; p -> s }", "+ 0 0 1\n- 1 0 2\n"},
        GraphCase{"OneProducerTwice", "digraph { p [label=add]; m [label=mul]; p -> m; p -> m }", "+ 0 0 1\n* 1 1 2\n"},
        GraphCase{"OperandAttributeOrders",
                  "digraph { p [label=add]; q [label=sub]; d [label=div]; p -> d [operand=2]; q -> d [operand=1] }",
                  "+ 0 0 1\n- 0 0 2\n/ 2 1 3\n"},
        GraphCase{"OperandAttributeOnSomeEdgesOnly",
                  "digraph { p [label=add]; q [label=sub]; d [label=div]; p -> d; q -> d [operand=0] }",
                  "+ 0 0 1\n- 0 0 2\n/ 1 2 3\n"},
        GraphCase{"OperandAttributeNotAnInteger",
                  "digraph { p [label=add]; q [label=sub]; d [label=div]; p -> d [operand=b]; q -> d [operand=a] }",
                  "+ 0 0 1\n- 0 0 2\n/ 1 2 3\n"},
        GraphCase{"SelfLoopIgnored", "digraph { a [label=add]; b [label=mul]; a -> a; b -> b; a -> b }",
                  "+ 0 0 1\n* 1 0 2\n"},
        GraphCase{"EdgesInTheFilesOrder",
                  "digraph { s [label=add]; q [label=sub]; p [label=mul]; subgraph x { q -> s } p -> s }",
                  "- 0 0 1\n* 0 0 2\n+ 1 2 3\n"},
        // Numbering.
        GraphCase{"TiesTakeTheFirstMentioned", "digraph { m [label=mul]; a1 [label=add]; a1 -> m; a2 [label=add] }",
                  "+ 0 0 1\n* 1 0 2\n+ 0 0 3\n"},
        GraphCase{"FirstMentionAsAnEdgeEnd", "digraph { b -> a; a [label=sub]; b [label=add]; c [label=mul] }",
                  "+ 0 0 1\n- 1 0 2\n* 0 0 3\n"},
        // The file's own syntax.
        GraphCase{"SubgraphsCount",
                  "digraph { subgraph cluster_0 { a [label=add]; b [label=mul]; a -> b } { rank=same; c [label=sub] } b -> c }",
                  "+ 0 0 1\n* 1 0 2\n- 2 0 3\n"},
        GraphCase{"QuotedNames", "digraph { \"add 1\" -> \"then * it\"; \"then * it\" [label=\"*\"] }",
                  "+ 0 0 1\n* 1 0 2\n"},
        GraphCase{"Comments", "/* a core */\n// its one adder\n# 1 \"core.c\"\ndigraph g { a [label=add] /* there */ }",
                  "+ 0 0 1\n"},
        GraphCase{"StrictDigraphAndPorts", "strict digraph { a [label=add]; b [label=mul]; a:o -> b:i; a -> b }",
                  "+ 0 0 1\n* 1 0 2\n"},
        GraphCase{"HtmlLabel", "digraph { a [label=<add>] }", "+ 0 0 1\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DotImport, MapAndCountsFollowTheIds) {
    const ImportedCore core = import_dot_text(
        "digraph { x [label=LOAD]; \"m 1\" [label=imult_11]; a [opcode=\"add\"]; c [label=\"<\"]; d [op=div];"
        " s [type=fsub]; x -> \"m 1\"; \"m 1\" -> a; a -> c; c -> d; d -> s; lt [label=lt] }",
        "core.dot");
    EXPECT_EQ(core.map_text, "1 m 1 imult_11\n2 a add\n3 c <\n4 d div\n5 s fsub\n6 lt lt\n");
    EXPECT_EQ(core.operation_count, 6);
    EXPECT_EQ(import_summary(core, "in/core.dot"), "imported 6 operations (+ 1, - 1, * 1, / 1, < 2) from in/core.dot");
}

// A control character in a name stays escaped, so each map line stays one line.
TEST(DotImport, MapLinesStayOneLine) {
    const ImportedCore core = import_dot_text("digraph { \"a\nb\" [label=\"add\t\"] }", "core.dot");
    EXPECT_EQ(core.map_text, "1 a\\nb add\\t\n");
}

// ---- refusals -----------------------------------------------------------------

std::string additions(int count) {
    std::string text = "digraph {\n";
    for (int i = 1; i <= count; ++i)
        text += "  n" + std::to_string(i) + " [label=add]\n";
    return text + "}\n";
}

struct RefusalCase {
    const char *name;
    std::string dot;
    Refusal::Reason reason;
    const char *message;
};

class DotRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(DotRefusals, SayWhyInOneLine) {
    try {
        import_dot_text(GetParam().dot, "/in/core.dot");
        FAIL() << "not refused";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), GetParam().reason);
        EXPECT_EQ(refusal.what(), std::string(GetParam().message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, DotRefusals,
    testing::Values(
        RefusalCase{"Undirected", "graph { a [label=add]; b [label=add]; a -- b }", Refusal::Reason::ImportFile,
                    "core.dot is an undirected graph; a data-flow graph is a digraph"},
        RefusalCase{"CycleAmongOperations", "digraph { l [label=load]; a [label=add]; b [label=mul]; l -> a -> b -> a }",
                    Refusal::Reason::ImportFile, "core.dot has a cycle among its operations, through node 'a'"},
        RefusalCase{"SyntaxError", "digraph {\n a -> ;\n}", Refusal::Reason::ImportFile,
                    "core.dot cannot be read by Graphviz: syntax error in line 2 near ';'"},
        RefusalCase{"SyntaxErrorAfterTheGraph", "digraph { a [label=add] } junk", Refusal::Reason::ImportFile,
                    "core.dot cannot be read by Graphviz: syntax error in line 1 near 'junk'"},
        RefusalCase{"TwoGraphs", "digraph { a [label=add] } digraph { b [label=add] }", Refusal::Reason::ImportFile,
                    "core.dot holds 2 graphs; import takes one"},
        RefusalCase{"NoGraph", "/* nothing */\n", Refusal::Reason::ImportFile, "core.dot holds no graph"},
        RefusalCase{"NulByte", std::string("digraph { a [label=add] }\0digraph { }", 37), Refusal::Reason::ImportFile,
                    "core.dot holds a NUL byte; a DOT file is text"},
        RefusalCase{"NoOperation", "digraph { load -> store; k [label=const] }", Refusal::Reason::DspCoreFile,
                    "core.dot holds no operation: no addition, subtraction, multiplication, division or comparison"},
        RefusalCase{"OnlyGreaterThanWhenStrict", "digraph { }", Refusal::Reason::DspCoreFile,
                    "core.dot holds no operation: no addition, subtraction, multiplication, division or comparison"},
        RefusalCase{"MoreThanTheHashChainTakes", additions(896), Refusal::Reason::DspCoreTooLarge,
                    "core.dot has 896 operations; the hash chain takes at most 895"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DotImport, StrictCompareCanLeaveNoOperation) {
    const std::string dot = "digraph { g [label=sgt] }";
    EXPECT_EQ(import_dot_text(dot, "core.dot").dfg_text, "< 0 0 1\n");
    try {
        import_dot_text(dot, "core.dot", DotImportOptions{/*strict_compare=*/true});
        FAIL() << "not refused";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::DspCoreFile);
    }
}

TEST(DotImport, StrictCompareCanBreakACycleThroughAGreaterThan) {
    const std::string dot = "digraph { a [label=add]; b [label=sgt]; a -> b -> a }";
    EXPECT_THROW(import_dot_text(dot, "core.dot"), Refusal);
    EXPECT_EQ(import_dot_text(dot, "core.dot", DotImportOptions{/*strict_compare=*/true}).dfg_text, "+ 0 0 1\n");
}

TEST(DotImport, TakesAsManyOperationsAsTheHashChain) {
    EXPECT_EQ(import_dot_text(additions(895), "core.dot").operation_count, 895);
}

// Graphviz's lexer keeps state between reads: a refused file leaves nothing behind for the next.
TEST(DotImport, ARefusedFileLeavesNothingForTheNext) {
    for (const char *refused : {"digraph { a -> ", "digraph { a } digraph { b }", "digraph { a } x y", "graph { a }",
                                "digraph { a [label=\"", "digraph { /* a", "digraph { a [label=<<b>",
                                "digraph { a } digraph { -> }", "digraph { a [label=\"x\" ] } \"y"}) {
        SCOPED_TRACE(refused);
        EXPECT_THROW(import_dot_text(refused, "bad.dot"), Refusal);
        EXPECT_EQ(import_dot_text("digraph { s [label=sub] }", "good.dot").dfg_text, "- 0 0 1\n");
    }
}

// ---- the file -------------------------------------------------------------------

TEST(DotImport, ReadsTheFileAndItsResultLoads) {
    ScratchDir dir;
    const std::string dot = dir.write("fir.gv",
                                      "digraph fir {\n  x0 -> m0; c0 -> m0; x1 -> m1; c1 -> m1\n"
                                      "  m0 -> s; m1 -> s\n  m0 [label=mul]; m1 [label=mul]; s [label=add]\n}\n");
    const ImportedCore core = import_dot(dot);
    EXPECT_EQ(core.dfg_text, "* 0 0 1\n* 0 0 2\n+ 1 2 3\n");
    Design design;
    std::ostringstream log;
    load_dsp_core(design, dir.write("fir.txt", core.dfg_text), log);
    EXPECT_EQ(design.operations.size(), 3u);
    EXPECT_EQ(design.operations.at(3).first_input, 1);
    EXPECT_EQ(design.operations.at(3).second_input, 2);
}

TEST(DotImport, RefusesAFileItCannotRead) {
    ScratchDir dir;
    for (const std::string &path : {dir.path() + "/missing.dot", dir.path()}) {
        try {
            import_dot(path);
            FAIL() << path << " not refused";
        } catch (const Refusal &refusal) {
            EXPECT_EQ(refusal.reason(), Refusal::Reason::ImportFile);
            EXPECT_EQ(refusal.what(), "cannot read " + path);
        }
    }
}

TEST(DotImport, RefusesAFileLargerThanItsBound) {
    ScratchDir dir;
    const std::string path = dir.write("big.dot", "digraph { a [label=add] }\n");
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(max_dot_file_bytes + 1)), 0);
    try {
        import_dot(path);
        FAIL() << "not refused";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::ImportFile);
        EXPECT_EQ(refusal.what(), std::string("big.dot is larger than 4 MiB"));
    }
}

}  // namespace
}  // namespace velnor
