// The stego key's parsers: lines the window accepts and refuses, the order
// key for the allowed counts, the binary rounds both ways, typed integers.
#include "hash/key_text.h"

#include <QString>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

namespace velnor {
namespace {

using Ints = std::vector<int>;

using Reason = Refusal::Reason;

std::optional<Reason> refusal(const std::function<void()> &parse) {
    try {
        parse();
    } catch (const Refusal &e) {
        return e.reason();
    }
    return std::nullopt;
}

NumberLine line_of(const char *text) { return number_line(QString::fromUtf8(text)); }

TEST(StegoKey, EncodingsLine) {
    EXPECT_EQ(parse_encodings(line_of("3 1 9")), (Ints{3, 1, 9}));
    for (const char *line : {"1 2 1", " 1 2 3", "1 10 2"})
        EXPECT_EQ(refusal([&] { parse_encodings(line_of(line)); }), Reason::EncodingsMalformed) << line;
    EXPECT_EQ(parse_encodings_for(line_of("3 1 9 2"), 3), (Ints{3, 1, 9, 2}));
    EXPECT_EQ(refusal([] { parse_encodings_for(line_of("1 2"), 3); }), Reason::TooFewEncodings);
}

TEST(StegoKey, RoundsLine) {
    EXPECT_EQ(parse_rounds(line_of("1  80 40 2")), (Ints{1, 80, 40, 2}));
    EXPECT_EQ(parse_rounds(line_of("1 80 40 2  ")), (Ints{1, 80, 40, 2}));
    for (const char *line : {"0 1 2 3", "1 2 81 3"})
        EXPECT_EQ(refusal([&] { parse_rounds(line_of(line)); }), Reason::RoundsMalformed) << line;
}

TEST(StegoKey, OrderKey) {
    EXPECT_EQ(input_order("", 1), Ints{});
    EXPECT_EQ(input_order("011000", 3), (Ints{1, 2, 0}));
    EXPECT_EQ(input_order("00000000", 4), (Ints{0, 0, 0, 0}));
    EXPECT_EQ(input_order("100001110110010101000011001000010000", 9), (Ints{8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(refusal([] { input_order("110000", 3); }), Reason::OrderKeyEntry);  // names block 3 of 0..2
    EXPECT_EQ(refusal([] { input_order("0", 1); }), Reason::OrderKeySize);
    EXPECT_EQ(refusal([] { input_order("0110", 3); }), Reason::OrderKeySize);
}

TEST(StegoKey, InputRoundCountInvertsRoundsKey) {
    EXPECT_EQ(rounds_key({80, 1}), "1010000" "0000001");
    const Ints rounds{80, 1, 37, 2, 64, 5, 79, 40, 16, 3, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int n = 1; n <= 9; ++n) {
        const Ints first(rounds.begin(), rounds.begin() + 2 * n);
        EXPECT_EQ(input_round_count(rounds_key(first), n), first) << n;
    }
    EXPECT_EQ(refusal([] { rounds_key({81}); }), Reason::InvalidArgument);
    EXPECT_EQ(refusal([] { input_round_count("1010000" "0000001", 2); }), Reason::RoundsMalformed);
    EXPECT_EQ(refusal([] { input_round_count("1010000 000001", 1); }), Reason::RoundsMalformed);
    EXPECT_EQ(refusal([] { input_round_count("0000000" "0000001", 1); }), Reason::RoundsMalformed);
}

// As the window's unbounded integer validator judges a finished entry (checked
// against it in the C and en_US locales).
TEST(StegoKey, TypedIntegers) {
    const std::pair<const char *, int> accepted[] = {
        {"+5", 5}, {"-0", 0}, {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
    for (const auto &[text, value] : accepted)
        EXPECT_EQ(parse_typed_integer(text), value) << text;
    for (const char *text : {"", "-", " 5", "5 ", "2147483648", "-2147483649", "1,000", "0x10", "1e3", "+-5"})
        EXPECT_EQ(parse_typed_integer(text), std::nullopt) << text;
}

}  // namespace
}  // namespace velnor
