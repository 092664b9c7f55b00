// The window's whole flow in one call, for the batch tool: load the DSP core and
// the library, then hand each value to its stage as if typed into its field.
#pragma once

#include <optional>
#include <ostream>

#include <QString>

#include "flow/flow.h"
#include "flow/owner_record.h"

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
    std::optional<QString> embedding;  // "specified" (the default) or "strong"
};

// Runs the flow; diagnostic lines go to log. The first value refused ends the
// run with a Refusal whose text starts with the option that carried it
// ("--adders: ..."); nothing is written.
FlowRun run_flow(const RunRequest &request, std::ostream &log);

// run_flow in two parts. run_resources loads the files and accepts the
// resource counts: the synthesized run where every key starts (forged claims
// start there too). run_key_and_size then enters the key and the size into it.
FlowRun run_resources(const RunRequest &request, std::ostream &log);
void run_key_and_size(FlowRun &run, const RunRequest &request, std::ostream &log);

// The embedding the request asks for (specified when none). Refused naming --embedding.
EmbeddingMode requested_embedding(const RunRequest &request);

// The request an owner's record stands for, its numbers written as typed, so
// that the run goes through the same stages as one given by options. The DSP
// core and the library are read from dfg_copy and library_copy when given (the
// files moved), else from the recorded paths; each is first checked against
// its recorded SHA-512 and refused naming --dfg, --library or --record.
RunRequest run_request_of(const OwnerRecord &record, const std::optional<QString> &dfg_copy,
                          const std::optional<QString> &library_copy);

}  // namespace velnor::cli
