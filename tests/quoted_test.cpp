// Quoted values in messages: cut at 40 characters and kept on one line.
#include "core/quoted.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

struct QuotedCase {
    const char *name;
    std::string text;
    std::string shown;
};

class Quoted : public testing::TestWithParam<QuotedCase> {};

TEST_P(Quoted, ShortAndOneLine) { EXPECT_EQ(quoted(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Values, Quoted,
    testing::Values(QuotedCase{"Empty", "", ""}, QuotedCase{"Short", "1 5", "1 5"},
                    QuotedCase{"FortyKept", std::string(40, '9'), std::string(40, '9')},
                    QuotedCase{"FortyOneCut", std::string(41, '9'), std::string(40, '9') + "..."},
                    QuotedCase{"LineFeedAndTab", "1\n5\t", "1\\n5\\t"},
                    QuotedCase{"OtherControlCharacters", std::string("\r\x01\x7f\0", 4), "\\r\\x01\\x7f\\x00"},
                    QuotedCase{"CutCountsCharactersNotEscapes", std::string(39, 'a') + "\n\n", std::string(39, 'a') +
                                                                                                 "\\n..."}),
    [](const auto &info) { return info.param.name; });

TEST(OneLine, EscapesWithoutCutting) {
    EXPECT_EQ(one_line(std::string(50, 'x') + "\n"), std::string(50, 'x') + "\\n");
}

}  // namespace
}  // namespace velnor
