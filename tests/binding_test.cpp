// Module binding quotas per control step, and area, latency and cost.
#include "core/binding.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace velnor {
namespace {

// A design whose list schedule is given step by step; types by id.
Design scheduled(const std::map<int32_t, int32_t> &type_of, const StepMap &steps) {
    Design d;
    for (const auto &[id, type] : type_of) {
        d.operations[id].id = id;
        d.operations[id].type = type;
    }
    for (const auto &[step, ids] : steps)
        for (const int32_t id : ids)
            d.operations[id].list_step = step;
    d.list_steps = steps;
    d.area_table = {{Add, {400.0, 220.0}}, {Multiply, {1600.0, 900.0}}};
    d.delay_table = {{Add, {2.0, 4.0}}, {Multiply, {4.0, 7.0}}};
    d.register_area = 30.0;
    return d;
}

TEST(Binding, ThreeAddersGiveTwoFirstVariantsPerStep) {
    Design d = scheduled({{1, Add}, {2, Add}, {3, Add}, {4, Add}, {5, Add}}, {{1, {3, 1, 2}}, {2, {5, 4}}});
    d.resources[Add] = 3;
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, test::by_number({{3, 1}, {1, 1}, {2, 2}, {5, 1}, {4, 1}}));
    EXPECT_EQ(d.operations[2].variant, 2);
    EXPECT_EQ(d.operations[3].variant, 1);
}

TEST(Binding, OneMultiplierAndNoAdderQuotaAndOnlyTheseTwoTypes) {
    Design d = scheduled({{1, Multiply}, {2, Add}, {3, Multiply}, {4, Add}, {5, Subtract}, {6, Compare}},
                         {{1, {1, 2, 3, 4, 5, 6}}});
    d.resources = {{Multiply, 1}, {Subtract, 1}, {Compare, 1}};
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, test::by_number({{1, 1}, {2, 2}, {3, 2}, {4, 2}, {6, 0}}));
    EXPECT_EQ(d.operations[5].variant, unbound_variant);
    EXPECT_EQ(d.operations[6].variant, unbound_variant);
}

TEST(Area, CountsUnitsOfBothVariantsAndRegisters) {
    Design d = scheduled({}, {});
    d.resources = {{Add, 3}, {Multiply, 1}, {Subtract, 5}, {Compare, 2}};
    // 2 x 400 + 1 x 220 + 1 x 1600 + 0 x 900 + 4 x 30
    EXPECT_DOUBLE_EQ(compute_area(d, /*register_count=*/4), 2740.0);
}

TEST(Latency, SumsTheSlowestBoundUnitOfEachStep) {
    Design d = scheduled({{1, Add}, {2, Add}, {3, Multiply}, {4, Subtract}, {5, Compare}},
                         {{1, {1, 2}}, {2, {3}}, {3, {4, 5}}});
    d.operations[1].variant = 1;
    d.operations[2].variant = 2;
    d.operations[3].variant = 2;
    // Step 3 holds a subtraction and a comparison only and adds nothing.
    EXPECT_DOUBLE_EQ(compute_latency(d), 4.0 + 7.0);
    EXPECT_DOUBLE_EQ(compute_latency(Design{}), 0.0);
}

TEST(Cost, WeighsBothTermsEquallyAndSkipsAZeroNormaliser) {
    EXPECT_DOUBLE_EQ(compute_cost(100, 20, 100, 20), 1.0);
    EXPECT_DOUBLE_EQ(compute_cost(50, 20, 100, 20), 0.75);
    EXPECT_DOUBLE_EQ(compute_cost(50, 10, 0, 20), 0.25);
    EXPECT_DOUBLE_EQ(compute_cost(50, 10, 100, 0), 0.25);
    EXPECT_DOUBLE_EQ(compute_cost(50, 10, 0, 0), 0.0);
}

}  // namespace
}  // namespace velnor
