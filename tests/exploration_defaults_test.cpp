// The lists an exploration opens with, on real cores: every combination they
// make is one the flow takes, and a type the core lacks gets no counts.
#include <gtest/gtest.h>

#include "flow/exploration.h"
#include "flow/exploration_defaults.h"
#include "synthesis/resource_constraints.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

TEST(ExplorationDefaults, FitTheCoreAndLeaveOutTypesItLacks) {
    const std::vector<Design> cores = load_cores(
        {test::data_path("dfg/fir.txt"), test::data_path("dfg/diffeq.txt"), test::data_path("characterization/gen_247.txt")},
        test::data_path("lib/library_a.txt"));
    for (const Design &core : cores) {
        const ExplorationDefaults defaults = exploration_defaults(core);
        const std::pair<int32_t, const std::vector<int> *> lists[] = {{Add, &defaults.adders},
                                                                      {Multiply, &defaults.multipliers},
                                                                      {Subtract, &defaults.subtractors},
                                                                      {Compare, &defaults.comparators}};
        std::size_t combinations = 1;
        for (const auto &[type, counts] : lists) {
            EXPECT_EQ(counts->empty(), core.operation_types.count(type) == 0) << core.dfg_name << " " << type;
            for (std::size_t i = 0; i < counts->size(); ++i) {
                EXPECT_GE((*counts)[i], 1);
                EXPECT_LE((*counts)[i], resource_bound(core, type).value_or(0));
                if (i > 0)
                    EXPECT_LT((*counts)[i - 1], (*counts)[i]);  // ascending, each once
            }
            combinations *= std::max<std::size_t>(counts->size(), 1);
        }
        EXPECT_LE(combinations, 16u) << core.dfg_name;
        const auto n = static_cast<int64_t>(core.operations.size());
        ASSERT_FALSE(defaults.sizes.empty());
        EXPECT_EQ(defaults.sizes.back(), std::min<int64_t>(512, n * (n + 1) / 2)) << core.dfg_name;
    }
}

}  // namespace
}  // namespace velnor
