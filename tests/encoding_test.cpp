// The nine encoding rules on worked operation/step pairs, rule 9's sequence,
// the prime test against a sieve, and whole operation maps.
#include "hash/encoding.h"

#include <stdexcept>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace velnor {
namespace {

std::string encode_one(int32_t op, int32_t cs, int rule) {
    OperationSteps operations;
    operations[op] = cs;
    return encode_operations(operations, rule);
}

TEST(Encoding, EveryRuleGivesTheWorkedBits) {
    // op#, cs#, then the bits of rules 1..9, '.' where the example says nothing
    const std::tuple<int32_t, int32_t, const char *> rows[] = {
        {1, 1, "100110001"}, {4, 2, "00111010."}, {3, 2, "1110..0.."}, {2, 3, "....0101."},
        {6, 3, "......10."}, {9, 2, "....1...."}, {7, 7, "........0"}, {5, 5, "........1"}, {7, 3, "........1"}};
    for (const auto &[op, cs, bits] : rows)
        for (int rule = 1; rule <= 9; ++rule)
            EXPECT_TRUE(bits[rule - 1] == '.' || encode_one(op, cs, rule) == std::string(1, bits[rule - 1]))
                << "op " << op << " cs " << cs << " rule " << rule;
    EXPECT_THROW(encode_one(1, 1, 0), Refusal);
    EXPECT_THROW(encode_one(1, 1, 10), Refusal);
}

// Rule 9 gives '0' exactly on the diagonal at 3, 7, 11, ...
TEST(Encoding, Rule9FollowsEverySecondOddNumber) {
    for (int32_t op = 1; op < 200; ++op) {
        EXPECT_EQ(encode_one(op, op, 9), op % 4 == 3 ? "0" : "1") << op;
        EXPECT_EQ(encode_one(op, op + 4, 9), "1") << op;
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

TEST(Encoding, OneBitPerOperationInIdOrderAndTheFirstNRules) {
    OperationTable operations;
    const int32_t steps[] = {0, 1, 1, 2, 3, 3};  // ids 1..5
    for (int32_t id = 5; id >= 1; --id)
        operations[id].list_step = steps[id];
    // rule 8: cs# divides op# for ids 1 and 2; rule 2: parity differs for ids 2, 3 and 4
    EXPECT_EQ(encode_blocks(operation_steps(operations), {8, 2, 5}, 2), (std::vector<std::string>{"00111", "01110"}));
    EXPECT_THROW(encode_blocks(operation_steps(operations), {8}, 2), Refusal);
    EXPECT_EQ(encode_operations({}, 1), "");
}

}  // namespace
}  // namespace velnor
