// The hash chain: the layout of first and chained blocks, the chain of an empty
// design, and the limits that make a run fail whole. The order, round counts
// and log of chains of one to nine encodings are fixed by the characterization runs.
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
