// The datapath as one synthesizable Verilog-2001 file: a top module named after
// the DSP core with a finite-state machine of one state per control step, one
// register per register of the allocation written as the controller table
// says, multiplexers at register and unit inputs, and one instance of each
// functional unit the binding uses at once, of the architecture its variant
// names. Comments follow the signature into the hardware: which operation runs
// on which unit in each state, which variable each register holds in each step.
#pragma once

#include <stdexcept>
#include <string>

#include "core/datapath.h"

namespace velnor {

// A datapath the hardware cannot be written for; what() says what and where.
struct VerilogError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Which design of a run the file describes, for its header.
enum class DesignStage { Unsigned, Signed };

// The top module's name: the DFG file's name without its extension, made a
// legal Verilog identifier that no unit module and no keyword uses.
std::string verilog_module_name(const Datapath &datapath);

// The Verilog text. Throws VerilogError when an operation is unplaced or
// unbound, a register would hold two variables at once, or a variable is not
// in its register when read.
std::string datapath_verilog(const Datapath &datapath, DesignStage stage);

// Writes datapath_verilog into the file at path; false when it cannot be
// written completely. Throws VerilogError before touching the file.
bool write_verilog_file(const Datapath &datapath, DesignStage stage, const std::string &path);

}  // namespace velnor
