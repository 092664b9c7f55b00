// The hardware path of verification, end to end, with the time of each step.
#include "tools/suspect_verilog.h"

#include <chrono>
#include <map>

#include "core/datapath.h"
#include "tools/yosys_netlist.h"

namespace velnor {
namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

HardwareVerification verify_suspect_verilog(const Design &unsigned_design, const Embedding &embedding,
                                            const SuspectVerilog &suspect, double alpha, std::ostream &log) {
    HardwareVerification result;
    auto start = std::chrono::steady_clock::now();
    const Netlist netlist = read_verilog_netlist(suspect.path, suspect.top, suspect.yosys_seconds);
    result.yosys_seconds = seconds_since(start);
    log << "netlist of " << suspect.path << " (top " << netlist.top << "): " << netlist.gates.size() << " gates, "
        << netlist.flip_flops.size() << " flip-flops, read by yosys in " << result.yosys_seconds << " s\n";

    start = std::chrono::steady_clock::now();
    result.recovered = recover_datapath(datapath_of(unsigned_design), netlist, suspect.recovery);
    result.verification = verify_datapath(unsigned_design, embedding, result.recovered.datapath, alpha);
    result.recovery_seconds = seconds_since(start);
    std::map<VariableEvidence, int64_t> evidence;
    for (VariableEvidence e : result.recovered.evidence)
        ++evidence[e];
    log << "simulated " << suspect.recovery.vectors << " vectors of " << result.recovered.word_width
        << " bits over " << result.recovered.clock_edges << " clock edges; found " << result.recovered.variables_found
        << " of " << result.recovered.variables_total << " variables in " << result.recovered.datapath.registers
        << " registers (not found: " << evidence[VariableEvidence::Constant] << " constant, "
        << evidence[VariableEvidence::Ambiguous] << " equal to another, " << evidence[VariableEvidence::NotHeld]
        << " never held alone) in " << result.recovery_seconds << " s\n";
    return result;
}

bool is_verilog_file_name(const std::string &path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    const std::string extension = path.substr(dot);
    return extension == ".v" || extension == ".sv" || extension == ".vh";
}

}  // namespace velnor
