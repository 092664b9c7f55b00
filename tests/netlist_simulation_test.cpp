// The handshake simulator on netlists built in the test: every gate kind and
// every flip-flop flavour against truth tables worked out by hand, vectors
// across several 64-vector blocks, the number of samples the handshake
// records, and the netlists and stimuli it refuses.
#include "rtl/netlist_simulation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/refusal.h"

namespace velnor {
namespace {

// The nets every test netlist starts with.
constexpr NetId clk = 2;
constexpr NetId rst = 3;
constexpr NetId start = 4;
constexpr NetId first_free_net = 5;

// A netlist under construction: nets handed out in order, gates and
// flip-flops added by kind.
struct Builder {
    Netlist netlist;
    Builder() { netlist.net_count = first_free_net; }

    NetId net() { return netlist.net_count++; }

    NetId gate(GateKind kind, std::vector<NetId> inputs) {
        Gate g;
        g.kind = kind;
        for (std::size_t i = 0; i < inputs.size(); ++i)
            g.inputs[i] = inputs[i];
        g.output = net();
        netlist.gates.push_back(g);
        return g.output;
    }

    // A plain rising-edge flip-flop on clk; returns its index.
    int32_t flip_flop(NetId d, NetId q) {
        FlipFlop ff;
        ff.type = "$_DFF_P_";
        ff.clock = clk;
        ff.d = d;
        ff.q = q;
        netlist.flip_flops.push_back(ff);
        return static_cast<int32_t>(netlist.flip_flops.size()) - 1;
    }
};

HandshakeStimulus stimulus_of(int64_t vectors, NetId done, int32_t max_edges = 10) {
    HandshakeStimulus s;
    s.clock = clk;
    s.reset = rst;
    s.start = start;
    s.done = done;
    s.vectors = vectors;
    s.max_edges = max_edges;
    return s;
}

// A bus whose value in vector k is k.
BusStimulus counting_bus(std::vector<NetId> bits, int64_t vectors) {
    BusStimulus bus;
    bus.bits = std::move(bits);
    for (int64_t k = 0; k < vectors; ++k)
        bus.values.push_back(static_cast<uint64_t>(k));
    return bus;
}

// ---------------------------------------------------------------------------
// Gates: sixteen vectors drive A, B, C, D with bits 0..3 of the vector's
// number, so A = 0xAAAA, B = 0xCCCC, C = 0xF0F0, D = 0xFF00 as masks over the
// vectors; a flip-flop samples the gate at the start edge.

struct GateCase {
    const char *name;
    GateKind kind;
    int inputs;
    uint64_t expected;  // bit k: the output in vector k
};

void PrintTo(const GateCase &c, std::ostream *out) { *out << c.name; }

class GateTruth : public testing::TestWithParam<GateCase> {};

TEST_P(GateTruth, MatchesTheHandWorkedMask) {
    Builder b;
    const std::vector<NetId> abcd{b.net(), b.net(), b.net(), b.net()};
    const NetId y = b.gate(GetParam().kind, std::vector<NetId>(abcd.begin(), abcd.begin() + GetParam().inputs));
    b.flip_flop(y, b.net());
    HandshakeStimulus s = stimulus_of(/*vectors=*/16, constant_one_net);
    s.inputs.push_back(counting_bus(abcd, 16));
    const FlipFlopTrace trace = simulate_handshake(b.netlist, s);
    ASSERT_EQ(trace.words, 1);
    EXPECT_EQ(*trace.value(0, 0), GetParam().expected) << std::hex << *trace.value(0, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, GateTruth,
                         testing::Values(GateCase{"Buffer", GateKind::Buffer, 1, 0xAAAA},
                                         GateCase{"Not", GateKind::Not, 1, 0x5555},
                                         GateCase{"And", GateKind::And, 2, 0x8888},
                                         GateCase{"Nand", GateKind::Nand, 2, 0x7777},
                                         GateCase{"Or", GateKind::Or, 2, 0xEEEE},
                                         GateCase{"Nor", GateKind::Nor, 2, 0x1111},
                                         GateCase{"Xor", GateKind::Xor, 2, 0x6666},
                                         GateCase{"Xnor", GateKind::Xnor, 2, 0x9999},
                                         GateCase{"AndNot", GateKind::AndNot, 2, 0x2222},
                                         GateCase{"OrNot", GateKind::OrNot, 2, 0xBBBB},
                                         GateCase{"MuxSelectsBWhenSHigh", GateKind::Mux, 3, 0xCACA},
                                         GateCase{"NotMux", GateKind::NotMux, 3, 0x3535},
                                         GateCase{"Aoi3", GateKind::Aoi3, 3, 0x0707},
                                         GateCase{"Oai3", GateKind::Oai3, 3, 0x1F1F},
                                         GateCase{"Aoi4", GateKind::Aoi4, 4, 0x0777},
                                         GateCase{"Oai4", GateKind::Oai4, 4, 0x111F}),
                         [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Flip-flops: eight vectors give D, R and E from bits 0..2 of the vector's
// number. The flip-flop sees d = D ^ start, reset = R & !rst and
// enable = E | rst, so the reset edge loads D and the start edge decides
// between reset, loading !D and holding D. An active-low pin gets the
// inverted net, so the expected values do not depend on the polarity.

struct FlipFlopCase {
    const char *name;
    bool enable, enable_high, reset, reset_high, reset_value, reset_over_enable;
    uint64_t expected;  // bit k: the value in vector k after the start edge
};

void PrintTo(const FlipFlopCase &c, std::ostream *out) { *out << c.name; }

class FlipFlopFlavour : public testing::TestWithParam<FlipFlopCase> {};

TEST_P(FlipFlopFlavour, ResetsLoadsOrHoldsAsItsFlavourSays) {
    const FlipFlopCase &c = GetParam();
    Builder b;
    const NetId d_bit = b.net(), r_bit = b.net(), e_bit = b.net();
    FlipFlop ff;
    ff.type = "flavour";
    ff.clock = clk;
    ff.d = b.gate(GateKind::Xor, {d_bit, start});
    ff.q = b.net();
    if (c.enable) {
        const NetId enabled = b.gate(GateKind::Or, {e_bit, rst});
        ff.enable = c.enable_high ? enabled : b.gate(GateKind::Not, {enabled});
        ff.enable_active_high = c.enable_high;
    }
    if (c.reset) {
        const NetId reset = b.gate(GateKind::AndNot, {r_bit, rst});
        ff.reset = c.reset_high ? reset : b.gate(GateKind::Not, {reset});
        ff.reset_active_high = c.reset_high;
        ff.reset_value = c.reset_value;
    }
    ff.reset_over_enable = c.reset_over_enable;
    b.netlist.flip_flops.push_back(ff);
    HandshakeStimulus s = stimulus_of(/*vectors=*/8, constant_one_net);
    s.inputs.push_back(counting_bus({d_bit, r_bit, e_bit}, 8));
    const FlipFlopTrace trace = simulate_handshake(b.netlist, s);
    EXPECT_EQ(*trace.value(0, 0), c.expected) << std::hex << *trace.value(0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Flavours, FlipFlopFlavour,
    testing::Values(
        // name, enable, high, reset, high, value, over enable, expected
        FlipFlopCase{"Plain", false, true, false, true, false, true, 0x55},
        FlipFlopCase{"EnableHigh", true, true, false, true, false, true, 0x5A},
        FlipFlopCase{"EnableLow", true, false, false, true, false, true, 0x5A},
        FlipFlopCase{"ResetToOne", false, true, true, true, true, true, 0xDD},
        FlipFlopCase{"ResetOverEnableToZero", true, true, true, true, false, true, 0x12},
        FlipFlopCase{"ResetOverEnableToOne", true, true, true, true, true, true, 0xDE},
        FlipFlopCase{"ResetOverEnableLowPins", true, false, true, false, true, true, 0xDE},
        FlipFlopCase{"ResetWhileEnabledToZero", true, true, true, true, false, false, 0x1A},
        FlipFlopCase{"ResetWhileEnabledToOne", true, true, true, true, true, false, 0xDA},
        FlipFlopCase{"ResetWhileEnabledLowPins", true, false, true, false, true, false, 0xDA}),
    [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Handshake timing: a chain of four flip-flops, each cleared by rst, the first
// loading 1, so the n-th holds 1 from the (n-1)-th edge after the start edge.
// done is the second of them, or the fourth in the vectors whose select bit
// is set.

struct Chain {
    Builder b;
    NetId select;
};

Chain chain() {
    Chain c;
    Builder &b = c.b;
    c.select = b.net();
    NetId d = constant_one_net;
    for (int k = 0; k < 4; ++k) {
        FlipFlop ff;
        ff.type = "$_SDFF_PP0_";
        ff.clock = clk;
        ff.d = d;
        ff.q = b.net();
        ff.reset = rst;
        b.netlist.flip_flops.push_back(ff);
        d = ff.q;
    }
    const std::vector<FlipFlop> &ffs = b.netlist.flip_flops;
    b.gate(GateKind::Mux, {ffs[1].q, ffs[3].q, c.select});
    return c;
}

struct TimingCase {
    const char *name;
    int64_t vectors;
    std::vector<int64_t> slow;  // vectors whose done is the fourth flip-flop
    int32_t samples;
};

void PrintTo(const TimingCase &c, std::ostream *out) { *out << c.name; }

class HandshakeTiming : public testing::TestWithParam<TimingCase> {};

TEST_P(HandshakeTiming, StopsAtTheEdgeWhereDoneIsHighInEveryVector) {
    const TimingCase &c = GetParam();
    Chain ch = chain();
    HandshakeStimulus s = stimulus_of(c.vectors, ch.b.netlist.gates.back().output);
    BusStimulus select{{ch.select}, std::vector<uint64_t>(static_cast<std::size_t>(c.vectors), 0)};
    for (int64_t k : c.slow)
        select.values[static_cast<std::size_t>(k)] = 1;
    s.inputs.push_back(select);
    const FlipFlopTrace trace = simulate_handshake(ch.b.netlist, s);
    EXPECT_EQ(trace.samples, c.samples);
    EXPECT_EQ(trace.flip_flops, 4);
    EXPECT_EQ(trace.words, (c.vectors + 63) / 64);
    ASSERT_EQ(trace.values.size(), static_cast<std::size_t>(trace.samples * 4 * trace.words));
    // Flip-flop n (from 0) is 1 in every vector from sample n on; bits beyond the vectors stay 0.
    for (int32_t sample = 0; sample < trace.samples; ++sample)
        for (int32_t ff = 0; ff < 4; ++ff)
            for (int32_t word = 0; word < trace.words; ++word) {
                const int64_t in_word = std::min<int64_t>(64, c.vectors - 64 * word);
                const uint64_t all = in_word == 64 ? ~uint64_t{0} : (uint64_t{1} << in_word) - 1;
                EXPECT_EQ(trace.value(sample, ff)[word], sample >= ff ? all : 0)
                    << "sample " << sample << " flip-flop " << ff << " word " << word;
            }
}

INSTANTIATE_TEST_SUITE_P(Samples, HandshakeTiming,
                         testing::Values(TimingCase{"DoneAfterFirstEdge", 1, {}, 2},
                                         TimingCase{"OneSlowVector", 5, {3}, 4},
                                         TimingCase{"ThreeFullBlocks", 192, {}, 2},
                                         TimingCase{"SlowVectorInThirdBlock", 130, {129}, 4},
                                         TimingCase{"SlowVectorInFirstBlock", 130, {0}, 4}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HandshakeBuses, DriveEachVectorsBitsAcrossBlocks) {
    Builder b;
    std::vector<NetId> bits;
    for (int k = 0; k < 8; ++k)
        bits.push_back(b.net());
    for (NetId bit : bits)
        b.flip_flop(b.gate(GateKind::Not, {bit}), b.net());
    HandshakeStimulus s = stimulus_of(/*vectors=*/130, constant_one_net);
    s.inputs.push_back(counting_bus(bits, 130));
    const FlipFlopTrace trace = simulate_handshake(b.netlist, s);
    ASSERT_EQ(trace.words, 3);
    for (int32_t bit = 0; bit < 8; ++bit)
        for (int64_t k = 0; k < 64 * 3; ++k) {
            const uint64_t got = (trace.value(0, bit)[k / 64] >> (k % 64)) & 1U;
            const uint64_t expected = k < 130 ? ((k >> bit) & 1) ^ 1 : 0;
            ASSERT_EQ(got, expected) << "bit " << bit << " vector " << k;
        }
}

// ---------------------------------------------------------------------------
// Refusals.

struct RefusalCase {
    const char *name;
    std::function<void(Builder &, HandshakeStimulus &)> make;
    Refusal::Reason reason;
    const char *message;
};

void PrintTo(const RefusalCase &c, std::ostream *out) { *out << c.name; }

class SimulationRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(SimulationRefusal, SaysWhatIsWrong) {
    Builder b;
    HandshakeStimulus s = stimulus_of(/*vectors=*/3, constant_one_net, /*max_edges=*/5);
    GetParam().make(b, s);
    try {
        simulate_handshake(b.netlist, s);
        FAIL() << "not refused";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.reason(), GetParam().reason);
        EXPECT_EQ(std::string(refusal.what()), GetParam().message);
    }
}

const RefusalCase refusal_cases[] = {
    {"DoneNeverRises", [](Builder &, HandshakeStimulus &s) { s.done = constant_zero_net; },
     Refusal::Reason::SuspectNetlist, "done never rose within 5 clock edges"},
    {"CombinationalLoop",
     [](Builder &b, HandshakeStimulus &) {
         // net 5 = !(net 7), net 6 = net 5 & rst, net 7 = net 6 ^ start; and a gate outside the loop reading it.
         b.netlist.net_count = 9;
         b.netlist.gates = {{GateKind::Not, {7, 0, 0, 0}, 5},
                            {GateKind::And, {5, rst, 0, 0}, 6},
                            {GateKind::Xor, {6, start, 0, 0}, 7},
                            {GateKind::Buffer, {6, 0, 0, 0}, 8}};
     },
     Refusal::Reason::SuspectNetlist, "a combinational loop runs through nets 5, 7, 6"},
    {"GateFeedingItself",
     [](Builder &b, HandshakeStimulus &) { b.netlist.gates.push_back({GateKind::Or, {5, rst, 0, 0}, 5}); b.net(); },
     Refusal::Reason::SuspectNetlist, "a combinational loop runs through net 5"},
    {"FlipFlopOnAnotherClock",
     [](Builder &b, HandshakeStimulus &) {
         b.flip_flop(rst, b.net());
         b.netlist.flip_flops.back().type = "$_SDFFE_PN0P_";
         b.netlist.flip_flops.back().clock = start;
     },
     Refusal::Reason::SuspectNetlist, "the flip-flop of type $_SDFFE_PN0P_ driving net 5 is not clocked by the clock input"},
    {"GateDrivingAFlipFlopsNet",
     [](Builder &b, HandshakeStimulus &) {
         const NetId q = b.net();
         b.flip_flop(rst, q);
         b.netlist.gates.push_back({GateKind::Not, {start, 0, 0, 0}, q});
     },
     Refusal::Reason::SuspectNetlist, "net 5 is driven twice: by a flip-flop and by a NOT gate"},
    {"GateDrivingAnInput",
     [](Builder &b, HandshakeStimulus &) { b.netlist.gates.push_back({GateKind::Buffer, {rst, 0, 0, 0}, start}); },
     Refusal::Reason::SuspectNetlist, "net 4 is driven twice: by an input and by a buffer"},
    {"GateDrivingAConstant",
     [](Builder &b, HandshakeStimulus &) {
         b.netlist.gates.push_back({GateKind::Nand, {rst, start, 0, 0}, constant_one_net});
     },
     Refusal::Reason::SuspectNetlist, "net 1 is driven twice: by a constant and by a NAND gate"},
    {"NetBeyondTheCount",
     [](Builder &b, HandshakeStimulus &) { b.netlist.gates.push_back({GateKind::Xnor, {rst, 9, 0, 0}, 3}); },
     Refusal::Reason::SuspectNetlist, "an XNOR gate reads net 9, outside the netlist's 5 nets"},
    {"NoConstantNets", [](Builder &b, HandshakeStimulus &s) { b.netlist.net_count = 1; s.clock = s.reset = s.start = 0; },
     Refusal::Reason::SuspectNetlist, "the netlist has 1 nets, fewer than its two constants"},
    {"NoVectors", [](Builder &, HandshakeStimulus &s) { s.vectors = 0; }, Refusal::Reason::InvalidArgument,
     "the simulation needs between 1 and 2^37 vectors, not 0"},
    {"BusWithTooFewValues",
     [](Builder &, HandshakeStimulus &s) { s.inputs.push_back({{rst}, {1, 2}}); },
     Refusal::Reason::InvalidArgument, "an input bus has 2 values for 3 vectors"},
    {"StimulusNetBeyondTheCount", [](Builder &, HandshakeStimulus &s) { s.done = 40; },
     Refusal::Reason::InvalidArgument, "the stimulus names net 40, outside the netlist's 5 nets"},
};

INSTANTIATE_TEST_SUITE_P(Refused, SimulationRefusal, testing::ValuesIn(refusal_cases),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velnor
