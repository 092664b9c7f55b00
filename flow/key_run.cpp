// The key's stages on a copy of the synthesized run. The copy shares the
// synthesized run's reference designs, built when its resource counts were
// accepted, so only the hash chain and the embedding run for each key.
#include "flow/key_run.h"

#include "flow/typed_entries.h"

namespace velnor {

FlowRun run_key(const FlowRun &synthesized, const ExplorationKey &key, int64_t size, EmbeddingMode mode) {
    std::ostream quiet(nullptr);
    TypedEntries entries;
    if (key.count)
        entries.count = std::to_string(*key.count);
    entries.encodings = key.encodings;
    entries.order = key.order;
    entries.rounds = key.rounds;
    FlowRun run = synthesized;
    enter_key(run, entries, quiet);
    enter_constraint_size(run, std::to_string(size), mode, quiet);
    return run;
}

}  // namespace velnor
