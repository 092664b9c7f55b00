// The stego key's parsers: lines the window accepts and refuses, the order
// key for every allowed count, the binary rounds both ways, typed integers.
#include "hash/stego_key.h"

#include <QString>

#include <functional>
#include <optional>
#include <variant>

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

struct LineRow {
    const char *name;
    const char *line;
    std::optional<Ints> values;  // nullopt: refused with "error"
};

std::string row_name(const testing::TestParamInfo<LineRow> &info) { return info.param.name; }

class Tokenizer : public testing::TestWithParam<LineRow> {};
TEST_P(Tokenizer, CutsAtSpaces) { EXPECT_EQ(tokenize_numbers(QString::fromUtf8(GetParam().line)), *GetParam().values); }
INSTANTIATE_TEST_SUITE_P(
    StegoKey, Tokenizer,
    testing::Values(LineRow{"Empty", "", Ints{}}, LineRow{"Three", "1 2 3", Ints{1, 2, 3}},
                    LineRow{"LeadingSpaceGivesZero", " 1 2", Ints{0, 1, 2}}, LineRow{"RunOfSpaces", "1   2", Ints{1, 2}},
                    LineRow{"TrailingSpaces", "1 2   ", Ints{1, 2}}, LineRow{"OnlySpaces", "   ", Ints{0}},
                    LineRow{"NonNumberGivesZero", "x 7", Ints{0, 7}}, LineRow{"TabIsNoSeparator", "1\t2 5", Ints{0, 5}},
                    LineRow{"SignedNumbers", "+4 -3", Ints{4, -3}}),
    row_name);

class Encodings : public testing::TestWithParam<LineRow> {};
TEST_P(Encodings, AcceptOrRefuse) {
    const QString line = QString::fromUtf8(GetParam().line);
    if (GetParam().values)
        EXPECT_EQ(parse_encodings(line), *GetParam().values);
    else
        EXPECT_EQ(refusal([&] { parse_encodings(line); }), "error");
}
INSTANTIATE_TEST_SUITE_P(
    StegoKey, Encodings,
    testing::Values(LineRow{"ThreeDistinct", "3 1 9", Ints{3, 1, 9}}, LineRow{"Repeated", "1 2 1", std::nullopt},
                    LineRow{"LeadingSpace", " 1 2 3", std::nullopt}, LineRow{"FourDistinct", "1 2 3 4", Ints{1, 2, 3, 4}},
                    LineRow{"TwoOnly", "1 2", Ints{1, 2}}, LineRow{"RuleTen", "1 10 2", std::nullopt},
                    LineRow{"RuleZero", "0", std::nullopt}, LineRow{"Letters", "1 a", std::nullopt}),
    row_name);

class Rounds : public testing::TestWithParam<LineRow> {};
TEST_P(Rounds, AcceptOrRefuse) {
    const QString line = QString::fromUtf8(GetParam().line);
    if (GetParam().values)
        EXPECT_EQ(parse_rounds(line), *GetParam().values);
    else
        EXPECT_EQ(refusal([&] { parse_rounds(line); }), "error");
}
INSTANTIATE_TEST_SUITE_P(
    StegoKey, Rounds,
    testing::Values(LineRow{"FourInRange", "1 80 40 2", Ints{1, 80, 40, 2}},
                    LineRow{"TwoSpaces", "1  80 40 2", Ints{1, 80, 40, 2}},
                    LineRow{"TrailingSpaces", "1 80 40 2  ", Ints{1, 80, 40, 2}},
                    LineRow{"ThreeValues", "5 6 7", Ints{5, 6, 7}}, LineRow{"Zero", "0 1 2 3", std::nullopt},
                    LineRow{"EightyOne", "1 2 81 3", std::nullopt}, LineRow{"Letters", "1 x 2 3", std::nullopt}),
    row_name);

TEST(StegoKey, EntryCountsForTheBlocks) {
    EXPECT_EQ(parse_encodings_for(QStringLiteral("3 1 9 2"), 3), (Ints{3, 1, 9, 2}));
    EXPECT_EQ(refusal([] { parse_encodings_for(QStringLiteral("1 2"), 3); }), "error");
    EXPECT_EQ(parse_rounds_for(QStringLiteral("80 1 2 3"), 2), (Ints{80, 1, 2, 3}));
    EXPECT_EQ(refusal([] { parse_rounds_for(QStringLiteral("5 6 7"), 2); }), "inconsistent input");
    EXPECT_EQ(refusal([] { parse_rounds_for(QStringLiteral("5 6 7 8 9"), 2); }), "inconsistent input");
}

TEST(StegoKey, OrderKeySizes) {
    const int sizes[] = {0, 2, 6, 8, 15, 18, 21, 24, 36};
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(order_key_size(n), sizes[n - 1]) << n;
}

struct OrderRow {
    const char *name;
    int n;
    const char *key;
    std::variant<Ints, const char *> result;  // the order or the refusal text
};

class OrderKey : public testing::TestWithParam<OrderRow> {};
TEST_P(OrderKey, Decodes) {
    const OrderRow &row = GetParam();
    if (const auto *order = std::get_if<Ints>(&row.result))
        EXPECT_EQ(input_order(row.key, row.n), *order);
    else
        EXPECT_EQ(refusal([&] { input_order(row.key, row.n); }), std::get<const char *>(row.result));
}
INSTANTIATE_TEST_SUITE_P(
    StegoKey, OrderKey,
    testing::Values(OrderRow{"OneEmpty", 1, "", Ints{}}, OrderRow{"OneNonEmpty", 1, "0", "wrong size key"},
                    OrderRow{"ThreeInOrder", 3, "011000", Ints{1, 2, 0}}, OrderRow{"ThreeFirstIsThree", 3, "110000", "error"},
                    OrderRow{"ThreeShort", 3, "0110", "wrong size key"}, OrderRow{"FourZeros", 4, "00000000", Ints{0, 0, 0, 0}},
                    OrderRow{"TwoOtherCharsAreZero", 2, "1x", Ints{1, 0}},
                    OrderRow{"FiveLastIsFive", 5, "000001010011101", "error"},
                    OrderRow{"NineReachesEight", 9, "100001110110010101000011001000010000", Ints{8, 7, 6, 5, 4, 3, 2, 1, 0}},
                    OrderRow{"NineNamesNine", 9, "100100000000000000000000000000000000", "error"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StegoKey, RoundsKeyIsSevenDigitsARound) {
    EXPECT_EQ(rounds_key({80, 1}), "1010000" "0000001");
    EXPECT_EQ(rounds_key({}), "");
    EXPECT_EQ(refusal([] { rounds_key({0}); }), "out_of_bound_error");
    EXPECT_EQ(refusal([] { rounds_key({81}); }), "out_of_bound_error");
}

TEST(StegoKey, InputRoundCountInvertsRoundsKey) {
    EXPECT_EQ(input_round_count("1010000" "0000001", 1), (Ints{80, 1}));
    for (int n = 1; n <= 9; ++n) {
        Ints rounds;
        for (int i = 0; i < 2 * n; ++i)
            rounds.push_back(1 + (i * 37 + n * 11) % 80);
        EXPECT_EQ(input_round_count(rounds_key(rounds), n), rounds) << n;
    }
}

TEST(StegoKey, InputRoundCountRefusals) {
    EXPECT_EQ(refusal([] { input_round_count("101000000000", 1); }), "size_error");
    EXPECT_EQ(refusal([] { input_round_count("1010000" "0000001", 2); }), "size_error");
    EXPECT_EQ(refusal([] { input_round_count("", -1); }), "size_error");
    EXPECT_EQ(refusal([] { input_round_count("1010000 000001", 1); }), "data_error");
    EXPECT_EQ(refusal([] { input_round_count("0000000" "0000001", 1); }), "out_of_bound_error");
    EXPECT_EQ(refusal([] { input_round_count("1010001" "0000001", 1); }), "out_of_bound_error");
}

// As the window's unbounded integer validator judges a finished entry (checked
// against it in the C and en_US locales).
TEST(StegoKey, TypedIntegers) {
    const std::pair<const char *, int> accepted[] = {
        {"0", 0}, {"5", 5}, {"+5", 5}, {"-5", -5}, {"-0", 0}, {"007", 7}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"00000000000000000000012", 12}};
    for (const auto &[text, value] : accepted)
        EXPECT_EQ(parse_typed_integer(text), value) << text;
    for (const char *text : {"", "+", "-", " 5", "5 ", "\t5", "2147483648", "-2147483649", "1,000", "5a", "0x10",
                             "1e3", "1.0", "+-5", "99999999999999999999", "\xd9\xa3"})
        EXPECT_EQ(parse_typed_integer(text), std::nullopt) << text;
}

}  // namespace
}  // namespace velnor
