// The nine encoding rules on worked operation/step pairs, rule 9's sequence,
// the prime test against a sieve, and whole operation maps.
#include "hash/encoding.h"

#include <numeric>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace velnor {
namespace {

std::string encode_one(int32_t op, int32_t cs, int rule) {
    std::map<int32_t, Operation> operations;
    operations[op].list_step = cs;
    return encode_operations(operations, rule);
}

struct RuleRow {
    const char *name;
    int32_t op;
    int32_t cs;
    const char *bits;  // rules 1..9, '.' where the case says nothing
};

class EncodingRule : public testing::TestWithParam<RuleRow> {};

TEST_P(EncodingRule, GivesTheWorkedBits) {
    const RuleRow &row = GetParam();
    for (int rule = 1; rule <= 9; ++rule) {
        if (row.bits[rule - 1] != '.') {
            EXPECT_EQ(encode_one(row.op, row.cs, rule), std::string(1, row.bits[rule - 1])) << "rule " << rule;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encoding, EncodingRule,
                         testing::Values(RuleRow{"Op1Step1", 1, 1, "100110001"}, RuleRow{"Op2Step3", 2, 3, "....0101."},
                                         RuleRow{"Op6Step3", 6, 3, "......10."}, RuleRow{"Op7Step7", 7, 7, "........0"},
                                         RuleRow{"Op5Step5", 5, 5, "........1"}, RuleRow{"Op7Step3", 7, 3, "........1"},
                                         RuleRow{"Op9Step2", 9, 2, "....1...."}, RuleRow{"Op4Step2", 4, 2, "00111010."},
                                         RuleRow{"Op3Step2", 3, 2, "1110..0.."}),
                         [](const auto &info) { return std::string(info.param.name); });

// Rule 9 gives '0' exactly on the diagonal at 3, 7, 11, ...
TEST(Encoding, Rule9FollowsEverySecondOddNumber) {
    std::vector<bool> in_sequence(200, false);
    for (int term = 3; term < 200; term += 4)
        in_sequence[term] = true;
    for (int32_t op = 1; op < 200; ++op) {
        EXPECT_EQ(encode_one(op, op, 9), in_sequence[op] ? "0" : "1") << op;
        EXPECT_EQ(encode_one(op, op + 4, 9), "1") << op;
    }
}

TEST(Encoding, PairedRulesAreInversesAndGcdRuleAgreesWithStdGcd) {
    for (int32_t op = 1; op <= 40; ++op)
        for (int32_t cs = 1; cs <= 40; ++cs) {
            EXPECT_NE(encode_one(op, cs, 5), encode_one(op, cs, 6)) << op << "," << cs;
            EXPECT_NE(encode_one(op, cs, 2), encode_one(op, cs, 4)) << op << "," << cs;
            EXPECT_EQ(encode_one(op, cs, 7), std::gcd(op, cs) == 1 ? "0" : "1") << op << "," << cs;
            EXPECT_EQ(encode_one(op, cs, 8), op % cs == 0 ? "0" : "1") << op << "," << cs;
        }
}

TEST(Encoding, IsPrimeMatchesASieveAndCountsSmallNumbersAsPrime) {
    const int limit = 20000;
    std::vector<bool> composite(limit + 1, false);
    for (int p = 2; p * p <= limit; ++p)
        for (int m = p * p; m <= limit; m += p)
            composite[m] = true;
    for (int k = 2; k <= limit; ++k)
        ASSERT_EQ(is_prime(k), !composite[k]) << k;
    EXPECT_TRUE(is_prime(1));
    EXPECT_TRUE(is_prime(0));
    EXPECT_FALSE(is_prime(2147483647 - 2));  // 2^31 - 3 = 5 * 429496729
    EXPECT_TRUE(is_prime(2147483647));
}

TEST(Encoding, OneBitPerOperationInIdOrder) {
    std::map<int32_t, Operation> operations;
    const int32_t steps[] = {0, 1, 1, 2, 3, 3};  // ids 1..5
    for (int32_t id = 5; id >= 1; --id)
        operations[id].list_step = steps[id];
    EXPECT_EQ(encode_operations(operations, 2), "01110");  // parity differs for ids 2, 3 and 4
    EXPECT_EQ(encode_operations(operations, 8), "00111");  // cs# divides op# for ids 1 and 2
    for (int rule = 1; rule <= 9; ++rule)
        EXPECT_EQ(encode_operations({}, rule), "") << "rule " << rule;
}

TEST(Encoding, BlocksTakeTheFirstNRulesInOrder) {
    std::map<int32_t, Operation> operations;
    const int32_t steps[] = {0, 1, 1, 2, 3, 3};
    for (int32_t id = 1; id <= 5; ++id)
        operations[id].list_step = steps[id];
    EXPECT_EQ(encode_blocks(operations, {8, 2, 5}, 2), (std::vector<std::string>{"00111", "01110"}));
    EXPECT_THROW(encode_blocks(operations, {8}, 2), std::invalid_argument);
}

TEST(Encoding, StepsOutsideTheScheduleDoNotCrash) {
    EXPECT_EQ(encode_one(5, 0, 8), "1");
    EXPECT_EQ(encode_one(5, 0, 7), "1");  // gcd(5, 0) = 5
    EXPECT_EQ(encode_one(-2147483647 - 1, -1, 8), "0");
    EXPECT_THROW(encode_one(1, 1, 0), std::invalid_argument);
    EXPECT_THROW(encode_one(1, 1, 10), std::invalid_argument);
}

}  // namespace
}  // namespace velnor
