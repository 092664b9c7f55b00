// The key file: the exact text of hand-chosen contents against
// tests/data/expected/key_small.txt (written by hand: ints as ints, doubles
// with 6 significant digits in the shorter of fixed and exponent notation).
// Saving both files is checked through the window's Save.
#include "core/key_file.h"

#include <gtest/gtest.h>

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

TEST(KeyFile, SmallContentsMatchTheHandWrittenFile) {
    EXPECT_EQ(key_file_text(small_key()), test::read_file(test::data_path("expected/key_small.txt")));
}

}  // namespace
}  // namespace velnor
