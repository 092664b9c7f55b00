// Module binding quotas per control step, and area, latency and cost.
#include "core/binding.h"

#include <gtest/gtest.h>

#include <vector>

namespace velnor {
namespace {

// A design whose list schedule is given step by step; types by id.
Design scheduled(const std::map<int32_t, int32_t> &type_of, const StepMap &steps) {
    Design d;
    for (const auto &[id, type] : type_of) {
        Operation op;
        op.id = id;
        op.type = type;
        d.operations[id] = op;
    }
    for (const auto &[step, ids] : steps)
        for (const int32_t id : ids)
            if (d.operations.count(id))
                d.operations[id].list_step = step;
    d.list_steps = steps;
    d.area_table = {{Add, {400.0, 220.0}}, {Multiply, {1600.0, 900.0}}};
    d.delay_table = {{Add, {2.0, 4.0}}, {Multiply, {4.0, 7.0}}};
    d.register_area = 30.0;
    return d;
}

TEST(Binding, ThreeAddersGiveTwoFirstVariantsPerStep) {
    Design d = scheduled({{1, Add}, {2, Add}, {3, Add}, {4, Add}, {5, Add}},
                         {{1, {3, 1, 2}}, {2, {5, 4}}});
    d.resources[Add] = 3;
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, (std::map<int32_t, int32_t>{{3, 1}, {1, 1}, {2, 2}, {5, 1}, {4, 1}}));
    EXPECT_EQ(d.operations[2].variant, 2);
    EXPECT_EQ(d.operations[3].variant, 1);
}

TEST(Binding, OnlyAddersAndMultipliersAreBound) {
    Design d = scheduled({{1, Subtract}, {2, Compare}, {3, Divide}, {4, Multiply}}, {{1, {1, 2, 3, 4}}});
    d.resources = {{Add, 1}, {Multiply, 1}, {Subtract, 1}, {Compare, 1}, {Divide, 1}};
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, (std::map<int32_t, int32_t>{{4, 1}}));
    for (int32_t id = 1; id <= 3; ++id)
        EXPECT_EQ(d.operations[id].variant, unbound_variant) << "operation " << id;
}

TEST(Binding, QuotasAreSeparatePerType) {
    // One multiplier: its quota of 1 does not use up the adders' quota of 1.
    Design d = scheduled({{1, Multiply}, {2, Add}, {3, Multiply}, {4, Add}}, {{1, {1, 2, 3, 4}}});
    d.resources = {{Add, 2}, {Multiply, 1}};
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, (std::map<int32_t, int32_t>{{1, 1}, {2, 1}, {3, 2}, {4, 2}}));
}

TEST(Binding, NoAdderResourceBindsEveryAdderToSecondVariant) {
    Design d = scheduled({{1, Add}, {2, Add}}, {{1, {1, 2}}});
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, (std::map<int32_t, int32_t>{{1, 2}, {2, 2}}));
    EXPECT_TRUE(d.resources.empty());
}

TEST(Binding, BindingAgainOverwrites) {
    Design d = scheduled({{1, Add}, {2, Add}}, {{1, {1, 2}}});
    d.resources[Add] = 1;
    bind_module_variants(d);
    d.resources[Add] = 3;
    bind_module_variants(d);
    EXPECT_EQ(d.variant_of, (std::map<int32_t, int32_t>{{1, 1}, {2, 1}}));
    EXPECT_EQ(d.operations[2].variant, 1);
}

TEST(Area, CountsUnitsOfBothVariantsAndRegisters) {
    Design d = scheduled({}, {});
    d.resources = {{Add, 3}, {Multiply, 1}, {Subtract, 5}, {Compare, 2}};
    // 2 x 400 + 1 x 220 + 1 x 1600 + 0 x 900 + 4 x 30
    EXPECT_DOUBLE_EQ(compute_area(d, /*register_count=*/4), 2740.0);
}

TEST(Area, NoAddersOrMultipliersLeavesTheRegisterTerm) {
    Design d = scheduled({}, {});
    d.resources = {{Subtract, 2}};
    EXPECT_DOUBLE_EQ(compute_area(d, /*register_count=*/3), 90.0);
    EXPECT_DOUBLE_EQ(compute_area(Design{}, /*register_count=*/3), 0.0);
}

TEST(Latency, SumsTheSlowestBoundUnitOfEachStep) {
    Design d = scheduled({{1, Add}, {2, Add}, {3, Multiply}, {4, Subtract}, {5, Add}},
                         {{1, {1, 2}}, {2, {3, 4}}, {3, {5}}});
    d.operations[1].variant = 1;
    d.operations[2].variant = 2;
    d.operations[3].variant = 2;
    // Operation 5 is unbound and adds nothing.
    EXPECT_DOUBLE_EQ(compute_latency(d), 4.0 + 7.0);
}

TEST(Latency, UsesTheOperationsVariantNotTheBindingTable) {
    Design d = scheduled({{1, Multiply}}, {{1, {1}}});
    d.resources[Multiply] = 1;
    bind_module_variants(d);
    d.operations[1].variant = 2;  // as embedding changes it
    EXPECT_DOUBLE_EQ(compute_latency(d), 7.0);
}

TEST(Latency, StepsWithoutAddersOrMultipliersAddNothing) {
    Design d = scheduled({{1, Subtract}, {2, Compare}, {3, Divide}}, {{1, {1, 2}}, {2, {3}}});
    EXPECT_DOUBLE_EQ(compute_latency(d), 0.0);
    EXPECT_DOUBLE_EQ(compute_latency(Design{}), 0.0);
}

TEST(Latency, MissingOperationOrTableEntryReadsAsNoDelay) {
    Design d = scheduled({{1, Add}}, {{1, {1, 9}}});
    d.operations[1].variant = 1;
    d.delay_table.clear();
    EXPECT_DOUBLE_EQ(compute_latency(d), 0.0);
    EXPECT_EQ(d.operations.count(9), 0u);
}

struct CostRow {
    const char *name;
    double area, latency, max_area, max_latency, cost;
};

void PrintTo(const CostRow &row, std::ostream *out) { *out << row.name; }

class Cost : public ::testing::TestWithParam<CostRow> {};

TEST_P(Cost, WeighsBothTermsEqually) {
    const CostRow &r = GetParam();
    EXPECT_DOUBLE_EQ(compute_cost(r.area, r.latency, r.max_area, r.max_latency), r.cost);
}

INSTANTIATE_TEST_SUITE_P(Rows, Cost,
                         ::testing::Values(CostRow{"equal_to_maxima", 100, 20, 100, 20, 1.0},
                                           CostRow{"half_area_full_latency", 50, 20, 100, 20, 0.75},
                                           CostRow{"zero_area_normaliser", 50, 10, 0, 20, 0.25},
                                           CostRow{"zero_latency_normaliser", 50, 10, 100, 0, 0.25},
                                           CostRow{"both_normalisers_zero", 50, 10, 0, 0, 0.0}),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velnor
