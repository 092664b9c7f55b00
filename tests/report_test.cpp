// The report file and the stamped names: the exact text of a small hand-built
// design against tests/data/expected/report_small.txt (written by hand from
// the layout rules: right-aligned columns of 5 and 16, variables shown from 0),
// appending, and the ctime-shaped time stamp in a fixed time zone.
#include "core/report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "tests/test_support.h"

namespace velnor {
namespace {

struct StampCase {
    const char *name;
    std::time_t time;  // seconds since the epoch, from a calendar outside the program
    const char *stamp;
};

class TimeStamp : public testing::TestWithParam<StampCase> {
protected:
    void SetUp() override {
        const char *zone = std::getenv("TZ");
        saved_zone_ = zone ? zone : "";
        had_zone_ = zone != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (had_zone_)
            setenv("TZ", saved_zone_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_zone_;
    bool had_zone_ = false;
};

TEST_P(TimeStamp, DropsColonsBlanksAndLineEnd) { EXPECT_EQ(time_stamp(GetParam().time), GetParam().stamp); }

INSTANTIATE_TEST_SUITE_P(
    Utc, TimeStamp,
    testing::Values(StampCase{"Evening", 1796410612, "FriDec41856522026"},   // 2026-12-04 18:56:52
                    StampCase{"Morning", 1796375107, "FriDec40905072026"},   // 2026-12-04 09:05:07
                    StampCase{"Midnight", 1797206400, "MonDec140000002026"}, // 2026-12-14 00:00:00
                    StampCase{"LeapDay", 951868799, "TueFeb292359592000"}),  // 2000-02-29 23:59:59
    [](const testing::TestParamInfo<StampCase> &info) { return std::string(info.param.name); });

struct NameCase {
    const char *name;
    const char *file;
    const char *stamped;
};

class StampedName : public testing::TestWithParam<NameCase> {};

TEST_P(StampedName, BaseBeforeTheLastDotThenStamp) {
    EXPECT_EQ(stamped_name(GetParam().file, "S"), GetParam().stamped);
}

INSTANTIATE_TEST_SUITE_P(Names, StampedName,
                         testing::Values(NameCase{"Plain", "fir.txt", "fir_S.txt"},
                                         NameCase{"WithFolder", "/home/a/fir.txt", "fir_S.txt"},
                                         NameCase{"TwoDots", "core.v2.txt", "core.v2_S.txt"},
                                         NameCase{"NoDot", "core", "core_S.txt"},
                                         NameCase{"NoDotWithFolder", "/data/x.d/core", "core_S.txt"},
                                         NameCase{"OnlyExtension", ".txt", "_S.txt"}),
                         [](const testing::TestParamInfo<NameCase> &info) { return std::string(info.param.name); });

// Four operations in two steps; embedding moved operation 2 to variant 2 and
// variable 3 into a fourth register.
Design small_design() {
    Design design;
    design.dfg_name = "small.txt";
    const int32_t types[] = {Add, Multiply, Subtract, Add};
    const int32_t variants[] = {1, 2, -1, 2};
    for (int32_t id = 1; id <= 4; ++id) {
        Operation &op = design.operations[id];
        op.id = id;
        op.type = types[id - 1];
        op.variant = variants[id - 1];
    }
    design.variant_of = {{1, 1}, {2, 1}, {4, 2}};
    design.asap_steps = {{1, {1, 2, 3}}, {2, {4}}};
    design.alap_steps = {{1, {1, 3}}, {2, {2, 4}}};
    design.list_steps = {{1, {1, 2, 3}}, {2, {4}}};
    for (int32_t r = 1; r <= 4; ++r)
        design.register_lifetimes[r];
    design.controller_table_before = {{0, {{1, 1}, {2, 2}}}, {1, {{1, 3}, {3, 4}}}, {2, {{2, 5}, {3, 12}}}};
    design.controller_table = {{0, {{1, 1}, {2, 2}}}, {1, {{1, 0}, {3, 4}, {4, 3}}}, {2, {{1, 0}, {2, 5}}}};
    return design;
}

const char heading[] = "Input of 1st hash block: 1000\nOutput for 1st hash block:0101\n";

TEST(WriteReport, SmallDesignMatchesTheHandWrittenReport) {
    test::ScratchDir dir;
    std::ostringstream log;
    ASSERT_TRUE(write_report(small_design(), heading, dir.path(), "FriDec41856522026", log));
    EXPECT_EQ(log.str(), "small.txt\n");
    EXPECT_EQ(test::read_file(dir.path() + "/report_small_FriDec41856522026.txt"),
              test::read_file(test::data_path("expected/report_small.txt")));
}

TEST(WriteReport, SecondReportOfTheSameSecondIsAppended) {
    test::ScratchDir dir;
    std::ostringstream log;
    ASSERT_TRUE(write_report(small_design(), heading, dir.path(), "T", log));
    ASSERT_TRUE(write_report(small_design(), heading, dir.path(), "T", log));
    const std::string once = test::read_file(test::data_path("expected/report_small.txt"));
    EXPECT_EQ(test::read_file(report_path(small_design(), dir.path(), "T")), once + once);
}

TEST(WriteReport, UnwritableFolderIsReportedAndCreatesNothing) {
    test::ScratchDir dir;
    const std::string file = dir.write("plain.txt", "x");
    std::ostringstream log;
    EXPECT_FALSE(write_report(small_design(), heading, file, "T", log));
    EXPECT_FALSE(write_report(small_design(), heading, dir.path() + "/missing", "T", log));
    EXPECT_EQ(log.str(), "small.txt\nsmall.txt\n");
}

}  // namespace
}  // namespace velnor
