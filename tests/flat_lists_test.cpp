// Lists by number in one block: lists that no entry names stay empty, entries
// of a list outside the range are left out, and each list keeps its order.
#include "core/flat_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velnor {
namespace {

struct ListsCase {
    std::string name;
    std::size_t list_count;
    std::vector<std::pair<int32_t, int32_t>> entries;
    std::vector<std::vector<int32_t>> lists;  // what each list reads as
};

void PrintTo(const ListsCase &c, std::ostream *out) { *out << c.name; }

std::vector<std::vector<int32_t>> read_back(const FlatLists &lists) {
    std::vector<std::vector<int32_t>> read;
    for (std::size_t v = 0; v < lists.size(); ++v)
        read.emplace_back(lists[v].begin(), lists[v].end());
    return read;
}

class FlatListsTable : public ::testing::TestWithParam<ListsCase> {};

TEST_P(FlatListsTable, ReadsBackEachList) {
    const ListsCase &c = GetParam();
    const FlatLists lists(c.list_count, c.entries);
    EXPECT_EQ(read_back(lists), c.lists);
}

INSTANTIATE_TEST_SUITE_P(
    FlatLists, FlatListsTable,
    ::testing::Values(ListsCase{"NoEntries", 3, {}, {{}, {}, {}}},
                      ListsCase{"GapsBetweenListsStayEmpty", 5, {{1, 7}, {1, 9}, {4, 2}}, {{}, {7, 9}, {}, {}, {2}}},
                      ListsCase{"OrderWithinAListIsKept", 2, {{0, 5}, {0, 3}, {0, 4}}, {{5, 3, 4}, {}}},
                      ListsCase{"OwnersOutsideTheRangeAreLeftOut", 2, {{-1, 8}, {0, 1}, {2, 6}, {9, 6}}, {{1}, {}}}),
    [](const auto &info) { return info.param.name; });

TEST(FlatLists, NumberWithoutAListReadsEmpty) {
    const FlatLists lists(2, {{1, 4}});
    EXPECT_TRUE(lists[2].empty());
    EXPECT_TRUE(FlatLists()[0].empty());
    EXPECT_EQ(FlatLists().size(), 0u);
}

}  // namespace
}  // namespace velnor
