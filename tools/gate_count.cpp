// Runs yosys on a scratch copy of the Verilog and reads its statistics.
#include "rtl/gate_count.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

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
    char path[] = "/tmp/velnor-gates-XXXXXX.v";
    const int descriptor = mkstemps(path, 2);
    if (descriptor < 0)
        throw GateCountError("cannot create a scratch file for yosys");
    close(descriptor);
    {
        std::ofstream file(path, std::ios::binary);
        file << verilog;
        if (!file.flush()) {
            std::remove(path);
            throw GateCountError("cannot write the scratch file " + std::string(path));
        }
    }
    // The top name is a Verilog identifier and the path has no quote, so neither needs escaping.
    const std::string command = "yosys -p 'read_verilog " + std::string(path) + "; synth -flatten -top " + top +
                                "; stat' 2>&1";
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe != nullptr) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
    }
    const int status = pipe == nullptr ? -1 : pclose(pipe);
    std::remove(path);
    if (status != 0) {
        const auto error = output.find("ERROR");
        throw GateCountError(error == std::string::npos
                                 ? "yosys could not be run (is it installed?)"
                                 : "yosys failed: " + output.substr(error, output.find('\n', error) - error));
    }
    return gate_count_from_statistics(output);
}

}  // namespace velnor
