// An exploration: one run of the flow for every combination of DSP core x
// adders x multipliers x subtractors x comparators x key x embedding x size, in that
// nesting order (the DSP core outermost, the size innermost). Combinations are
// numbered from 0 in that order and computed from their number, so a list of
// millions never sits in memory and any subset (a shard) can be run alone.
// Each combination runs in memory through the same stages as `run`, from a
// copy of its core loaded once; nothing is written to disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/design.h"
#include "core/embedding_mode.h"
#include "flow/flow.h"
#include "flow/run_figures.h"
#include "hash/stego_key.h"

namespace velnor {

// One stego key as typed: the count, the encodings, the order and the rounds.
struct ExplorationKey {
    std::optional<int> count;  // default: how many rule numbers encodings holds
    NumberLine encodings;
    std::string order;
    NumberLine rounds;
};

// The number of encodings the key asks for, as `run` reads it; for a key whose
// encodings are refused without a count, the number of tokens they hold.
int key_encoding_count(const ExplorationKey &key);

struct Exploration {
    std::vector<Design> cores;  // each with its DSP core and the library loaded
    std::vector<int> adders, multipliers;
    // A list not given holds one empty entry: the field left empty.
    std::vector<std::optional<int>> subtractors{std::nullopt}, comparators{std::nullopt};
    std::vector<ExplorationKey> keys;
    std::vector<EmbeddingMode> embeddings{EmbeddingMode::Specified};
    std::vector<int> sizes;
};

// Loads the library once and each DSP core into a copy of it; refused
// (DspCoreFile, LibraryFile) as loading refuses, the message naming the option.
std::vector<Design> load_cores(const std::vector<std::string> &dfg_paths, const std::string &library_path);

// One combination: its number and the position in each list.
struct Combination {
    uint64_t index = 0;
    std::size_t core = 0, adders = 0, multipliers = 0, subtractors = 0, comparators = 0, key = 0, embedding = 0,
                size = 0;
};

// How many combinations the lists make; refused (InvalidArgument) when the
// product does not fit 64 bits.
uint64_t combination_count(const Exploration &exploration);

// The combination numbered index (0 <= index < combination_count).
Combination combination_at(const Exploration &exploration, uint64_t index);

// What one combination gives: its figures, or the sentence `run` refuses it with.
struct CombinationResult {
    Combination combination;
    std::optional<std::string> error;
    RunFigures run;
    double overhead = 0;            // cost_phase2 / initial_cost - 1
    int64_t distinguishing = 0;     // constraints the unsigned design of the run breaks
    double pc_distinguishing = 1;   // what verification reports for the run's own signed design
};

// The runs a worker made last, right after the resource counts and right
// after the key: the next combination that shares them (the key, the embedding
// and the size turn fastest) starts from a copy instead of synthesizing and hashing again.
// The synthesized run holds the reference designs, which every copy shares,
// so no combination builds them again. Each worker keeps its own.
struct ExplorationCache {
    struct Stage {
        std::vector<std::size_t> positions;  // the combination's lists that led here
        FlowRun run;
        std::optional<std::string> error;
    };
    std::optional<Stage> resources, key;
};

// Runs one combination. A refusal becomes the result's error; nothing else is
// caught. With a cache, the stages a previous combination already ran for the
// same values are copied from it: the same stages with the same values give
// the same run.
CombinationResult run_combination(const Exploration &exploration, const Combination &combination,
                                  ExplorationCache *cache = nullptr);

}  // namespace velnor
