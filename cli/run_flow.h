// The window's whole flow in one call, for the batch tool: load the DSP core and
// the library, take the resource counts, the stego key and the constraint size
// as if typed into their fields, run the hash chain and embed the signature.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <QString>

#include "core/datapath.h"
#include "core/design.h"
#include "core/key_file.h"
#include "synthesis/embedding.h"

namespace velnor::cli {

// The values of one run, as typed. A missing optional value is a field left empty.
struct RunRequest {
    QString dfg;
    QString library;
    std::optional<QString> adders, multipliers, subtractors, comparators;
    std::optional<QString> count;  // default: how many rule numbers encodings holds
    QString encodings;
    QString order;
    QString rounds;
    QString size;
};

// The first value the flow refused: the option that carried it and why, in plain words.
struct RefusedValue : std::runtime_error {
    RefusedValue(std::string option, const std::string &reason)
        : std::runtime_error("--" + option + ": " + reason), option(std::move(option)) {}
    std::string option;
};

struct RunResult {
    Design design;
    Datapath datapath_before;  // the unsigned datapath: allocated and bound, before the embedding
    std::string chain_log;    // the hash chain's log: the report's heading
    std::string hash_output;  // 512 characters
    std::string signature;    // the leading bits that were embedded
    EmbeddingFigures figures;
    KeyFileContents key_file;  // the stego key and the figures, as Save writes them
};

// Runs the flow; diagnostic lines go to log. Throws RefusedValue for the first
// value refused, with nothing written.
RunResult run_flow(const RunRequest &request, std::ostream &log);

}  // namespace velnor::cli
