// The window's flow as engine stages. Each entry of the form, from the resource
// counts to the constraint size, is one function over a FlowRun: it checks its
// value by the field's rule, writes its diagnostic lines to log, and changes
// the run only when it accepts the value; otherwise it throws Refusal and the
// run stays as it was. The window's slots and the batch tool call the same
// stages in the same order. A run holds all of its state, so many runs may
// proceed side by side.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/design.h"
#include "core/key_file.h"
#include "core/refusal.h"
#include "hash/hash_engine.h"
#include "hash/stego_key.h"
#include "synthesis/embedding.h"

namespace velnor {

// One run of the flow: the main design and every value accepted so far.
struct FlowRun {
    Design design;
    double initial_area = 0;  // the design's figures before embedding
    double initial_latency = 0;

    int encoding_count = 0;
    std::vector<int> encodings;  // as accepted; rules beyond encoding_count are kept, unused
    HashEngine hash_engine;      // sees the design as it was when the number of encodings was accepted
    std::vector<std::string> encoded_inputs;
    std::string order_key;  // the stego key as typed
    std::vector<int> order;
    std::string rounds_text;  // the rounds as typed
    std::vector<int> rounds;
    std::string hash_output;  // 512 characters once the hash chain has run
    int64_t constraint_size = 0;  // the size as accepted; the embedding uses at most 512 of its bits

    Embedding embedding;
    Design unsigned_design;  // the design right before the embedding: what the same synthesis gives unsigned
};

enum class ResourceEntry { NotNeeded, Accepted };

// A typed unit count for Add, Multiply, Subtract or Compare; nullopt is a field
// left empty. A type the DSP core lacks needs no count (its count is ignored);
// for a present one the count must be 1 to resource_bound. An accepted adder
// count is written to log.
ResourceEntry accept_resource_count(FlowRun &run, int32_t type, std::optional<int> count, std::ostream &log);

// Once every present type has a count: the main design is synthesized under
// them, the reference designs built (the embedding of every key and size from
// this run reuses them) and its initial area and latency recorded. Refused
// (ResourceCountMissing) while a count is missing.
void accept_resource_constraints(FlowRun &run, std::ostream &log);

// The number of encodings, 1 to encoding_rule_count. The hash engine takes its
// copy of the design's operations now.
void accept_encoding_count(FlowRun &run, int count);

// The encoding rules, at least one per encoding; each block is encoded.
void accept_encodings(FlowRun &run, const NumberLine &line);

// The stego key: the order in which the blocks are hashed again. Writes
// "INPUT ORDER:" and the order to log.
void accept_order_key(FlowRun &run, const std::string &key, std::ostream &log);

// The round counts, two per encoding, then the hash chain. Writes the line as
// typed, "Round count :" and the counts to log, then the chain's own lines.
void accept_rounds(FlowRun &run, const NumberLine &line, std::ostream &log);

// The constraint size: the signature is embedded in the chosen mode and every
// figure computed; the embedding's figures record the mode.
void accept_constraint_size(FlowRun &run, int64_t size, std::ostream &log,
                            EmbeddingMode mode = EmbeddingMode::Specified);

// The leading bits of the hash output that the embedding used.
std::string embedded_signature(const FlowRun &run);

// What Save writes into the key file for this run.
KeyFileContents key_file_contents(const FlowRun &run);

}  // namespace velnor
