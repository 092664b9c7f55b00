// The C importer on the kernels of tests/data/c, compiled by the clang the
// build machine has: the DFG text of each kernel (worked out by hand from the
// C source and the rules), the map's source lines, and each refusal.
#include "import/c_import.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/design.h"
#include "core/refusal.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::data_path;
using test::ScratchDir;

std::string refusal_of(const std::function<void()> &action) {
    try {
        action();
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::ImportFile) << refusal.what();
        return refusal.what();
    }
    return "(not refused)";
}

struct KernelCase {
    const char *name;
    const char *file;
    const char *function;
    const char *dfg;
};

class CKernel : public testing::TestWithParam<KernelCase> {};

TEST_P(CKernel, ImportsItsOperationsInInstructionOrder) {
    const ImportedCore core = import_c(data_path(GetParam().file), GetParam().function, {});
    EXPECT_EQ(core.dfg_text, GetParam().dfg);
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, CKernel,
    testing::Values(
        // The loop unrolled: each product feeds the running sum; the first addition adds the constant 0.
        KernelCase{"Fir", "c/fir.c", "fir",
                   "* 0 0 1\n+ 1 0 2\n* 0 0 3\n+ 2 3 4\n* 0 0 5\n+ 4 5 6\n* 0 0 7\n+ 6 7 8\n"},
        KernelCase{"Biquad", "c/biquad.c", "biquad",
                   "* 0 0 1\n* 0 0 2\n+ 1 2 3\n* 0 0 4\n+ 3 4 5\n* 0 0 6\n- 5 6 7\n* 0 0 8\n- 7 8 9\n"},
        // -d (a negation) and the copies are no operation.
        KernelCase{"Butterfly", "c/butterfly.c", "butterfly4", "+ 0 0 1\n- 0 0 2\n+ 0 0 3\n- 0 0 4\n+ 1 3 5\n- 1 3 6\n"},
        // p > limit compares limit with p: the greater-than's operands swapped.
        KernelCase{"HornerLoop", "c/horner.c", "horner", "* 0 0 1\n+ 1 0 2\n* 2 0 3\n+ 3 0 4\n* 4 0 5\n+ 5 0 6\n< 0 6 7\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CImport, OneCompileListsAndImportsEveryFunction) {
    const CompiledC compiled(data_path("c/biquad.c"), {});
    EXPECT_EQ(compiled.functions(), (std::vector<std::string>{"biquad", "biquad_cascade"}));
    const ImportedCore cascade = compiled.import("biquad_cascade");
    EXPECT_EQ(cascade.operation_count, 18);
    EXPECT_EQ(cascade.counts.add, 4);
    EXPECT_EQ(cascade.counts.subtract, 4);
    EXPECT_EQ(cascade.counts.multiply, 10);
    // The second section's first product reads the first section's output.
    EXPECT_NE(cascade.dfg_text.find("\n* 0 9 10\n"), std::string::npos) << cascade.dfg_text;
    EXPECT_EQ(compiled.import("biquad").operation_count, 9);
}

TEST(CImport, TheMapNamesEachOperationsSourceLineAndInstruction) {
    const std::string fir = data_path("c/fir.c"), horner = data_path("c/horner.c");
    const std::string map = import_c(fir, "fir", {}).map_text;
    EXPECT_EQ(map.substr(0, map.find('\n', map.find('\n') + 1) + 1),
              "1 " + fir + ":5:21 fmul\n2 " + fir + ":5:13 fadd\n");
    const std::string compare = import_c(horner, "horner", {}).map_text;
    EXPECT_NE(compare.find("\n7 " + horner + ":6:14 fcmp ogt\n"), std::string::npos) << compare;
}

TEST(CImport, RefusesWhatIsNotOneStraightLineFunction) {
    const std::string rolled = data_path("c/rolled.c");
    const CompiledC compiled(rolled, {});
    EXPECT_EQ(refusal_of([&] { compiled.import("sum"); }), "loop not fully unrolled at rolled.c:4");
    EXPECT_EQ(refusal_of([&] { compiled.import("store_if_less"); }),
              "branch left after optimisation at rolled.c:10; import takes straight-line code");
    const std::string defined = "; it defines: sum, store_if_less, calls, nothing";
    EXPECT_EQ(refusal_of([&] { compiled.import("fir"); }), "no function 'fir' in rolled.c" + defined);
    EXPECT_EQ(refusal_of([&] { compiled.import("declared"); }), "rolled.c only declares 'declared'" + defined);
    // An empty function is refused as the DSP core reader refuses a file of no operation.
    try {
        compiled.import("nothing");
        ADD_FAILURE() << "not refused";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::DspCoreFile);
    }
}

TEST(CImport, RefusesFilesClangCannotCompileOrFind) {
    ScratchDir scratch;
    const std::string taps = scratch.write(
        "taps.c", "#ifndef TAPS\n#error give TAPS\n#endif\nint f(const int *x, const int *h) { int s = 0;\n"
                  "for (int i = 0; i < TAPS; ++i) s += x[i] * h[i]; return s; }\n");
    EXPECT_EQ(refusal_of([&] { import_c(taps, "f", {}); }), "clang failed: " + taps + ":2:2: error: give TAPS");
    // The caller's arguments reach clang: -D defines the trip count.
    ClangOptions options;
    options.arguments = {"-DTAPS=3"};
    EXPECT_EQ(import_c(taps, "f", options).counts.multiply, 3);

    ClangOptions instant;
    instant.seconds = 0.001;
    EXPECT_EQ(refusal_of([&] { import_c(taps, "f", instant); }), "clang did not compile taps.c within 0.001 s");
    ClangOptions no_clang;
    no_clang.search_path = scratch.path();
    EXPECT_EQ(refusal_of([&] { import_c(taps, "f", no_clang); }),
              "clang is not installed; install Debian's package clang");
    EXPECT_EQ(refusal_of([&] { import_c(scratch.path() + "/absent.c", "f", {}); }),
              "cannot read " + scratch.path() + "/absent.c");
    EXPECT_EQ(refusal_of([&] { import_c(scratch.path(), "f", {}); }),
              file_name_of(scratch.path()) + " is not a regular file");
    EXPECT_EQ(refusal_of([&] { import_c(scratch.write("empty.c", ""), "f", {}); }),
              "no function 'f' in empty.c; it defines no function");
    const std::string large = scratch.write("large.c", std::string(max_c_file_bytes + 1, ' '));
    EXPECT_EQ(refusal_of([&] { import_c(large, "f", {}); }), "large.c is larger than 1 MiB");
}

}  // namespace
}  // namespace velnor
