// The port map: pairs of names, comments and blanks, and the lines refused.
#include "rtl/port_map.h"

#include <gtest/gtest.h>

#include "core/refusal.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

TEST(PortMap, PairsCommentsAndBlankLines) {
    const PortMap map = parse_port_map("# velnor  suspect\n\n  clk\tck  \nin_3 data_b # the third input\r\n   # only\n");
    EXPECT_EQ(map("clk"), "ck");
    EXPECT_EQ(map("in_3"), "data_b");
    EXPECT_EQ(map("rst"), "rst");  // not named: its own name
    EXPECT_EQ(map.suspect_name.size(), 2u);
}

struct Refused {
    const char *name;
    const char *text;
    const char *message;
};

class PortMapRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(PortMapRefuses, NamingTheLine) {
    try {
        parse_port_map(GetParam().text);
        FAIL() << "accepted";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::SuspectNetlist);
        EXPECT_EQ(std::string(refusal.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PortMapRefuses,
    ::testing::Values(
        Refused{"OneName", "clk ck\nrst\n", "line 2: expected two names, velnor's port and the suspect's, not 'rst'"},
        Refused{"ThreeNames", "clk ck extra\n", "line 1: expected two names, velnor's port and the suspect's, not "
                                                "'clk ck extra'"},
        Refused{"NamedTwice", "clk a\n# c\nclk b\n", "line 3: the port clk is named twice"}),
    [](const ::testing::TestParamInfo<Refused> &info) { return std::string(info.param.name); });

TEST(PortMapFile, MessagesStartWithThePath) {
    test::ScratchDir dir;
    const std::string path = dir.write("ports.txt", "done\n");
    EXPECT_THROW(
        {
            try {
                read_port_map_file(path);
            } catch (const Refusal &refusal) {
                EXPECT_EQ(std::string(refusal.what()).rfind(path + ": line 1:", 0), 0u) << refusal.what();
                throw;
            }
        },
        Refusal);
    EXPECT_THROW(read_port_map_file(dir.path() + "/absent.txt"), Refusal);
    EXPECT_EQ(read_port_map_file(dir.write("ok.txt", "start go")).suspect_name.at("start"), "go");
}

}  // namespace
}  // namespace velnor
