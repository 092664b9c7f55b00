// Runs yosys on a scratch copy of the Verilog in a private folder and reads
// its statistics.
#include "tools/gate_count.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/yosys_run.h"

namespace velnor {

GateCount gate_count_from_statistics(const std::string &statistics) {
    // The last module printed is the flattened top; its lines follow its "===" heading.
    const auto heading = statistics.rfind("=== ");
    if (heading == std::string::npos)
        throw GateCountError("yosys printed no statistics");
    std::istringstream lines(statistics.substr(heading));
    GateCount count;
    bool found = false;
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first, second, third;
        words >> first >> second >> third;
        if (first == "Number" && second == "of" && third == "cells:") {
            words >> count.cells;
            found = true;
        } else if (first.rfind("$_", 0) == 0 && first.find("DFF") != std::string::npos) {
            count.flip_flops += std::atoll(second.c_str());
        }
    }
    if (!found)
        throw GateCountError("yosys printed no cell count");
    return count;
}

GateCount synthesized_gate_count(const std::string &verilog, const std::string &top) {
    // The name goes into yosys's command script, so it must not carry a command of its own.
    if (!plain_module_name(top))
        throw GateCountError("the top module name " + top + " is not a plain Verilog identifier");
    const ScratchFolder folder;
    if (!folder.made())
        throw GateCountError("cannot make a scratch folder for yosys");
    const std::string path = folder.path() + "/design.v";
    {
        std::ofstream file(path, std::ios::binary);
        file << verilog;
        if (!file.flush())
            throw GateCountError("cannot write the scratch file " + path);
    }
    // yosys works in the scratch folder, so the script names the file without its folder.
    const ChildResult run =
        run_yosys({"-p", "read_verilog design.v; synth -flatten -top " + top + "; stat"}, folder.path(),
                  gate_count_seconds, std::nullopt);
    if (const auto failure = yosys_failure(run, gate_count_seconds))
        throw GateCountError(*failure);
    return gate_count_from_statistics(run.standard_output);
}

}  // namespace velnor
