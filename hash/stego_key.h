// The stego key's fields by the rules the window applies to them: the encodings
// line, the block order key, the rounds line, their binary forms in the key
// file, and typed integers. A line of numbers arrives already converted (see
// key_text.h), so these rules need no Qt.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/refusal.h"

namespace velnor {

// A line of numbers as typed into a key field: its text, which refusals quote,
// and its tokens as the field converts them.
struct NumberLine {
    std::string text;
    std::vector<int> values;
};

// Distinct rule numbers 1..encoding_rule_count; refused (EncodingsMalformed) otherwise.
std::vector<int> parse_encodings(const NumberLine &line);
// The encodings line for n blocks: also refused (TooFewEncodings) when it names
// fewer than n rules. Rules beyond n are kept, unused.
std::vector<int> parse_encodings_for(const NumberLine &line, int n);
// Round counts 1..sha512_rounds; refused (RoundsMalformed) otherwise.
std::vector<int> parse_rounds(const NumberLine &line);

// ceil(log2 n) characters per entry, n entries.
int order_key_size(int n);
// Decodes the order key for n encodings into n zero-based block indices;
// refused (OrderKeySize, OrderKeyEntry) when it has the wrong length or an
// entry names no block.
std::vector<int> input_order(const std::string &key, int n);
// The rounds as concatenated 7-character binary groups.
std::string rounds_key(const std::vector<int> &rounds);
// The inverse of rounds_key for n encodings (2n groups); refused (RoundsMalformed).
std::vector<int> input_round_count(const std::string &key, int n);

// What the window's unbounded integer validator accepts as a complete entry:
// an optionally signed decimal integer that fits an int. nullopt otherwise.
std::optional<int> parse_typed_integer(const std::string &text);

}  // namespace velnor
