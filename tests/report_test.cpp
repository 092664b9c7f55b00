// The report file and the stamped names: the exact text of a small hand-built
// design against tests/data/expected/report_small.txt (written by hand from
// the layout rules: right-aligned columns of 5 and 16, variables shown from 0),
// and the ctime-shaped time stamp in a fixed time zone.
#include "core/report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "tests/test_support.h"

namespace velnor {
namespace {

TEST(Report, TimeStampDropsColonsBlanksAndLineEnd) {
    setenv("TZ", "UTC", 1);  // this test program reads no other time
    tzset();
    EXPECT_EQ(time_stamp(1796375107), "FriDec40905072026");  // 2026-12-04 09:05:07
}

TEST(Report, StampedNameIsTheBaseBeforeTheLastDotThenTheStamp) {
    EXPECT_EQ(stamped_name("/home/a/fir.txt", "S"), "fir_S.txt");
    EXPECT_EQ(stamped_name("core.v2.txt", "S"), "core.v2_S.txt");
    EXPECT_EQ(stamped_name("/data/x.d/core", "S"), "core_S.txt");  // no dot: the whole name
}

// Four operations in two steps; embedding moved operation 2 to variant 2 and
// variable 3 into a fourth register.
TEST(Report, SmallDesignMatchesTheHandWrittenReport) {
    Design design;
    design.dfg_name = "small.txt";
    const int32_t types[] = {Add, Multiply, Subtract, Add};
    const int32_t variants[] = {1, 2, -1, 2};
    for (int32_t id = 1; id <= 4; ++id) {
        design.operations[id].id = id;
        design.operations[id].type = types[id - 1];
        design.operations[id].variant = variants[id - 1];
    }
    design.variant_of = test::by_number({{1, 1}, {2, 1}, {4, 2}});
    design.asap_steps = {{1, {1, 2, 3}}, {2, {4}}};
    design.alap_steps = {{1, {1, 3}}, {2, {2, 4}}};
    design.list_steps = {{1, {1, 2, 3}}, {2, {4}}};
    design.register_lifetimes.resize(4);
    design.controller_table_before =
        test::controller_table({{0, {{1, 1}, {2, 2}}}, {1, {{1, 3}, {3, 4}}}, {2, {{2, 5}, {3, 12}}}});
    design.controller_table =
        test::controller_table({{0, {{1, 1}, {2, 2}}}, {1, {{1, 0}, {3, 4}, {4, 3}}}, {2, {{1, 0}, {2, 5}}}});

    test::ScratchDir dir;
    std::ostringstream log;
    const char heading[] = "Input of 1st hash block: 1000\nOutput for 1st hash block:0101\n";
    write_report(design, heading, dir.path(), "FriDec41856522026", log);
    EXPECT_EQ(log.str(), "small.txt\n");
    EXPECT_EQ(test::read_file(dir.path() + "/report_small_FriDec41856522026.txt"),
              test::read_file(test::data_path("expected/report_small.txt")));
}

}  // namespace
}  // namespace velnor
