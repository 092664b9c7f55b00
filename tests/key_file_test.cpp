// The key file and Save: the exact text of hand-chosen contents against
// tests/data/expected/key_small.txt (written by hand: ints as ints, doubles
// with 6 significant digits in the shorter of fixed and exponent notation),
// appending, owner-only permissions, and save_run's two files.
#include "core/key_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

#include "core/save.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

KeyFileContents small_contents() {
    KeyFileContents c;
    c.adders = 2;
    c.multipliers = 1;
    c.encoding_count = 2;
    c.encodings = {3, 7, 5};  // the third rule was typed beyond n and has no block
    c.encoded_inputs = {"0110", "1011"};
    c.stego_key_text = "10";
    c.rounds_key = "1010000000000100000100000011";  // 80 1 2 3
    c.rounds_text = "80 1  2 3";
    c.initial_area = 3200;
    c.max_area = 100000;
    c.max_latency = 1234567;
    c.area_phase1 = 3230.5;
    c.area_phase2 = 0.0001;
    c.initial_latency = 1e-07;
    c.latency_phase1 = 17;
    c.latency_phase2 = 0.000123456789;
    c.initial_cost = 1;
    c.cost_phase1 = 0.5;
    c.cost_phase2 = 2.0 / 3.0;
    c.pc_phase1 = 0.421875;
    c.pc_phase2 = 0.10546875;
    c.zero_count = 3;
    c.one_count = 2;
    c.effective_one_count = 2;
    return c;
}

mode_t permissions(const std::string &path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

TEST(KeyFileText, SmallContentsMatchTheHandWrittenFile) {
    EXPECT_EQ(key_file_text(small_contents()), test::read_file(test::data_path("expected/key_small.txt")));
}

TEST(KeyFileText, SingleEncodingLeavesTheOrderKeyLineEmpty) {
    KeyFileContents c = small_contents();
    c.encoding_count = 1;
    c.encodings = {4};
    c.encoded_inputs = {"01"};
    c.stego_key_text = "";
    const std::string text = key_file_text(c);
    EXPECT_NE(text.find("encoded string  \n4 : 01\n\n\nkey for selecting encoding for hash block : \n\n"),
              std::string::npos);
}

TEST(WriteKeyFile, AppendsAndIsReadableByItsOwnerOnly) {
    test::ScratchDir dir;
    const std::string path = dir.path() + "/key_small_T.txt";
    const mode_t old_mask = umask(0);  // nothing but the file's own mode may keep others out
    const bool first = write_key_file(path, small_contents());
    const bool second = write_key_file(path, small_contents());
    umask(old_mask);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    const std::string once = test::read_file(test::data_path("expected/key_small.txt"));
    EXPECT_EQ(test::read_file(path), once + once);
    EXPECT_EQ(permissions(path), static_cast<mode_t>(0600));
}

TEST(WriteKeyFile, UnopenablePathFails) {
    test::ScratchDir dir;
    EXPECT_FALSE(write_key_file(dir.path() + "/missing/key.txt", small_contents()));
}

Design named(const std::string &dfg_name) {
    Design design;
    design.dfg_name = dfg_name;
    return design;
}

TEST(SaveRun, TwoSavesInOneSecondAppendToTheSameTwoFiles) {
    test::ScratchDir dir;
    std::ostringstream log;
    const Design design = named("fir.txt");
    const SaveOutcome first = save_run(design, "chain", small_contents(), dir.path(), "FriDec40905072026", log);
    const SaveOutcome second = save_run(design, "chain", small_contents(), dir.path(), "FriDec40905072026", log);
    EXPECT_EQ(first.report_file, dir.path() + "/report_fir_FriDec40905072026.txt");
    EXPECT_EQ(first.key_file, dir.path() + "/key_fir_FriDec40905072026.txt");
    EXPECT_EQ(second.report_file, first.report_file);
    EXPECT_TRUE(first.report_written && first.key_written && second.report_written && second.key_written);

    const std::string key = test::read_file(test::data_path("expected/key_small.txt"));
    EXPECT_EQ(test::read_file(first.key_file), key + key);
    const std::string report = test::read_file(first.report_file);
    EXPECT_EQ(report.find("chain\n"), 0u);
    EXPECT_NE(report.find("chain\n", 1), std::string::npos);
    EXPECT_EQ(permissions(first.key_file), static_cast<mode_t>(0600));
}

TEST(SaveRun, BothFilesAreAttemptedWhenTheFolderIsAFile) {
    test::ScratchDir dir;
    const std::string file = dir.write("plain.txt", "x");
    std::ostringstream log;
    const SaveOutcome outcome = save_run(named("fir.txt"), "chain", small_contents(), file, "T", log);
    EXPECT_FALSE(outcome.report_written);
    EXPECT_FALSE(outcome.key_written);
    EXPECT_EQ(outcome.key_file, file + "/key_fir_T.txt");
}

}  // namespace
}  // namespace velnor
