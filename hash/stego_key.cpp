// The stego key's fields as the window reads them: rule numbers and round
// counts typed on one line, the block order key and the binary form of the
// rounds. Numbers go through QString::toInt, exactly as the window converts them.
#include "hash/stego_key.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <set>

namespace velnor {
namespace {

constexpr int max_rule = 9;
constexpr int max_rounds = 80;
constexpr std::size_t round_group = 7;

// ceil(log2 n) for n >= 1: the fewest binary digits that number 0 .. n-1.
int entry_width(int n) {
    int width = 0;
    while (width < 31 && (1LL << width) < n)
        ++width;
    return width;
}

}  // namespace

// A space ends the token before it even when that token is empty, so a
// leading space yields a 0; only a non-empty token is left at the line's end,
// so trailing spaces add nothing.
std::vector<int> tokenize_numbers(const QString &line) {
    std::vector<int> values;
    QString token;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] != QLatin1Char(' ')) {
            token += line[i];
            continue;
        }
        values.push_back(token.toInt(nullptr, 10));
        token.clear();
        while (i + 1 < line.size() && line[i + 1] == QLatin1Char(' '))
            ++i;
    }
    if (!token.isEmpty())
        values.push_back(token.toInt(nullptr, 10));
    return values;
}

std::vector<int> parse_encodings(const QString &line) {
    std::vector<int> rules = tokenize_numbers(line);
    std::set<int> seen;
    for (int rule : rules)
        if (rule < 1 || rule > max_rule || !seen.insert(rule).second)
            throw KeyFormatError("error");
    return rules;
}

std::vector<int> parse_rounds(const QString &line) {
    std::vector<int> rounds = tokenize_numbers(line);
    for (int r : rounds)
        if (r < 1 || r > max_rounds)
            throw KeyFormatError("error");
    return rounds;
}

std::vector<int> parse_encodings_for(const QString &line, int n) {
    std::vector<int> rules = parse_encodings(line);
    if (rules.size() < static_cast<std::size_t>(std::max(n, 0)))
        throw KeyFormatError("error");
    return rules;
}

std::vector<int> parse_rounds_for(const QString &line, int n) {
    std::vector<int> rounds = parse_rounds(line);
    if (rounds.size() != 2 * static_cast<std::size_t>(std::max(n, 0)))
        throw KeyFormatError("inconsistent input");
    return rounds;
}

int order_key_size(int n) {
    if (n <= 1)
        return 0;
    const long long size = static_cast<long long>(n) * entry_width(n);
    if (size > INT_MAX)
        throw KeyFormatError("wrong size key");
    return static_cast<int>(size);
}

std::vector<int> input_order(const std::string &key, int n) {
    const int size = order_key_size(n);
    if (key.size() != static_cast<std::size_t>(size))
        throw KeyFormatError("wrong size key");
    std::vector<int> order;
    if (size == 0)
        return order;
    const std::size_t width = static_cast<std::size_t>(entry_width(n));
    for (std::size_t start = 0; start < key.size(); start += width) {
        long long value = 0;
        for (std::size_t i = start; i < start + width; ++i)
            value = 2 * value + (key[i] == '1' ? 1 : 0);
        if (value >= n)
            throw KeyFormatError("error");
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
        if (r < 1 || r > max_rounds)
            throw KeyFormatError("out_of_bound_error");
        for (std::size_t i = round_group; i-- > 0;)
            key += ((r >> i) & 1) ? '1' : '0';
    }
    return key;
}

std::vector<int> input_round_count(const std::string &key, int n) {
    if (n < 0 || key.size() != 2 * round_group * static_cast<std::size_t>(n))
        throw KeyFormatError("size_error");
    if (key.find_first_not_of("01") != std::string::npos)
        throw KeyFormatError("data_error");
    std::vector<int> rounds;
    for (std::size_t start = 0; start < key.size(); start += round_group) {
        int value = 0;
        for (std::size_t i = start; i < start + round_group; ++i)
            value = 2 * value + (key[i] - '0');
        if (value == 0 || value > max_rounds)
            throw KeyFormatError("out_of_bound_error");
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

int text_to_int(const QString &text) { return text.toInt(nullptr, 10); }

}  // namespace velnor
