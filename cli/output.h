// What velnor-cli prints on standard output: the figures as labelled lines in
// the key file's format, or one JSON object.
#pragma once

#include <string>

#include "core/save.h"
#include "flow/flow.h"

namespace velnor::cli {

// One line per figure as in the key file, then "signature : " and the bits. A
// strong run adds the key file's two embedding lines and the log10 of the
// probability of coincidence before the signature.
std::string figures_text(const FlowRun &run);

// One JSON object; saved is null when nothing was saved (no --out). With
// name_embedding (the embedding was chosen on the command line) it names the
// embedding; a strong run adds the number of together constraints and log10_pc.
std::string figures_json(const FlowRun &run, const SaveOutcome *saved, bool name_embedding);

}  // namespace velnor::cli
