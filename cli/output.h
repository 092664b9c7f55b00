// What velnor-cli prints on standard output: the figures as labelled lines in
// the key file's format, or one JSON object.
#pragma once

#include <string>

#include "core/save.h"
#include "flow/flow.h"

namespace velnor::cli {

// One line per figure as in the key file, then "signature : " and the bits.
std::string figures_text(const FlowRun &run);

// One JSON object; saved is null when nothing was saved (no --out).
std::string figures_json(const FlowRun &run, const SaveOutcome *saved);

}  // namespace velnor::cli
