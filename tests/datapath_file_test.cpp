// The datapath file: what is written reads back equal, and each malformed
// member is refused with its path named.
#include "core/datapath_file.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

Datapath small_datapath() {
    Datapath d;
    d.dfg = "fir.txt";
    d.adders = 1;
    d.multipliers = 2;
    d.control_steps = 2;
    d.registers = 2;
    d.operations = {{1, '*', 1, 2, 0, 0, "in:1", "in:1", "op:1"}, {2, '-', 2, unbound_variant, 1, 0, "op:1", "in:2", "op:2"}};
    d.variables = {{"in:1", 0, 0, 1}, {"op:1", 1, 1, 2}, {"in:2", 0, 1, 1}, {"op:2", 2, 2, 2}};
    return d;
}

bool same(const Datapath &a, const Datapath &b) { return datapath_to_json(a) == datapath_to_json(b); }

TEST(DatapathFile, ReadsBackWhatItWrites) {
    const Datapath written = small_datapath();
    const Datapath read = datapath_from_json(datapath_to_json(written));
    EXPECT_TRUE(same(written, read));
    EXPECT_EQ(read.operations[1].first_operand, 1);  // producers follow from the names
    EXPECT_EQ(read.operations[1].second_operand, 0);
    EXPECT_EQ(read.operations[1].variant, unbound_variant);
}

TEST(DatapathFile, IgnoresMembersItDoesNotKnow) {
    std::string text = datapath_to_json(small_datapath());
    text.insert(text.find('{') + 1, "\"made_by\": {\"tool\": \"x\"},");
    EXPECT_TRUE(same(datapath_from_json(text), small_datapath()));
}

struct Malformed {
    const char *name;
    const char *from;  // text to replace in the written document
    const char *to;
    const char *message;
};

class DatapathFileRefuses : public ::testing::TestWithParam<Malformed> {};

TEST_P(DatapathFileRefuses, NamingTheMember) {
    std::string text = datapath_to_json(small_datapath());
    const Malformed &row = GetParam();
    const auto at = text.find(row.from);
    ASSERT_NE(at, std::string::npos) << row.from;
    text.replace(at, std::string(row.from).size(), row.to);
    try {
        datapath_from_json(text);
        FAIL() << "accepted";
    } catch (const Refusal &error) {
        EXPECT_EQ(error.reason(), Refusal::Reason::DatapathFile);
        EXPECT_STREQ(error.what(), row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DatapathFileRefuses,
    ::testing::Values(
        Malformed{"OtherFormat", "\"velnor-datapath\"", "\"other\"", "format: must be \"velnor-datapath\""},
        Malformed{"OtherVersion", "\"version\": 1", "\"version\": 2",
                  "version: must be 1 (this velnor reads version 1)"},
        Malformed{"MissingMember", "\"registers\": 2,", "", "registers: missing"},
        Malformed{"Truncated", "\"variables\"", "", "not a JSON document"},
        Malformed{"BadVariant", "\"variant\":2", "\"variant\":3", "operations[0].variant: must be 1, 2 or null"},
        Malformed{"BadType", "\"type\":\"-\"", "\"type\":\"%\"",
                  "operations[1].type: must be one of \"+\", \"-\", \"*\", \"/\", \"<\""},
        Malformed{"BadName", "\"name\":\"op:2\"", "\"name\":\"r7\"",
                  "variables[3].name: must be a variable name such as \"op:12\" or \"in:3\""},
        Malformed{"RegisterZero", "\"register\":2}\n  ]", "\"register\":0}\n  ]",
                  "variables[3].register: must be from 1 to 2147483647"},
        Malformed{"HugeStep", "\"step\":1", "\"step\":99999999999", "operations[0].step: must be from 1 to 2147483647"},
        Malformed{"FractionalBirth", "\"birth\":1", "\"birth\":1.5", "variables[1].birth: must be a whole number"}),
    [](const ::testing::TestParamInfo<Malformed> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velnor
