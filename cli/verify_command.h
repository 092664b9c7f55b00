// velnor-cli verify: the owner's run, recomputed from the stego key, checked
// against a suspect datapath file; prints the tallies, the probabilities and
// the verdict.
#pragma once

#include <ostream>
#include <string>

#include "cli/run_flow.h"
#include "flow/verification.h"

namespace velnor::cli {

// The exit statuses of verify beside run's: 0 present, 3 absent, 4 inconclusive.
enum VerifyStatus { Present = 0, Absent = 3, Inconclusive = 4 };

// Runs the owner's flow and checks the design file; refusals (an unreadable or
// malformed design file, a design of another DSP core, a bad --alpha) throw
// Refusal naming the option.
Verification verify_design_file(const RunRequest &request, const std::string &design_path, double alpha,
                                 std::ostream &log);

// Parses --alpha: a number above 0 and at most 1.
double parse_alpha(const std::string &text);

std::string verification_json(const Verification &verification);

int verify_status(Verdict verdict);

}  // namespace velnor::cli
