// The DSP core's arithmetic in software, as the hardware computes it: values
// are unsigned WIDTH-bit words, every result is taken modulo 2^WIDTH, a < b
// gives 1 or 0, and a division by zero gives all ones. Also names the ports
// the hardware has: one input per primary-input variable, one output per
// operation whose result nothing reads.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "core/datapath.h"

namespace velnor {

// Widths a word of the evaluator can hold.
constexpr int smallest_word_width = 1;
constexpr int largest_word_width = 64;

// Ids of the operations that read a primary input (the input "in:ID"), ascending.
std::vector<int32_t> input_port_ids(const Datapath &datapath);

// Ids of the operations whose result no operation reads (the output "out:ID"), ascending.
std::vector<int32_t> output_port_ids(const Datapath &datapath);

// The value of every operation's result, keyed by id, for the inputs keyed
// like input_port_ids (a missing input reads 0). width is 1..64.
std::map<int32_t, uint64_t> evaluate_datapath(const Datapath &datapath, const std::map<int32_t, uint64_t> &inputs,
                                              int width);

}  // namespace velnor
