// What velnor-cli prints on standard output: the figures as labelled lines in
// the key file's format, or one JSON object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/json_text.h"
#include "core/save.h"
#include "flow/flow.h"
#include "flow/run_figures.h"

namespace velnor::cli {

// Which of `run --json`'s members from dfg to signature to write.
struct FigureMembers {
    bool dfg = true;
    bool hash_output = true;
};

// The members of `run --json` from dfg to signature.
void add_figure_members(MemberSink &sink, const RunFigures &run, FigureMembers which = {});

// One line per figure as in the key file, then "signature : " and the bits.
std::string figures_text(const FlowRun &run);

// One JSON object; saved is null when nothing was saved (no --out).
std::string figures_json(const FlowRun &run, const SaveOutcome *saved);

}  // namespace velnor::cli
