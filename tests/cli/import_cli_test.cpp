// velnor-cli import through its real binary: a DOT benchmark and a C function
// converted into the expected DFG and map files, the result run through `run`,
// standard output without --out, and each refusal with its one line, status 2
// and no file.
#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::Outcome;
using velnor::test::read_file;
using velnor::test::ScratchDir;

Outcome run_cli(const QStringList &arguments) { return velnor::test::run_program(VELNOR_CLI, arguments); }

QString q(const std::string &text) { return QString::fromStdString(text); }

const std::string diffeq_summary = "imported 11 operations (+ 2, - 2, * 6, / 0, < 1) from ";

TEST(CliImport, WritesTheDfgAndTheMapOfABenchmark) {
    ScratchDir dir;
    const std::string source = data_path("dot/diffeq.gv");
    const std::string dfg = dir.path() + "/diffeq.txt", map = dir.path() + "/diffeq.map";
    const Outcome imported = run_cli({"import", "--dot", q(source), "--out", q(dfg), "--map", q(map)});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "");
    EXPECT_EQ(imported.err, diffeq_summary + source + "\n");
    EXPECT_EQ(read_file(dfg), read_file(data_path("dot/diffeq_dfg.expected")));
    EXPECT_EQ(read_file(map), read_file(data_path("dot/diffeq_map.expected")));

    // The imported core runs the whole flow.
    const Outcome signed_run = run_cli({"run", "--dfg", q(dfg), "--library", q(data_path("lib/library_a.txt")),
                                        "--adders", "1", "--multipliers", "2", "--subtractors", "1", "--comparators",
                                        "1", "--encodings", "3", "--rounds", "80 64", "--size", "6"});
    ASSERT_EQ(signed_run.status, 0) << signed_run.err;
    EXPECT_NE(signed_run.out.find("\nsignature : "), std::string::npos) << signed_run.out;
}

TEST(CliImport, WithoutOutTheDfgGoesToStandardOutput) {
    const std::string source = data_path("dot/diffeq.gv");
    const Outcome imported = run_cli({"import", "--dot", q(source)});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, read_file(data_path("dot/diffeq_dfg.expected")));
    EXPECT_EQ(imported.err, diffeq_summary + source + "\n");
}

TEST(CliImport, StrictCompareLeavesGreaterThanOut) {
    ScratchDir dir;
    const std::string source = dir.write("g.dot", "digraph { a [label=add]; g [label=BGT]; l [label=blt]; a -> g; a -> l }");
    const Outcome loose = run_cli({"import", "--dot", q(source)});
    EXPECT_EQ(loose.out, "+ 0 0 1\n< 1 0 2\n< 1 0 3\n");
    const Outcome strict = run_cli({"import", "--strict-compare", "--dot", q(source)});
    EXPECT_EQ(strict.out, "+ 0 0 1\n< 1 0 2\n");
    EXPECT_EQ(strict.err, "imported 2 operations (+ 1, - 0, * 0, / 0, < 1) from " + source + "\n");
}

// A refused import writes nothing: an earlier file under --out stays as it was.
struct RefusedCase {
    const char *name;
    std::string dot;  // the file's text; empty: no file at all
    QStringList extra;
    std::string error;  // %F stands for the DOT file's path
};

class CliImportRefusals : public testing::TestWithParam<RefusedCase> {};

TEST_P(CliImportRefusals, OneLineStatusTwoAndNoFile) {
    ScratchDir dir;
    const std::string source = dir.path() + "/core.dot";
    if (!GetParam().dot.empty())
        dir.write("core.dot", GetParam().dot);
    const std::string out = dir.write("out.txt", "before\n"), map = dir.path() + "/map.txt";
    QStringList arguments{"import", "--dot", q(source), "--out", q(out), "--map", q(map)};
    const Outcome refused = run_cli(arguments + GetParam().extra);
    EXPECT_EQ(refused.status, 2);
    std::string error = GetParam().error;
    if (const auto at = error.find("%F"); at != std::string::npos)
        error.replace(at, 2, source);
    EXPECT_EQ(refused.err, error + "\n");
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(read_file(out), "before\n");
    EXPECT_FALSE(QFile::exists(q(map)));
}

std::string additions(int count) {
    std::string text = "digraph {";
    for (int i = 1; i <= count; ++i)
        text += " a" + std::to_string(i) + " [label=add];";
    return text + " }";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliImportRefusals,
    testing::Values(
        RefusedCase{"TooManyOperations", additions(896), {}, "core.dot has 896 operations; the hash chain takes at most 895"},
        RefusedCase{"NoOperation", "digraph { in -> out }", {},
                    "core.dot holds no operation: no addition, subtraction, multiplication, division or comparison"},
        RefusedCase{"Undirected", "graph { a [label=add] }", {}, "core.dot is an undirected graph; a data-flow graph is a digraph"},
        RefusedCase{"Cycle", "digraph { a [label=add]; b [label=sub]; a -> b -> a }", {},
                    "core.dot has a cycle among its operations, through node 'a'"},
        RefusedCase{"SyntaxError", "digraph { a -> }", {}, "core.dot cannot be read by Graphviz: syntax error in line 1 near '}'"},
        RefusedCase{"MissingFile", "", {}, "cannot read %F"},
        RefusedCase{"SourceTwice", "digraph { a [label=add] }", {"--dot", "other.dot"}, "--dot: given more than once"},
        RefusedCase{"UnknownOption", "digraph { a [label=add] }", {"--dfg", "x"}, "velnor-cli: Unknown option 'dfg'. (see velnor-cli --help)"},
        RefusedCase{"StrayArgument", "digraph { a [label=add] }", {"extra"}, "velnor-cli: unexpected argument 'extra'"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CliImport, UsageErrors) {
    const Outcome missing = run_cli({"import"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "--dot: missing; import needs the file to import (see velnor-cli --help)\n");
    const Outcome empty = run_cli({"import", "--dot", ""});
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.err, "--dot: needs a file name\n");
    const Outcome no_map = run_cli({"import", "--dot", q(data_path("dot/diffeq.gv")), "--map", ""});
    EXPECT_EQ(no_map.status, 2);
    EXPECT_EQ(no_map.err, "--map: needs a file name\n");
    const Outcome late = run_cli({"--json", "import"});
    EXPECT_EQ(late.status, 2);
    EXPECT_EQ(late.err, "velnor-cli: unknown command 'import'; import comes first, before its options\n");
}

TEST(CliImport, AFileThatCannotBeWrittenExitsWithOne) {
    ScratchDir dir;
    const std::string folder = dir.write("plain.txt", "x") + "/sub";
    const Outcome imported =
        run_cli({"import", "--dot", q(data_path("dot/diffeq.gv")), "--out", q(folder + "/core.txt")});
    EXPECT_EQ(imported.status, 1);
    EXPECT_EQ(imported.err, "--out: cannot write " + folder + "/core.txt\n");
}

// A FIFO under --out is written into, not replaced by a file of its own name.
// The test holds the reading end open without blocking, so the written text
// waits in the pipe, and a FIFO replaced by a file shows as nothing read.
TEST(CliImport, AFifoUnderOutStaysAFifo) {
    ScratchDir dir;
    const std::string fifo = dir.path() + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reading_end = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reading_end, 0);
    const Outcome imported = run_cli({"import", "--dot", q(data_path("dot/diffeq.gv")), "--out", q(fifo)});
    EXPECT_EQ(imported.status, 0) << imported.err;
    char buffer[4096];
    const ssize_t size = read(reading_end, buffer, sizeof buffer);
    close(reading_end);
    EXPECT_EQ(std::string(buffer, size > 0 ? static_cast<std::size_t>(size) : 0),
              read_file(data_path("dot/diffeq_dfg.expected")));
    struct stat status {};
    ASSERT_EQ(stat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST(CliImport, ConvertsAFunctionOfACFile) {
    ScratchDir dir;
    const std::string source = data_path("c/fir.c");
    const std::string dfg = dir.path() + "/fir.txt", map = dir.path() + "/fir.map";
    const Outcome imported =
        run_cli({"import", "--c", q(source), "--function", "fir", "--out", q(dfg), "--map", q(map)});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "");
    EXPECT_EQ(imported.err, "imported 8 operations (+ 4, - 0, * 4, / 0, < 0) from " + source + "\n");
    EXPECT_EQ(read_file(dfg), "* 0 0 1\n+ 1 0 2\n* 0 0 3\n+ 2 3 4\n* 0 0 5\n+ 4 5 6\n* 0 0 7\n+ 6 7 8\n");
    EXPECT_EQ(read_file(map).substr(0, read_file(map).find('\n') + 1), "1 " + source + ":5:21 fmul\n");

    // --clang-arg takes a value that starts with a dash, and clang gets each in order.
    const std::string taps = dir.write("taps.c", "int f(const int *x, const int *h) { int s = 0;\n"
                                                 "for (int i = 0; i < TAPS; ++i) s += x[i] * h[i]; return s; }\n");
    const Outcome defined =
        run_cli({"import", "--c", q(taps), "--function", "f", "--clang-arg", "-DTAPS=9", "--clang-arg", "-UTAPS",
                 "--clang-arg", "-DTAPS=2"});
    ASSERT_EQ(defined.status, 0) << defined.err;
    EXPECT_EQ(defined.err, "imported 3 operations (+ 1, - 0, * 2, / 0, < 0) from " + taps + "\n");
}

TEST(CliImport, RefusesCOptionsAndFunctionsInOneLine) {
    ScratchDir dir;
    const std::string rolled = data_path("c/rolled.c"), fir = data_path("c/fir.c");
    const std::string out = dir.write("out.txt", "before\n");
    const std::pair<QStringList, std::string> cases[] = {
        {{"--c", q(rolled), "--function", "sum"}, "loop not fully unrolled at rolled.c:4"},
        {{"--c", q(rolled), "--function", "fir"},
         "no function 'fir' in rolled.c; it defines: sum, store_if_less, calls, nothing"},
        {{"--c", q(fir)}, "--function: missing; --c needs the function to import"},
        {{"--c", q(fir), "--dot", q(fir), "--function", "fir"}, "--c: given with --dot; import takes one source"},
        {{"--dot", q(data_path("dot/diffeq.gv")), "--function", "fir"}, "--function: only with --c"},
        {{"--c", q(fir), "--function", "fir", "--strict-compare"},
         "--strict-compare: only with --dot; a C comparison's predicate decides"},
    };
    for (const auto &[arguments, error] : cases) {
        const Outcome refused = run_cli(QStringList{"import", "--out", q(out)} + arguments);
        EXPECT_EQ(refused.status, 2) << error;
        EXPECT_EQ(refused.err, error + "\n");
        EXPECT_EQ(read_file(out), "before\n");
    }
}

TEST(CliImport, HelpNamesTheCommandAndItsOptions) {
    const Outcome help = run_cli({"--help"});
    ASSERT_EQ(help.status, 0);
    for (const char *text : {"velnor-cli import --dot FILE [--strict-compare] [--out FILE] [--map FILE]",
                             "velnor-cli import --c FILE --function NAME [--clang-arg ARG]... [--out FILE] [--map FILE]",
                             "--strict-compare", "--map FILE", "--clang-arg ARG"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
}

}  // namespace
