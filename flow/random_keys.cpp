// The key generator: one SplitMix64 stream, Fisher-Yates shuffles for the
// encodings and the block order, uniform round counts.
#include "flow/random_keys.h"

#include <numeric>
#include <string>

#include "hash/encoding.h"
#include "hash/hash_engine.h"
#include "synthesis/split_mix64.h"

namespace velnor {
namespace {

// A number 0..bound-1 (bound positive).
int below(SplitMix64 &random, int bound) { return static_cast<int>(random.below(static_cast<uint64_t>(bound))); }

void shuffle(std::vector<int> &values, SplitMix64 &random) {
    for (std::size_t i = values.size(); i-- > 1;)
        std::swap(values[i], values[static_cast<std::size_t>(below(random, static_cast<int>(i) + 1))]);
}

NumberLine number_line_of(const std::vector<int> &values) {
    NumberLine line;
    line.values = values;
    for (std::size_t i = 0; i < values.size(); ++i)
        line.text += (i == 0 ? "" : " ") + std::to_string(values[i]);
    return line;
}

// The block numbers in binary, each as wide as the order key's entries.
std::string order_key_of(const std::vector<int> &blocks) {
    const int n = static_cast<int>(blocks.size());
    const int width = n == 0 ? 0 : order_key_size(n) / n;
    std::string key;
    for (int block : blocks)
        for (int bit = width - 1; bit >= 0; --bit)
            key += ((block >> bit) & 1) ? '1' : '0';
    return key;
}

}  // namespace

std::vector<ExplorationKey> random_keys(int64_t count, uint64_t seed) {
    SplitMix64 random(seed);
    std::vector<ExplorationKey> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (int64_t k = 0; k < count; ++k) {
        const int encodings = 1 + below(random, max_random_encodings);
        std::vector<int> rules(encoding_rule_count);
        std::iota(rules.begin(), rules.end(), 1);
        shuffle(rules, random);
        rules.resize(static_cast<std::size_t>(encodings));
        std::vector<int> blocks(static_cast<std::size_t>(encodings));
        std::iota(blocks.begin(), blocks.end(), 0);
        shuffle(blocks, random);
        std::vector<int> rounds(static_cast<std::size_t>(2 * encodings));
        for (int &r : rounds)
            r = 1 + below(random, sha512_rounds);
        ExplorationKey key;
        key.count = encodings;
        key.encodings = number_line_of(rules);
        key.order = order_key_of(blocks);
        key.rounds = number_line_of(rounds);
        keys.push_back(std::move(key));
    }
    return keys;
}

}  // namespace velnor
