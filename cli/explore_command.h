// `velnor-cli explore`: one run of the flow for every combination of the
// given DSP cores, resource counts, keys and sizes, printed a line each in
// combination order, with an optional summary file and plot.
#pragma once

#include <ostream>

#include <QStringList>

namespace velnor::cli {

// The usage lines of explore, for --help.
extern const char explore_usage_text[];

// Runs explore on its arguments (those after the word "explore"). Lines go to
// out; refusals, failures and, when err is a terminal, a progress bar to err.
// Returns the exit status: 0 done, 1 a file could not be written, 2 refused.
int run_explore_command(const QStringList &arguments, std::ostream &out, std::ostream &err, bool err_is_terminal);

}  // namespace velnor::cli
