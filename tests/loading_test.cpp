// Loading the DSP core and the module library: the shipped example files with
// facts checked by hand, the refusals with their reasons, and that a refused
// load leaves the design exactly as it was while a good one replaces only its part.
#include "core/loading.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/design_dump.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::data_path;
using test::ScratchDir;

Design loaded_dfg(const std::string &name) {
    Design d;
    std::ostringstream log;
    load_dsp_core(d, data_path("dfg/" + name), log);
    EXPECT_EQ(log.str(), "");
    return d;
}

TEST(LoadDspCore, FirFilter) {
    Design d = loaded_dfg("fir.txt");
    EXPECT_EQ(d.operations.size(), 21u);
    EXPECT_EQ(d.operation_types, (std::set<int32_t>{Add, Multiply}));
    EXPECT_EQ(d.latency_bound, 9);
    EXPECT_EQ(test::steps_text(d.asap_steps),
              "1: 1 2 3 4 5 6 7 8 9 10 11; 2: 12 14 18; 3: 13; 4: 15; 5: 16; 6: 17; 7: 19; 8: 20; 9: 21; ");
    EXPECT_EQ(test::steps_text(d.alap_steps),
              "1: 1 2; 2: 3 12; 3: 4 5 6 13; 4: 14 15; 5: 7 8 9 16; 6: 17 18; 7: 10 19; 8: 11 20; 9: 21; ");
    EXPECT_EQ(d.subtractor_count, 0);
    EXPECT_EQ(d.comparator_count, 0);
    EXPECT_EQ(d.dfg_name, "fir.txt");
    EXPECT_EQ(d.dfg_path, data_path("dfg/fir.txt"));
}

TEST(LoadDspCore, DifferentialEquationWithMixedOperands) {
    Design d = loaded_dfg("diffeq.txt");
    EXPECT_EQ(d.operations.size(), 11u);
    EXPECT_EQ(d.operation_types, (std::set<int32_t>{Add, Subtract, Multiply, Compare}));
    EXPECT_EQ(d.subtractor_count, 2);
    EXPECT_EQ(d.comparator_count, 1);
    EXPECT_EQ(d.latency_bound, 4);
    EXPECT_EQ(test::steps_text(d.asap_steps), "1: 1 2 5 8 10; 2: 3 6 9 11; 3: 4; 4: 7; ");
    EXPECT_EQ(test::steps_text(d.alap_steps), "1: 1 2; 2: 3 5; 3: 4 6 8 10; 4: 7 9 11; ");
}

TEST(LoadDspCore, LatticeFilter) {
    Design d = loaded_dfg("arf.txt");
    EXPECT_EQ(d.operations.size(), 28u);
    EXPECT_EQ(d.latency_bound, 8);
    EXPECT_EQ(d.operations[13].asap_step, 3);
    EXPECT_EQ(d.operations[21].asap_step, 6);
    EXPECT_EQ(d.operations[27].asap_step, 8);
    EXPECT_EQ(d.operations[9].alap_step, 7);   // feeds only 27
    EXPECT_EQ(d.operations[1].alap_step, 6);   // feeds only 9
    EXPECT_EQ(d.operations[3].alap_step, 1);   // on the longest path
    EXPECT_EQ(d.subtractor_count + d.comparator_count, 0);
}

TEST(LoadDspCore, FileOfEmptyLinesIsAnEmptyCore) {
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    load_dsp_core(d, dir.write("empty.txt", "\n\n"), log);
    EXPECT_TRUE(d.operations.empty());
    EXPECT_EQ(d.latency_bound, 0);
    EXPECT_EQ(d.dfg_name, "empty.txt");
}

// A design with a DFG, a library and fields from later stages, to check that
// loads touch nothing but their own part.
Design busy_design() {
    Design d;
    std::ostringstream log;
    load_dsp_core(d, data_path("dfg/fir.txt"), log);
    load_module_library(d, data_path("lib/library_a.txt"));
    d.resources[Add] = 2;
    d.list_steps[1] = {1};
    d.max_area = 5.0;
    return d;
}

TEST(LoadDspCore, ReplacesOnlyTheDfgPart) {
    Design d = busy_design();
    const std::string library = test::library_part_text(d);
    std::ostringstream log;
    load_dsp_core(d, data_path("dfg/diffeq.txt"), log);
    EXPECT_EQ(test::dfg_part_text(d), test::dfg_part_text(loaded_dfg("diffeq.txt")));
    EXPECT_EQ(test::library_part_text(d), library);
    EXPECT_EQ(d.resources.at(Add), 2);
    EXPECT_EQ(d.list_steps.size(), 1u);
    EXPECT_EQ(d.max_area, 5.0);
}

TEST(LoadModuleLibrary, ReplacesOnlyTheLibraryPart) {
    Design d = busy_design();
    const std::string dfg = test::dfg_part_text(d);
    ScratchDir dir;
    std::string nines;
    for (int i = 0; i < 27; ++i)
        nines += "9 ";
    const std::string nines_path = dir.write("nines.txt", nines);
    load_module_library(d, nines_path);
    EXPECT_EQ(test::library_part_text(d),
              "area 0 9/9 area 2 9/9 delay 0 9/9 delay 2 9/9 adders 9 multipliers 9 register 9/9 path " + nines_path);
    EXPECT_EQ(test::dfg_part_text(d), dfg);
    EXPECT_EQ(d.resources.at(Add), 2);
}

struct RefusedDfgRow {
    const char *name;
    const char *text;
    const char *reason;  // after "g.txt "
};

void PrintTo(const RefusedDfgRow &row, std::ostream *out) { *out << row.name; }

class LoadDspCoreRefuses : public ::testing::TestWithParam<RefusedDfgRow> {};

TEST_P(LoadDspCoreRefuses, LeavesTheDesignAsItWas) {
    const RefusedDfgRow &r = GetParam();
    ScratchDir dir;
    const std::string path = dir.write("g.txt", r.text);
    Design d = busy_design();
    const std::string dfg = test::dfg_part_text(d);
    const std::string library = test::library_part_text(d);
    std::ostringstream log;
    try {
        load_dsp_core(d, path, log);
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_EQ(error.what(), std::string("g.txt ") + r.reason);
    }
    EXPECT_EQ(test::dfg_part_text(d), dfg);
    EXPECT_EQ(test::library_part_text(d), library);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadDspCoreRefuses,
    ::testing::Values(
        RefusedDfgRow{"malformed_line", "+ 0 0 1\n+ 0 x 2\n",
                      "line 2: the second operand is missing: column 5 holds 'x' where its digits should start"},
        RefusedDfgRow{"gap", "+ 0 0 1\n+ 0 0 3\n",
                      "line 2: operation 3 leaves a gap: the file defines 2 operations, so the ids must run 1..2 "
                      "and operation 2 is missing"},
        RefusedDfgRow{"single_operation_not_one", "+ 0 0 2\n",
                      "line 1: operation 2 leaves a gap: the file defines 1 operation, so the ids must run 1..1 "
                      "and operation 1 is missing"},
        RefusedDfgRow{"gap_names_smallest_missing", "+ 0 0 4\n+ 0 0 1\n+ 1 4 5\n- 0 0 3\n",
                      "line 3: operation 5 leaves a gap: the file defines 4 operations, so the ids must run 1..4 "
                      "and operation 2 is missing"},
        RefusedDfgRow{"id_zero", "+ 0 0 1\n+ 0 0 0\n", "line 2: operation id 0: ids start at 1"},
        RefusedDfgRow{"duplicate", "+ 0 0 1\n+ 0 0 2\n\n* 1 2 1\n",
                      "line 4: operation 1 is defined again (first on line 1)"},
        RefusedDfgRow{"duplicate_on_one_line", "+ 0 0 1 - 0 0 1\n",
                      "line 1: operation 1 is defined again (first on line 1)"},
        RefusedDfgRow{"forward_reference", "+ 0 0 1\n+ 1 3 2\n+ 0 0 3\n",
                      "line 2: operation 2 reads operation 3, which is not written before it"},
        RefusedDfgRow{"self_reference", "+ 0 0 1\n- 0 2 2\n", "line 2: operation 2 reads its own result"},
        RefusedDfgRow{"undefined_operand", "+ 0 0 1\n+ 1 9 2\n",
                      "line 2: operation 2 reads operation 9, which the file never defines"},
        RefusedDfgRow{"cycle", "+ 2 0 1\n+ 1 0 2\n",
                      "line 1: operation 1 reads operation 2, which is not written before it"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LoadDspCoreUnreadable, MissingFileIsRefusedAndLogged) {
    Design d = busy_design();
    const std::string dfg = test::dfg_part_text(d);
    std::ostringstream log;
    try {
        load_dsp_core(d, "/nonexistent/velnor/nosuch.txt", log);
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_STREQ(error.what(), "cannot open /nonexistent/velnor/nosuch.txt");
    }
    EXPECT_EQ(log.str(), "file read error");
    EXPECT_EQ(test::dfg_part_text(d), dfg);
}

TEST(LoadDspCoreUnreadable, EmptyPathAndFolderAreRefused) {
    ScratchDir dir;
    Design d;
    std::ostringstream log;
    try {
        load_dsp_core(d, "", log);
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_STREQ(error.what(), "no file was given");
    }
    try {
        load_dsp_core(d, dir.path(), log);
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_EQ(error.what(), "cannot read " + dir.path());
    }
    EXPECT_TRUE(d.operations.empty());
    EXPECT_EQ(d.dfg_path, "");
}

struct RefusedLibraryRow {
    const char *name;
    std::string text;
    const char *reason;
};

void PrintTo(const RefusedLibraryRow &row, std::ostream *out) { *out << row.name; }

class LoadModuleLibraryRefuses : public ::testing::TestWithParam<RefusedLibraryRow> {};

TEST_P(LoadModuleLibraryRefuses, LeavesTheDesignAsItWas) {
    const RefusedLibraryRow &r = GetParam();
    ScratchDir dir;
    const std::string path = dir.write("lib.txt", r.text);
    Design d = busy_design();
    const std::string dfg = test::dfg_part_text(d);
    const std::string library = test::library_part_text(d);
    try {
        load_module_library(d, path);
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_STREQ(error.what(), r.reason);
    }
    EXPECT_EQ(test::dfg_part_text(d), dfg);
    EXPECT_EQ(test::library_part_text(d), library);
}

// library_a.txt's values with the adder variant 2 area (the fifth number) set to 0.
const char *const zero_adder_area =
    "0 2 400 2\n0 4 4 12 7 16 1 0\n2 2 1600 4 900 7 4 48 26 16 1 0\n5 30 1\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadModuleLibraryRefuses,
    ::testing::Values(RefusedLibraryRow{"zero_area", zero_adder_area,
                                        "lib.txt: adder variant 2 area is 0 (number 5 of the file, on line 2)"},
                      RefusedLibraryRow{"too_few_numbers", "1 2 3 4 5 6 7 8 9 10 11 12\n",
                                        "lib.txt: the file holds 12 numbers; a module library needs at least 27"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LoadModuleLibraryUnreadable, MissingFileAndFolder) {
    ScratchDir dir;
    Design d = busy_design();
    const std::string library = test::library_part_text(d);
    try {
        load_module_library(d, "/nonexistent/velnor/nosuch.txt");
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_STREQ(error.what(), "cannot open /nonexistent/velnor/nosuch.txt");
    }
    try {
        load_module_library(d, dir.path());
        FAIL() << "accepted";
    } catch (const LoadError &error) {
        EXPECT_EQ(error.what(), file_name_of(dir.path()) + ": the file cannot be read");
    }
    EXPECT_EQ(test::library_part_text(d), library);
}

}  // namespace
}  // namespace velnor
