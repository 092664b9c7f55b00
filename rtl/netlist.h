// A suspect's hardware as velnor sees it: a flat netlist of single-bit gates
// and flip-flops over numbered nets, with the top module's ports. The Yosys
// adapter fills it from Yosys's JSON; the simulator and the register recovery
// read it. Nothing here knows where the netlist came from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velnor {

// Nets are numbered 0..net_count-1. Nets 0 and 1 are the constants 0 and 1
// (an undefined or high-impedance bit reads as 0).
using NetId = int32_t;
constexpr NetId constant_zero_net = 0;
constexpr NetId constant_one_net = 1;

// The single-bit combinational gates. Inputs in the order A, B, C, D; a
// multiplexer's inputs are A, B and the select S (S ? B : A).
enum class GateKind { Buffer, Not, And, Nand, Or, Nor, Xor, Xnor, AndNot, OrNot, Mux, NotMux, Aoi3, Oai3, Aoi4, Oai4 };

struct Gate {
    GateKind kind = GateKind::Buffer;
    std::array<NetId, 4> inputs{};  // unused inputs are constant_zero_net
    NetId output = constant_zero_net;
};

// A flip-flop clocked by clock on its rising edge (a falling-edge flip-flop is
// refused when the netlist is read), with an optional enable and an optional
// synchronous reset. When reset_over_enable is false the reset acts only while
// enabled (the "CE" flavour).
struct FlipFlop {
    std::string type;  // the cell type as the netlist named it, for messages
    NetId clock = constant_zero_net;
    NetId d = constant_zero_net;
    NetId q = constant_zero_net;
    NetId enable = -1;  // -1: always enabled
    bool enable_active_high = true;
    NetId reset = -1;  // -1: no synchronous reset
    bool reset_active_high = true;
    bool reset_value = false;
    bool reset_over_enable = true;
};

struct NetlistPort {
    std::string name;
    bool input = true;          // an input, else an output (an inout is refused)
    std::vector<NetId> bits;    // least significant first
};

struct Netlist {
    std::string top;  // the top module's name
    int32_t net_count = 2;
    std::vector<NetlistPort> ports;
    std::vector<Gate> gates;
    std::vector<FlipFlop> flip_flops;
};

// The port named name, or nullptr.
const NetlistPort *find_port(const Netlist &netlist, const std::string &name);

}  // namespace velnor
