// The form's entries after loading, as a user types them: every value is
// handed to the stage of its field in the window's order, and a refusal names
// the batch tool's option that carried it ("--adders: ..."). The batch tool's
// run and the exploration of many combinations both go through here, so a
// combination is accepted or refused exactly as `run` would.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "flow/flow.h"
#include "hash/stego_key.h"

namespace velnor {

// The typed values of one run once the DSP core and the library are loaded.
// A missing optional value is a field left empty.
struct TypedEntries {
    std::optional<std::string> adders, multipliers, subtractors, comparators;
    std::optional<std::string> count;  // default: how many rule numbers encodings holds
    NumberLine encodings;
    std::string order;
    NumberLine rounds;
    std::string size;
};

// The resource counts: after this the run holds the synthesized design.
void enter_resources(FlowRun &run, const TypedEntries &entries, std::ostream &log);

// The number of encodings through the rounds: after this the run holds the
// hash output, right before the embedding.
void enter_key(FlowRun &run, const TypedEntries &entries, std::ostream &log);

// The constraint size: the embedding in the given mode and every figure.
void enter_constraint_size(FlowRun &run, const std::string &size, EmbeddingMode mode, std::ostream &log);

// The number of encodings a run uses: the count given, or by default how many
// rule numbers the encodings line holds. Refused like the run refuses it.
int typed_encoding_count(const std::optional<std::string> &count, const NumberLine &encodings);

// Runs one stage; a refusal names the option that carried the value.
template <typename Stage>
void at_option(const char *option, Stage stage) {
    try {
        stage();
    } catch (const Refusal &refusal) {
        throw Refusal(refusal.reason(), std::string("--") + option + ": " + refusal.what());
    }
}

}  // namespace velnor
