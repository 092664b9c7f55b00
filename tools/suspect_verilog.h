// Verification of a suspect that arrives as Verilog: Yosys reads it into a
// netlist, the register allocation is recovered from the netlist's behaviour,
// and the recovered datapath is verified against the owner's run like a
// datapath file. The window and the batch tool both call this.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/design.h"
#include "flow/verification.h"
#include "rtl/register_recovery.h"
#include "synthesis/embedding.h"

namespace velnor {

// How long Yosys may take unless the user says otherwise, and the longest a user may allow.
constexpr double default_yosys_seconds = 300;
constexpr double max_yosys_seconds = 86400;

struct SuspectVerilog {
    std::string path;                // the Verilog file
    std::optional<std::string> top;  // the top module; Yosys's automatic top when absent
    RecoveryOptions recovery;
    double yosys_seconds = default_yosys_seconds;
};

struct HardwareVerification {
    RecoveredDatapath recovered;
    Verification verification;
    double yosys_seconds = 0;     // wall time of reading the netlist
    double recovery_seconds = 0;  // wall time of the simulation and the recovery
};

// Reads, recovers and verifies. unsigned_design and embedding are the owner's
// run (the design right before the embedding, and what the embedding placed).
// Refused (SuspectNetlist) as Yosys, the netlist reader and the recovery
// refuse. Writes one line on each step's figures and time to log.
HardwareVerification verify_suspect_verilog(const Design &unsigned_design, const Embedding &embedding,
                                            const SuspectVerilog &suspect, double alpha, std::ostream &log);

// Whether a file is taken as Verilog by its name: .v, .sv or .vh.
bool is_verilog_file_name(const std::string &path);

}  // namespace velnor
