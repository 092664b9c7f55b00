// `velnor-cli attack`: how robust the owner's signature is. Runs the owner's
// flow once, then tampers with the signed design (moved variables, switched
// module variants, every register reallocated) and forges claims with random
// keys, verifying each trial; prints the trials and their summary, and draws
// the summary as a plot.
#pragma once

#include <ostream>

#include <QStringList>

namespace velnor::cli {

// The usage lines of attack, for --help.
extern const char attack_usage_text[];

// Runs attack on its arguments (those after the word "attack"). Trials and the
// summary go to out; failures and, when err is a terminal, a progress bar to
// err. Refused input throws Refusal naming the option. Returns the exit
// status: 0 done, 1 the plot could not be written.
int run_attack_command(const QStringList &arguments, std::ostream &out, std::ostream &err, bool err_is_terminal);

}  // namespace velnor::cli
