// SHA-512 over bit strings: full-strength blocks against published and
// independently computed digests, reduced-round blocks against the shape of
// the round function, and the word conversions.
#include "hash/hash_engine.h"
#include "hash/hash_chain.h"

#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace velnor {
namespace {

std::string hex_to_bits(const std::string &hex) {
    static const char *nibbles[] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                    "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};
    std::string bits;
    for (char c : hex)
        bits += nibbles[c <= '9' ? c - '0' : c - 'a' + 10];
    return bits;
}

// "abc" in 8-bit ASCII: 01100001 01100010 01100011.
const std::string abc_bits = "011000010110001001100011";

TEST(HashEngine, FullStrengthAbcIsTheOneBlockExample) {
    const std::string expected = hex_to_bits(
        "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
        "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
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

std::string sample_block() {
    std::string block = pad_first_block(abc_bits);
    block[700] = '1';  // make the later schedule words less regular than the padding alone
    return block;
}

TEST(HashEngine, OneRoundShiftsTheInitialValueWithoutFeedForward) {
    const HashEngine engine;
    const std::vector<uint64_t> words = engine.compress(sample_block(), /*rounds=*/1);
    const std::vector<uint64_t> &h = engine.initial_hash;
    EXPECT_EQ(words[1], h[0]);
    EXPECT_EQ(words[2], h[1]);
    EXPECT_EQ(words[3], h[2]);
    EXPECT_EQ(words[5], h[4]);
    EXPECT_EQ(words[6], h[5]);
    EXPECT_EQ(words[7], h[6]);
    EXPECT_EQ(engine.hash_block(sample_block(), 1).substr(64, 64), hex_to_bits("6a09e667f3bcc908"));
}

TEST(HashEngine, NoRoundAtAllReturnsTheInitialValue) {
    const HashEngine engine;
    EXPECT_EQ(engine.compress(sample_block(), /*rounds=*/0), engine.initial_hash);
    EXPECT_EQ(engine.compress(sample_block(), /*rounds=*/-3), engine.initial_hash);
}

// After round r, b c d and f g h are a b c and e f g of round r-1. At 80 rounds
// the result minus H(0) gives the words of round 80; any other count must
// come back without the addition or the shift breaks.
TEST(HashEngine, EachRoundShiftsTheWordsOfThePreviousRound) {
    const HashEngine engine;
    const std::string block = sample_block();
    std::vector<uint64_t> previous = engine.compress(block, 0);
    for (int rounds = 1; rounds <= 80; ++rounds) {
        std::vector<uint64_t> words = engine.compress(block, rounds);
        if (rounds == 80)
            for (std::size_t i = 0; i < 8; ++i)
                words[i] -= engine.initial_hash[i];
        for (std::size_t i : {1, 2, 3, 5, 6, 7})
            ASSERT_EQ(words[i], previous[i - 1]) << "word " << i << " after round " << rounds;
        previous = words;
    }
}

TEST(HashEngine, KeepsNoStateBetweenBlocks) {
    const HashEngine engine;
    const std::string first = engine.hash_block(sample_block(), 37);
    engine.hash_block(pad_first_block("1"), 80);
    EXPECT_EQ(engine.hash_block(sample_block(), 37), first);
}

TEST(HashEngine, ReadsCharactersOtherThanOneAsZero) {
    const HashEngine engine;
    std::string zeros = sample_block(), others = zeros;
    for (char &c : others)
        if (c == '0')
            c = 'x';
    EXPECT_EQ(engine.hash_block(others, 80), engine.hash_block(zeros, 80));
    EXPECT_EQ(bits_to_word("1x1"), 5U);
}

TEST(HashEngine, RefusesBlocksThatAreNot1024Characters) {
    const HashEngine engine;
    for (std::size_t size : {0, 1023, 1025}) {
        try {
            engine.message_schedule(std::string(size, '0'));
            ADD_FAILURE() << "a block of " << size << " characters was scheduled";
        } catch (const std::logic_error &e) {
            EXPECT_STREQ(e.what(), "x.size()==1024");
        }
    }
    EXPECT_THROW(engine.compress(sample_block(), 81), std::invalid_argument);
}

TEST(HashEngine, WordsRenderAsSixtyFourCharacters) {
    EXPECT_EQ(word_to_bits(0), std::string(64, '0'));
    EXPECT_EQ(word_to_bits(0x8000000000000001ULL), "1" + std::string(62, '0') + "1");
    EXPECT_EQ(word_to_bits(5), std::string(61, '0') + "101");
    EXPECT_EQ(bits_to_word(word_to_bits(0xfedcba9876543210ULL)), 0xfedcba9876543210ULL);
}

}  // namespace
}  // namespace velnor
