// SHA-512 over bit strings: full-strength blocks against published and
// independently computed digests, reduced-round blocks against the shape of
// the round function.
#include "hash/hash_engine.h"
#include "hash/hash_chain.h"

#include <bitset>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace velnor {
namespace {

// "abc" in 8-bit ASCII.
const std::string abc_bits = "011000010110001001100011";

TEST(HashEngine, FullStrengthAbcIsTheOneBlockExample) {
    const char *hex = "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                      "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f";
    std::string expected;
    for (const char *c = hex; *c; ++c)
        expected += std::bitset<4>(std::stoul(std::string(1, *c), nullptr, 16)).to_string();
    EXPECT_EQ(HashEngine().hash_block(pad_first_block(abc_bits), /*rounds=*/80), expected);
}

// Each line: LEN MESSAGE DIGEST, the message field empty for LEN 0.
void expect_every_vector(const std::string &file, std::size_t expected_lines) {
    std::ifstream in(test::data_path(file));
    ASSERT_TRUE(in) << file;
    const HashEngine engine;
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line); ++lines) {
        const std::size_t first = line.find(' ');
        const std::size_t second = line.find(' ', first + 1);
        ASSERT_NE(second, std::string::npos) << file << " line " << lines + 1;
        const std::string message = line.substr(first + 1, second - first - 1);
        ASSERT_EQ(std::to_string(message.size()), line.substr(0, first)) << file << " line " << lines + 1;
        EXPECT_EQ(engine.hash_block(pad_first_block(message), /*rounds=*/80), line.substr(second + 1))
            << file << " message of " << message.size() << " bits";
    }
    EXPECT_EQ(lines, expected_lines) << file;
}

TEST(HashEngine, FullStrengthMatchesBitOrientedVectors) { expect_every_vector("sha512_bit_vectors_0_447.txt", 448); }
TEST(HashEngine, FullStrengthMatchesByteMessagesUpTo888Bits) { expect_every_vector("sha512_byte_messages.txt", 112); }

// After round r, b c d and f g h are a b c and e f g of round r-1, starting
// from H(0); only the 80th round adds H(0) back, so any other count (1, 79)
// comes back without the addition or the shift breaks.
TEST(HashEngine, EachRoundShiftsTheWordsOfThePreviousRound) {
    const HashEngine engine;
    std::string block = pad_first_block(abc_bits);
    block[700] = '1';  // make the later schedule words less regular than the padding alone
    std::vector<uint64_t> previous = engine.initial_hash;
    for (int rounds = 1; rounds <= 80; ++rounds) {
        std::vector<uint64_t> words = engine.compress(block, rounds);
        if (rounds == 80)
            for (std::size_t i = 0; i < 8; ++i)
                words[i] -= engine.initial_hash[i];
        for (std::size_t i : {1, 2, 3, 5, 6, 7})
            ASSERT_EQ(words[i], previous[i - 1]) << "word " << i << " after round " << rounds;
        previous = words;
    }
    EXPECT_THROW(engine.compress(block, 81), Refusal);
    EXPECT_THROW(engine.message_schedule(std::string(1023, '0')), Refusal);
}

}  // namespace
}  // namespace velnor
