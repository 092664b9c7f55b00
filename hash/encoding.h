// The nine encoding rules: each turns the scheduled design into a bit string,
// one bit per operation in ascending id, from its id and its control step.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/design.h"
#include "core/refusal.h"

namespace velnor {

// The encoding rules are numbered 1 to this many.
constexpr int encoding_rule_count = 9;

bool is_prime(int32_t k);

// What the rules read of the operations: each one's list step, by id.
using OperationSteps = IdMap<int32_t>;

OperationSteps operation_steps(const OperationTable &operations);

// rule: 1..encoding_rule_count; any other number is refused (InvalidArgument).
std::string encode_operations(const OperationSteps &operations, int rule);

// The hash chain's inputs: the first n rules of encodings applied in order.
// Needs at least n rules (InvalidArgument otherwise).
std::vector<std::string> encode_blocks(const OperationSteps &operations, const std::vector<int> &encodings, int n);

}  // namespace velnor
