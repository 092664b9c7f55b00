// What running Yosys needs on both of its uses (reading a suspect's netlist,
// counting a datapath's gates): a private scratch folder for its files, the
// run itself as a child process, and the one line that says why a run failed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/child_process.h"

namespace velnor {

// A fresh folder only this user can enter, under the system's temporary
// folder, removed with everything in it when the value goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    bool made() const { return !path_.empty(); }
    const std::string &path() const { return path_; }  // empty when it could not be made

private:
    std::string path_;
};

// Runs the yosys found on the search path (PATH when not given) with arguments
// in folder, for at most seconds.
ChildResult run_yosys(const std::vector<std::string> &arguments, const std::string &folder, double seconds,
                      const std::optional<std::string> &search_path);

// The one-line reason a yosys run failed, or nothing when it exited with 0:
// not found, out of time, its first line with "ERROR", or its exit status.
std::optional<std::string> yosys_failure(const ChildResult &run, double seconds);

// Whether name can be handed to a yosys command as a module name: a Verilog
// simple identifier (letters, digits, '_' and '$', not starting with a digit or '$').
bool plain_module_name(const std::string &name);

}  // namespace velnor
