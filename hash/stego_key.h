// Parsing the stego key's fields exactly as the window accepts them: the
// encodings line, the block order key, the rounds line, and typed integers.
// Numbers are converted as QString::toInt does, so this target links Qt Core.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class QString;

namespace velnor {

// A refused key field; what() is the internal short text ("error",
// "wrong size key", "size_error", ...), never shown to the user.
struct KeyFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Cuts at runs of U+0020; each token through QString::toInt (non-numbers give 0).
std::vector<int> tokenize_numbers(const QString &line);

std::vector<int> parse_encodings(const QString &line);  // distinct rule numbers 1..9
std::vector<int> parse_rounds(const QString &line);     // values 1..80

// The encodings line as the key entry takes it for n blocks: refused with
// "error" when it names fewer than n rules (rules beyond n are kept, unused).
std::vector<int> parse_encodings_for(const QString &line, int n);
// The rounds line for n encodings: refused with "inconsistent input" unless it
// holds exactly 2n values.
std::vector<int> parse_rounds_for(const QString &line, int n);

// ceil(log2 n) characters per entry, n entries.
int order_key_size(int n);
// Decodes the order key for n encodings into n zero-based block indices.
std::vector<int> input_order(const std::string &key, int n);
// The rounds as concatenated 7-character binary groups.
std::string rounds_key(const std::vector<int> &rounds);
// The inverse of rounds_key for n encodings (2n groups).
std::vector<int> input_round_count(const std::string &key, int n);

// What the window's unbounded integer validator accepts as a complete entry:
// an optionally signed decimal integer that fits an int. nullopt otherwise.
std::optional<int> parse_typed_integer(const std::string &text);

// QString::toInt(base 10) of a field's text; 0 for a non-number.
int text_to_int(const QString &text);

}  // namespace velnor
