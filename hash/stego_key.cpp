// The stego key's fields as the window reads them: rule numbers and round
// counts typed on one line, the block order key and the binary form of the
// rounds.
#include "hash/stego_key.h"

#include <algorithm>
#include <climits>
#include <set>

#include "hash/encoding.h"
#include "hash/hash_engine.h"
#include "core/quoted.h"

namespace velnor {
namespace {

constexpr std::size_t round_group = 7;

// ceil(log2 n) for n >= 1: the fewest binary digits that number 0 .. n-1.
int entry_width(int n) {
    int width = 0;
    while (width < 31 && (1LL << width) < n)
        ++width;
    return width;
}

}  // namespace

std::vector<int> parse_encodings(const NumberLine &line) {
    std::set<int> seen;
    for (int rule : line.values)
        if (rule < 1 || rule > encoding_rule_count || !seen.insert(rule).second)
            throw Refusal(Refusal::Reason::EncodingsMalformed,
                          "'" + quoted(line.text) + "' is not a list of distinct rule numbers from 1 to " +
                              std::to_string(encoding_rule_count) + " separated by spaces");
    return line.values;
}

std::vector<int> parse_encodings_for(const NumberLine &line, int n) {
    std::vector<int> rules = parse_encodings(line);
    if (rules.size() < static_cast<std::size_t>(std::max(n, 0)))
        throw Refusal(Refusal::Reason::TooFewEncodings, std::to_string(rules.size()) +
                                                            " rule numbers given, but the number of encodings is " +
                                                            std::to_string(n));
    return rules;
}

std::vector<int> parse_rounds(const NumberLine &line) {
    for (int r : line.values)
        if (r < 1 || r > sha512_rounds)
            throw Refusal(Refusal::Reason::RoundsMalformed, "'" + quoted(line.text) +
                                                                "' is not a list of round counts from 1 to " +
                                                                std::to_string(sha512_rounds) + " separated by spaces");
    return line.values;
}

int order_key_size(int n) {
    if (n <= 1)
        return 0;
    const long long size = static_cast<long long>(n) * entry_width(n);
    if (size > INT_MAX)
        throw Refusal(Refusal::Reason::OrderKeySize, "no key has room for " + std::to_string(n) + " encodings");
    return static_cast<int>(size);
}

std::vector<int> input_order(const std::string &key, int n) {
    const int size = order_key_size(n);
    if (key.size() != static_cast<std::size_t>(size))
        throw Refusal(Refusal::Reason::OrderKeySize, "the key for " + std::to_string(n) + " encodings has " +
                                                         std::to_string(size) + " characters, got " +
                                                         std::to_string(key.size()));
    std::vector<int> order;
    if (size == 0)
        return order;
    const std::size_t width = static_cast<std::size_t>(entry_width(n));
    for (std::size_t start = 0; start < key.size(); start += width) {
        long long value = 0;
        for (std::size_t i = start; i < start + width; ++i)
            value = 2 * value + (key[i] == '1' ? 1 : 0);
        if (value >= n)
            throw Refusal(Refusal::Reason::OrderKeyEntry,
                          "each group of " + std::to_string(width) +
                              " characters must read, in binary, a block number below " + std::to_string(n));
        order.push_back(static_cast<int>(value));
    }
    return order;
}

// Only the round counts 1..80 have a form here; anything else is refused
// rather than written in more or fewer than seven digits.
std::string rounds_key(const std::vector<int> &rounds) {
    std::string key;
    key.reserve(rounds.size() * round_group);
    for (int r : rounds) {
        if (r < 1 || r > sha512_rounds)
            throw Refusal(Refusal::Reason::InvalidArgument, "round count " + std::to_string(r) + " has no key");
        for (std::size_t i = round_group; i-- > 0;)
            key += ((r >> i) & 1) ? '1' : '0';
    }
    return key;
}

std::vector<int> input_round_count(const std::string &key, int n) {
    if (n < 0 || key.size() != 2 * round_group * static_cast<std::size_t>(n))
        throw Refusal(Refusal::Reason::RoundsMalformed, "the rounds key for " + std::to_string(n) + " encodings has " +
                                                            std::to_string(2 * round_group * std::max(n, 0)) +
                                                            " characters, got " + std::to_string(key.size()));
    if (key.find_first_not_of("01") != std::string::npos)
        throw Refusal(Refusal::Reason::RoundsMalformed, "the rounds key holds characters other than 0 and 1");
    std::vector<int> rounds;
    for (std::size_t start = 0; start < key.size(); start += round_group) {
        int value = 0;
        for (std::size_t i = start; i < start + round_group; ++i)
            value = 2 * value + (key[i] - '0');
        if (value == 0 || value > sha512_rounds)
            throw Refusal(Refusal::Reason::RoundsMalformed, "the rounds key holds a round count of " +
                                                                std::to_string(value));
        rounds.push_back(value);
    }
    return rounds;
}

// The window's validator refuses surrounding or inner white space outright.
// It would also pass comma-grouped digits such as "1,000", whose value the
// window then reads as 0; such text is refused here instead of being turned
// into a silent 0.
std::optional<int> parse_typed_integer(const std::string &text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = 10 * value + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace velnor
