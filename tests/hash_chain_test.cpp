// The hash chain: the layout of first and chained blocks, the order and round
// counts of a run with its log, and the limits that make a run fail whole.
// Longer chains, of up to nine encodings, are fixed by the characterization runs.
#include "hash/hash_chain.h"

#include <sstream>
#include <tuple>

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
std::string chained(const std::string &previous, const std::string &chunk, int rounds) {
    return HashEngine().hash_block(previous + "1000" + std::string(380 - chunk.size(), '0') + chunk + length_512,
                                   rounds);
}

TEST(HashChain, BlockLayoutsAndTheirLimits) {
    // message length, and its binary form without leading zeros
    const std::pair<std::size_t, std::string> rows[] = {{0, ""}, {10, "1010"}, {895, "1101111111"}};
    for (const auto &[size, length] : rows) {
        const std::string message = bits(size, 3);
        EXPECT_EQ(pad_first_block(message), message + "1" + std::string(895 - size, '0') +
                                                 std::string(128 - length.size(), '0') + length);
    }
    const std::string previous = bits(512, 1), chunk = bits(380, 2);
    EXPECT_EQ(pad_chain_block(previous, chunk), previous + "1000" + chunk + length_512);
    EXPECT_THROW(pad_first_block(bits(896, 1)), Refusal);
    EXPECT_THROW(pad_chain_block(previous, bits(381, 1)), Refusal);
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
    const std::vector<std::string> in{bits(30, 1), bits(30, 2)};
    const std::string out = run_hash_chain(engine, in, {1, 0}, {80, 3, 41, 79}, log);
    const std::string b1 = engine.hash_block(pad_first_block(in[0]), 80), b2 = chained(b1, in[1], 3),
                      b3 = chained(b2, in[1], 41), b4 = chained(b3, in[0], 79);
    EXPECT_EQ(out, b4);
    EXPECT_EQ(engine.chain_log, "Input of 1st hash block: " + pad_first_block(in[0]) + "\nOutput for 1st hash block:" +
                                    b1 + "\noutput  of hash block: B2  " + b2 + "\noutput of  hash block: B3  " + b3 +
                                    "\noutput of  hash block: B4  " + b4 + "\n");
}

TEST(HashChain, EmptyDesignHashesOneAndZeros) {
    HashEngine engine;
    std::ostringstream log;
    const std::string out = run_hash_chain(engine, {"", ""}, {0, 1}, {80, 80, 80, 80}, log);
    EXPECT_EQ(engine.initial_padded_block, "1" + std::string(1023, '0'));
    const std::string b1 = engine.hash_block("1" + std::string(1023, '0'), 80);
    EXPECT_EQ(out, chained(chained(chained(b1, "", 80), "", 80), "", 80));
}

// A refused run writes the design path, then leaves the engine as it was.
TEST(HashChain, RunsUpToTheLimitsAndFailsWholeBeyond) {
    HashEngine engine;
    std::ostringstream log;
    EXPECT_NO_THROW(run_hash_chain(engine, {bits(895, 1)}, {}, {80, 80}, log));
    EXPECT_NO_THROW(run_hash_chain(engine, {bits(380, 1), bits(380, 2)}, {1, 0}, {1, 2, 3, 4}, log));
    const std::string x = bits(20, 1);
    const std::tuple<const char *, std::vector<std::string>, std::vector<int>, std::vector<int>> runs[] = {
        {"first message of 896", {bits(896, 1)}, {}, {80, 80}},
        {"first input as a chunk of 381", {bits(381, 1), x}, {1, 0}, {80, 80, 80, 80}},
        {"order names no block", {x, x}, {0, 2}, {80, 80, 80, 80}},
        {"too few round counts", {x, x}, {1, 0}, {80, 80, 80}},
        {"round count above 80", {x, x}, {1, 0}, {80, 80, 80, 81}}};
    for (const auto &[name, inputs, order, rounds] : runs) {
        engine.design_path = "d.txt";
        engine.initial_padded_block = "earlier block";
        engine.chain_log = "earlier log";
        std::ostringstream run_log;
        EXPECT_THROW(run_hash_chain(engine, inputs, order, rounds, run_log), Refusal) << name;
        EXPECT_EQ(run_log.str(), "d.txt\n") << name;
        EXPECT_EQ(engine.initial_padded_block + engine.chain_log, "earlier blockearlier log") << name;
    }
}

}  // namespace
}  // namespace velnor
