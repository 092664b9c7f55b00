// The stego key's parsers: lines the window accepts and refuses, the order
// key for the allowed counts, the binary rounds both ways, typed integers.
#include "hash/stego_key.h"

#include <QString>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

namespace velnor {
namespace {

using Ints = std::vector<int>;

std::string refusal(const std::function<void()> &parse) {
    try {
        parse();
    } catch (const KeyFormatError &e) {
        return e.what();
    }
    return "accepted";
}

TEST(StegoKey, EncodingsLine) {
    EXPECT_EQ(parse_encodings(QStringLiteral("3 1 9")), (Ints{3, 1, 9}));
    for (const char *line : {"1 2 1", " 1 2 3", "1 10 2"})
        EXPECT_EQ(refusal([&] { parse_encodings(QString::fromUtf8(line)); }), "error") << line;
    EXPECT_EQ(parse_encodings_for(QStringLiteral("3 1 9 2"), 3), (Ints{3, 1, 9, 2}));
    EXPECT_EQ(refusal([] { parse_encodings_for(QStringLiteral("1 2"), 3); }), "error");
}

TEST(StegoKey, RoundsLine) {
    EXPECT_EQ(parse_rounds(QStringLiteral("1  80 40 2")), (Ints{1, 80, 40, 2}));
    EXPECT_EQ(parse_rounds(QStringLiteral("1 80 40 2  ")), (Ints{1, 80, 40, 2}));
    for (const char *line : {"0 1 2 3", "1 2 81 3"})
        EXPECT_EQ(refusal([&] { parse_rounds(QString::fromUtf8(line)); }), "error") << line;
    EXPECT_EQ(parse_rounds_for(QStringLiteral("80 1 2 3"), 2), (Ints{80, 1, 2, 3}));
    EXPECT_EQ(refusal([] { parse_rounds_for(QStringLiteral("5 6 7"), 2); }), "inconsistent input");
}

TEST(StegoKey, OrderKey) {
    EXPECT_EQ(input_order("", 1), Ints{});
    EXPECT_EQ(input_order("011000", 3), (Ints{1, 2, 0}));
    EXPECT_EQ(input_order("00000000", 4), (Ints{0, 0, 0, 0}));
    EXPECT_EQ(input_order("100001110110010101000011001000010000", 9), (Ints{8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(refusal([] { input_order("110000", 3); }), "error");  // names block 3 of 0..2
    EXPECT_EQ(refusal([] { input_order("0", 1); }), "wrong size key");
    EXPECT_EQ(refusal([] { input_order("0110", 3); }), "wrong size key");
}

TEST(StegoKey, InputRoundCountInvertsRoundsKey) {
    EXPECT_EQ(rounds_key({80, 1}), "1010000" "0000001");
    const Ints rounds{80, 1, 37, 2, 64, 5, 79, 40, 16, 3, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int n = 1; n <= 9; ++n) {
        const Ints first(rounds.begin(), rounds.begin() + 2 * n);
        EXPECT_EQ(input_round_count(rounds_key(first), n), first) << n;
    }
    EXPECT_EQ(refusal([] { rounds_key({81}); }), "out_of_bound_error");
    EXPECT_EQ(refusal([] { input_round_count("1010000" "0000001", 2); }), "size_error");
    EXPECT_EQ(refusal([] { input_round_count("1010000 000001", 1); }), "data_error");
    EXPECT_EQ(refusal([] { input_round_count("0000000" "0000001", 1); }), "out_of_bound_error");
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
