// Runs another program as a child process without a shell: an argument
// vector, a time limit, both output streams captured. The adapters of the
// hardware tools velnor runs (Yosys) call it; nothing here knows any tool.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velnor {

struct ChildRequest {
    std::string program;                      // a name looked up on the search path, or a path with a '/'
    std::vector<std::string> arguments;       // after the program's own name
    double seconds = 60;                      // the time limit; the child's process group is killed beyond it
    std::optional<std::string> search_path;   // replaces PATH, both for finding the program and in its environment
    std::string working_directory;            // empty: the caller's
};

enum class ChildEnd {
    Exited,      // exit_status holds its status
    Signalled,   // ended by a signal it did not get from us; signal holds it
    TimedOut,    // killed at the time limit
    NotFound,    // no such program on the search path (or at the path given)
    NotStarted,  // found but could not be started; failure says why
};

struct ChildResult {
    ChildEnd end = ChildEnd::NotStarted;
    int exit_status = -1;
    int signal = 0;
    std::string failure;
    std::string standard_output;  // each kept up to captured_output_limit bytes; the rest is read and dropped
    std::string standard_error;
};

// The most of each output stream a result keeps, so that a chatty child cannot
// exhaust memory.
constexpr std::size_t captured_output_limit = std::size_t{64} << 20;

// Runs the program to its end or to the time limit, reading both of its
// output streams as they come (a child filling one pipe never blocks on it);
// its standard input is empty. Never throws for anything the child does.
ChildResult run_child_process(const ChildRequest &request);

}  // namespace velnor
