// Reading a suspect's netlist: Yosys run for real on tiny Verilog written
// here (a counter simulated through its handshake, a file name with a blank
// and quotes, cells velnor refuses, yosys missing or out of time), and the
// JSON reader on hand-written netlists, accepted and refused.
#include "tools/yosys_netlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/refusal.h"
#include "rtl/netlist_simulation.h"
#include "tests/test_support.h"

namespace velnor {
namespace {

constexpr double seconds = 60;

// Counts up while en is high from start on, and raises done once count
// reaches limit.
const char counter_verilog[] = R"(
module counter (input clk, input rst, input start, input en, input [3:0] limit,
                output reg done, output reg [3:0] count);
  always @(posedge clk)
    if (rst) begin
      count <= 0;
      done <= 0;
    end else if (start) begin
      count <= 0;
      done <= 0;
    end else if (en && !done) begin
      count <= count + 1;
      if (count + 1 == limit)
        done <= 1;
    end
endmodule
)";

std::string refusal_text(const std::function<void()> &call) {
    try {
        call();
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), Refusal::Reason::SuspectNetlist);
        return refusal.what();
    }
    return "(not refused)";
}

NetId bit_of(const Netlist &netlist, const std::string &port, std::size_t bit = 0) {
    const NetlistPort *found = find_port(netlist, port);
    if (found == nullptr || found->bits.size() <= bit)
        throw std::logic_error("no port " + port);
    return found->bits[bit];
}

TEST(YosysNetlist, CounterRunsThroughTheHandshake) {
    const test::ScratchDir dir;
    const Netlist netlist = read_verilog_netlist(dir.write("counter.v", counter_verilog), std::nullopt, seconds);
    EXPECT_EQ(netlist.top, "counter");
    ASSERT_EQ(netlist.flip_flops.size(), 5U);
    ASSERT_NE(find_port(netlist, "limit"), nullptr);
    EXPECT_TRUE(find_port(netlist, "limit")->input);
    EXPECT_FALSE(find_port(netlist, "count")->input);
    EXPECT_EQ(find_port(netlist, "no_such_port"), nullptr);

    // Four vectors count to 3, 5, 1 and 7.
    const std::vector<uint64_t> limits{3, 5, 1, 7};
    HandshakeStimulus s;
    s.clock = bit_of(netlist, "clk");
    s.reset = bit_of(netlist, "rst");
    s.start = bit_of(netlist, "start");
    s.done = bit_of(netlist, "done");
    s.inputs.push_back({find_port(netlist, "en")->bits, {1, 1, 1, 1}});
    s.inputs.push_back({find_port(netlist, "limit")->bits, limits});
    s.vectors = 4;
    s.max_edges = 20;
    const FlipFlopTrace trace = simulate_handshake(netlist, s);
    EXPECT_EQ(trace.samples, 8);  // sample 0 at the start edge, done in the last vector after edge 7

    // count, read bit by bit from the flip-flops driving the port, is min(sample, limit).
    const std::vector<NetId> &count = find_port(netlist, "count")->bits;
    for (int32_t sample = 0; sample < trace.samples; ++sample)
        for (std::size_t vector = 0; vector < limits.size(); ++vector) {
            uint64_t value = 0;
            for (std::size_t bit = 0; bit < count.size(); ++bit) {
                const auto ff = std::find_if(netlist.flip_flops.begin(), netlist.flip_flops.end(),
                                             [&](const FlipFlop &f) { return f.q == count[bit]; });
                ASSERT_NE(ff, netlist.flip_flops.end()) << "count bit " << bit;
                const auto index = static_cast<int32_t>(ff - netlist.flip_flops.begin());
                value |= ((trace.value(sample, index)[0] >> vector) & 1U) << bit;
            }
            EXPECT_EQ(value, std::min<uint64_t>(static_cast<uint64_t>(sample), limits[vector]))
                << "sample " << sample << " vector " << vector;
        }

    s.inputs[0].values = {1, 1, 0, 1};
    EXPECT_EQ(refusal_text([&] { simulate_handshake(netlist, s); }), "done never rose within 20 clock edges");
}

TEST(YosysNetlist, FileNameWithBlankAndQuotes) {
    const test::ScratchDir dir;
    const std::string path = dir.write("my co'un\"ter.v", counter_verilog);
    const Netlist netlist = read_verilog_netlist(path, std::string("counter"), seconds);
    EXPECT_EQ(netlist.top, "counter");
    EXPECT_EQ(netlist.flip_flops.size(), 5U);
}

struct YosysRefusalCase {
    const char *name;
    std::string verilog;
    std::optional<std::string> top;
    double seconds;
    std::string message;  // the whole message, or its start when it ends in "..."
};

void PrintTo(const YosysRefusalCase &c, std::ostream *out) { *out << c.name; }

class YosysRefusal : public testing::TestWithParam<YosysRefusalCase> {};

TEST_P(YosysRefusal, SaysWhyInOneLine) {
    const YosysRefusalCase &c = GetParam();
    const test::ScratchDir dir;
    const std::string path = dir.write("suspect.v", c.verilog);
    const std::string message = refusal_text([&] { read_verilog_netlist(path, c.top, c.seconds); });
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    const std::size_t prefix = c.message.size() >= 3 && c.message.substr(c.message.size() - 3) == "..."
                                   ? c.message.size() - 3
                                   : std::string::npos;
    if (prefix == std::string::npos)
        EXPECT_EQ(message, c.message);
    else
        EXPECT_EQ(message.substr(0, prefix), c.message.substr(0, prefix)) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Refused, YosysRefusal,
    testing::Values(
        YosysRefusalCase{"Latch", "module m (input en, input d, output reg q); always @* if (en) q = d; endmodule\n",
                         std::nullopt, seconds,
                         "the netlist has a cell of type $_DLATCH_P_ that velnor does not simulate"},
        YosysRefusalCase{"FallingEdgeFlipFlop",
                         "module m (input clk, input d, output reg q); always @(negedge clk) q <= d; endmodule\n",
                         std::nullopt, seconds, "the netlist has a cell of type $_DFF_N_ that velnor does not simulate"},
        YosysRefusalCase{"AsynchronousReset",
                         "module m (input clk, input rst, input d, output reg q);\n"
                         "  always @(posedge clk or posedge rst) if (rst) q <= 0; else q <= d;\nendmodule\n",
                         std::nullopt, seconds,
                         "the netlist has a cell of type $_DFF_PP0_ that velnor does not simulate"},
        YosysRefusalCase{"InoutPort", "module m (inout p, input a); assign p = a ? 1'b0 : 1'bz; endmodule\n",
                         std::nullopt, seconds, "the port p is an inout, which velnor does not simulate"},
        YosysRefusalCase{"SyntaxError", "module m (input a, output y); assign y = a &; endmodule\n", std::nullopt,
                         seconds, "yosys failed: ..."},
        YosysRefusalCase{"NoSuchTop", "module m (input a, output y); assign y = a; endmodule\n", std::string("top"),
                         seconds, "yosys failed: ERROR: Module `top' not found!"},
        YosysRefusalCase{"TopNameCarryingACommand", "module m (input a, output y); assign y = a; endmodule\n",
                         std::string("m; shell"), seconds,
                         "the top module name m; shell is not a plain Verilog identifier"},
        YosysRefusalCase{"OutOfTime", "module m (input a, output y); assign y = a; endmodule\n", std::nullopt,
                         0.001, "yosys did not finish within 0.001 s"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(YosysNetlist, MissingYosysAndMissingFile) {
    const test::ScratchDir dir;
    const std::string path = dir.write("counter.v", counter_verilog);
    EXPECT_EQ(refusal_text([&] { read_verilog_netlist(path, std::nullopt, seconds, /*search_path=*/dir.path()); }),
              "yosys is not installed; install Debian's package yosys");
    EXPECT_EQ(refusal_text([&] { read_verilog_netlist(dir.path() + "/absent.v", std::nullopt, seconds); }),
              "cannot read the Verilog file " + dir.path() + "/absent.v");
}

// ---------------------------------------------------------------------------
// The JSON reader on hand-written netlists.

// A module named m, marked as the top, with the given ports and cells.
std::string module_json(const std::string &ports, const std::string &cells) {
    return R"({"modules": {"m": {"attributes": {"top": "00000000000000000000000000000001"}, "ports": {)" + ports +
           R"(}, "cells": {)" + cells + "}}}}";
}

TEST(YosysJson, NetsAreDenseFromTwoAndConstantsAreTheConstantNets) {
    const Netlist netlist = netlist_from_yosys_json(
        module_json(R"("a": {"direction": "input", "bits": [7, 900]}, "y": {"direction": "output", "bits": [12, "1", "x"]})",
                    R"("g": {"type": "$_MUX_", "connections": {"A": [900], "B": ["z"], "S": ["1"], "Y": [12]}},
                       "n": {"type": "$_NOT_", "connections": {"A": ["0"], "Y": [4000000000]}})"),
        std::nullopt);
    EXPECT_EQ(netlist.top, "m");
    ASSERT_EQ(netlist.ports.size(), 2U);
    EXPECT_EQ(netlist.ports[0].bits, (std::vector<NetId>{2, 3}));
    EXPECT_EQ(netlist.ports[1].bits, (std::vector<NetId>{4, constant_one_net, constant_zero_net}));
    ASSERT_EQ(netlist.gates.size(), 2U);
    EXPECT_EQ(netlist.gates[0].kind, GateKind::Mux);
    EXPECT_EQ(netlist.gates[0].inputs, (std::array<NetId, 4>{3, constant_zero_net, constant_one_net, 0}));
    EXPECT_EQ(netlist.gates[0].output, 4);
    EXPECT_EQ(netlist.gates[1].output, 5);
    EXPECT_EQ(netlist.net_count, 6);
}

struct FlipFlopTypeCase {
    const char *name;
    std::string type;
    bool enable, enable_high, reset, reset_high, reset_value, reset_over_enable;
};

void PrintTo(const FlipFlopTypeCase &c, std::ostream *out) { *out << c.name; }

class YosysFlipFlop : public testing::TestWithParam<FlipFlopTypeCase> {};

TEST_P(YosysFlipFlop, PinsAndPolaritiesFromItsTypeName) {
    const FlipFlopTypeCase &c = GetParam();
    std::string pins = R"("C": [2], "D": [3], "Q": [6])";
    if (c.enable)
        pins += R"(, "E": [4])";
    if (c.reset)
        pins += R"(, "R": [5])";
    const Netlist netlist =
        netlist_from_yosys_json(module_json("", R"("f": {"type": ")" + c.type + R"(", "connections": {)" + pins + "}}"),
                                std::string("m"));
    ASSERT_EQ(netlist.flip_flops.size(), 1U);
    const FlipFlop &ff = netlist.flip_flops[0];
    EXPECT_EQ(ff.type, c.type);
    EXPECT_EQ(ff.clock, 2);
    EXPECT_EQ(ff.d, 3);
    EXPECT_EQ(ff.enable, c.enable ? 4 : -1);
    EXPECT_EQ(ff.reset, c.reset ? (c.enable ? 5 : 4) : -1);
    if (c.enable) {
        EXPECT_EQ(ff.enable_active_high, c.enable_high);
    }
    if (c.reset) {
        EXPECT_EQ(ff.reset_active_high, c.reset_high);
        EXPECT_EQ(ff.reset_value, c.reset_value);
        EXPECT_EQ(ff.reset_over_enable, c.reset_over_enable);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, YosysFlipFlop,
    testing::Values(
        // name, type, enable, high, reset, high, value, over enable
        FlipFlopTypeCase{"Plain", "$_DFF_P_", false, true, false, true, false, true},
        FlipFlopTypeCase{"EnableHigh", "$_DFFE_PP_", true, true, false, true, false, true},
        FlipFlopTypeCase{"EnableLow", "$_DFFE_PN_", true, false, false, true, false, true},
        FlipFlopTypeCase{"ResetHighToZero", "$_SDFF_PP0_", false, true, true, true, false, true},
        FlipFlopTypeCase{"ResetLowToOne", "$_SDFF_PN1_", false, true, true, false, true, true},
        FlipFlopTypeCase{"ResetOverEnable", "$_SDFFE_PN1P_", true, true, true, false, true, true},
        FlipFlopTypeCase{"ResetOverLowEnable", "$_SDFFE_PP0N_", true, false, true, true, false, true},
        FlipFlopTypeCase{"ResetWhileEnabled", "$_SDFFCE_PP1N_", true, false, true, true, true, false},
        FlipFlopTypeCase{"ResetLowWhileEnabled", "$_SDFFCE_PN0P_", true, true, true, false, false, false}),
    [](const auto &info) { return std::string(info.param.name); });

struct JsonRefusalCase {
    const char *name;
    std::string json;
    std::string message;  // the whole message, or its start when it ends in "..."
};

void PrintTo(const JsonRefusalCase &c, std::ostream *out) { *out << c.name; }

class YosysJsonRefusal : public testing::TestWithParam<JsonRefusalCase> {};

TEST_P(YosysJsonRefusal, SaysWhatIsWrongInOneLine) {
    const JsonRefusalCase &c = GetParam();
    const std::string message = refusal_text([&] { netlist_from_yosys_json(c.json, std::nullopt); });
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    if (c.message.size() >= 3 && c.message.substr(c.message.size() - 3) == "...")
        EXPECT_EQ(message.substr(0, c.message.size() - 3), c.message.substr(0, c.message.size() - 3)) << message;
    else
        EXPECT_EQ(message, c.message);
}

std::string cell(const std::string &type, const std::string &connections) {
    return R"("c": {"type": ")" + type + R"(", "connections": {)" + connections + "}}";
}

const JsonRefusalCase json_refusal_cases[] = {
    {"Empty", "", "the netlist JSON is malformed: ..."},
    {"ControlCharacterInString", "{\"modules\": {\"m\n\": 1}}", "the netlist JSON is malformed: ..."},
    {"NestedTooDeep", std::string(100, '[') + std::string(100, ']'),
     "the netlist JSON is nested more than 64 levels deep"},
    {"NotAnObject", "[1, 2]", "the netlist JSON is not an object"},
    {"NoModules", R"({"creator": "yosys"})", "the netlist JSON has no \"modules\" object"},
    {"ModulesEmpty", R"({"modules": {}})", "the netlist JSON has no modules"},
    {"ModuleNotAnObject", R"({"modules": {"m": 3, "n": {}}})", "the netlist's module m is not an object"},
    {"TwoModulesNoTop", R"({"modules": {"m": {}, "n": {}}})",
     "the netlist has 2 modules and none is marked as the top"},
    {"TwoTops", R"({"modules": {"m": {"attributes": {"top": 1}}, "n": {"attributes": {"top": "1"}}}})",
     "the netlist marks 2 modules as the top"},
    {"InoutPort", module_json(R"("p": {"direction": "inout", "bits": [2]})", ""),
     "the port p is an inout, which velnor does not simulate"},
    {"PortOtherDirection", module_json(R"("p": {"direction": "sideways", "bits": [2]})", ""),
     "the port p has the direction sideways, neither input nor output"},
    {"OtherConstant", module_json(R"("p": {"direction": "input", "bits": ["q"]})", ""),
     "the port p has a bit that is neither a net number nor 0, 1, x or z"},
    {"NameWithLineFeed", module_json(R"("p\nq": {"direction": "input", "bits": [null]})", ""),
     "the port p?q has a bit that is neither a net number nor 0, 1, x or z"},
    {"Latch", module_json("", cell("$_DLATCH_P_", R"("E": [2], "D": [3], "Q": [4])")),
     "the netlist has a cell of type $_DLATCH_P_ that velnor does not simulate"},
    {"UserModuleNotFlattened", module_json("", cell("adder", R"("a": [2])")),
     "the netlist has a cell of type adder that velnor does not simulate"},
    {"FallingEdge", module_json("", cell("$_DFFE_NP_", R"("C": [2], "D": [3], "E": [4], "Q": [5])")),
     "the netlist has a cell of type $_DFFE_NP_ that velnor does not simulate"},
    {"ResetValueNotABit", module_json("", cell("$_SDFFE_PP2P_", R"("C": [2], "D": [3], "R": [4], "E": [5], "Q": [6])")),
     "the netlist has a cell of type $_SDFFE_PP2P_ that velnor does not simulate"},
    {"MissingPin", module_json("", cell("$_AND_", R"("A": [2], "Y": [4])")),
     "the cell c of type $_AND_ has no single-bit connection on its pin B"},
    {"WidePin", module_json("", cell("$_NOT_", R"("A": [2, 3], "Y": [4])")),
     "the cell c of type $_NOT_ has no single-bit connection on its pin A"},
    {"ExtraPin", module_json("", cell("$_NOT_", R"("A": [2], "B": [3], "Y": [4])")),
     "the cell c of type $_NOT_ has the pin B, which its type does not have"},
    {"DrivesAConstant", module_json("", cell("$_DFF_P_", R"("C": [2], "D": [3], "Q": ["0"])")),
     "the cell c of type $_DFF_P_ drives a constant from its pin Q"},
};

INSTANTIATE_TEST_SUITE_P(Refused, YosysJsonRefusal, testing::ValuesIn(json_refusal_cases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(YosysJson, NamedTopMissing) {
    EXPECT_EQ(refusal_text([] { netlist_from_yosys_json(module_json("", ""), std::string("other")); }),
              "the netlist has no module named other");
}

}  // namespace
}  // namespace velnor
