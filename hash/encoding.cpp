// The nine encoding rules. Each rule is a function of op# (the operation's id)
// and cs# (its list-scheduled control step) giving '0' or '1'.
#include "hash/encoding.h"

#include <stdexcept>

namespace velnor {
namespace {

bool odd(int32_t k) { return k % 2 == 1; }

// Euclid's algorithm from a = op#, b = cs#. Worked in 64 bits so that no pair
// of ids and steps can overflow a remainder.
int64_t gcd(int64_t a, int64_t b) {
    while (b != 0) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// Every second odd number from 3 on: 3, 7, 11, 15, ... The walk 3, 7, 11, ...
// that stops once a term reaches op ends on op exactly for op >= 3 with
// op mod 4 = 3; the closed form gives that answer without walking.
bool in_second_odd_sequence(int32_t op) { return op >= 3 && op % 4 == 3; }

char bit(bool one) { return one ? '1' : '0'; }

char rule_1(int32_t op, int32_t cs) { return bit(!(!odd(op) && !odd(cs))); }
char rule_2(int32_t op, int32_t cs) { return bit(odd(op) != odd(cs)); }
char rule_3(int32_t op, int32_t cs) { return bit(!(odd(op) && odd(cs))); }
char rule_4(int32_t op, int32_t cs) { return bit(odd(op) == odd(cs)); }
bool both_prime(int32_t op, int32_t cs) { return op != 1 && cs != 1 && is_prime(op) && is_prime(cs); }
char rule_5(int32_t op, int32_t cs) { return bit(!both_prime(op, cs)); }
char rule_6(int32_t op, int32_t cs) { return bit(both_prime(op, cs)); }
char rule_7(int32_t op, int32_t cs) { return bit(gcd(op, cs) != 1); }
// A step of 0 divides nothing (no scheduled operation has one).
char rule_8(int32_t op, int32_t cs) { return bit(cs == 0 || int64_t{op} % cs != 0); }
char rule_9(int32_t op, int32_t cs) { return bit(!(op == cs && in_second_odd_sequence(op))); }

}  // namespace

// 2 and 3 count as prime, as does anything of 3 or less (the rules exclude 1
// themselves); for k >= 2 this is ordinary primality. An odd composite k has
// an odd divisor no greater than its square root, so trial division stops there.
bool is_prime(int32_t k) {
    if (k <= 3)
        return true;
    if (k % 2 == 0)
        return false;
    for (int64_t d = 3; d * d <= k; d += 2)
        if (k % d == 0)
            return false;
    return true;
}

OperationSteps operation_steps(const OperationTable &operations) {
    OperationSteps steps;
    steps.reserve(operations.size());
    for (const auto &[id, operation] : operations)
        steps[id] = operation.list_step;
    return steps;
}

std::string encode_operations(const OperationSteps &operations, int rule) {
    using Rule = char (*)(int32_t, int32_t);
    static const Rule rules[] = {rule_1, rule_2, rule_3, rule_4, rule_5, rule_6, rule_7, rule_8, rule_9};
    if (rule < 1 || rule > encoding_rule_count)
        throw Refusal(Refusal::Reason::InvalidArgument, "there is no encoding rule " + std::to_string(rule));
    std::string bits;
    bits.reserve(operations.size());
    for (const auto &[id, list_step] : operations)
        bits += rules[rule - 1](id, list_step);
    return bits;
}

std::vector<std::string> encode_blocks(const OperationSteps &operations, const std::vector<int> &encodings, int n) {
    if (n < 0 || encodings.size() < static_cast<std::size_t>(n))
        throw Refusal(Refusal::Reason::InvalidArgument, "fewer encodings than blocks");
    std::vector<std::string> blocks;
    for (int i = 0; i < n; ++i)
        blocks.push_back(encode_operations(operations, encodings[i]));
    return blocks;
}

}  // namespace velnor
