// SHA-512 over bit strings: blocks, words and results are strings of '0' and
// '1', most significant bit first. The round count is chosen per block (1..80);
// every block starts from the initial hash value, and the feed-forward is only
// applied at the full 80 rounds.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "hash/encoding.h"
#include "core/refusal.h"

namespace velnor {

// Rounds of the full-strength hash: a block runs 1 to this many.
constexpr int sha512_rounds = 80;

// Read from the last character (weight 1) to the first; '1' adds its weight,
// any other character nothing.
uint64_t bits_to_word(const std::string &bits);
// 64 characters, zero-filled on the left.
std::string word_to_bits(uint64_t word);

class HashEngine {
public:
    HashEngine();

    // block: exactly 1024 characters.
    std::vector<uint64_t> message_schedule(const std::string &block) const;
    std::vector<uint64_t> compress(const std::string &block, int rounds) const;
    std::string hash_block(const std::string &block, int rounds) const;

    std::vector<uint64_t> round_constants;  // K0..K79
    std::vector<uint64_t> initial_hash;     // H(0)
    std::string design_path;                         // the design's dfg_path when the key entry began
    OperationSteps operations_copy;                  // the list step of each of the design's operations then
    std::string initial_padded_block;                // block 1 of the last run
    std::string chain_log;                           // log of the last run
};

}  // namespace velnor
