// The hardware cost of a datapath's Verilog as a gate-level tool sees it:
// Yosys synthesizes the file to its generic cells (flattened), and the counts
// of all cells and of the flip-flops among them are read from its statistics.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velnor {

struct GateCount {
    int64_t cells = 0;
    int64_t flip_flops = 0;  // one-bit flip-flop cells, of every reset and enable flavour
};

// Yosys is missing, failed, or printed no statistics; what() says which.
struct GateCountError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The longest a gate count may take: a datapath of the largest DSP core the
// hash chain takes synthesizes in well under a minute.
constexpr double gate_count_seconds = 600;

// Synthesizes verilog with top module top (yosys's generic `synth -flatten`)
// and counts its cells. Runs the yosys found on the PATH, at most
// gate_count_seconds. Throws GateCountError.
GateCount synthesized_gate_count(const std::string &verilog, const std::string &top);

// Reads the counts from the text of yosys's `stat` of one flattened module.
GateCount gate_count_from_statistics(const std::string &statistics);

}  // namespace velnor
