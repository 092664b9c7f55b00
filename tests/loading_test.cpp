// Loading the DSP core and the module library: the refusals with their reasons,
// and that a refused load leaves the design exactly as it was while a good one
// replaces only its part. The shipped cores' ASAP and ALAP steps are fixed by
// the characterization reports.
#include "core/loading.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

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

// The bounds of the unit types the library does not count.
TEST(LoadDspCore, DifferentialEquationCountsSubtractorsAndComparators) {
    const Design d = loaded_dfg("diffeq.txt");
    EXPECT_EQ(d.subtractor_count, 2);
    EXPECT_EQ(d.comparator_count, 1);
}

// A design with a DFG, a library and fields from later stages, to check that
// loads touch nothing but their own part.
Design busy_design() {
    Design d;
    std::ostringstream log;
    load_dsp_core(d, data_path("dfg/fir.txt"), log);
    load_module_library(d, data_path("lib/library_a.txt"));
    d.resources[Add] = 2;
    return d;
}

TEST(Loading, EachLoadReplacesOnlyItsPart) {
    Design d = busy_design();
    const std::string library = test::library_part_text(d);
    std::ostringstream log;
    load_dsp_core(d, data_path("dfg/diffeq.txt"), log);
    EXPECT_EQ(test::dfg_part_text(d), test::dfg_part_text(loaded_dfg("diffeq.txt")));
    EXPECT_EQ(test::library_part_text(d), library);
    ScratchDir dir;
    const std::string nines = dir.write("nines.txt", "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9");
    load_module_library(d, nines);
    EXPECT_EQ(test::library_part_text(d),
              "area 0 9/9 area 2 9/9 delay 0 9/9 delay 2 9/9 adders 9 multipliers 9 register 9/9 path " + nines);
    EXPECT_EQ(test::dfg_part_text(d), test::dfg_part_text(loaded_dfg("diffeq.txt")));
    EXPECT_EQ(d.resources.at(Add), 2);  // a later stage's field
}

// Loads path with the given loader into a busy design, expects the refusal
// text, and that neither part of the design changed.
template <typename Load>
void expect_refused(const std::string &path, const std::string &reason, Load load) {
    Design d = busy_design();
    const std::string before = test::dfg_part_text(d) + test::library_part_text(d);
    try {
        load(d, path);
        ADD_FAILURE() << "accepted " << path;
    } catch (const Refusal &error) {
        EXPECT_EQ(error.what(), reason);
    }
    EXPECT_EQ(test::dfg_part_text(d) + test::library_part_text(d), before) << reason;
}

TEST(LoadDspCore, RefusesWithThePreciseReason) {
    std::ostringstream log;
    const auto load_core = [&log](Design &d, const std::string &path) { load_dsp_core(d, path, log); };
    expect_refused("/nonexistent/velnor/nosuch.txt", "cannot open /nonexistent/velnor/nosuch.txt", load_core);
    EXPECT_EQ(log.str(), "file read error\n");
    // A fault of the file is named with the file; the reader's own faults are in its test.
    const std::pair<const char *, const char *> rows[] = {
        {"+ 0 0 4\n+ 0 0 1\n+ 1 4 5\n- 0 0 3\n",
         "line 3: operation 5 leaves a gap: the file defines 4 operations, so the ids must run 1..4 "
         "and operation 2 is missing"},
        {"+ 0 0 1\n+ 0 0 0\n", "line 2: operation id 0: ids start at 1"},
        {"+ 0 0 1\n+ 0 0 2\n\n* 1 2 1\n", "line 4: operation 1 is defined again (first on line 1)"},
        {"+ 0 0 1\n+ 1 3 2\n+ 0 0 3\n", "line 2: operation 2 reads operation 3, which is not written before it"},
        {"+ 0 0 1\n- 0 2 2\n", "line 2: operation 2 reads its own result"}};
    for (const auto &[text, reason] : rows) {
        ScratchDir dir;
        expect_refused(dir.write("g.txt", text), std::string("g.txt ") + reason, load_core);
    }
    // The bounds of a line and of a file are the bounded reader's, tried in its test.
    ScratchDir dir;
    expect_refused(dir.path(), "cannot read " + dir.path(), load_core);
    expect_refused("", "no file was given", load_core);
}

// A core the hash chain cannot take is refused before it is scheduled, with
// its count and the limit; one at the limit loads.
TEST(LoadDspCore, RefusesMoreOperationsThanTheLimit) {
    ScratchDir dir;
    const std::string three = dir.write("three.txt", "+ 0 0 1\n+ 1 0 2\n+ 2 0 3\n");
    std::ostringstream log;
    const auto load_under = [&log](std::size_t limit) {
        return [&log, limit](Design &d, const std::string &path) { load_dsp_core(d, path, log, limit); };
    };
    expect_refused(three, "three.txt has 3 operations; the hash chain takes at most 2", load_under(2));
    // A gap beyond the limit does not hide the count.
    expect_refused(dir.write("gap.txt", "+ 0 0 1\n+ 1 0 2\n+ 2 0 9\n"),
                   "gap.txt has 3 operations; the hash chain takes at most 2", load_under(2));
    Design d;
    load_dsp_core(d, three, log, 3);
    EXPECT_EQ(d.operations.size(), 3u);
    try {
        load_dsp_core(d, three, log, 1);
        ADD_FAILURE() << "accepted";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::DspCoreTooLarge);
    }
}

TEST(LoadModuleLibrary, RefusesWithThePreciseReason) {
    ScratchDir dir;
    // library_a.txt's values with the adder variant 2 area (the fifth number) set to 0.
    const std::string zero_area =
        dir.write("lib.txt", "0 2 400 2\n0 4 4 12 7 16 1 0\n2 2 1600 4 900 7 4 48 26 16 1 0\n5 30 1\n");
    expect_refused(zero_area, "lib.txt: adder variant 2 area is 0 (number 5 of the file, on line 2)",
                   load_module_library);
    expect_refused(dir.path(), file_name_of(dir.path()) + ": the file cannot be read", load_module_library);
    expect_refused("", "no file was given", load_module_library);
}

}  // namespace
}  // namespace velnor
