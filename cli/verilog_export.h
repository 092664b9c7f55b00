// The batch tool's hardware options: --verilog and --verilog-before write the
// signed and the unsigned datapath of the run as Verilog; --verilog-stats
// prints both designs' gate counts next to the library model's areas.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "flow/flow.h"

namespace velnor::cli {

struct VerilogRequest {
    std::optional<std::string> signed_file;    // --verilog
    std::optional<std::string> unsigned_file;  // --verilog-before
    bool stats = false;                        // --verilog-stats
};

// Does what request asks for the run. The statistics lines and every failure
// (one line each, naming the option) go to err. Returns false when a file could
// not be written or the gate counts could not be taken.
bool export_verilog(const FlowRun &run, const VerilogRequest &request, std::ostream &err);

}  // namespace velnor::cli
