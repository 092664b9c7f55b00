// velnor-cli's command line: `run`, `demo`, `verify`, `explore`, `attack`, `import`,
// `--help` and `--version`, the exit statuses, and where each kind of output goes.
#pragma once

#include <ostream>

#include <QStringList>

#include "core/clock.h"

namespace velnor::cli {

enum ExitStatus { Success = 0, WriteFailed = 1, Refused = 2 };

// Runs the tool on arguments (without the program's own name); prints results
// to out, refusals, failures and, with --verbose, the diagnostic lines to err.
// clock gives the time stamp of saved files unless --stamp replaces it; a
// progress bar is drawn on err only when it is a terminal.
int run_command_line(const QStringList &arguments, std::ostream &out, std::ostream &err,
                     const Clock &clock = system_time, bool err_is_terminal = false);

}  // namespace velnor::cli
