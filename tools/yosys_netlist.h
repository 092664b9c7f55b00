// The suspect's Verilog as velnor's netlist: Yosys synthesizes the file,
// flattened, to its generic single-bit gates and flip-flops and writes them as
// JSON, and this adapter turns that JSON into a Netlist at once, so that no
// Yosys type or name travels further.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "rtl/netlist.h"

namespace velnor {

// The most cells, and the most nets, a netlist read from Yosys may have.
constexpr int64_t largest_netlist_size = 20'000'000;

// Runs the yosys found on the PATH (or on search_path when given) on the
// Verilog (SystemVerilog syntax allowed) at verilog_path, with top as its top
// module or, without one, the module Yosys finds to be the top; at most
// seconds. Its files live in a private scratch folder removed afterwards.
// Refuses (SuspectNetlist) a missing yosys, a run beyond the time limit, a
// failed run (quoting yosys's first error line) and whatever
// netlist_from_yosys_json refuses.
Netlist read_verilog_netlist(const std::string &verilog_path, const std::optional<std::string> &top, double seconds,
                             const std::optional<std::string> &search_path = std::nullopt);

// Reads Yosys's JSON netlist: the module named top, or else the one marked
// as the top, or else the only one. Ports come in name order; Yosys's net
// numbers become dense NetIds from 2 in the order first met (ports first);
// constant bits "0" and "1" become the constant nets, "x" and "z" read as 0.
// Refuses (SuspectNetlist), in one line naming the thing: malformed JSON or
// JSON of another shape, an inout port, a cell type velnor does not simulate
// (anything but the generic gates, and rising-edge flip-flops with optional
// enable and synchronous reset; a cell of a user module means the module was
// not flattened), and more than largest_netlist_size cells or nets.
Netlist netlist_from_yosys_json(const std::string &json_text, const std::optional<std::string> &top);

}  // namespace velnor
