// What `velnor-cli explore` prints: one line per combination, as JSON Lines or
// as CSV under a header, and the summary file.
#pragma once

#include <string>

#include "flow/exploration.h"
#include "flow/exploration_summary.h"

namespace velnor::cli {

// One JSON object on one line: the combination's inputs, then either every
// member of `run --json` but dfg (already an input) and hash_output, with
// overhead, distinguishing and pc_distinguishing, or error.
std::string exploration_json_line(const Exploration &exploration, const CombinationResult &result);

// The CSV header, and the same values as the JSON line as one CSV record
// (cells a result lacks stay empty; a list of ids is one cell, blank-separated).
std::string exploration_csv_header();
std::string exploration_csv_line(const Exploration &exploration, const CombinationResult &result);

// The summary as a JSON document: per DSP core the two fronts and, with a
// target, the cheapest combination reaching it by each probability (or null).
std::string summary_json(const Exploration &exploration, const ExplorationSummary &summary);

}  // namespace velnor::cli
