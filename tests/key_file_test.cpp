// The key file and Save: the exact text of hand-chosen contents against
// tests/data/expected/key_small.txt (written by hand: ints as ints, doubles
// with 6 significant digits in the shorter of fixed and exponent notation),
// and two saves in one second appending to the same two files, the key file
// readable by its owner only.
#include "core/key_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

#include "core/save.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

// In member order: units, encodings (the third rule typed beyond the count has
// no block), encoded inputs, order key, the rounds key of "80 1 2 3" as typed,
// then the figures, chosen to exercise both number notations.
KeyFileContents small_key() {
    KeyFileContents key{2, 1, 2, {3, 7, 5}, {"0110", "1011"}, "10", "1010000000000100000100000011", "80 1  2 3", {}};
    EmbeddingFigures &f = key.figures;
    f.initial_area = 3200;
    f.max_area = 100000;
    f.max_latency = 1234567;
    f.area_phase1 = 3230.5;
    f.area_phase2 = 0.0001;
    f.initial_latency = 1e-07;
    f.latency_phase1 = 17;
    f.latency_phase2 = 0.000123456789;
    f.initial_cost = 1;
    f.cost_phase1 = 0.5;
    f.cost_phase2 = 2.0 / 3.0;
    f.pc_phase1 = 0.421875;
    f.pc_phase2 = 0.10546875;
    f.zero_count = 3;
    f.one_count = 2;
    f.effective_one_count = 2;
    return key;
}

const KeyFileContents small_contents = small_key();

TEST(KeyFile, SmallContentsMatchTheHandWrittenFile) {
    EXPECT_EQ(key_file_text(small_contents), test::read_file(test::data_path("expected/key_small.txt")));
}

TEST(SaveRun, TwoSavesInOneSecondAppendToTheSameTwoFiles) {
    test::ScratchDir dir;
    std::ostringstream log;
    Design design;
    design.dfg_name = "fir.txt";
    const mode_t old_mask = umask(0);  // nothing but the file's own mode may keep others out
    const SaveOutcome first = save_run(design, "chain", small_contents, dir.path(), "FriDec40905072026", log);
    const SaveOutcome second = save_run(design, "chain", small_contents, dir.path(), "FriDec40905072026", log);
    umask(old_mask);
    EXPECT_TRUE(first.report_written && first.key_written && second.report_written && second.key_written);
    EXPECT_EQ(first.report_file, dir.path() + "/report_fir_FriDec40905072026.txt");
    EXPECT_EQ(first.key_file, dir.path() + "/key_fir_FriDec40905072026.txt");

    const std::string key = test::read_file(test::data_path("expected/key_small.txt"));
    EXPECT_EQ(test::read_file(first.key_file), key + key);
    const std::string report = test::read_file(first.report_file);
    EXPECT_EQ(report.find("chain\n"), 0u);
    EXPECT_EQ(report.substr(0, report.size() / 2), report.substr(report.size() / 2));
    struct stat info {};
    ASSERT_EQ(stat(first.key_file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, static_cast<mode_t>(0600));
}

}  // namespace
}  // namespace velnor
