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
    bool embedding = false;  // the embedding's name; together and log10_pc come with every strong run
};

// The members of `run --json` from dfg to signature.
void add_figure_members(MemberSink &sink, const RunFigures &run, FigureMembers which = {});

// One line per figure as in the key file, then "signature : " and the bits. A
// strong run adds the key file's two embedding lines and the log10 of the
// probability of coincidence before the signature.
std::string figures_text(const FlowRun &run);

// One JSON object; saved is null when nothing was saved (no --out). With
// name_embedding (the embedding was chosen on the command line) it names the
// embedding, as it does for every strong run.
std::string figures_json(const FlowRun &run, const SaveOutcome *saved, bool name_embedding);

}  // namespace velnor::cli
