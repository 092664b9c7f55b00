// The id-keyed table behaves as an ordered map whatever order its numbers come
// in: the same entries, walked in ascending order, found, counted and compared
// as std::map would, for numbers that run without gaps and for any others.
#include "core/id_map.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace velnor {
namespace {

struct InsertionCase {
    const char *name;
    std::vector<int32_t> keys;  // in the order they are added; a repeat adds to the same entry
};

class IdMapInsertion : public testing::TestWithParam<InsertionCase> {};

// Every key's value counts how often it was added, so a repeat that made a
// second entry, or one lost in a move, shows.
TEST_P(IdMapInsertion, AgreesWithAnOrderedMap) {
    IdMap<std::string> table;
    std::map<int32_t, std::string> expected;
    for (const int32_t key : GetParam().keys) {
        table[key] += "x";
        expected[key] += "x";
    }
    ASSERT_EQ(table.size(), expected.size());
    auto entry = table.begin();
    for (const auto &[key, value] : expected) {
        EXPECT_EQ(entry->first, key);
        EXPECT_EQ(entry->second, value);
        ++entry;
    }
    for (int32_t probe = -3; probe <= 12; ++probe) {
        const bool present = expected.count(probe) == 1;
        EXPECT_EQ(table.count(probe), present ? 1U : 0U) << "number " << probe;
        EXPECT_EQ(table.find(probe) != table.end(), present) << "number " << probe;
        if (present)
            EXPECT_EQ(table.at(probe), expected.at(probe)) << "number " << probe;
        else
            EXPECT_THROW(table.at(probe), std::out_of_range) << "number " << probe;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, IdMapInsertion,
    testing::Values(InsertionCase{"Ascending", {1, 2, 3, 4, 5}}, InsertionCase{"Descending", {5, 4, 3, 2, 1}},
                    InsertionCase{"GapsFilledLater", {1, 4, 9, 2, 3, 7}},
                    InsertionCase{"StartsAboveOne", {3, 4, 5, 6}},
                    InsertionCase{"NegativeAndZero", {0, -2, 1, -1}},
                    InsertionCase{"Repeats", {2, 1, 2, 3, 1, 2}},
                    InsertionCase{"OneInTheMiddleOfARun", {1, 2, 3, 5, 6, 4}}, InsertionCase{"Empty", {}}),
    [](const testing::TestParamInfo<InsertionCase> &info) { return std::string(info.param.name); });

TEST(IdMap, EqualWhenTheSameEntriesWhateverTheOrderOfInsertion) {
    IdMap<std::vector<int32_t>> forward{{1, {4}}, {2, {5, 6}}};
    IdMap<std::vector<int32_t>> backward;
    backward[2] = {5, 6};
    backward[1] = {4};
    EXPECT_EQ(forward, backward);
    backward[1].push_back(7);
    EXPECT_NE(forward, backward);
}

}  // namespace
}  // namespace velnor
