// Simulates a netlist on many input vectors at once: each net holds one
// 64-bit word per block of 64 vectors, a bit per vector, and every gate is a
// bitwise operation on words. The run follows the datapath's handshake: one
// clock edge with reset high, one with start high, then edges until done rises,
// recording every flip-flop's value after each edge from the start edge on.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "rtl/netlist.h"

namespace velnor {

// One input bus and its value in every vector (the low bits of each value
// drive the bus's bits, least significant first).
struct BusStimulus {
    std::vector<NetId> bits;
    std::vector<uint64_t> values;  // one per vector
};

struct HandshakeStimulus {
    NetId clock = constant_zero_net;
    NetId reset = constant_zero_net;
    NetId start = constant_zero_net;
    NetId done = constant_zero_net;
    std::vector<BusStimulus> inputs;  // held through the whole run; every other input net is 0
    int64_t vectors = 0;              // 1 or more
    int32_t max_edges = 0;            // edges after the start edge before giving up on done
};

// Every flip-flop's value per sample: sample 0 after the start edge, sample s
// after the s-th edge after it; the last sample is the edge at which done was
// high in every vector.
struct FlipFlopTrace {
    int64_t vectors = 0;
    int32_t words = 0;  // words per value: ceil(vectors / 64); bits beyond vectors are 0
    int32_t flip_flops = 0;
    int32_t samples = 0;
    std::vector<uint64_t> values;  // [sample][flip_flop][word]

    const uint64_t *value(int32_t sample, int32_t flip_flop) const {
        return values.data() + (static_cast<std::size_t>(sample) * static_cast<std::size_t>(flip_flops) +
                                static_cast<std::size_t>(flip_flop)) * static_cast<std::size_t>(words);
    }
};

// Runs the handshake. Refuses (Refusal::Reason::SuspectNetlist) a netlist
// whose gates form a combinational loop, a flip-flop not clocked by the clock
// net, and a run in which done does not rise within max_edges ("done never
// rose within N clock edges"); also a net outside net_count and a net with two
// drivers (a gate or flip-flop driving a constant, an input or another's net).
// A stimulus that breaks its own rules (no vectors, a bus with a value count
// other than vectors, a net outside the netlist, negative max_edges) is refused
// with Refusal::Reason::InvalidArgument. The clock net stays 0 for the gates.
FlipFlopTrace simulate_handshake(const Netlist &netlist, const HandshakeStimulus &stimulus);

}  // namespace velnor
