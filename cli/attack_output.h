// What `velnor-cli attack` prints: a JSON line per trial and one summary
// object (JSON Lines), or the summary as a labelled table.
#pragma once

#include <string>
#include <vector>

#include "flow/attack.h"

namespace velnor::cli {

// One trial on one line: the attack, its fraction (move, rebind), the trial's
// number, what it moved (move, rebind), the variables stuck (move), the design
// a forged claim is checked against (forge), then verify --json's members but
// the constraints, or error for a key the flow refused. With name_embedding
// (the embedding was chosen on the command line) it names the embedding.
std::string attack_trial_json(const AttackTrial &trial, bool name_embedding);

// {"summary": {"move": [...], "rebind": [...], "reallocate": [...], "forge": [...]}}
// on one line: per attack and fraction the trials, the verdicts, the median and
// largest log10 pc_distinguishing and the totals moved (and stuck); per forge
// target the claims, the false claims (present) and the smallest log10
// pc_distinguishing. A statistic over no trials is null.
std::string attack_summary_json(const std::vector<AttackSummaryRow> &rows);

// The summary as two aligned tables under header lines: the tampering attacks,
// a row per attack and fraction; then the forged claims, a row per target.
std::string attack_summary_table(const std::vector<AttackSummaryRow> &rows);

}  // namespace velnor::cli
