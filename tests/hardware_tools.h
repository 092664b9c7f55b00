// Runs the hardware tools the Verilog tests prove the datapath with: Icarus
// Verilog, Verilator's linter and Yosys, each as a shell command in a folder.
#pragma once

#include <cstdio>
#include <string>

namespace velnor::test {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// Runs command in folder through the shell.
inline ToolRun run_tool(const std::string &folder, const std::string &command) {
    ToolRun run;
    const std::string line = "cd '" + folder + "' && " + command + " 2>&1";
    FILE *pipe = popen(line.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    run.status = pclose(pipe);
    return run;
}

}  // namespace velnor::test
