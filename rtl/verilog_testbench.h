// A self-checking testbench for the datapath's Verilog: it reads input vectors
// and the outputs the evaluator expects from a hex file, runs the core once
// per vector, and checks that done rises after exactly one cycle per control
// step, that every output matches, and that the outputs hold while the
// inputs change afterwards. It ends by printing one line,
// "RESULT vectors=N errors=E".
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/datapath.h"

namespace velnor {

// Input values of one run, keyed by the id of the operation that reads them.
using InputVector = std::map<int32_t, uint64_t>;

// The hex file for the testbench: per vector, one line per input port (in
// port order), then one line per output port with the evaluator's value.
std::string testbench_vectors(const Datapath &datapath, const std::vector<InputVector> &vectors, int width);

// The testbench module "testbench", instantiating the core with WIDTH = width
// and reading vector_count vectors from vector_file.
std::string verilog_testbench(const Datapath &datapath, int width, const std::string &vector_file,
                              int vector_count);

}  // namespace velnor
