// The module library reader: how numbers are scanned, which positions are used,
// the store-then-check order of every check, and files it cannot use.
#include "core/module_library_reader.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "tests/design_dump.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

using test::ScratchDir;

// library_a.txt's values, one a line (position p sits on line p + 1), with
// the value at position `at` replaced when one is given.
std::string library_text(size_t at = 99, const std::string &value = "") {
    std::vector<std::string> values{"0", "2", "400", "2", "220", "4",  "4",  "12", "7", "16", "1", "0", "2", "2",
                                    "1600", "4", "900", "7", "4", "48", "26", "16", "1", "0", "5", "30", "1"};
    if (at < values.size())
        values[at] = value;
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
    EXPECT_EQ(test::library_part_text(d), "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/7 adders 4 "
                                          "multipliers 4 register 30/1 path " + test::data_path("lib/library_a.txt"));
}

TEST(ModuleLibraryReader, ScansDigitRunsAndSkipsEverythingElse) {
    // The first three numbers written in some way; the third is the adder's first area.
    const std::pair<const char *, double> rows[] = {
        {"0 2 -400", 400}, {"0 4e400", 400}, {"0 2 .5", 5}, {"0 2.5.25", 25}, {"x0y2 adder400.25area", 400.25}};
    for (const auto &[head, area] : rows)
        EXPECT_DOUBLE_EQ(read_library(head + ("\n" + library_text().substr(8))).area_table.at(Add).first, area) << head;
    // "unit1" adds a number in front, so position 2 now holds the variant count.
    Design d = read_library("unit1\n" + library_text());
    EXPECT_EQ(d.area_table[Add], (std::pair<double, double>{2, 2}));
    EXPECT_EQ(d.delay_table[Add], (std::pair<double, double>{400, 220}));
}

TEST(ModuleLibraryReader, ValuesUpToTheLargestAreTakenAndNumbersPastThe27thOnlyCounted) {
    Design d = read_library(library_text(25, "1000000000") + std::string(100000, '.') + "\n" +
                            std::string(30000, ' ') + "8\n");
    EXPECT_EQ(d.register_area, 1e9);
    ScratchDir dir;
    EXPECT_THROW(read_module_library(d, dir.write("nul.txt", std::string(1000, '\0'))), Refusal);
}

TEST(ModuleLibraryReader, CountsAreTruncatedAndASecondReadOverwritesEveryValue) {
    ScratchDir dir;
    Design d;
    read_module_library(d, dir.write("a.txt", library_text(6, "3.9")));
    EXPECT_EQ(d.adder_count, 3);
    const std::string path = dir.write("nines.txt", "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9");
    read_module_library(d, path);
    EXPECT_EQ(test::library_part_text(d),
              "area 0 9/9 area 2 9/9 delay 0 9/9 delay 2 9/9 adders 9 multipliers 9 register 9/9 path " + path);
}

// Each refusal, read into a design whose library part holds 77 everywhere: the
// dump shows what was stored before the check failed (nullptr: nothing was).
// An empty text stands for a file that cannot be opened.
TEST(ModuleLibraryReader, StoresThenRefuses) {
    const std::tuple<std::string, const char *, const char *> rows[] = {
        {library_text(4, "0.0"), "adder variant 2 area is 0 (number 5 of the file, on line 5)",
         "area 0 400/0 area 2 77/77 delay 0 77/77 delay 2 77/77 adders 77 multipliers 77 register 77/77 path old"},
        {library_text(14, "0"), "multiplier variant 1 area is 0 (number 15 of the file, on line 15)",
         "area 0 400/220 area 2 0/900 delay 0 77/77 delay 2 77/77 adders 4 multipliers 77 register 77/77 path old"},
        {library_text(17, "0"), "multiplier variant 2 delay is 0 (number 18 of the file, on line 18)",
         "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/0 adders 4 multipliers 77 register 77/77 path old"},
        {library_text(26, "0"), "register second value is 0 (number 27 of the file, on line 27)",
         "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/7 adders 4 multipliers 4 register 30/77 path old"},
        {"adder\nmultiplier\n", "the file holds 0 numbers; a module library needs at least 27",
         nullptr},
        {library_text(26, "x"), "the file holds 26 numbers; a module library needs at least 27",
         nullptr},
        {library_text(2, "1" + std::string(400, '0')),
         "the number 1000000000000000000000000000000000000000... on line 3 does not fit a double", nullptr},
        {library_text(4, "1000000000.5"),
         "adder variant 2 area is 1000000000, above the largest value taken, 1e9 (number 5 of the file, on line 5)",
         "area 0 400/1e+09 area 2 77/77 delay 0 77/77 delay 2 77/77 adders 77 multipliers 77 register 77/77 path old"},
        {library_text(15, std::string(308, '9')),
         "multiplier variant 1 delay is 1e+308, above the largest value taken, 1e9 (number 16 of the file, on line 16)",
         "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 1e+308/7 adders 4 multipliers 77 register 77/77 path old"},
        {library_text(26, "2000000000"),
         "register second value is 2000000000, above the largest value taken, 1e9 (number 27 of the file, on line 27)",
         "area 0 400/220 area 2 1600/900 delay 0 2/4 delay 2 4/7 adders 4 multipliers 4 register 30/77 path old"},
        {"", "cannot open /nonexistent/velnor/lib.txt", nullptr}};
    for (const auto &[text, reason, stored] : rows) {
        ScratchDir dir;
        const std::string path = text.empty() ? "/nonexistent/velnor/lib.txt" : dir.write("lib.txt", text);
        Design d;
        d.area_table = {{Add, {77, 77}}, {Multiply, {77, 77}}};
        d.delay_table = d.area_table;
        d.adder_count = d.multiplier_count = 77;
        d.register_area = d.register_delay = 77;
        d.library_path = "old";
        const std::string before = test::library_part_text(d);
        try {
            read_module_library(d, path);
            ADD_FAILURE() << "accepted " << reason;
        } catch (const Refusal &error) {
            EXPECT_EQ(error.reason(), Refusal::Reason::LibraryFile);
            EXPECT_EQ(error.what(), std::string(reason));
        }
        EXPECT_EQ(test::library_part_text(d), stored ? stored : before) << reason;
    }
}

}  // namespace
}  // namespace velnor
