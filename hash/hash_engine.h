// SHA-512 over bit strings: blocks, words and results are strings of '0' and
// '1', most significant bit first. The round count is chosen per block (1..80);
// every block starts from the initial hash value, and the feed-forward is only
// applied at the full 80 rounds.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "hash/encoding.h"
#include "core/refusal.h"

namespace velnor {

// Rounds of the full-strength hash: a block runs 1 to this many.
constexpr int sha512_rounds = 80;

// The eight words of a chaining value and the sixteen words of one message block.
using Sha512State = std::array<uint64_t, 8>;
using Sha512Block = std::array<uint64_t, 16>;

// The compression function on words: rounds (0..80) of SHA-512 over block,
// starting from state with the standard round constants; the feed-forward
// (the result added to state) at the full 80 rounds only, as in hash_block.
// Refused (InvalidArgument) above 80 rounds.
Sha512State sha512_compress(const Sha512State &state, const Sha512Block &block, int rounds);

// SHA-512's initial hash value H(0).
Sha512State sha512_initial_state();

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
