// The hash chain: the layout of first and chained blocks, the order and round
// counts of a run with its log, and the limits that make a run fail whole.
#include "hash/hash_chain.h"

#include <sstream>

#include <gtest/gtest.h>

namespace velnor {
namespace {

// 512 in 128 binary digits: 118 zeros, then 1000000000.
const std::string length_512 = std::string(118, '0') + "1000000000";

std::string bits(std::size_t size, unsigned seed) {
    std::string s;
    for (std::size_t i = 0; i < size; ++i)
        s += ((i * 7 + seed) % 5 < 2) ? '1' : '0';
    return s;
}

// Chained block written out by hand: output, "1000", chunk zero-filled to 380, length.
std::string chained_by_hand(const HashEngine &engine, const std::string &previous, const std::string &chunk,
                            int rounds) {
    return engine.hash_block(previous + "1000" + std::string(380 - chunk.size(), '0') + chunk + length_512, rounds);
}

struct FirstBlockRow {
    const char *name;
    std::size_t length;
    std::string length_field;  // the binary length, without its leading zeros
};

class FirstBlock : public testing::TestWithParam<FirstBlockRow> {};

TEST_P(FirstBlock, IsMessageOneZerosAndLength) {
    const std::string message = bits(GetParam().length, 3);
    const std::string block = pad_first_block(message);
    ASSERT_EQ(block.size(), 1024U);
    EXPECT_EQ(block.substr(0, message.size()), message);
    EXPECT_EQ(block.substr(message.size(), 896 - message.size()), "1" + std::string(895 - message.size(), '0'));
    EXPECT_EQ(block.substr(896), std::string(128 - GetParam().length_field.size(), '0') + GetParam().length_field);
}

INSTANTIATE_TEST_SUITE_P(HashChain, FirstBlock,
                         testing::Values(FirstBlockRow{"Empty", 0, ""}, FirstBlockRow{"TenBits", 10, "1010"},
                                         FirstBlockRow{"Longest", 895, "1101111111"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HashChain, ChainedBlockLayout) {
    const std::string previous = bits(512, 1), chunk = bits(380, 2);
    EXPECT_EQ(pad_chain_block(previous, chunk), previous + "1000" + chunk + length_512);
}

TEST(HashChain, ShortChunksAreZeroFilledOnTheLeft) {
    const HashEngine engine;
    const std::string previous = bits(512, 4);
    for (std::size_t size : {0, 10, 380}) {
        const std::string chunk = bits(size, 5);
        EXPECT_EQ(chain_block(engine, previous, chunk, 23), chained_by_hand(engine, previous, chunk, 23))
            << size << " characters";
    }
}

TEST(HashChain, OneEncodingHashesOneStandardBlock) {
    HashEngine engine;
    engine.design_path = "/designs/fir.txt";
    std::ostringstream log;
    const std::string message = "011000010110001001100011";  // "abc"
    const std::string out = run_hash_chain(engine, {message}, {}, {80, 7}, log);
    EXPECT_EQ(log.str(), "/designs/fir.txt\n");
    EXPECT_EQ(out, engine.hash_block(pad_first_block(message), 80));
    EXPECT_EQ(engine.initial_padded_block, pad_first_block(message));
    EXPECT_EQ(engine.chain_log,
              "Input of 1st hash block: " + pad_first_block(message) + "\nOutput for 1st hash block:" + out + "\n");
}

// Two inputs, the key naming block 1 then block 0: B1 input 0, B2 input 1,
// B3 input 1, B4 input 0, each with its own round count.
TEST(HashChain, TwoEncodingsRunFourBlocksInKeyOrder) {
    HashEngine engine;
    std::ostringstream log;
    const std::vector<std::string> inputs{bits(30, 1), bits(30, 2)};
    const std::string out = run_hash_chain(engine, inputs, {1, 0}, {80, 3, 41, 79}, log);
    const std::string b1 = engine.hash_block(pad_first_block(inputs[0]), 80);
    const std::string b2 = chained_by_hand(engine, b1, inputs[1], 3);
    const std::string b3 = chained_by_hand(engine, b2, inputs[1], 41);
    const std::string b4 = chained_by_hand(engine, b3, inputs[0], 79);
    EXPECT_EQ(out, b4);
    EXPECT_EQ(engine.chain_log, "Input of 1st hash block: " + pad_first_block(inputs[0]) + "\n" +
                                    "Output for 1st hash block:" + b1 + "\n" + "output  of hash block: B2  " + b2 +
                                    "\n" + "output of  hash block: B3  " + b3 + "\n" +
                                    "output of  hash block: B4  " + b4 + "\n");
}

TEST(HashChain, ThreeEncodingsNumberTheBlocksTwoToSix) {
    HashEngine engine;
    std::ostringstream log;
    const std::vector<std::string> inputs{bits(12, 1), bits(12, 2), bits(12, 3)};
    const std::vector<int> rounds{80, 80, 80, 1, 2, 3};
    const std::string out = run_hash_chain(engine, inputs, {2, 2, 0}, rounds, log);
    std::string expected = engine.hash_block(pad_first_block(inputs[0]), 80);
    std::string log_tail;
    for (int i = 1; i < 3; ++i) {
        expected = chained_by_hand(engine, expected, inputs[i], 80);
        log_tail += "output  of hash block: B" + std::to_string(i + 1) + "  " + expected + "\n";
    }
    for (int j : {0, 1, 2}) {
        expected = chained_by_hand(engine, expected, inputs[j == 2 ? 0 : 2], rounds[3 + j]);
        log_tail += "output of  hash block: B" + std::to_string(4 + j) + "  " + expected + "\n";
    }
    EXPECT_EQ(out, expected);
    const std::size_t first_lines = engine.chain_log.find("output  of");
    EXPECT_EQ(engine.chain_log.substr(first_lines), log_tail);
}

TEST(HashChain, EmptyDesignHashesOneAndZeros) {
    HashEngine engine;
    std::ostringstream log;
    const std::string out = run_hash_chain(engine, {"", ""}, {0, 1}, {80, 80, 80, 80}, log);
    EXPECT_EQ(engine.initial_padded_block, "1" + std::string(1023, '0'));
    std::string expected = engine.hash_block("1" + std::string(1023, '0'), 80);
    for (int block = 2; block <= 4; ++block)
        expected = engine.hash_block(expected + "1000" + std::string(380, '0') + length_512, 80);
    EXPECT_EQ(out, expected);
}

TEST(HashChain, LongestInputsAreHashed) {
    HashEngine engine;
    std::ostringstream log;
    EXPECT_NO_THROW(run_hash_chain(engine, {bits(895, 1)}, {}, {80, 80}, log));
    EXPECT_NO_THROW(run_hash_chain(engine, {bits(380, 1), bits(380, 2)}, {1, 0}, {1, 2, 3, 4}, log));
}

struct FailedRunRow {
    const char *name;
    std::vector<std::string> inputs;
    std::vector<int> order;
    std::vector<int> rounds;
};

class FailedRun : public testing::TestWithParam<FailedRunRow> {};

// A refused run writes the design path, then leaves the engine as it was.
TEST_P(FailedRun, ThrowsAndLeavesTheLastRunInPlace) {
    HashEngine engine;
    engine.design_path = "d.txt";
    engine.initial_padded_block = "earlier block";
    engine.chain_log = "earlier log";
    std::ostringstream log;
    const FailedRunRow &row = GetParam();
    EXPECT_THROW(run_hash_chain(engine, row.inputs, row.order, row.rounds, log), HashChainError);
    EXPECT_EQ(log.str(), "d.txt\n");
    EXPECT_EQ(engine.initial_padded_block, "earlier block");
    EXPECT_EQ(engine.chain_log, "earlier log");
}

const std::string short_input = bits(20, 1);

INSTANTIATE_TEST_SUITE_P(
    HashChain, FailedRun,
    testing::Values(FailedRunRow{"FirstMessageOf896", {bits(896, 1)}, {}, {80, 80}},
                    FailedRunRow{"SecondInputOf381", {short_input, bits(381, 2)}, {0, 1}, {80, 80, 80, 80}},
                    FailedRunRow{"FirstInputAsChunkOf381", {bits(381, 1), short_input}, {1, 0}, {80, 80, 80, 80}},
                    FailedRunRow{"NoInput", {}, {}, {80, 80}},
                    FailedRunRow{"OrderIndexTooHigh", {short_input, short_input}, {0, 2}, {80, 80, 80, 80}},
                    FailedRunRow{"OrderIndexNegative", {short_input, short_input}, {-1, 0}, {80, 80, 80, 80}},
                    FailedRunRow{"TooFewRoundsForOneInput", {short_input}, {}, {}},
                    FailedRunRow{"TooFewRoundsForSecondPass", {short_input, short_input}, {1, 0}, {80, 80, 80}},
                    FailedRunRow{"RoundCountAbove80", {short_input, short_input}, {1, 0}, {80, 80, 80, 81}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(HashChain, PaddingRefusesOversizedParts) {
    const HashEngine engine;
    EXPECT_THROW(pad_first_block(bits(896, 1)), HashChainError);
    EXPECT_THROW(chain_block(engine, bits(512, 1), bits(381, 1), 80), HashChainError);
    EXPECT_THROW(pad_chain_block(bits(511, 1), bits(380, 1)), HashChainError);
}

}  // namespace
}  // namespace velnor
