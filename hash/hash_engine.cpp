// SHA-512 over bit strings with a chosen number of rounds. Every block starts
// from the initial hash value H(0); the engine keeps no running state between
// blocks, so chaining happens only through the text of the next block.
#include "hash/hash_engine.h"

#include <algorithm>
#include <string>

namespace velnor {
namespace {

constexpr std::size_t block_length = 1024;
constexpr std::size_t word_length = 64;

// The first 64 bits of the fractional parts of the cube roots of the first 80 primes.
constexpr uint64_t sha512_k[sha512_rounds] = {
    0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL, 0xe9b5dba58189dbbcULL,
    0x3956c25bf348b538ULL, 0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL, 0xab1c5ed5da6d8118ULL,
    0xd807aa98a3030242ULL, 0x12835b0145706fbeULL, 0x243185be4ee4b28cULL, 0x550c7dc3d5ffb4e2ULL,
    0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL, 0xc19bf174cf692694ULL,
    0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL, 0x240ca1cc77ac9c65ULL,
    0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL, 0x76f988da831153b5ULL,
    0x983e5152ee66dfabULL, 0xa831c66d2db43210ULL, 0xb00327c898fb213fULL, 0xbf597fc7beef0ee4ULL,
    0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL, 0x06ca6351e003826fULL, 0x142929670a0e6e70ULL,
    0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL, 0x53380d139d95b3dfULL,
    0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL, 0x92722c851482353bULL,
    0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL, 0xc76c51a30654be30ULL,
    0xd192e819d6ef5218ULL, 0xd69906245565a910ULL, 0xf40e35855771202aULL, 0x106aa07032bbd1b8ULL,
    0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL, 0x2748774cdf8eeb99ULL, 0x34b0bcb5e19b48a8ULL,
    0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL, 0x682e6ff3d6b2b8a3ULL,
    0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL, 0x8cc702081a6439ecULL,
    0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL, 0xc67178f2e372532bULL,
    0xca273eceea26619cULL, 0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL, 0xf57d4f7fee6ed178ULL,
    0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL, 0x113f9804bef90daeULL, 0x1b710b35131c471bULL,
    0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL, 0x431d67c49c100d4cULL,
    0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL, 0x6c44198c4a475817ULL,
};

// The first 64 bits of the fractional parts of the square roots of the first 8 primes.
constexpr uint64_t sha512_h0[8] = {
    0x6a09e667f3bcc908ULL, 0xbb67ae8584caa73bULL, 0x3c6ef372fe94f82bULL, 0xa54ff53a5f1d36f1ULL,
    0x510e527fade682d1ULL, 0x9b05688c2b3e6c1fULL, 0x1f83d9abfb41bd6bULL, 0x5be0cd19137e2179ULL,
};

uint64_t rotr(uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }
uint64_t big_sigma0(uint64_t x) { return rotr(x, 28) ^ rotr(x, 34) ^ rotr(x, 39); }
uint64_t big_sigma1(uint64_t x) { return rotr(x, 14) ^ rotr(x, 18) ^ rotr(x, 41); }
uint64_t small_sigma0(uint64_t x) { return rotr(x, 1) ^ rotr(x, 8) ^ (x >> 7); }
uint64_t small_sigma1(uint64_t x) { return rotr(x, 19) ^ rotr(x, 61) ^ (x >> 6); }
uint64_t choose(uint64_t e, uint64_t f, uint64_t g) { return (e & f) ^ (~e & g); }
uint64_t majority(uint64_t a, uint64_t b, uint64_t c) { return (a & b) ^ (a & c) ^ (b & c); }

}  // namespace

uint64_t bits_to_word(const std::string &bits) {
    uint64_t word = 0;
    uint64_t weight = 1;
    for (auto it = bits.rbegin(); it != bits.rend(); ++it) {
        if (*it == '1')
            word += weight;
        weight <<= 1;  // wraps to 0 past 64 characters, so only the last 64 can count
    }
    return word;
}

std::string word_to_bits(uint64_t word) {
    std::string bits(word_length, '0');
    for (std::size_t i = 0; i < word_length; ++i)
        if ((word >> (word_length - 1 - i)) & 1U)
            bits[i] = '1';
    return bits;
}

HashEngine::HashEngine()
    : round_constants(std::begin(sha512_k), std::end(sha512_k)),
      initial_hash(std::begin(sha512_h0), std::end(sha512_h0)) {}

namespace {

// The 80-word message schedule of one block.
std::array<uint64_t, sha512_rounds> expand_schedule(const Sha512Block &block) {
    std::array<uint64_t, sha512_rounds> w{};
    std::copy(block.begin(), block.end(), w.begin());
    for (std::size_t i = 16; i < sha512_rounds; ++i)
        w[i] = small_sigma1(w[i - 2]) + w[i - 7] + small_sigma0(w[i - 15]) + w[i - 16];
    return w;
}

// rounds of the round function from state under the constants k; rounds of 0
// or less run no round, more than 80 do not exist and are refused.
Sha512State run_rounds(const Sha512State &state, const Sha512Block &block, int rounds, const uint64_t *k) {
    if (rounds > sha512_rounds)
        throw Refusal(Refusal::Reason::InvalidArgument,
                      "a block has at most " + std::to_string(sha512_rounds) + " rounds, not " +
                          std::to_string(rounds));
    const std::array<uint64_t, sha512_rounds> w = expand_schedule(block);
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int t = 0; t < rounds; ++t) {
        const uint64_t t1 = h + big_sigma1(e) + choose(e, f, g) + k[t] + w[t];
        const uint64_t t2 = big_sigma0(a) + majority(a, b, c);
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    Sha512State words{a, b, c, d, e, f, g, h};
    // The feed-forward belongs to the full-strength hash only: a reduced-round
    // block returns its working words as they stand.
    if (rounds == sha512_rounds)
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] += state[i];
    return words;
}

// A block of the wrong length is a programming error of the caller (the chain
// pads every block to 1024 characters); it is refused in every build type.
Sha512Block block_words(const std::string &block) {
    if (block.size() != block_length)
        throw Refusal(Refusal::Reason::InvalidArgument,
                      "a block has 1024 characters, not " + std::to_string(block.size()));
    Sha512Block words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = bits_to_word(block.substr(i * word_length, word_length));
    return words;
}

}  // namespace

Sha512State sha512_compress(const Sha512State &state, const Sha512Block &block, int rounds) {
    return run_rounds(state, block, rounds, sha512_k);
}

Sha512State sha512_initial_state() {
    Sha512State state{};
    std::copy(std::begin(sha512_h0), std::end(sha512_h0), state.begin());
    return state;
}

std::vector<uint64_t> HashEngine::message_schedule(const std::string &block) const {
    const std::array<uint64_t, sha512_rounds> w = expand_schedule(block_words(block));
    return std::vector<uint64_t>(w.begin(), w.end());
}

// The engine's own constants and H(0), which it holds as values of its own.
std::vector<uint64_t> HashEngine::compress(const std::string &block, int rounds) const {
    Sha512State state{};
    std::copy(initial_hash.begin(), initial_hash.end(), state.begin());
    const Sha512Block words = block_words(block);
    const Sha512State result = run_rounds(state, words, rounds, round_constants.data());
    return std::vector<uint64_t>(result.begin(), result.end());
}

std::string HashEngine::hash_block(const std::string &block, int rounds) const {
    std::string result;
    result.reserve(8 * word_length);
    for (uint64_t word : compress(block, rounds))
        result += word_to_bits(word);
    return result;
}

}  // namespace velnor
