// The module library reader: how numbers are scanned, which positions are used,
// the store-then-check order of every check, and files it cannot use.
#include "core/module_library_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "tests/design_dump.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::ScratchDir;

// The values of library_a.txt, position by position.
std::vector<std::string> library_a_values() {
    return {"0", "2", "400",  "2", "220", "4", "4", "12", "7",  "16", "1", "0", "2", "2",
            "1600", "4", "900", "7", "4", "48", "26", "16", "1", "0", "5", "30", "1"};
}

// One value a line, so position p sits on line p + 1.
std::string library_text(const std::vector<std::string> &values) {
    std::string text;
    for (const std::string &v : values)
        text += v + "\n";
    return text;
}

Design read_library(const std::string &text) {
    ScratchDir dir;
    Design d;
    read_module_library(d, dir.write("lib.txt", text));
    return d;
}

TEST(ModuleLibraryReader, ReadsTheLabelledExampleLibrary) {
    Design d;
    read_module_library(d, test::data_path("lib/library_a.txt"));
    EXPECT_EQ(d.area_table, (std::map<int32_t, std::pair<double, double>>{{Add, {400, 220}}, {Multiply, {1600, 900}}}));
    EXPECT_EQ(d.delay_table, (std::map<int32_t, std::pair<double, double>>{{Add, {2, 4}}, {Multiply, {4, 7}}}));
    EXPECT_EQ(d.adder_count, 4);
    EXPECT_EQ(d.multiplier_count, 4);
    EXPECT_EQ(d.register_area, 30.0);
    EXPECT_EQ(d.register_delay, 1.0);
    EXPECT_EQ(d.library_path, test::data_path("lib/library_a.txt"));
}

TEST(ModuleLibraryReader, CountsAreTruncatedTowardZero) {
    std::vector<std::string> values = library_a_values();
    values[6] = "3.9";
    values[18] = "1.99";
    Design d = read_library(library_text(values));
    EXPECT_EQ(d.adder_count, 3);
    EXPECT_EQ(d.multiplier_count, 1);
}

TEST(ModuleLibraryReader, HugeCountIsCappedAtTheIntRange) {
    std::vector<std::string> values = library_a_values();
    values[6] = "99999999999";
    EXPECT_EQ(read_library(library_text(values)).adder_count, 2147483647);
}

TEST(ModuleLibraryReader, DigitsInLabelsShiftEveryPosition) {
    // "unit1" adds a number in front, so position 2 now holds the variant count.
    Design d = read_library("unit1\n" + library_text(library_a_values()));
    EXPECT_EQ(d.area_table[Add], (std::pair<double, double>{2, 2}));
    EXPECT_EQ(d.delay_table[Add], (std::pair<double, double>{400, 220}));
    EXPECT_EQ(d.adder_count, 4);
    EXPECT_EQ(d.register_area, 5.0);
}

TEST(ModuleLibraryReader, SecondLibraryOverwritesEveryValue) {
    Design d;
    read_module_library(d, test::data_path("lib/library_a.txt"));
    std::vector<std::string> values(27, "9");
    ScratchDir dir;
    const std::string path = dir.write("nines.txt", library_text(values));
    read_module_library(d, path);
    EXPECT_EQ(test::library_part_text(d),
              "area 0 9/9 area 2 9/9 delay 0 9/9 delay 2 9/9 adders 9 multipliers 9 register 9/9 path " + path);
}

TEST(ModuleLibraryReader, NumbersBeyondTheTwentySeventhAreIgnored) {
    std::vector<std::string> values = library_a_values();
    values.push_back("0");
    values.push_back("123");
    EXPECT_EQ(read_library(library_text(values)).register_delay, 1.0);
}

// The first three numbers of the file, written in some way, then positions 3..26.
struct ScanRow {
    const char *name;
    const char *head;
    double adder_area;  // position 2
};

void PrintTo(const ScanRow &row, std::ostream *out) { *out << row.name; }

class ModuleLibraryScan : public ::testing::TestWithParam<ScanRow> {};

TEST_P(ModuleLibraryScan, FindsTheThirdNumber) {
    const ScanRow &r = GetParam();
    const std::vector<std::string> values = library_a_values();
    const std::vector<std::string> tail(values.begin() + 3, values.end());
    Design d = read_library(std::string(r.head) + "\n" + library_text(tail));
    EXPECT_DOUBLE_EQ(d.area_table[Add].first, r.adder_area);
    EXPECT_DOUBLE_EQ(d.delay_table[Add].first, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Rows, ModuleLibraryScan,
                         ::testing::Values(ScanRow{"plain", "0 2 400", 400},
                                           ScanRow{"minus_sign_is_skipped", "0 2 -400", 400},
                                           ScanRow{"exponent_splits", "0 4e400", 400},
                                           ScanRow{"leading_dot_is_skipped", "0 2 .5", 5},
                                           ScanRow{"trailing_dot", "0 2 400.", 400},
                                           ScanRow{"fraction", "0 2 400.25", 400.25},
                                           ScanRow{"second_dot_starts_over", "0 2.5.25", 25},
                                           ScanRow{"digits_inside_words", "x0y2 adder400area", 400},
                                           ScanRow{"leading_zeros", "0 2 000400", 400},
                                           ScanRow{"numbers_across_lines", "0\n\n2\n400", 400}),
                         [](const auto &info) { return std::string(info.param.name); });

// A library whose value at one position is 0, read into a design whose library
// part holds 77 everywhere: the dump shows what was stored before the check failed.
struct CheckRow {
    const char *name;
    int position;
    const char *code;
    const char *reason;
    const char *stored;
};

void PrintTo(const CheckRow &row, std::ostream *out) { *out << row.name; }

class ModuleLibraryCheck : public ::testing::TestWithParam<CheckRow> {};

TEST_P(ModuleLibraryCheck, StoresThenRefuses) {
    const CheckRow &r = GetParam();
    std::vector<std::string> values = library_a_values();
    values[static_cast<size_t>(r.position)] = "0.0";
    ScratchDir dir;
    const std::string path = dir.write("lib.txt", library_text(values));
    Design d;
    d.area_table = {{Add, {77, 77}}, {Multiply, {77, 77}}};
    d.delay_table = d.area_table;
    d.adder_count = d.multiplier_count = 77;
    d.register_area = d.register_delay = 77;
    d.library_path = "old";
    try {
        read_module_library(d, path);
        FAIL() << "accepted";
    } catch (const LibraryFormatError &error) {
        EXPECT_STREQ(error.what(), r.code);
        EXPECT_EQ(error.reason, r.reason);
    }
    EXPECT_EQ(test::library_part_text(d), r.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModuleLibraryCheck,
    ::testing::Values(
        CheckRow{"adder_area_1", 2, "f", "adder variant 1 area is 0 (number 3 of the file, on line 3)",
                 "area 0 0/220 area 2 77/77 delay 0 77/77 delay 2 77/77 adders 77 multipliers 77 register 77/77 path old"},
        CheckRow{"adder_area_2", 4, "f", "adder variant 2 area is 0 (number 5 of the file, on line 5)",
                 "area 0 400/0 area 2 77/77 delay 0 77/77 delay 2 77/77 adders 77 multipliers 77 register 77/77 path old"},
        CheckRow{"multiplier_area_1", 14, "dds", "multiplier variant 1 area is 0 (number 15 of the file, on line 15)",
                 "area 0 400/220 area 2 0/900 delay 0 77/77 delay 2 77/77 adders 4 multipliers 77 register 77/77 path old"},
        CheckRow{"multiplier_area_2", 16, "dds", "multiplier variant 2 area is 0 (number 17 of the file, on line 17)",
                 "area 0 400/220 area 2 1600/0 delay 0 77/77 delay 2 77/77 adders 4 multipliers 77 register 77/77 path old"},
        CheckRow{"adder_delay_1", 3, "dda", "adder variant 1 delay is 0 (number 4 of the file, on line 4)",
                 "area 0 400/220 area 2 1600/900 delay 0 0/4 delay 2 77/77 adders 4 multipliers 77 register 77/77 path old"},
        CheckRow{"adder_delay_2", 5, "dda", "adder variant 2 delay is 0 (number 6 of the file, on line 6)",
                 "area 0 400/220 area 2 1600/900 delay 0 2/0 delay 2 77/77 adders 4 multipliers 77 register 77/77 path old"},
        CheckRow{"multiplier_delay_1", 15, "dda", "multiplier variant 1 delay is 0 (number 16 of the file, on line 16)",
                 "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 0/7 adders 4 multipliers 77 register 77/77 path old"},
        CheckRow{"multiplier_delay_2", 17, "dda", "multiplier variant 2 delay is 0 (number 18 of the file, on line 18)",
                 "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/0 adders 4 multipliers 77 register 77/77 path old"},
        CheckRow{"register_area", 25, "sss", "register area is 0 (number 26 of the file, on line 26)",
                 "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/7 adders 4 multipliers 4 register 0/77 path old"},
        CheckRow{"register_second_value", 26, "sss", "register second value is 0 (number 27 of the file, on line 27)",
                 "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/7 adders 4 multipliers 4 register 30/77 path old"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ModuleLibraryCheck, ZeroAtAnUnusedPositionIsFine) {
    std::vector<std::string> values = library_a_values();
    for (const int unused : {0, 1, 7, 8, 9, 10, 11, 12, 13, 19, 20, 21, 22, 23, 24})
        values[static_cast<size_t>(unused)] = "0";
    EXPECT_NO_THROW(read_library(library_text(values)));
}

struct UnusableRow {
    const char *name;
    std::string text;
    const char *code;
    std::string reason;
};

void PrintTo(const UnusableRow &row, std::ostream *out) { *out << row.name; }

class ModuleLibraryUnusable : public ::testing::TestWithParam<UnusableRow> {};

TEST_P(ModuleLibraryUnusable, RefusedBeforeAnythingIsStored) {
    const UnusableRow &r = GetParam();
    ScratchDir dir;
    Design d;
    const std::string before = test::library_part_text(d);
    try {
        read_module_library(d, dir.write("lib.txt", r.text));
        FAIL() << "accepted";
    } catch (const LibraryFormatError &error) {
        EXPECT_STREQ(error.what(), r.code);
        EXPECT_EQ(error.reason, r.reason);
    }
    EXPECT_EQ(test::library_part_text(d), before);
}

std::vector<std::string> values_but(size_t position, const std::string &value) {
    std::vector<std::string> values = library_a_values();
    values[position] = value;
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModuleLibraryUnusable,
    ::testing::Values(
        UnusableRow{"empty", "", "file_read_error", "the file holds 0 numbers; a module library needs at least 27"},
        UnusableRow{"no_digits", "adder\nmultiplier\n", "file_read_error",
                    "the file holds 0 numbers; a module library needs at least 27"},
        UnusableRow{"twenty_six", library_text(std::vector<std::string>(26, "1")), "file_read_error",
                    "the file holds 26 numbers; a module library needs at least 27"},
        UnusableRow{"too_large_for_double", library_text(values_but(2, "1" + std::string(400, '0'))), "stod",
                    "the number 100000000000... (401 characters) on line 3 does not fit a double"},
        UnusableRow{"too_small_for_double", library_text(values_but(9, "0." + std::string(400, '0') + "1")), "stod",
                    "the number 0.0000000000... (403 characters) on line 10 does not fit a double"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ModuleLibraryUnusable, UnopenableFile) {
    Design d;
    try {
        read_module_library(d, "/nonexistent/velnor/lib.txt");
        FAIL() << "accepted";
    } catch (const LibraryFormatError &error) {
        EXPECT_STREQ(error.what(), "file_read_error");
        EXPECT_EQ(error.reason, "cannot open /nonexistent/velnor/lib.txt");
    }
}

TEST(ModuleLibraryUnusable, FolderCannotBeRead) {
    ScratchDir dir;
    Design d;
    try {
        read_module_library(d, dir.path());
        FAIL() << "accepted";
    } catch (const LibraryFormatError &error) {
        EXPECT_STREQ(error.what(), "file_read_error");
        EXPECT_EQ(error.reason, "the file cannot be read");
    }
}

}  // namespace
}  // namespace velnor
