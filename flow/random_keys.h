// Stego keys drawn from a seed, the same keys for the same seed on every
// machine. The draws come from SplitMix64 (state += 0x9E3779B97F4A7C15, then
// two multiply-xorshift rounds), so a key list is fixed by (N, seed) alone:
//   count      = 1 + draw mod max_random_encodings
//   encodings  = the first count rule numbers of 1..9 shuffled by Fisher-Yates
//                (for i = 8 down to 1: swap positions i and draw mod (i + 1))
//   order      = a permutation of the blocks 0..count-1, shuffled the same way,
//                each block number written in binary with the key's entry width
//   rounds     = 2 x count values, each 1 + draw mod 80
// Keys are drawn one after another from one stream, fields in the order above.
#pragma once

#include <cstdint>
#include <vector>

#include "flow/exploration.h"

namespace velnor {

// Random keys use 1 to this many encodings: more blocks make the hash chain
// longer, and a core of more than 380 operations takes only one encoding.
constexpr int max_random_encodings = 3;

// The seed when the user names none.
constexpr uint64_t default_key_seed = 1;

// count keys drawn from seed; each is one `run` accepts on a core the hash
// chain can take.
std::vector<ExplorationKey> random_keys(int64_t count, uint64_t seed);

}  // namespace velnor
