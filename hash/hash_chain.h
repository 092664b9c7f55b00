// The hash chain: the encoded strings hashed block after block, first in the
// order typed, then again in the order of the stego key; each block carries the
// previous block's output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "hash/hash_engine.h"

namespace velnor {

constexpr std::size_t first_message_limit = 895;
constexpr std::size_t chunk_limit = 380;

// The most operations a DSP core may hold for a chain of encoding_count
// blocks: an encoding has one bit per operation, and a lone first block takes
// first_message_limit of them, a chained block chunk_limit.
constexpr std::size_t operation_limit(int encoding_count) {
    return encoding_count <= 1 ? first_message_limit : chunk_limit;
}

// A padded block of the wrong size is refused (HashChain).
std::string pad_first_block(const std::string &message);
std::string pad_chain_block(const std::string &previous_output, const std::string &chunk);
std::string chain_block(const HashEngine &engine, const std::string &previous_output,
                        const std::string &chunk, int rounds);

// Returns the final 512-character output; fills the engine's
// initial_padded_block and chain_log; first writes design_path and a line
// feed to log. Refuses (HashChain) an input too long for its block, an order
// entry naming no block, and round counts missing or above sha512_rounds; a
// failed run leaves initial_padded_block and chain_log as they were.
std::string run_hash_chain(HashEngine &engine, const std::vector<std::string> &encoded_inputs,
                           const std::vector<int> &input_order_list, const std::vector<int> &round_counts,
                           std::ostream &log);

}  // namespace velnor
